#include "framework/SpinValue.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace vantor {

int SpinValue(std::string_view text, int minValue) {
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
