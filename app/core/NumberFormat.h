#pragma once
// Numbers as text under a picture pattern, the way the figures, rates and tray tip show them.

#include <string>
#include <string_view>

#include "app/core/Locale.h"

namespace vantor {

// Picture patterns the monitor shows its numbers with.
inline constexpr std::string_view kSpeedPattern = "##,##0.0";             // speed figures in kilo-units
inline constexpr std::string_view kRatePattern = "##0%";                  // rates
inline constexpr std::string_view kLinkSpeedPattern = "00.0Mbps";         // the interface's link speed
inline constexpr std::string_view kTotalPattern = "###,###,###,###,##0";  // the interface's totals

// Formats `value` under a picture pattern. The pattern is literal text, then one run of placeholders,
// then literal text: '0' is a digit that is always shown, '#' a digit shown only when significant, a ','
// among the integer placeholders groups the integer digits in threes, and '.' starts the decimals.
// The value is rounded to the shown decimals on its shortest decimal representation, halves away from
// zero, so 0.25 shows as 0.3 and 1234567 / 1024 as 1,205.6. The locale gives the decimal point and the
// thousands separator. Infinities and NaN come out as "INF", "-INF" and "NAN".
std::string FormatFloat(std::string_view pattern, double value, const LocaleFormats& locale);

}  // namespace vantor
