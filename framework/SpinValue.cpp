#include "framework/SpinValue.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>

#include "framework/Unicode.h"

namespace vantor {
namespace {

// The zero of each run of ten decimal digits in Unicode 15; every run counts up from its zero.
constexpr char32_t kDigitZeros[] = {
    0x0030,  0x0660,  0x06F0,  0x07C0,  0x0966,  0x09E6,  0x0A66,  0x0AE6,  0x0B66,  0x0BE6,  0x0C66,
    0x0CE6,  0x0D66,  0x0DE6,  0x0E50,  0x0ED0,  0x0F20,  0x1040,  0x1090,  0x17E0,  0x1810,  0x1946,
    0x19D0,  0x1A80,  0x1A90,  0x1B50,  0x1BB0,  0x1C40,  0x1C50,  0xA620,  0xA8D0,  0xA900,  0xA9D0,
    0xA9F0,  0xAA50,  0xABF0,  0xFF10,  0x104A0, 0x10D30, 0x11066, 0x110F0, 0x11136, 0x111D0, 0x112F0,
    0x11450, 0x114D0, 0x11650, 0x116C0, 0x11730, 0x118E0, 0x11950, 0x11C50, 0x11D50, 0x11DA0, 0x11F50,
    0x16A60, 0x16AC0, 0x16B50, 0x1D7CE, 0x1D7D8, 0x1D7E2, 0x1D7EC, 0x1D7F6, 0x1E140, 0x1E2F0, 0x1E4F0,
    0x1E950, 0x1FBF0,
};

}  // namespace

int DecimalDigitValue(char32_t c) {
    const auto after = std::upper_bound(std::begin(kDigitZeros), std::end(kDigitZeros), c);
    if (after == std::begin(kDigitZeros)) return -1;
    const char32_t offset = c - *std::prev(after);
    return offset < 10 ? static_cast<int>(offset) : -1;
}

bool IsSpinCharacter(char32_t c, char32_t decimalSeparator) {
    return DecimalDigitValue(c) >= 0 || c == U'+' || c == U'-' || c == decimalSeparator;
}

std::string SpinText(std::string_view text, char32_t decimalSeparator) {
    std::u32string kept;
    for (const char32_t c : Utf8ToUtf32(text)) {
        if (const int digit = DecimalDigitValue(c); digit >= 0)
            kept += static_cast<char32_t>(U'0' + digit);
        else if (IsSpinCharacter(c, decimalSeparator))
            kept += c;
    }
    return Utf32ToUtf8(kept);
}

int SpinValue(std::string_view text, int minValue) {
    std::string ascii;
    for (const char32_t c : Utf8ToUtf32(text)) {
        const int digit = DecimalDigitValue(c);
        if (digit >= 0)
            ascii += static_cast<char>('0' + digit);
        else if (c < 0x80)
            ascii += static_cast<char>(c);
        else
            return minValue;
    }
    text = ascii;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return minValue;
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return minValue;
    const std::int64_t value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (magnitude > 0x8000'0000ull || value > INT32_MAX || value < INT32_MIN) return minValue;
    return static_cast<int>(value);
}

int PullIntoRange(int value, int minValue, int maxValue) { return std::clamp(value, minValue, maxValue); }

}  // namespace vantor
