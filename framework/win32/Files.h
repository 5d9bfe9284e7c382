#pragma once
// Whole reads and writes of files, for the settings, the traffic log and the usage exports.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace vantor::win32 {

// The file's bytes as they are now (a file that shrinks meanwhile gives what was there); nothing when it
// cannot be opened or read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Writes all of `bytes` at the file's position, in as many calls as the system needs.
[[nodiscard]] bool WriteAll(HANDLE file, std::string_view bytes);

// Writes `bytes` as the whole of the file at `path`, made or emptied, and flushes it to the disk; false when
// it cannot.
[[nodiscard]] bool WriteNewFile(const std::wstring& path, std::string_view bytes);

}  // namespace vantor::win32
