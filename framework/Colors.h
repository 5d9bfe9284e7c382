#pragma once
// Colours as components store them: 0x00BBGGRR, or a system colour (its index in the low byte) with
// the top bit set. The Win32 layer turns system colours into their current RGB value at its edge
// (framework/win32/Convert.h).

#include <cstdint>

namespace vantor {

using TColor = std::uint32_t;

constexpr TColor kSystemColorFlag = 0x80000000u;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clBtnFace = kSystemColorFlag | 15;     // COLOR_BTNFACE
constexpr TColor clWindowText = kSystemColorFlag | 8;   // COLOR_WINDOWTEXT

constexpr bool IsSystemColor(TColor color) { return (color & kSystemColorFlag) != 0; }

}  // namespace vantor
