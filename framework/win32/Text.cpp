#include "framework/win32/Text.h"

#include <windows.h>

#include "framework/Unicode.h"

namespace vantor::win32 {
namespace {

std::wstring AnsiToWide(std::string_view text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    const int length =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), length, nullptr,
                          nullptr);
    return narrow;
}

}  // namespace

// wchar_t is UTF-16 on Windows, so the portable conversions serve the W API as they are.
std::wstring Widen(std::string_view utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    return {wide.begin(), wide.end()};
}

std::string Narrow(std::wstring_view utf16) {
    return Utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

std::string AnsiToUtf8(std::string_view ansi) { return Narrow(AnsiToWide(ansi)); }
std::string Utf8ToAnsi(std::string_view utf8) { return WideToAnsi(Widen(utf8)); }

bool AnsiHolds(std::wstring_view text) {
    // UTF-8 as the code page holds everything, and takes neither the flag nor the question.
    if (text.empty() || ::GetACP() == CP_UTF8) return true;
    const int size = static_cast<int>(text.size());
    BOOL substituted = FALSE;
    const int length =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &substituted);
    if (length == 0 || substituted) return false;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, narrow.data(), length, nullptr,
                          &substituted);
    return !substituted && AnsiToWide(narrow) == text;
}

}  // namespace vantor::win32
