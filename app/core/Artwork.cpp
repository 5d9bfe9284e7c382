#include "app/core/Artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <utility>

#include "app/core/MainChart.h"
#include "framework/Dpi.h"

namespace vantor::art {
namespace {

// Blends `colour` over the pixel with the share of the pixel's 4 x 4 subsamples that `inside` covers.
// `inside` takes design coordinates; a pixel is 1 / scale of them, so the shape is drawn at any size.
void Cover(Image& image, std::uint32_t colour, const std::function<bool(double, double)>& inside, double scale = 1.0) {
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (inside((x + (sx + 0.5) / 4.0) / scale, (y + (sy + 0.5) / 4.0) / scale)) ++hits;
            if (hits == 0) continue;
            const double a = hits / 16.0;
            std::uint32_t& p = image.At(x, y);
            const auto mix = [&](int shift) {
                const double under = (p >> shift) & 0xFF, over = (colour >> shift) & 0xFF;
                return static_cast<std::uint32_t>(std::lround(over * a + under * (1 - a))) << shift;
            };
            const double alphaUnder = (p >> 24) / 255.0;
            const auto alpha = static_cast<std::uint32_t>(std::lround(255 * (a + alphaUnder * (1 - a))));
            p = (alpha << 24) | mix(16) | mix(8) | mix(0);
        }
}

bool InRoundedRect(double x, double y, double l, double t, double r, double b, double radius) {
    if (x < l || x > r || y < t || y > b) return false;
    const double cx = std::clamp(x, l + radius, r - radius), cy = std::clamp(y, t + radius, b - radius);
    return std::hypot(x - cx, y - cy) <= radius;
}

double DistanceToSegment(double x, double y, double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double t = std::clamp(((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(x - (x1 + t * dx), y - (y1 + t * dy));
}

// The tray picture's colours: outlines, shaded and lit bevels, highlights.
constexpr std::uint32_t kOutline = Rgb(0x000000), kShade = Rgb(0x848484), kLight = Rgb(0xC6C6C6),
                        kHighlight = Rgb(0xFFFFFF);

void Fill(Image& image, int left, int top, int right, int bottom, std::uint32_t colour) {
    for (int y = std::max(top, 0); y < std::min(bottom, image.height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, image.width); ++x) image.At(x, y) = colour;
}

// An edge of a part of the tray picture: in sixteenths of the picture's side, less some strokes where the
// part shares its outline with another.
struct TrayEdge {
    int sixteenths;
    int strokes = 0;
};
// A monitor has a screen inside a bevel lit from the upper left; a keyboard is a lit key row between a
// highlight and a shade.
struct TrayPart {
    TrayEdge left, top, right, bottom;
    bool monitor;
    bool front;
};
// Back to front: the back computer at the upper right, then the front one at the lower left over it. Each
// keyboard shares its top outline with its monitor's bottom one; the back keyboard shares its left one
// with the front monitor's right one.
constexpr std::array<TrayPart, 4> kTrayParts = {{
    {{5}, {0}, {16}, {8}, true, false},
    {{10, 1}, {8, 1}, {16}, {10}, false, false},
    {{0}, {6}, {10}, {14}, true, true},
    {{0}, {14, 1}, {10}, {16}, false, true},
}};

// Front (send) and back (receive) screen levels of each tray image.
constexpr std::array<std::pair<int, int>, TrayImageCount> kTrayLevels = {{
    {0, 0}, {1, 1}, {2, 2}, {3, 3}, {0, 1}, {0, 2}, {0, 3}, {1, 0},
    {2, 0}, {3, 0}, {1, 2}, {1, 3}, {2, 1}, {2, 3}, {3, 1}, {3, 2},
}};

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

Image MainIcon(int size) {
    Image icon(size, size, 0);
    // The drawing's coordinates are pixels of the 32-pixel icon.
    const auto cover = [&icon, scale = size / 32.0](std::uint32_t colour, const std::function<bool(double, double)>& inside) {
        Cover(icon, colour, inside, scale);
    };
    // The board, its traces and pads.
    cover(Rgb(0x0F4D24), [](double x, double y) { return InRoundedRect(x, y, 1, 3, 31, 31, 3); });
    cover(Rgb(0x1E7A3C), [](double x, double y) { return InRoundedRect(x, y, 2, 4, 30, 30, 2.5); });
    const std::uint32_t trace = Rgb(0x5BD27F), pad = Rgb(0xE8C040);
    for (const auto& [x1, y1, x2, y2] : {std::array{4.0, 8.0, 12.0, 8.0}, std::array{12.0, 8.0, 12.0, 14.0},
                                         std::array{4.0, 21.0, 9.0, 21.0}, std::array{20.0, 22.0, 27.0, 22.0},
                                         std::array{27.0, 22.0, 27.0, 28.0},
                                         std::array{16.0, 27.0, 23.0, 27.0}}) {
        cover(trace, [=](double x, double y) { return DistanceToSegment(x, y, x1, y1, x2, y2) <= 0.7; });
    }
    for (const auto& [cx, cy] : {std::pair{4.0, 8.0}, std::pair{4.0, 21.0}, std::pair{27.0, 28.0},
                                 std::pair{16.0, 27.0}, std::pair{20.0, 22.0}, std::pair{12.0, 14.0}}) {
        cover(pad, [=](double x, double y) { return std::hypot(x - cx, y - cy) <= 1.6; });
    }
    // The handle, pointing to the lower left, then the lens over its end.
    cover(Rgb(0x0A1F5C), [](double x, double y) { return DistanceToSegment(x, y, 15, 17, 5.5, 26.5) <= 3.1; });
    cover(Rgb(0x2E62D8), [](double x, double y) { return DistanceToSegment(x, y, 15, 17, 5.5, 26.5) <= 2.1; });
    cover(Rgb(0x8FB0F5), [](double x, double y) { return DistanceToSegment(x, y, 13, 17.6, 6.5, 24.1) <= 0.6; });
    constexpr double lx = 20, ly = 12;
    cover(Rgb(0x1B2A40), [](double x, double y) { return std::hypot(x - lx, y - ly) <= 9.4; });
    cover(Rgb(0x9AA6B4), [](double x, double y) { return std::hypot(x - lx, y - ly) <= 8.3; });
    cover(Rgb(0x20C8E8), [](double x, double y) { return std::hypot(x - lx, y - ly) <= 7.0; });
    cover(Rgb(0x7FE9FA), [](double x, double y) { return std::hypot(x - lx + 1.5, y - ly + 1.5) <= 4.2; });
    cover(Rgb(0xFFFFFF), [](double x, double y) {
        const double d = std::hypot(x - lx, y - ly);
        return d >= 4.6 && d <= 5.8 && x < lx - 1 && y < ly - 1;
    });
    return icon;
}

std::uint32_t TrayScreenColour(int level) {
    constexpr std::array<std::uint32_t, 4> colours = {0x000000, 0x00FFFF, 0xFFFF00, 0xFF0000};
    return Rgb(colours.at(static_cast<std::size_t>(level)));
}

Image TrayImage(int index, int size) {
    const auto [front, back] = kTrayLevels.at(static_cast<std::size_t>(index));
    Image image(size, size, 0);
    // Boxes scale by their edges, so parts that share an edge at 16 pixels share it at every size, while
    // the strokes take whole pixels: at 16 this is the classic picture pixel for pixel.
    const int density = size * kDesignDpi / 16;
    const int w = WholePixelScale(density);
    const auto at = [&](TrayEdge edge) { return ScaleToDpi(edge.sixteenths, density) - edge.strokes * w; };
    for (const TrayPart& part : kTrayParts) {
        const int l = at(part.left), t = at(part.top), r = at(part.right), b = at(part.bottom);
        Fill(image, l, t, r, b, kOutline);
        const int il = l + w, it = t + w, ir = r - w, ib = b - w;
        if (part.monitor) {
            Fill(image, il, it, ir, it + w, kHighlight);
            Fill(image, il, it, il + w, ib, kHighlight);
            Fill(image, ir - w, it, ir, it + w, kLight);
            Fill(image, il, ib - w, il + w, ib, kLight);
            Fill(image, ir - w, it + w, ir, ib, kShade);
            Fill(image, il + w, ib - w, ir, ib, kShade);
            Fill(image, il + w, it + w, ir - w, ib - w, TrayScreenColour(part.front ? front : back));
        } else {
            Fill(image, il, it, ir, ib, kLight);
            Fill(image, il, it, il + w, ib, kHighlight);
            Fill(image, ir - w, it, ir, ib, kShade);
        }
    }
    return image;
}

Image BackgroundBand(int dpi) {
    constexpr std::array<std::uint32_t, 4> stripes = {0xEFEFEF, 0xFFFFFF, 0xEFEFEF, 0xE7E7E7};
    Image band(ScaleToDpi(kChartWidth, dpi), ScaleToDpi(kChartHeight, dpi));
    // Each stripe is a whole number of rows, so that none comes out thicker than the others.
    const int stripe = WholePixelScale(dpi);
    for (int y = 0; y < band.height; ++y)
        for (int x = 0; x < band.width; ++x) band.At(x, y) = Rgb(stripes[static_cast<std::size_t>(y / stripe % 4)]);

    // Up and down triangles, each in its half of the arrow's box, the shadow one pixel to the lower right.
    const auto up = [](double x, double y) {
        return y >= 16.2 && y <= 22.8 && std::abs(x - 12.0) <= (y - 16.2) * 5.0 / 6.6 + 0.3;
    };
    const auto down = [](double x, double y) {
        return y >= 25.2 && y <= 31.8 && std::abs(x - 12.0) <= (31.8 - y) * 5.0 / 6.6 + 0.3;
    };
    const auto either = [=](double x, double y) { return up(x, y) || down(x, y); };
    const double scale = dpi / static_cast<double>(kDesignDpi);
    Cover(band, Rgb(0xB8B8B8), [=](double x, double y) { return either(x - 1.0, y - 1.0); }, scale);
    Cover(band, Rgb(0xD4D4D4), [=](double x, double y) { return either(x - 1.5, y - 0.5) && !either(x - 1.0, y - 1.0); }, scale);
    Cover(band, Rgb(0x0090C0), either, scale);
    Cover(band, Rgb(0x30E0FF), [=](double x, double y) { return either(x, y) && either(x - 0.8, y) && either(x + 0.8, y) && either(x, y - 0.8) && either(x, y + 0.8); }, scale);
    return band;
}

std::vector<std::uint8_t> EncodeIco(const Image& image) {
    const auto w = static_cast<std::uint32_t>(image.width), h = static_cast<std::uint32_t>(image.height);
    const std::uint32_t maskStride = ((w + 31) / 32) * 4;
    const std::uint32_t dibSize = 40 + w * h * 4 + maskStride * h;
    std::vector<std::uint8_t> out;
    PutLE(out, 0, 2);  // reserved
    PutLE(out, 1, 2);  // icon
    PutLE(out, 1, 2);  // one image
    out.push_back(static_cast<std::uint8_t>(w));
    out.push_back(static_cast<std::uint8_t>(h));
    PutLE(out, 0, 2);   // no palette, reserved
    PutLE(out, 1, 2);   // planes
    PutLE(out, 32, 2);  // bits per pixel
    PutLE(out, dibSize, 4);
    PutLE(out, 22, 4);  // offset of the image
    // BITMAPINFOHEADER, with the height doubled for the colour and mask planes.
    PutLE(out, 40, 4);
    PutLE(out, w, 4);
    PutLE(out, h * 2, 4);
    PutLE(out, 1, 2);
    PutLE(out, 32, 2);
    for (int i = 0; i < 6; ++i) PutLE(out, 0, 4);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) PutLE(out, image.At(x, y), 4);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < image.width; ++x)
            if ((image.At(x, y) >> 24) == 0) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace vantor::art
