#include "app/core/ByteAmount.h"

#include <algorithm>
#include <cmath>

#include "app/core/NumberFormat.h"
#include "app/core/Settings.h"
#include "framework/SpinValue.h"
#include "framework/Unicode.h"

namespace vantor {
namespace {

constexpr std::string_view kUnits[] = {"B", "KB", "MB", "GB"};

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\u3000'; }

bool StartsAt(const std::u32string& text, std::size_t at, const std::u32string& part) {
    return !part.empty() && text.compare(at, part.size(), part) == 0;
}

}  // namespace

std::string FormatBytes(std::uint64_t bytes, ByteStyle style, const LocaleFormats& locale) {
    const int decimals = style == ByteStyle::Short ? 1 : 2;
    std::size_t unit = 0;
    double value = static_cast<double>(bytes);
    const auto roundsBelowThousand = [&](double figure, int shown) {
        const double scale = std::pow(10.0, shown);
        return std::round(figure * scale) < 1000.0 * scale;
    };
    while (unit + 1 < std::size(kUnits) && !roundsBelowThousand(value, unit == 0 ? 0 : decimals)) {
        value /= 1000.0;
        ++unit;
    }
    const std::string_view pattern = unit == 0 ? "#,##0" : style == ByteStyle::Short ? "#,##0.#" : "#,##0.00";
    return FormatFloat(pattern, value, locale) + (style == ByteStyle::Table ? " " : "") + std::string(kUnits[unit]);
}

std::optional<std::int32_t> AllowanceFromEntry(std::string_view text, AllowanceUnit unit, const LocaleFormats& locale) {
    std::u32string entry = Utf8ToUtf32(text);
    while (!entry.empty() && IsBlank(entry.back())) entry.pop_back();
    const std::size_t start = std::min(entry.find_first_not_of(U" \t\u3000"), entry.size());
    const std::u32string point = Utf8ToUtf32(locale.DecimalSeparator);
    const std::u32string thousands = Utf8ToUtf32(locale.ThousandSeparator);
    std::string whole, fraction;
    bool inFraction = false;
    // Digits since the last thousand separator, when there was one: a group has three, so that "1.5" in a
    // locale that groups with "." is no amount rather than 15.
    std::optional<std::size_t> group;
    for (std::size_t at = start; at < entry.size();) {
        if (const int digit = DecimalDigitValue(entry[at]); digit >= 0) {
            (inFraction ? fraction : whole) += static_cast<char>('0' + digit);
            if (group && !inFraction) ++*group;
            ++at;
        } else if (!inFraction && StartsAt(entry, at, point) && group.value_or(3) == 3) {
            inFraction = true;
            at += point.size();
        } else if (!inFraction && !whole.empty() && thousands != point && StartsAt(entry, at, thousands) &&
                   group.value_or(3) == 3) {
            group = 0;
            at += thousands.size();
        } else {
            return std::nullopt;
        }
    }
    if ((whole.empty() && fraction.empty()) || group.value_or(3) != 3) return std::nullopt;
    if (unit == AllowanceUnit::Gigabytes) {
        fraction.resize(std::max<std::size_t>(fraction.size(), 3), '0');
        whole += fraction.substr(0, 3);
        fraction.erase(0, 3);
    }
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() > 10) return kMaxAllowanceMegabytes;
    std::int64_t megabytes = whole.empty() ? 0 : std::stoll(whole);
    if (!fraction.empty() && fraction[0] >= '5') ++megabytes;
    // A small allowance that was typed is one, never "none".
    if (megabytes == 0 && fraction.find_first_not_of('0') != std::string::npos) megabytes = 1;
    return static_cast<std::int32_t>(std::min<std::int64_t>(megabytes, kMaxAllowanceMegabytes));
}

AllowanceEntry EntryOfAllowance(std::int32_t megabytes, const LocaleFormats& locale) {
    if (megabytes < 1000) return {std::to_string(std::max(megabytes, 0)), AllowanceUnit::Megabytes};
    return {FormatFloat("0.###", megabytes / 1000.0, locale), AllowanceUnit::Gigabytes};
}

}  // namespace vantor
