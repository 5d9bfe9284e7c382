// The windows at the session's display density: the mini window's layout, fonts, chart, band and tray
// picture, and the dialogs' controls, each placed as its 96-dpi design scaled by the density (within a
// pixel) with no text clipped; and each window laid out anew when told of another density. ctest runs
// this program in a Wine session at 96, 120, 144 and 192 dpi.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/Artwork.h"
#include "app/core/MainChart.h"
#include "app/win32/AboutBox.h"
#include "app/win32/MiniWindow.h"
#include "app/win32/SettingsDialog.h"
#include "framework/win32/Application.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Text.h"
#include "framework/win32/Window.h"
#include "tests/fakes/FakeIfTable.h"
#include "tests/support/Desktop.h"
#include "tests/support/Polling.h"

namespace vantor {
namespace {

using testing::ScreenPixels;

constexpr DWORD kWhite = 0xFFFFFF, kGrid = 0xE0E0E0, kRed = 0xFF0000;

// A design rectangle: left, top, width and height at 96 dpi; a size of 0 is not checked.
using Design = settings_layout::Place;

double Scaled(int design, UINT dpi) { return design * static_cast<double>(dpi) / 96.0; }

RECT RectInParent(HWND control) { return testing::RectIn(control, ::GetParent(control)); }

SIZE TextExtentOf(HWND control, const std::wstring& text) {
    return win32::TextExtent(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), text);
}

int FontHeight(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::abs(static_cast<int>(font.lfHeight));
}

// Where the design puts it, within a pixel of the exact scale.
void ExpectPlaced(HWND control, Design design, UINT dpi, const std::string& what) {
    ASSERT_NE(control, nullptr) << what;
    const RECT r = RectInParent(control);
    EXPECT_NEAR(r.left, Scaled(design.left, dpi), 1.0) << what << ": left";
    EXPECT_NEAR(r.top, Scaled(design.top, dpi), 1.0) << what << ": top";
    if (design.width) {
        EXPECT_NEAR(r.right - r.left, Scaled(design.width, dpi), 1.0) << what << ": width";
    }
    if (design.height) {
        EXPECT_NEAR(r.bottom - r.top, Scaled(design.height, dpi), 1.0) << what << ": height";
    }
}

// Its own text, measured in its own font, fits it.
void ExpectTextFits(HWND control, int reserved, const std::string& what) {
    const SIZE text = TextExtentOf(control, win32::WindowText(control));
    RECT client{};
    ::GetClientRect(control, &client);
    EXPECT_LE(text.cx + reserved, client.right) << what << ": the text is " << text.cx << " wide";
    EXPECT_LE(text.cy, client.bottom) << what << ": the text is " << text.cy << " high";
}

// What the system suggests when a window moves to a monitor of density `to`: a place near the old one,
// sized for the client area of `design` there in the frame this system draws (Wine keeps the frame of
// its one density).
RECT SuggestedRect(HWND window, SIZE design, UINT to) {
    RECT outer{}, client{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    const LONG width = outer.right - outer.left - client.right + std::lround(Scaled(design.cx, to));
    const LONG height = outer.bottom - outer.top - client.bottom + std::lround(Scaled(design.cy, to));
    return {outer.left + 40, outer.top + 30, outer.left + 40 + width, outer.top + 30 + height};
}

// Tells the window of another density, and checks that it took the suggested rectangle.
UINT MoveToAnotherDensity(HWND window, SIZE design) {
    const UINT to = win32::DpiForWindow(window) == 144 ? 96 : 144;
    const RECT suggested = SuggestedRect(window, design, to);
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testing::Pause(std::chrono::milliseconds(300));
    RECT after{};
    ::GetWindowRect(window, &after);
    EXPECT_TRUE(::EqualRect(&after, &suggested)) << "at " << after.left << ", " << after.top << " sized "
                                                 << after.right - after.left << " x " << after.bottom - after.top;
    return to;
}

void ExpectClientArea(HWND window, SIZE design, UINT dpi) {
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_NEAR(client.right, Scaled(design.cx, dpi), 1.0) << "client width";
    EXPECT_NEAR(client.bottom, Scaled(design.cy, dpi), 1.0) << "client height";
}

class DpiWin32 : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        application = new win32::Application(::GetModuleHandleW(nullptr));
    }
    static void TearDownTestSuite() { delete application; }
    // Each window starts from the default settings, and leaves no settings file behind.
    void SetUp() override { std::filesystem::remove(SettingsFile()); }
    void TearDown() override { std::filesystem::remove(SettingsFile()); }
    static std::filesystem::path SettingsFile() { return std::filesystem::path(win32::ExecutableDirectory()) / L"vantor20.ini"; }

    // The mini window over everything else, painted, with the tray icon it added.
    std::unique_ptr<TMiniWindow> ShowMiniWindow() {
        fake.rows = {{.descr = "eth0"}};
        auto window = std::make_unique<TMiniWindow>(fake);
        ::ShowWindow(window->Handle(), SW_SHOW);
        ::SetWindowPos(window->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        testing::Pause(std::chrono::milliseconds(300));
        return window;
    }

    static void ExpectMiniWindowLayout(HWND window, UINT dpi);
    static void ExpectChartAndBandSharp(HWND window, UINT dpi);

    static inline win32::Application* application = nullptr;
    testing::FakeIfTable fake;
};

void DpiWin32::ExpectMiniWindowLayout(HWND window, UINT dpi) {
    SCOPED_TRACE(::testing::Message() << "at " << dpi << " dpi");
    ExpectClientArea(window, {TMiniWindow::kClientWidth, TMiniWindow::kClientHeight}, dpi);
    std::vector<HWND> labels, charts;
    for (HWND child : testing::ChildrenOf(window)) {
        if (testing::ClassOf(child) == L"TLabel") labels.push_back(child);
        if (testing::ClassOf(child) == TTyxTrendWindow::kClassName) charts.push_back(child);
    }
    ASSERT_EQ(labels.size(), 12u);
    ASSERT_EQ(charts.size(), 1u);
    ExpectPlaced(charts[0], {0, 0, kChartWidth, kChartHeight}, dpi, "the chart");

    // The figures by their columns and rows, the captions by where they start.
    const Design figures[] = {{27, 54, 45, 14}, {27, 65, 45, 14}, {80, 54, 45, 14}, {80, 65, 45, 14},
                              {131, 54, 45, 14}, {131, 65, 45, 14}, {181, 54, 27, 14}, {181, 65, 27, 14}};
    const std::map<std::wstring, Design> captions = {{L"cur", {54, 41}}, {L"ave", {105, 41}}, {L"max", {152, 41}},
                                                     {L"rate", {186, 41}}};
    int figuresFound = 0;
    for (HWND label : labels) {
        const std::wstring text = win32::WindowText(label);
        const RECT r = RectInParent(label);
        if (const auto caption = captions.find(text); caption != captions.end()) {
            ExpectPlaced(label, caption->second, dpi, "caption " + win32::Narrow(text));
            EXPECT_NEAR(FontHeight(label), Scaled(12, dpi), 1.0) << "the window's font";
            const SIZE extent = TextExtentOf(label, text);
            EXPECT_EQ(r.right - r.left, extent.cx) << "a caption is as wide as its text";
            continue;
        }
        for (const Design& figure : figures)
            if (std::abs(r.left - Scaled(figure.left, dpi)) <= 1 && std::abs(r.top - Scaled(figure.top, dpi)) <= 1) {
                ++figuresFound;
                ExpectPlaced(label, figure, dpi, "figure " + win32::Narrow(text));
                EXPECT_NEAR(FontHeight(label), Scaled(11, dpi), 1.0) << "the figures' font";
                // Room for the widest figure the design allows.
                const SIZE widest = TextExtentOf(label, figure.width == 27 ? L"999%" : L"999999.9");
                EXPECT_LE(widest.cx, r.right - r.left) << "figure at " << figure.left << ", " << figure.top;
                EXPECT_LE(widest.cy, r.bottom - r.top) << "figure at " << figure.left << ", " << figure.top;
            }
    }
    EXPECT_EQ(figuresFound, 8);
}

void DpiWin32::ExpectChartAndBandSharp(HWND window, UINT dpi) {
    SCOPED_TRACE(::testing::Message() << "at " << dpi << " dpi");
    RECT client{};
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const ScreenPixels face(client);
    const auto at = [&](int x, int y) { return face.At(client.left + x, client.top + y); };
    const auto scaled = [&](int design) { return static_cast<int>(std::lround(Scaled(design, dpi))); };

    // The chart: its grid lines ten percent and ten design pixels apart, and the traces along 0, each one
    // device pixel wide.
    const int w = scaled(kChartWidth), h = scaled(kChartHeight);
    const int vertical = w - scaled(50), between = w - scaled(55);
    const int row15 = h - scaled(6), row50 = h - static_cast<int>(std::lround(h * 0.5));
    EXPECT_EQ(at(vertical, row15), kGrid) << "a vertical grid line at x " << vertical;
    EXPECT_EQ(at(vertical - 1, row15), kWhite);
    EXPECT_EQ(at(vertical + 1, row15), kWhite);
    EXPECT_EQ(at(between, row50), kGrid) << "the horizontal grid line of 50 % at y " << row50;
    EXPECT_EQ(at(between, row50 - 1), kWhite);
    EXPECT_EQ(at(between, row50 + 1), kWhite);
    int traceRows = 0;
    for (int y = h / 2; y < h; ++y) traceRows += at(between, y) == kRed;
    EXPECT_EQ(traceRows, 1) << "the receive trace along 0";

    // The band: pin-stripes of whole, equal rows left of the arrow, and the arrow drawn at its size.
    const int bandTop = scaled(kChartHeight);
    const std::vector<DWORD> stripes = {0xEFEFEF, 0xFFFFFF, 0xEFEFEF, 0xE7E7E7};
    std::vector<int> runs;
    DWORD previous = 0;
    for (int y = bandTop; y < client.bottom - client.top; ++y) {
        const DWORD pixel = at(scaled(2), y);
        if (runs.empty() || pixel != previous) {
            EXPECT_EQ(pixel, stripes[runs.size() % 4]) << "stripe " << runs.size() << " at y " << y;
            runs.push_back(0);
        }
        ++runs.back();
        previous = pixel;
    }
    ASSERT_GE(runs.size(), 4u);
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) EXPECT_EQ(runs[i], runs[0]) << "stripe " << i << " is as thick as the first";
    RECT cyan{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (int y = bandTop; y < client.bottom - client.top; ++y)
        for (int x = 0; x < scaled(25); ++x) {
            const DWORD p = at(x, y);
            if (((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) > 0xB0 && (p & 0xFF) > 0xB0) {
                cyan.left = std::min<LONG>(cyan.left, x), cyan.right = std::max<LONG>(cyan.right, x + 1);
                cyan.top = std::min<LONG>(cyan.top, y), cyan.bottom = std::max<LONG>(cyan.bottom, y + 1);
            }
        }
    ASSERT_LT(cyan.left, cyan.right) << "the arrow shows";
    EXPECT_GE(cyan.left, Scaled(art::ArrowLeft, dpi) - 1);
    EXPECT_LE(cyan.right, Scaled(art::ArrowRight + 1, dpi) + 1);
    EXPECT_GE(cyan.top, bandTop + Scaled(art::ArrowTop, dpi) - 1);
    EXPECT_LE(cyan.bottom, bandTop + Scaled(art::ArrowBottom + 1, dpi) + 1);
    EXPECT_GE(cyan.bottom - cyan.top, Scaled(12, dpi)) << "as tall as the scaled arrow, not the 96-dpi one";
}

TEST_F(DpiWin32, TheMiniWindowItsChartBandAndTrayPictureTakeTheSessionsDensity) {
    const auto window = ShowMiniWindow();
    const UINT dpi = win32::DpiForWindow(window->Handle());
    EXPECT_EQ(dpi, win32::SystemDpi()) << "Wine gives every monitor the session's density";
    ExpectMiniWindowLayout(window->Handle(), dpi);
    ExpectChartAndBandSharp(window->Handle(), dpi);

    // The tray picture at the notification area's small-icon size, as the taskbar shows it.
    const std::map<UINT, int> smallIcons = {{96, 16}, {120, 20}, {144, 24}, {192, 32}};
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    if (smallIcons.contains(dpi)) {
        EXPECT_EQ(size, smallIcons.at(dpi));
    }
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    std::optional<POINT> found;
    testing::WaitUntil([&] {
        found = ScreenPixels({0, screenHeight - 80, screenWidth, screenHeight}).Find(art::TrayImage(0, size));
        return found.has_value();
    });
    EXPECT_TRUE(found) << "the idle picture drawn at " << size << " pixels shows on the taskbar";
}

TEST_F(DpiWin32, TheMiniWindowToldOfAnotherDensityTakesTheSuggestedRectangleAndLaysItselfOutAgain) {
    const auto window = ShowMiniWindow();
    const HWND handle = window->Handle();
    const UINT to = MoveToAnotherDensity(handle, {TMiniWindow::kClientWidth, TMiniWindow::kClientHeight});
    ExpectMiniWindowLayout(handle, to);
    ExpectChartAndBandSharp(handle, to);
}

// A spin box's edit: where the spin box starts, as high, its width left to the arrows.
Design EditOf(const settings_layout::Spin& spin) { return {spin.place.left, spin.place.top, 0, spin.place.height}; }

void ExpectSettingsDialogLayout(const TSettingsDialog& dialog, UINT dpi) {
    using namespace settings_layout;
    SCOPED_TRACE(::testing::Message() << "settings dialog at " << dpi << " dpi");
    ExpectClientArea(dialog.Handle(), {settings_layout::kClientWidth, settings_layout::kClientHeight}, dpi);
    EXPECT_NEAR(FontHeight(dialog.okButton), Scaled(12, dpi), 1.0);
    const int checkMark = win32::SystemMetricForDpi(SM_CXMENUCHECK, dpi);
    const struct {
        HWND control;
        Design design;
        int reserved;  // beside the text: a check box's box; -1: no text of its own to measure
        const char* what;
    } controls[] = {
        {dialog.okButton, kOk, 0, "OK"},
        {dialog.cancelButton, kCancel, 0, "Cancel"},
        {dialog.pageTabs, kPageTabs, -1, "page control"},
        {dialog.interfaceList, {kInterfaceList.left, kInterfaceList.top, kInterfaceList.width}, -1, "interface list"},
        {dialog.showAtStartBox, kShowAtStart, checkMark, "show at start"},
        {dialog.startWithWindowsBox, kStartWithWindows, checkMark, "start with Windows"},
        {dialog.fixedGaugeBox, kFixedGauge, checkMark, "fixed gauge"},
        {dialog.graphAverageBox, kGraphAverage, checkMark, "average"},
        {dialog.bitUnitsBox, kBitUnits, checkMark, "bit units"},
        {dialog.logEnabledBox, kLogEnabled, checkMark, "log"},
        {dialog.logPathEdit, kLogPath, -1, "log path"},
        {dialog.browseButton, kBrowse, 0, "..."},
        {dialog.gaugeSendSpin->Edit(), EditOf(kGaugeSend), -1, "send maximum"},
        {dialog.gaugeReceiveSpin->Edit(), EditOf(kGaugeReceive), -1, "receive maximum"},
        {dialog.logIntervalSpin->Edit(), EditOf(kLogInterval), -1, "log interval"},
        {dialog.interfaceCaption, kInterfaceCaption, 0, "interface label"},
        {dialog.gaugeSendCaption, kGaugeSendCaption, 0, "send label"},
        {dialog.gaugeSendUnit, kGaugeSendUnit, 0, "send unit"},
        {dialog.gaugeReceiveCaption, kGaugeReceiveCaption, 0, "receive label"},
        {dialog.gaugeReceiveUnit, kGaugeReceiveUnit, 0, "receive unit"},
        {dialog.logPathCaption, kLogPathCaption, 0, "place label"},
        {dialog.logIntervalCaption, kLogIntervalCaption, 0, "interval label"},
        {dialog.logUnitNote, kLogUnitNote, 0, "unit note"},
    };
    for (const auto& c : controls) {
        ExpectPlaced(c.control, c.design, dpi, c.what);
        if (c.reserved >= 0) ExpectTextFits(c.control, c.reserved, c.what);
    }
    // A spin box's arrows end where its design width does; a page covers the page control's display area.
    for (const auto& [spin, design] : {std::pair{dialog.gaugeSendSpin.get(), kGaugeSend}, std::pair{dialog.logIntervalSpin.get(), kLogInterval}})
        EXPECT_NEAR(RectInParent(spin->Arrows()).right, Scaled(design.place.left + design.place.width, dpi), 1.0);
    RECT display{};
    ::GetClientRect(dialog.pageTabs, &display);
    ::SendMessageW(dialog.pageTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    const RECT page = RectInParent(::GetParent(dialog.showAtStartBox));
    EXPECT_TRUE(::EqualRect(&page, &display)) << "page at " << page.left << ", " << page.top << " to " << page.right
                                              << ", " << page.bottom;
}

void ExpectAboutBoxLayout(const TAboutBox& box, UINT dpi) {
    SCOPED_TRACE(::testing::Message() << "about box at " << dpi << " dpi");
    ExpectClientArea(box.Handle(), {TAboutBox::kClientWidth, TAboutBox::kClientHeight}, dpi);
    const HWND close = ::FindWindowExW(box.Handle(), nullptr, L"Button", nullptr);
    const HWND text = ::FindWindowExW(box.Handle(), nullptr, L"Edit", nullptr);
    ExpectPlaced(close, {300, 7, 47, 18}, dpi, "Close");
    ExpectTextFits(close, 0, "Close");
    ExpectPlaced(text, {44, 8, 245, 44}, dpi, "the text");
    EXPECT_NEAR(FontHeight(text), Scaled(12, dpi), 1.0);
    // All three lines fit the text's box.
    const std::wstring lines = win32::WindowText(text);
    RECT needed{0, 0, 0, 0}, room{};
    ::GetClientRect(text, &room);
    {
        win32::WindowDc screen(nullptr);
        win32::SelectGuard font(screen.Get(), reinterpret_cast<HFONT>(::SendMessageW(text, WM_GETFONT, 0, 0)));
        ::DrawTextW(screen.Get(), lines.c_str(), static_cast<int>(lines.size()), &needed, DT_CALCRECT | DT_NOPREFIX);
    }
    EXPECT_LE(needed.right, room.right);
    EXPECT_LE(needed.bottom, room.bottom);
}

TEST_F(DpiWin32, TheDialogsControlsTakeTheSessionsDensityAndTheirTextsFitAlsoAfterAMoveToAnotherOne) {
    TSettingsDialog dialog(Language::Japanese);
    ExpectSettingsDialogLayout(dialog, win32::DpiForWindow(dialog.Handle()));
    ExpectSettingsDialogLayout(dialog, MoveToAnotherDensity(dialog.Handle(), {settings_layout::kClientWidth,
                                                                              settings_layout::kClientHeight}));
    TAboutBox box(Language::Japanese);
    ExpectAboutBoxLayout(box, win32::DpiForWindow(box.Handle()));
    ExpectAboutBoxLayout(box, MoveToAnotherDensity(box.Handle(), {TAboutBox::kClientWidth, TAboutBox::kClientHeight}));
}

}  // namespace
}  // namespace vantor
