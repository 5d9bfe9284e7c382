#include "app/win32/Pictures.h"

#include <bit>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantor {
namespace {

// An image's 0xAARRGGBB pixels are copied as they lie in memory into the DIB's blue-green-red-reserved quads.
static_assert(std::endian::native == std::endian::little && sizeof(RGBQUAD) == sizeof(std::uint32_t));
static_assert(offsetof(RGBQUAD, rgbBlue) == 0 && offsetof(RGBQUAD, rgbGreen) == 1 && offsetof(RGBQUAD, rgbRed) == 2);

}  // namespace

win32::GdiObject BitmapFromImage(const art::Image& image, Language language) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::GdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) throw std::runtime_error(std::string(TextsFor(language).CannotMakePicture));
    std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(image.pixels[0]));
    return bitmap;
}

win32::IconHandle IconFromImage(const art::Image& image, Language language) {
    win32::GdiObject colour = BitmapFromImage(image, language);
    // The AND mask: set where the picture is transparent.
    const int stride = ((image.width + 15) / 16) * 2;
    std::vector<unsigned char> maskBits(static_cast<std::size_t>(stride * image.height), 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if ((image.At(x, y) >> 24) == 0)
                maskBits[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
    win32::GdiObject mask(::CreateBitmap(image.width, image.height, 1, 1, maskBits.data()));
    ICONINFO info{TRUE, 0, 0, reinterpret_cast<HBITMAP>(mask.Get()), reinterpret_cast<HBITMAP>(colour.Get())};
    win32::IconHandle icon(::CreateIconIndirect(&info));
    if (!icon) throw std::runtime_error(std::string(TextsFor(language).CannotMakePicture));
    return icon;
}

}  // namespace vantor
