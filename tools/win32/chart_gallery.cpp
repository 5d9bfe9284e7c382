// Renders the trend chart in every style, with and without values and the second series, through the
// real GDI canvas into 24-bit BMP files in the current directory: chart_gallery
// tools/gallery.sh runs it under Wine and turns the files into docs/gallery/*.png.

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/core/MainChart.h"
#include "components/TyxTrend/TrendPainter.h"
#include "components/TyxTrend/win32/GdiCanvas.h"
#include "framework/win32/Handles.h"

namespace {

using namespace vantor;

// The chart's pixels, copied in one block transfer into a top-down 24-bit DIB, written as a BMP file.
bool Render(const TTyxTrend& chart, const std::string& path) {
    const int width = chart.Width(), height = chart.Height();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win32::MemoryDc target(::CreateCompatibleDC(nullptr));
    win32::GdiObject dib(::CreateDIBSection(target.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!target || !dib) return false;
    win32::SelectGuard selected(target.Get(), dib.Get());

    win32::GdiCanvas canvas(nullptr, width, height);
    if (!canvas.Valid()) return false;
    PaintTrend(chart, canvas);
    if (!canvas.CopyTo(target.Get(), 0, 0)) return false;
    ::GdiFlush();

    const auto stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    info.bmiHeader.biSizeImage = imageSize;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + imageSize;

    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    const bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                         std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                         std::fwrite(bits, imageSize, 1, out) == 1;
    return std::fclose(out) == 0 && written;
}

// Two waves that cross now and then: series 1 a larger one, series 2 a smaller one out of phase.
void AddSampleData(TTyxTrend& chart, int count) {
    for (int i = 0; i < count; ++i) {
        const double t = i * 0.45;
        chart.AddValue1(static_cast<int>(std::lround(55 + 38 * std::sin(t))));
        chart.AddValue2(static_cast<int>(std::lround(35 + 25 * std::sin(t * 1.3 + 1.8))));
    }
}

// Send and receive percentages as the main window's chart shows them: a download with send bursts.
void AddMonitorData(TTyxTrend& chart) {
    for (int i = 0; i < 100; ++i) {
        const int receive = i < 30 ? 5 + (i * 7) % 9 : i < 70 ? 70 + static_cast<int>(std::lround(20 * std::sin(i * 0.7))) : 12;
        const int send = (i % 17 < 3) ? 45 + (i % 17) * 10 : 3 + (i * 5) % 6;
        chart.AddValue1(send);
        chart.AddValue2(receive);
    }
}

struct Variant {
    const char* name;
    TTrendStyle style;
};

}  // namespace

int main() {
    const Variant styles[] = {{"bar", TTrendStyle::tsBar},
                              {"line", TTrendStyle::tsLine},
                              {"scatter", TTrendStyle::tsScatter},
                              {"3d", TTrendStyle::ts3D},
                              {"filled", TTrendStyle::tsFilled}};
    int failures = 0;
    const auto render = [&](const TTyxTrend& chart, const std::string& name) {
        const bool ok = Render(chart, name + ".bmp");
        std::printf("%s %s.bmp\n", ok ? "wrote" : "FAILED", name.c_str());
        failures += ok ? 0 : 1;
    };

    for (const Variant& variant : styles) {
        for (int values = 0; values < 2; ++values) {
            for (int twin = 0; twin < 2; ++twin) {
                TTyxTrend chart(nullptr);
                chart.SetBounds(0, 0, 250, 90);
                chart.SetDivisions(16);
                chart.SetStyle(variant.style);
                chart.SetGridColor(0xE0E0E0);
                chart.SetGraphColor(0xFF0080);
                chart.SetColorBase(clRed);
                TTrendOptions options;
                if (values && twin) options = {TTrendOption::toValues, TTrendOption::toTwin};
                else if (values) options = {TTrendOption::toValues};
                else if (twin) options = {TTrendOption::toTwin};
                chart.SetOptions(options);
                AddSampleData(chart, 16);
                render(chart, std::string(variant.name) + (values ? "-values" : "") + (twin ? "-twin" : ""));
            }
        }
    }

    TTyxTrend mainWindow(nullptr);
    mainWindow.SetBounds(0, 0, kChartWidth, kChartHeight);
    mainWindow.SetDivisions(100);
    mainWindow.SetOptions({TTrendOption::toTwin});
    mainWindow.SetStyle(TTrendStyle::tsLine);
    mainWindow.SetColorBase(clRed);
    mainWindow.SetGridColor(0xE0E0E0);
    mainWindow.SetGraphColor(0xFF0080);
    AddMonitorData(mainWindow);
    render(mainWindow, "main-window");
    return failures == 0 ? 0 : 1;
}
