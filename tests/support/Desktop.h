#pragma once
// The shared desktop as tests under Wine see it from outside: windows (their class, children and place),
// the screen's pixels and the notification area's icons found by their pictures, and icons made to be
// found there.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/core/Artwork.h"
#include "framework/win32/Handles.h"

namespace vantor::testing {

// The window's class name; L"none" for no window.
std::wstring ClassOf(HWND window);
// Its child windows, in their order.
std::vector<HWND> ChildrenOf(HWND parent);
// Its outer rectangle relative to the client area of another window (null: the screen).
RECT RectIn(HWND window, HWND reference);

// A 16 x 16 fully opaque icon, its left half of one colour and its right half of another (0x00RRGGBB),
// easy to find among the taskbar's pixels.
win32::IconHandle TwoColourIcon(DWORD leftRgb, DWORD rightRgb);

// A copy of a rectangle of the screen, as 0x00RRGGBB pixels addressed in screen coordinates.
class ScreenPixels {
public:
    explicit ScreenPixels(const RECT& area);

    const RECT& Area() const noexcept { return area_; }
    int Width() const noexcept { return area_.right - area_.left; }
    int Height() const noexcept { return area_.bottom - area_.top; }
    DWORD At(int x, int y) const;
    int Count(DWORD rgb) const;
    // The smallest rectangle holding every pixel of this colour, if there is one.
    std::optional<RECT> BoundsOf(DWORD rgb) const;
    // Where the opaque pixels of `image` show exactly, its transparent ones being anything: the
    // image's top-left corner on the screen.
    std::optional<POINT> Find(const art::Image& image) const;
    // The same pixels as another copy of the same size, wherever it was taken.
    bool SamePictureAs(const ScreenPixels& other) const;
    // Writes the copy as a 24-bit BMP file, to look at when a check fails.
    bool SaveBmp(const std::filesystem::path& path) const;

private:
    RECT area_;
    std::vector<DWORD> pixels_;
};

// The band at the bottom of the screen where the virtual desktop's taskbar lies.
RECT TaskbarBand();

// Where pixels of exactly this colour show in the taskbar: the centre of their bounding box.
std::optional<POINT> FindOnTaskbar(DWORD rgb);

}  // namespace vantor::testing
