// The chart's pixels under real GDI: the main window's chart of the worked example, bars and boxes,
// the child window painting itself, its messages and events, and the GDI objects a paint leaves behind.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/core/MainChart.h"
#include "components/TyxTrend/TrendPainter.h"
#include "components/TyxTrend/win32/GdiCanvas.h"
#include "components/TyxTrend/win32/TyxTrendWindow.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Window.h"
#include "tests/support/Polling.h"

namespace vantor {
namespace {

using win32::GdiCanvas;
using win32::HandleCounts;

constexpr TColor kViolet = 0xFF0080;
constexpr TColor kGrid = 0xE0E0E0;

// The mini window's chart, at its size.
void ConfigureAsMainWindow(TTyxTrend& chart) {
    chart.SetBounds(0, 0, kChartWidth, kChartHeight);
    ConfigureMainChart(chart);
}

// Series 1 at 50 with a 0 in slot 33 (x 75) and a 100 in slot 47 (x 105), clear of the vertical grid
// lines; series 2 at 25.
void AddWorkedExampleSamples(TTyxTrend& chart) {
    for (int i = 0; i < 100; ++i) {
        chart.AddValue1(i == 33 ? 0 : i == 47 ? 100 : 50);
        chart.AddValue2(25);
    }
}

struct PixelCase {
    int x, y;
    COLORREF expected;
    const char* what;
};

void ExpectPixels(const std::function<COLORREF(int, int)>& pixel, const std::vector<PixelCase>& cases) {
    for (const PixelCase& c : cases)
        EXPECT_EQ(pixel(c.x, c.y), c.expected) << c.what << " at " << c.x << "," << c.y << std::hex << ": expected "
                                               << c.expected << ", got " << pixel(c.x, c.y);
}

std::vector<PixelCase> WorkedExamplePixels() {
    const COLORREF white = RGB(255, 255, 255), grid = RGB(0xE0, 0xE0, 0xE0);
    const COLORREF violet = RGB(0x80, 0x00, 0xFF), red = RGB(255, 0, 0);
    std::vector<PixelCase> cases;
    for (int x = 210; x >= 10; x -= 10) cases.push_back({x, 14, grid, "vertical grid line"});
    for (int y = 36; y >= 4; y -= 4)
        if (y != 20) cases.push_back({5, y, grid, "horizontal grid line"});
    cases.insert(cases.end(), {
                                  {215, 14, white, "between grid lines"},
                                  {210, 0, grid, "vertical line from the top"},
                                  {210, 38, grid, "vertical line down to H - 2"},
                                  {210, 39, white, "a line leaves out its end point"},
                                  {0, 36, grid, "horizontal line from the left edge"},
                                  {218, 36, grid, "horizontal line to W - 2"},
                                  {219, 36, white, "horizontal end point left out"},
                                  {100, 20, violet, "50 at y 20, over the grid line"},
                                  {75, 37, violet, "0 at y 37 (slot 33 at x 75)"},
                                  {75, 38, white, "nothing below 0"},
                                  {105, 3, violet, "100 at y 3 (slot 47 at x 105)"},
                                  {105, 2, white, "nothing above 100"},
                                  {4, 29, red, "series 2 from x 4"},
                                  {150, 29, red, "25 at y 29"},
                                  {3, 29, white, "series 2 starts at x 4"},
                              });
    return cases;
}

TEST(ChartPixels, WorkedExampleOnTheMainWindowsChart) {
    TTyxTrend chart(nullptr);
    ConfigureAsMainWindow(chart);
    AddWorkedExampleSamples(chart);
    GdiCanvas canvas(nullptr, 220, 40);
    ASSERT_TRUE(canvas.Valid());
    PaintTrend(chart, canvas);
    ExpectPixels([&](int x, int y) { return ::GetPixel(canvas.Dc(), x, y); }, WorkedExamplePixels());
}

TEST(ChartPixels, BarsOutlinedInBlackWithoutAGridAndOnASystemColour) {
    TTyxTrend chart(nullptr);
    chart.SetBounds(0, 0, 26, 40);
    chart.SetDivisions(4);
    chart.SetGridStyle(TGridStyle::gsNone);
    chart.SetBackGroundColor(clBtnFace);
    for (int value : {0, 50, 100, 25}) chart.AddValue1(value);  // bar 2 spans x 13..17, y 3..36
    GdiCanvas canvas(nullptr, 26, 40);
    PaintTrend(chart, canvas);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), black = RGB(0, 0, 0), blue = RGB(0, 0, 255);
    ExpectPixels([&](int x, int y) { return ::GetPixel(canvas.Dc(), x, y); },
                 {{13, 20, black, "left outline"},
                  {17, 20, black, "right outline, the corner at 18 left out"},
                  {15, 3, black, "top outline"},
                  {15, 36, black, "bottom outline"},
                  {15, 20, blue, "filled with the graph colour"},
                  {15, 37, face, "bottom edge left out"},
                  {20, 20, face, "background in the button face colour"}});
}

TEST(ChartPixels, BoxFacesAndValueTexts) {
    TTyxTrend chart(nullptr);
    chart.SetBounds(0, 0, 36, 40);
    chart.SetDivisions(4);
    chart.SetStyle(TTrendStyle::ts3D);
    chart.SetGraphColor(kViolet);
    chart.SetGridStyle(TGridStyle::gsNone);
    for (int value : {0, 50, 100, 25}) chart.AddValue1(value);  // box 2: front 13..18, top at y 13
    GdiCanvas canvas(nullptr, 36, 40);
    PaintTrend(chart, canvas);
    const auto pixel = [&](int x, int y) { return ::GetPixel(canvas.Dc(), x, y); };
    ExpectPixels(pixel, {{15, 25, RGB(0x80, 0x00, 0xFF), "front face"},
                         {23, 20, RGB(0x44, 0x00, 0xC3), "side face, 60 darker"},
                         {19, 9, RGB(0xBC, 0x3C, 0xFF), "top face, 60 lighter"}});

    chart.SetOptions({TTrendOption::toValues});
    GdiCanvas withValues(nullptr, 36, 40);
    PaintTrend(chart, withValues);
    // "100" sits in the 8 rows above box 2's top face (y 5..12) in dark window text, smoothed or not.
    const auto dark = [&](int x, int y) {
        const COLORREF c = ::GetPixel(withValues.Dc(), x, y);
        return GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80;
    };
    int textPixels = 0;
    for (int y = 5; y < 13; ++y)
        for (int x = 0; x < 36; ++x) textPixels += dark(x, y);
    EXPECT_GT(textPixels, 5);
    for (int x = 0; x < 36; ++x) EXPECT_FALSE(dark(x, 4) || dark(x, 13)) << "no text outside its rows, x " << x;
}

TEST(GdiCanvas, SelectsAnArialFontEightPixelsHigh) {
    GdiCanvas canvas(nullptr, 50, 20);
    canvas.SetFont("Arial", 8);
    const CanvasSize size = canvas.TextExtent("100");
    EXPECT_GT(size.width, 5);
    LOGFONTW font{};
    ASSERT_TRUE(::GetObjectW(::GetCurrentObject(canvas.Dc(), OBJ_FONT), sizeof(font), &font));
    EXPECT_EQ(font.lfHeight, 8) << "a cell height, not an em height or a point size";
    EXPECT_STREQ(font.lfFaceName, L"Arial");
    wchar_t face[LF_FACESIZE] = L"";
    ::GetTextFaceW(canvas.Dc(), LF_FACESIZE, face);
    EXPECT_STREQ(face, L"Arial");
    // The cell fits in 8 pixels (the face mapped in for Arial may round it down to 7).
    TEXTMETRICW metrics{};
    ASSERT_TRUE(::GetTextMetricsW(canvas.Dc(), &metrics));
    EXPECT_LE(metrics.tmHeight, 8);
    EXPECT_GE(metrics.tmHeight, 7);
    EXPECT_EQ(size.height, metrics.tmHeight);
}

TEST(GdiCanvas, ManyPaintsGiveBackEveryHandle) {
    TTyxTrend chart(nullptr);
    ConfigureAsMainWindow(chart);
    chart.SetOptions({TTrendOption::toTwin, TTrendOption::toValues});
    win32::WindowDc screen(nullptr);
    win32::MemoryDc target(::CreateCompatibleDC(screen.Get()));
    win32::GdiObject targetBitmap(::CreateCompatibleBitmap(screen.Get(), 220, 40));
    win32::SelectGuard selected(target.Get(), targetBitmap.Get());
    const long gdiWithTarget = HandleCounts::gdi, dcsWithTarget = HandleCounts::dcs;
    const TTrendStyle styles[] = {TTrendStyle::tsBar, TTrendStyle::tsLine, TTrendStyle::tsScatter, TTrendStyle::ts3D,
                                  TTrendStyle::tsFilled};
    for (int paint = 0; paint < 500; ++paint) {
        chart.SetStyle(styles[paint % 5]);
        chart.AddValue1(paint % 101);
        chart.AddValue2((paint * 7) % 101);
        GdiCanvas canvas(target.Get(), 220, 40);
        ASSERT_TRUE(canvas.Valid()) << "paint " << paint;
        PaintTrend(chart, canvas);
        ASSERT_TRUE(canvas.CopyTo(target.Get(), 0, 0));
    }
    EXPECT_EQ(HandleCounts::gdi, gdiWithTarget);
    EXPECT_EQ(HandleCounts::dcs, dcsWithTarget);
}

// A plain top-level window to hold the chart; it records the context menus that reach it.
class Host final : public win32::Window {
public:
    Host() {
        RegisterClass(L"VantorChartTestHost", 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        CreateHandle({.className = L"VantorChartTestHost", .style = WS_POPUP | WS_VISIBLE, .x = 100, .y = 100,
                      .width = 300, .height = 100});
    }
    int contextMenus = 0;
    HWND contextMenuFrom = nullptr;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CONTEXTMENU) {
            ++contextMenus;
            contextMenuFrom = reinterpret_cast<HWND>(wParam);
            return 0;
        }
        return DefaultHandler(message, wParam, lParam);
    }
};

TEST(TyxTrendWindow, PaintsItselfOnScreenAndIntoPrintWindow) {
    Host host;
    TTyxTrendWindow chart(nullptr, host.Handle(), 10, 10, 220, 40);
    ConfigureAsMainWindow(chart);
    chart.SetBounds(10, 10, 220, 40);
    AddWorkedExampleSamples(chart);
    ::UpdateWindow(host.Handle());

    POINT origin{0, 0};
    ::ClientToScreen(chart.Handle(), &origin);
    EXPECT_EQ(origin.x, 110);
    win32::WindowDc screen(nullptr);
    const auto onScreen = [&](int x, int y) { return ::GetPixel(screen.Get(), origin.x + x, origin.y + y); };
    ASSERT_TRUE(testing::WaitUntil([&] { return onScreen(105, 3) == RGB(0x80, 0x00, 0xFF); })) << "the chart never showed";
    ExpectPixels(onScreen, WorkedExamplePixels());

    win32::MemoryDc memory(::CreateCompatibleDC(screen.Get()));
    win32::GdiObject bitmap(::CreateCompatibleBitmap(screen.Get(), 220, 40));
    win32::SelectGuard selected(memory.Get(), bitmap.Get());
    ASSERT_TRUE(::PrintWindow(chart.Handle(), memory.Get(), 0));
    ExpectPixels([&](int x, int y) { return ::GetPixel(memory.Get(), x, y); }, WorkedExamplePixels());
}

TEST(TyxTrendWindow, RepaintRequestsBecomeAnUpdateRegion) {
    Host host;
    TTyxTrendWindow chart(nullptr, host.Handle(), 0, 0, 220, 40);
    EXPECT_EQ(::GetClassLongPtrW(chart.Handle(), GCL_STYLE) & CS_DBLCLKS, static_cast<ULONG_PTR>(CS_DBLCLKS));
    EXPECT_EQ(chart.Owner(), nullptr);
    ::ValidateRect(chart.Handle(), nullptr);
    chart.SetStyle(TTrendStyle::tsBar);
    EXPECT_FALSE(::GetUpdateRect(chart.Handle(), nullptr, FALSE)) << "an unchanged property asks for nothing";
    chart.AddValue1(7);
    RECT update{};
    EXPECT_TRUE(::GetUpdateRect(chart.Handle(), &update, FALSE));
    EXPECT_EQ(update.right - update.left, 220);
    ::UpdateWindow(chart.Handle());
    EXPECT_FALSE(::GetUpdateRect(chart.Handle(), nullptr, FALSE)) << "WM_PAINT validated it";
    chart.AddValue2(0);
    EXPECT_FALSE(::GetUpdateRect(chart.Handle(), nullptr, FALSE)) << "series 2 shifted by its own 0 looks the same";
    chart.AddValue1(7);
    EXPECT_TRUE(::GetUpdateRect(chart.Handle(), nullptr, FALSE)) << "the 7 moved";
    ::UpdateWindow(chart.Handle());

    const HDC dc = ::GetDC(chart.Handle());
    EXPECT_NE(::SendMessageW(chart.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    ::ReleaseDC(chart.Handle(), dc);
}

TEST(TyxTrendWindow, BoundsFollowTheModelAndTheParent) {
    Host host;
    TTyxTrendWindow chart(nullptr, host.Handle(), 0, 0, 220, 40);
    EXPECT_EQ(chart.Width(), 220);
    chart.SetBounds(20, 5, 100, 30);
    RECT r{};
    ::GetWindowRect(chart.Handle(), &r);
    ::MapWindowPoints(nullptr, host.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right, 120);
    EXPECT_EQ(r.bottom, 35);

    ::MoveWindow(chart.Handle(), 1, 2, 150, 25, TRUE);
    EXPECT_EQ(chart.Left(), 1);
    EXPECT_EQ(chart.Top(), 2);
    EXPECT_EQ(chart.Width(), 150);
    EXPECT_EQ(chart.Height(), 25);
    chart.SetGridXstep(500);
    EXPECT_EQ(chart.GridXstep(), 150);
}

struct Press {
    const char* event;
    TMouseButton button;
    TShiftState shift;
    int x, y;
};

TEST(TyxTrendWindow, PressesAndDoubleClicksBecomeEvents) {
    Host host;
    TTyxTrendWindow chart(nullptr, host.Handle(), 0, 0, 220, 40);
    std::vector<Press> seen;
    chart.OnMouseDown = [&](TComponent& sender, TMouseButton button, TShiftState shift, int x, int y) {
        EXPECT_EQ(&sender, static_cast<TComponent*>(&chart));
        seen.push_back({"down", button, shift, x, y});
    };
    chart.OnDblClick = [&](TComponent&) { seen.push_back({"dblclick", TMouseButton::mbLeft, 0, 0, 0}); };

    ::SendMessageW(chart.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(5, 7));
    ::SendMessageW(chart.Handle(), WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, MAKELPARAM(-3, -4));
    ::SendMessageW(chart.Handle(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(219, 39));
    ::SendMessageW(chart.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(8, 9));
    ::SendMessageW(chart.Handle(), WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(1, 2));

    ASSERT_EQ(seen.size(), 6u);
    const Press expected[] = {
        {"down", TMouseButton::mbLeft, ssLeft | ssShift, 5, 7},
        {"down", TMouseButton::mbRight, ssRight | ssCtrl, -3, -4},
        {"down", TMouseButton::mbMiddle, ssMiddle, 219, 39},
        {"dblclick", TMouseButton::mbLeft, 0, 0, 0},
        {"down", TMouseButton::mbLeft, ssLeft | ssDouble, 8, 9},
        {"down", TMouseButton::mbRight, ssRight | ssDouble, 1, 2},
    };
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_STREQ(seen[i].event, expected[i].event) << i;
        EXPECT_EQ(seen[i].button, expected[i].button) << i;
        EXPECT_EQ(seen[i].shift, expected[i].shift) << i;
        EXPECT_EQ(seen[i].x, expected[i].x) << i;
        EXPECT_EQ(seen[i].y, expected[i].y) << i;
    }
}

TEST(TyxTrendWindow, ContextMenuAndHitTestingAreLeftToTheDefaults) {
    Host host;
    TTyxTrendWindow chart(nullptr, host.Handle(), 0, 0, 220, 40);
    ::SendMessageW(chart.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(chart.Handle()), MAKELPARAM(150, 120));
    EXPECT_EQ(host.contextMenus, 1) << "the parent gets the chart's context menu";
    EXPECT_EQ(host.contextMenuFrom, chart.Handle());
    EXPECT_EQ(::SendMessageW(chart.Handle(), WM_NCHITTEST, 0, MAKELPARAM(150, 120)), HTCLIENT);
}

}  // namespace
}  // namespace vantor
