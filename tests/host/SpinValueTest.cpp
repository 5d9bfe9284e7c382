#include "framework/SpinValue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace vantor {
namespace {

TEST(SpinValue, ReadsTheIntegerTheTextSpellsOrTheMinimum) {
    struct Case {
        const char* text;
        int expected;
    };
    for (const Case c : {Case{"42", 42}, Case{"  7", 7}, Case{"+15", 15}, Case{"-3", -3}, Case{"0", 0},
                         Case{"$1F", 31}, Case{"0x3C", 60}, Case{"", 1}, Case{"abc", 1}, Case{"12a", 1},
                         Case{"4 ", 1}, Case{"1.5", 1}, Case{"-", 1}, Case{"2147483647", 2147483647},
                         Case{"-2147483648", -2147483647 - 1}, Case{"2147483648", 1}, Case{"99999999999", 1},
                         // Decimal digits of other scripts: full-width, Arabic-Indic, Devanagari, mathematical bold.
                         Case{"６０", 60}, Case{"-１２", -12}, Case{"٣٤", 34}, Case{"७", 7}, Case{"𝟗", 9},
                         Case{"6０", 60}, Case{"２１４７４８３６４８", 1}, Case{"²", 1}, Case{"６ｘ", 1}}) {
        EXPECT_EQ(SpinValue(c.text, 1), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(SpinValue("25", -10), 25) << "reading does not pull into the range";
    EXPECT_EQ(SpinValue("x", -10), -10);
}

TEST(SpinValue, TypedOrPastedTextKeepsWhatTheBoxLetsInWithItsDigitsInAscii) {
    struct Case {
        const char* text;
        char32_t separator;
        const char* kept;
    };
    for (const Case c : {Case{"６０", U'.', "60"}, Case{"٣x４ 5", U'.', "345"}, Case{"+1,5.", U',', "+1,5"},
                         Case{"-1٫5", U'٫', "-1٫5"}, Case{"𝟘²¹", U'.', "0"}, Case{"", U'.', ""}}) {
        EXPECT_EQ(SpinText(c.text, c.separator), c.kept) << '"' << c.text << '"';
    }
    // Each run of ten ends at its nine.
    const std::pair<char32_t, int> digits[] = {{U'０', 0},        {U'９', 9},        {U'：', -1},
                                               {U'/', -1},        {U'٩', 9},         {U'\x1FBF9', 9},
                                               {U'\x1FBFA', -1}, {U'\x1D7FF', 9}, {U'a', -1}};
    for (const auto& [c, value] : digits) {
        EXPECT_EQ(DecimalDigitValue(c), value) << std::hex << static_cast<std::uint32_t>(c);
    }
}

TEST(SpinValue, PullsValuesIntoTheRange) {
    EXPECT_EQ(PullIntoRange(0, 1, 100000), 1);
    EXPECT_EQ(PullIntoRange(20000, 1, 10800), 10800);
    EXPECT_EQ(PullIntoRange(55, 1, 10800), 55);
}

}  // namespace
}  // namespace vantor
