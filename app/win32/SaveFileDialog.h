#pragma once
// The system's save dialog, for one type of file.

#include <windows.h>

#include <optional>
#include <string>

namespace vantor::win32 {

// The file the user names to save to, offering files of `typeName` that match `pattern` ("*.csv"); a name
// typed without an extension takes `extension` (none when null). Nothing when the user cancels.
std::optional<std::wstring> AskSavePath(HWND owner, const std::wstring& typeName, const wchar_t* pattern,
                                        const wchar_t* extension = nullptr);

}  // namespace vantor::win32
