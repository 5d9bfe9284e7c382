// Renders the tray images and the background band enlarged, for looking at them:
//   render_art tray <sheet.ppm>   the sixteen tray images at 8x, four to a row, over a checkerboard
//   render_art band <band.ppm>    the background band at 4x
// /usr/bin/convert <file>.ppm <file>.png turns the result into a PNG.

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

#include "app/core/Artwork.h"

using vantor::art::Image;

namespace {

// Copies `image` enlarged by `scale` onto `sheet` at (left, top); transparent pixels show a checkerboard.
void Paste(Image& sheet, const Image& image, int left, int top, int scale) {
    for (int y = 0; y < image.height * scale; ++y)
        for (int x = 0; x < image.width * scale; ++x) {
            const std::uint32_t pixel = image.At(x / scale, y / scale);
            const bool light = ((x / 4) + (y / 4)) % 2 == 0;
            sheet.At(left + x, top + y) = (pixel >> 24) == 0 ? (light ? 0xFFE8E8E8u : 0xFFD0D0D0u) : pixel;
        }
}

bool WritePpm(const std::string& path, const Image& image) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << image.width << ' ' << image.height << "\n255\n";
    for (const std::uint32_t pixel : image.pixels) {
        const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8), static_cast<char>(pixel)};
        out.write(rgb, 3);
    }
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc == 3 ? argv[1] : "";
    if (what == "tray") {
        constexpr int scale = 8, cell = 16 * scale, gap = 16, perRow = 4;
        Image sheet(gap + perRow * (cell + gap), gap + perRow * (cell + gap), 0xFFFFFFFFu);
        for (int index = 0; index < vantor::art::TrayImageCount; ++index)
            Paste(sheet, vantor::art::TrayImage(index), gap + (index % perRow) * (cell + gap),
                  gap + (index / perRow) * (cell + gap), scale);
        return WritePpm(argv[2], sheet) ? 0 : 1;
    }
    if (what == "band") {
        const Image band = vantor::art::BackgroundBand();
        Image enlarged(band.width * 4, band.height * 4);
        Paste(enlarged, band, 0, 0, 4);
        return WritePpm(argv[2], enlarged) ? 0 : 1;
    }
    std::cerr << "usage: render_art tray|band <output.ppm>\n";
    return 2;
}
