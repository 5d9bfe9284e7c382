#include "framework/SpinValue.h"

#include <gtest/gtest.h>

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
                         Case{"-2147483648", -2147483647 - 1}, Case{"2147483648", 1}, Case{"99999999999", 1}}) {
        EXPECT_EQ(SpinValue(c.text, 1), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(SpinValue("25", -10), 25) << "reading does not pull into the range";
    EXPECT_EQ(SpinValue("x", -10), -10);
}

TEST(SpinValue, PullsValuesIntoTheRange) {
    EXPECT_EQ(PullIntoRange(0, 1, 100000), 1);
    EXPECT_EQ(PullIntoRange(20000, 1, 10800), 10800);
    EXPECT_EQ(PullIntoRange(55, 1, 10800), 55);
}

}  // namespace
}  // namespace vantor
