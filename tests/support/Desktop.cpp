#include "tests/support/Desktop.h"

#include <algorithm>
#include <fstream>

#include "app/win32/Pictures.h"

namespace vantor::testing {

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = L"";
    if (!window) return L"none";
    ::GetClassNameW(window, name, 128);
    return name;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

RECT RectIn(HWND window, HWND reference) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

win32::IconHandle TwoColourIcon(DWORD leftRgb, DWORD rightRgb) {
    art::Image image(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) image.At(x, y) = art::Rgb(x < 8 ? leftRgb : rightRgb);
    return IconFromImage(image, Language::English);
}

ScreenPixels::ScreenPixels(const RECT& area) : area_(area), pixels_(static_cast<std::size_t>(Width() * Height())) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Width();
    info.bmiHeader.biHeight = -Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    win32::WindowDc screen(nullptr);
    win32::MemoryDc memory(::CreateCompatibleDC(screen.Get()));
    win32::GdiObject bitmap(::CreateCompatibleBitmap(screen.Get(), Width(), Height()));
    {
        win32::SelectGuard selected(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, Width(), Height(), screen.Get(), area.left, area.top, SRCCOPY);
    }
    // The bitmap is read once it is no longer selected into the DC.
    ::GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, static_cast<UINT>(Height()), pixels_.data(), &info,
                DIB_RGB_COLORS);
    for (DWORD& pixel : pixels_) pixel &= 0xFFFFFF;
}

DWORD ScreenPixels::At(int x, int y) const {
    return pixels_[static_cast<std::size_t>((y - area_.top) * Width() + (x - area_.left))];
}

int ScreenPixels::Count(DWORD rgb) const {
    return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), rgb));
}

std::optional<RECT> ScreenPixels::BoundsOf(DWORD rgb) const {
    RECT bounds{area_.right, area_.bottom, area_.left - 1, area_.top - 1};
    for (int y = area_.top; y < area_.bottom; ++y)
        for (int x = area_.left; x < area_.right; ++x)
            if (At(x, y) == rgb) {
                bounds.left = std::min<LONG>(bounds.left, x), bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.top = std::min<LONG>(bounds.top, y), bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
    if (bounds.right < bounds.left) return std::nullopt;
    return bounds;
}

std::optional<POINT> ScreenPixels::Find(const art::Image& image) const {
    const auto matchesAt = [&](int left, int top) {
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const std::uint32_t pixel = image.At(x, y);
                if ((pixel >> 24) == 0xFF && At(left + x, top + y) != (pixel & 0xFFFFFF)) return false;
            }
        return true;
    };
    for (int top = area_.top; top + image.height <= area_.bottom; ++top)
        for (int left = area_.left; left + image.width <= area_.right; ++left)
            if (matchesAt(left, top)) return POINT{left, top};
    return std::nullopt;
}

bool ScreenPixels::SamePictureAs(const ScreenPixels& other) const {
    return Width() == other.Width() && Height() == other.Height() && pixels_ == other.pixels_;
}

bool ScreenPixels::SaveBmp(const std::filesystem::path& path) const {
    const int stride = (Width() * 3 + 3) & ~3;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = Width();
    header.biHeight = -Height();
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * Height());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    std::vector<char> row(static_cast<std::size_t>(stride), 0);
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            const DWORD pixel = pixels_[static_cast<std::size_t>(y * Width() + x)];
            row[static_cast<std::size_t>(x * 3)] = static_cast<char>(pixel & 0xFF);
            row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<char>((pixel >> 8) & 0xFF);
            row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<char>((pixel >> 16) & 0xFF);
        }
        out.write(row.data(), stride);
    }
    return static_cast<bool>(out);
}

RECT TaskbarBand() {
    constexpr int kBand = 40;
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    return {0, height - kBand, width, height};
}

std::optional<POINT> FindOnTaskbar(DWORD rgb) {
    const auto bounds = ScreenPixels(TaskbarBand()).BoundsOf(rgb);
    if (!bounds) return std::nullopt;
    return POINT{(bounds->left + bounds->right - 1) / 2, (bounds->top + bounds->bottom - 1) / 2};
}

}  // namespace vantor::testing
