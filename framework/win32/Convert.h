#pragma once
// The portable points, rectangles and colours to and from Win32's POINT, RECT and COLORREF. Every
// binding converts here, so system colours turn into RGB in one place.

#include <windows.h>

#include "framework/Colors.h"
#include "framework/Geometry.h"

namespace vantor::win32 {

static_assert(clRed == RGB(0xFF, 0, 0) && clBlue == RGB(0, 0, 0xFF), "TColor keeps COLORREF's byte order");
static_assert(clBtnFace == (kSystemColorFlag | COLOR_BTNFACE));
static_assert(clWindowText == (kSystemColorFlag | COLOR_WINDOWTEXT));

constexpr RECT ToWin32Rect(const TRect& rect) { return {rect.Left, rect.Top, rect.Right, rect.Bottom}; }
constexpr TRect FromWin32Rect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
constexpr POINT ToWin32Point(TPoint point) { return {point.X, point.Y}; }
constexpr TPoint FromWin32Point(POINT point) { return {point.x, point.y}; }

// A system colour is looked up now; otherwise the top byte is dropped, as GDI wants it clear.
inline COLORREF ToColorRef(TColor color) {
    if (IsSystemColor(color)) return ::GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

// Only the RGB bytes: a palette flag in the top byte must not read as a system colour.
constexpr TColor FromColorRef(COLORREF color) { return color & 0x00FFFFFF; }

}  // namespace vantor::win32
