#pragma once
// UTF-8 and UTF-16 without the operating system: the core keeps UTF-8, some records it builds for the
// system hold UTF-16 text.

#include <string>
#include <string_view>

namespace vantor {

// Malformed input becomes U+FFFD, one per bad sequence.
std::u16string Utf8ToUtf16(std::string_view utf8);
// A lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
// One code point per character, for reading text character by character.
std::u32string Utf8ToUtf32(std::string_view utf8);
std::string Utf32ToUtf8(std::u32string_view utf32);

}  // namespace vantor
