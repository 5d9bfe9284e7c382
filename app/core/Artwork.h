#pragma once
// The program's pictures, drawn by code: the application icon, the background band of the mini
// window and the tray load images. Pixels are 0xAARRGGBB.

#include <cstdint>
#include <vector>

namespace vantor::art {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row-major, top row first

    Image() = default;
    Image(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(static_cast<std::size_t>(w * h), fill) {}
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
    bool operator==(const Image&) const = default;
};

constexpr std::uint32_t Rgb(std::uint32_t rgb) { return 0xFF000000u | rgb; }

// size x size (32 in the program's icon file): a magnifying glass with a cyan lens and a blue handle to
// the lower left, over a green circuit board.
Image MainIcon(int size = 32);

// The tray load pictures, size x size (16 at 96 dpi; the notification area's small-icon size) with
// transparency: two desktop computers, the front one at the lower left showing the send level on its
// screen, the back one at the upper right the receive level. Image 0 (both screens black) is also the
// icon shown before the first tick.
inline constexpr int TrayImageCount = 16;
// The screen colour of a load level 0..3: black, cyan, yellow, red.
std::uint32_t TrayScreenColour(int level);
// Image `index` of the sixteen (0..15); its screen levels are those TrayImageIndex picks it for.
Image TrayImage(int index, int size = 16);

// The chart's size (kChartWidth x kChartHeight at 96 dpi), drawn at the size it has at `dpi`, opaque: the
// pin-striped band behind the figures
// of the mini window, with a small cyan double arrow (up beside the send row, down beside the receive
// row) at x 6..18, y 16..32 (design units).
Image BackgroundBand(int dpi = 96);
inline constexpr int ArrowLeft = 6, ArrowTop = 16, ArrowRight = 18, ArrowBottom = 32;  // inclusive

// An .ico file holding one 32-bit image with its AND mask.
std::vector<std::uint8_t> EncodeIco(const Image& image);

}  // namespace vantor::art
