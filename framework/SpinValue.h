#pragma once
// What a spin box holds: the integer its text spells, pulled into its range where the box demands it,
// and which characters may be typed into it.

#include <string>
#include <string_view>

namespace vantor {

// The value of a decimal digit of any script (Unicode's Nd: "６", "٣", "७", ...), or -1 for any other character.
int DecimalDigitValue(char32_t c);

// Whether a spin box lets `c` be typed: a decimal digit of any script, a sign or the decimal separator.
bool IsSpinCharacter(char32_t c, char32_t decimalSeparator);

// UTF-8 `text` as a spin box keeps it: the characters it lets be typed, with every digit written in ASCII.
std::string SpinText(std::string_view text, char32_t decimalSeparator);

// The integer `text` spells (leading blanks, a sign, decimal digits of any script, or hexadecimal after "$"
// or "0x"), or `minValue` when it spells none or one beyond 32 bits.
int SpinValue(std::string_view text, int minValue);

int PullIntoRange(int value, int minValue, int maxValue);

}  // namespace vantor
