#pragma once
// Text crosses the Win32 edge here: the core speaks UTF-8, the W API UTF-16, old files the ANSI code page.

#include <string>
#include <string_view>

namespace vantor::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
// Whether the ANSI code page holds `text`: it converts there with no substitute (not even a best fit such
// as Ł for L) and back unchanged.
bool AnsiHolds(std::wstring_view text);

}  // namespace vantor::win32
