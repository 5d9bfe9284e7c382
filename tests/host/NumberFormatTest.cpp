#include "app/core/NumberFormat.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vantor {
namespace {

struct Case {
    std::string_view pattern;
    double value;
    std::string_view text;
};

void ExpectAll(std::initializer_list<Case> cases, const LocaleFormats& locale) {
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloat(c.pattern, c.value, locale), c.text) << c.pattern << " of " << c.value;
}

TEST(FormatFloat, ShowsTheFourPatterns) {
    ExpectAll({{kSpeedPattern, 1205.6318, "1,205.6"},
               {kSpeedPattern, 12, "12.0"},
               {kSpeedPattern, 0, "0.0"},
               {kSpeedPattern, 123456789.04, "123,456,789.0"},
               {kSpeedPattern, 999.96, "1,000.0"},
               {kRatePattern, 100, "100%"},
               {kRatePattern, 7, "7%"},
               {kRatePattern, 0, "0%"},
               {kRatePattern, 4321, "4321%"},
               {kLinkSpeedPattern, 2.0, "02.0Mbps"},
               {kLinkSpeedPattern, 1000, "1000.0Mbps"},
               {kLinkSpeedPattern, 0, "00.0Mbps"},
               {kLinkSpeedPattern, 9.96, "10.0Mbps"},
               {kTotalPattern, 1023999.5, "1,024,000"},
               {kTotalPattern, 999, "999"},
               {kTotalPattern, 0.4, "0"},
               {kTotalPattern, 1e18, "1,000,000,000,000,000,000"}},
              LocaleFormats{});
}

// Halves go away from zero on the decimal value the double stands for, even where the binary value
// lies a hair below the half (0.15, 1.45, 9.95) or the value is no short decimal at all.
TEST(FormatFloat, RoundsHalvesAwayFromZeroOnTheDecimalValue) {
    ExpectAll({{kSpeedPattern, 256.0 / 1024, "0.3"},
               {kSpeedPattern, 1234567.0 / 1024, "1,205.6"},
               {kSpeedPattern, 1234567.0 / 1024 * 8, "9,645.1"},
               {kSpeedPattern, 0.05, "0.1"},
               {kSpeedPattern, 0.15, "0.2"},
               {kSpeedPattern, 1.45, "1.5"},
               {kSpeedPattern, 0.1 + 0.2, "0.3"},
               {kSpeedPattern, 0.04999, "0.0"},
               {kSpeedPattern, 99999.95, "100,000.0"},
               {kSpeedPattern, 4294967295.0 / 1024, "4,194,304.0"},
               {kSpeedPattern, 4294967040.0 / 1024, "4,194,303.8"},
               {kLinkSpeedPattern, 9.95, "10.0Mbps"},
               {kLinkSpeedPattern, 4294.967295, "4295.0Mbps"},
               {kRatePattern, 0.5, "1%"},
               {kRatePattern, 0.49999999, "0%"},
               {kRatePattern, 2.5, "3%"},
               {kRatePattern, 99.5, "100%"},
               {kRatePattern, 99.4999, "99%"},
               {kTotalPattern, 2.5, "3"},
               {kTotalPattern, 999999.5, "1,000,000"},
               {kSpeedPattern, -1.25, "-1.3"},
               {kSpeedPattern, -0.04, "0.0"},
               {kSpeedPattern, std::numeric_limits<double>::denorm_min(), "0.0"}},
              LocaleFormats{});
}

TEST(FormatFloat, TakesTheSeparatorsFromTheLocale) {
    LocaleFormats german;
    german.DecimalSeparator = ",";
    german.ThousandSeparator = ".";
    ExpectAll({{kSpeedPattern, 1234567.0 / 1024, "1.205,6"},
               {kSpeedPattern, 0, "0,0"},
               {kLinkSpeedPattern, 2.0, "02,0Mbps"},
               {kTotalPattern, 1023999.5, "1.024.000"},
               {kRatePattern, 99.5, "100%"}},
              german);

    LocaleFormats wide;
    wide.DecimalSeparator = "\u066B";
    wide.ThousandSeparator = "\u202F";
    ExpectAll({{kSpeedPattern, 1234567.0, "1\u202F234\u202F567\u066B0"}}, wide);
}

TEST(FormatFloat, ReadsOptionalDecimalsAndLiteralText) {
    ExpectAll({{"0.0#", 1.5, "1.5"}, {"0.0#", 1.256, "1.26"}, {"x=#,##0 B", 1234, "x=1,234 B"}}, LocaleFormats{});
}

TEST(FormatFloat, NamesValuesThatAreNoNumbers) {
    EXPECT_EQ(FormatFloat(kSpeedPattern, std::numeric_limits<double>::quiet_NaN(), {}), "NAN");
    EXPECT_EQ(FormatFloat(kSpeedPattern, std::numeric_limits<double>::infinity(), {}), "INF");
    EXPECT_EQ(FormatFloat(kSpeedPattern, -std::numeric_limits<double>::infinity(), {}), "-INF");
}

}  // namespace
}  // namespace vantor
