#include "app/core/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>

namespace vantor {
namespace {

struct Picture {
    std::string_view prefix;
    std::string_view suffix;
    std::size_t minIntegerDigits = 0;
    std::size_t minDecimals = 0;
    std::size_t maxDecimals = 0;
    bool grouping = false;
};

constexpr std::string_view kPlaceholders = "#0,.";

Picture ParsePicture(std::string_view pattern) {
    Picture picture;
    const std::size_t first = std::min(pattern.find_first_of(kPlaceholders), pattern.size());
    const std::size_t last = std::min(pattern.find_first_not_of(kPlaceholders, first), pattern.size());
    picture.prefix = pattern.substr(0, first);
    picture.suffix = pattern.substr(last);

    const std::string_view placeholders = pattern.substr(first, last - first);
    const std::size_t point = placeholders.find('.');
    const std::string_view integer = placeholders.substr(0, point);
    const std::string_view decimals = point == std::string_view::npos ? std::string_view{} : placeholders.substr(point + 1);
    picture.minIntegerDigits = static_cast<std::size_t>(std::count(integer.begin(), integer.end(), '0'));
    picture.grouping = integer.find(',') != std::string_view::npos;
    picture.minDecimals = static_cast<std::size_t>(std::count(decimals.begin(), decimals.end(), '0'));
    picture.maxDecimals = picture.minDecimals + static_cast<std::size_t>(std::count(decimals.begin(), decimals.end(), '#'));
    return picture;
}

// Adds one unit in the last place of a string of decimal digits.
void IncrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

std::string Grouped(const std::string& digits, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += separator;
        text += digits[i];
    }
    return text;
}

}  // namespace

std::string FormatFloat(std::string_view pattern, double value, const LocaleFormats& locale) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";

    const Picture picture = ParsePicture(pattern);

    // The shortest text that reads back as the same double is the decimal value the caller meant;
    // rounding the binary value instead would turn 0.15 into 0.1.
    char buffer[400];
    const auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
    const std::string_view shortest(buffer, static_cast<std::size_t>(converted.ptr - buffer));
    const std::size_t point = shortest.find('.');
    std::string integer(shortest.substr(0, point));
    std::string decimals(point == std::string_view::npos ? std::string_view{} : shortest.substr(point + 1));

    if (decimals.size() > picture.maxDecimals) {
        const bool roundUp = decimals[picture.maxDecimals] >= '5';
        decimals.resize(picture.maxDecimals);
        if (roundUp) {
            std::string digits = integer + decimals;
            IncrementDigits(digits);
            integer = digits.substr(0, digits.size() - decimals.size());
            decimals = digits.substr(digits.size() - decimals.size());
        }
    }
    while (decimals.size() > picture.minDecimals && decimals.back() == '0') decimals.pop_back();
    decimals.resize(std::max(decimals.size(), picture.minDecimals), '0');

    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
    if (integer.size() < picture.minIntegerDigits) integer.insert(0, picture.minIntegerDigits - integer.size(), '0');

    // A value that rounds to zero shows no minus sign.
    const bool negative = value < 0 && (integer + decimals).find_first_not_of('0') != std::string::npos;

    std::string text = negative ? "-" : "";
    text += picture.prefix;
    text += picture.grouping ? Grouped(integer, locale.ThousandSeparator) : integer;
    if (!decimals.empty()) text += locale.DecimalSeparator + decimals;
    text += picture.suffix;
    return text;
}

}  // namespace vantor
