#pragma once
// What a spin box holds: the integer its text spells, pulled into its range where the box demands it.

#include <string_view>

namespace vantor {

// The integer `text` spells (leading blanks, a sign, decimal digits, or hexadecimal after "$" or "0x"),
// or `minValue` when it spells none or one beyond 32 bits.
int SpinValue(std::string_view text, int minValue);

int PullIntoRange(int value, int minValue, int maxValue);

}  // namespace vantor
