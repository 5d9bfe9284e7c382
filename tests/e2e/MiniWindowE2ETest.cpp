// The mini window and its settings file, as a user meets them: vantor.exe started in a folder of its own.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "app/core/TrayImage.h"
#include "framework/win32/Text.h"
#include "tests/e2e/Driving.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"
#include "tests/support/WineHost.h"
#include "tests/support/Xdotool.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;
using testing::StartXdotool;

const std::vector<std::wstring> kBeforeFirstTick{L"0.0", L"0.0", L"0.0", L"0.0", L"0.0", L"0.0", L"  0%", L"  0%"};

TEST(MiniWindowE2E, StartsWithoutSettingsAsAFramedCaptionlessWindowOwnedByAHiddenOne) {
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    // The first tick writes the figures before the tip: figures read while the tip is still the start
    // text are those from before it.
    ASSERT_TRUE(WaitUntil([] { return ProgramTip().has_value(); }));
    const auto figures = vantor.Figures();
    ASSERT_EQ(ProgramTip(), kStartTip) << "the figures were read before the first tick";
    EXPECT_EQ(figures, kBeforeFirstTick) << "before the first tick the figures read 0.0 and \"  0%\"";

    const WindowState state = StateOf(form);
    EXPECT_EQ(state.rect.left, 200);
    EXPECT_EQ(state.rect.top, 200);
    EXPECT_EQ(state.client.right, 217);
    EXPECT_EQ(state.client.bottom, 78);
    EXPECT_TRUE(state.style & WS_POPUP);
    EXPECT_TRUE(state.style & WS_THICKFRAME) << "a sizing frame";
    EXPECT_NE(state.style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION)) << "no caption";
    EXPECT_FALSE(state.style & WS_SYSMENU);
    EXPECT_FALSE(state.exStyle & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    // An owned window has no taskbar button; the owner, which would carry one, stays hidden.
    ASSERT_NE(state.owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(state.owner));
    EXPECT_EQ(StateOf(state.owner).exStyle & WS_EX_APPWINDOW, 0u);
    ASSERT_TRUE(vantor.Quit());
}

TEST(MiniWindowE2E, FiguresFollowLoopbackTraffic) {
    TempFolder folder;
    // Row 1 of the interface table is the loopback interface under Wine.
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Interface]\r\nSelected=1\r\n");
    VantorProcess vantor(folder);
    ASSERT_NE(vantor.Form(), nullptr);
    std::atomic<bool> stop = false;
    std::thread traffic([&] {
        while (!stop) testing::TransferOverLoopback(2 * 1024 * 1024);
    });
    const bool moved = WaitUntil([&] {
        const auto figures = vantor.Figures();
        return figures.size() == 8 && figures[Figure::SendCurrent] != L"0.0" &&
               figures[Figure::ReceiveCurrent] != L"0.0" && figures[Figure::SendRate] != L"  0%";
    }, kTickLimit);
    stop = true;
    traffic.join();
    EXPECT_TRUE(moved) << "the current send and receive figures changed with the traffic";
    const auto figures = vantor.Figures();
    ASSERT_EQ(figures.size(), 8u);
    EXPECT_NE(figures[Figure::SendPeak], L"0.0") << "the peak rose";
    EXPECT_EQ(figures[Figure::SendRate].back(), L'%');
    ASSERT_TRUE(vantor.Quit());
}

// Bytes that only leave, out of a veth whose other end lies in a network namespace of its own and answers
// nothing (tools/wine/interfaces.sh oneway, run by ctest before this check): the send row, the chart's
// first series and the tray picture's front screen follow them, the receive row, the second series and
// the back screen stay idle.
TEST(MiniWindowE2E, OneWayTrafficShowsInTheSendRowTheFirstSeriesAndTheFrontScreenOnly) {
    const char* prefix = std::getenv("VANTOR_VETH_PREFIX");
    ASSERT_NE(prefix, nullptr);
    const std::string link = prefix + std::string("wa");
    const InterfaceCounters row = InterfaceNamed(link);
    const auto peer = testing::OneWayPeer(link);
    if (!row.position || !peer)
        GTEST_SKIP() << "no one-way link " << link << ": tools/wine/interfaces.sh could not make it here "
                     << "(needs CAP_NET_ADMIN and network namespaces)";
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"),
                   "[Interface]\r\nSelected=" + std::to_string(row.position) + "\r\nDescription=" + link + "\r\n");
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    testing::DatagramStream traffic(*peer, 256 * 1024);

    ASSERT_TRUE(WaitUntil([&] { return FigureValue(vantor.Figures()[Figure::SendCurrent]) > 128; }, kTickLimit))
        << "the current send figure follows the outgoing bytes: " << ::testing::PrintToString(vantor.Figures());
    const auto figures = vantor.Figures();
    EXPECT_GT(FigureValue(figures[Figure::SendPeak]), 128) << "the send peak";
    for (const std::size_t receive : {Figure::ReceiveCurrent, Figure::ReceiveAverage, Figure::ReceivePeak})
        EXPECT_LT(FigureValue(figures[receive]), 1.0) << "receive figure " << receive << ": " << ::testing::PrintToString(figures);

    // Against their peaks the send trace (violet) runs near the top, the receive trace (red) along the bottom.
    const HWND chart = ChildrenOfClass(form, L"TTyxTrend").at(0);
    std::optional<RECT> send, receive;
    const bool traced = WaitUntil([&] {
        const testing::ScreenPixels picture = PictureOf(chart);
        send = picture.BoundsOf(0x8000FF);
        receive = picture.BoundsOf(0xFF0000);
        return send && send->top < picture.Area().top + 15;
    }, kTickLimit);
    EXPECT_TRUE(traced) << "the first series rises";
    const RECT area = StateOf(chart).rect;
    ASSERT_TRUE(receive) << "the second series shows";
    EXPECT_GE(receive->top, area.top + 35) << "and stays at 0";

    // The front computer's screen shows the send level, the back one's the receive level.
    const int frontScreenOnly[] = {TrayImageIndex(0, 1), TrayImageIndex(0, 50), TrayImageIndex(0, 80)};
    std::optional<TrayPicture> picture;
    EXPECT_TRUE(WaitUntil([&] {
        picture = FindTrayPicture();
        return picture && std::ranges::find(frontScreenOnly, picture->index) != std::end(frontScreenOnly);
    }, kTickLimit)) << "tray picture " << (picture ? picture->index : -1);
    EXPECT_TRUE(traffic.Flowing());
    ASSERT_TRUE(vantor.Quit());
}

TEST(MiniWindowE2E, ClosingWritesANewSettingsFileWithEveryKeyInOrder) {
    TempFolder folder;
    {
        VantorProcess vantor(folder);
        ASSERT_NE(vantor.Form(), nullptr);
        ASSERT_TRUE(vantor.Quit());
    }
    const auto sections = testing::SettingsSections(folder.File(L"vantor20.ini"));
    const std::string logPath = win32::Utf8ToAnsi(win32::Narrow(folder.Path().wstring() + L"\\vantor.log"));
    // The interface in use at exit (TrayE2E checks which) and its identity after the other keys, and that
    // a first start follows the connection in use.
    ASSERT_GE(sections.size(), 2u);
    const testing::SettingsKeys& chosen = sections[1].second;
    ASSERT_EQ(chosen.size(), 5u);
    const std::vector<std::pair<std::string, testing::SettingsKeys>> expected{
        {"Gauge", {{"Send", "10"}, {"Rese", "10"}}},
        {"Interface", {{"Selected", chosen[0].second}, {"flg", "0"}, {"Guid", chosen[2].second},
                       {"Description", chosen[3].second}, {"Watch", "route"}}},
        {"Window", {{"Left", "200"}, {"Top", "200"}, {"Mode", "0"}, {"main", "1"}}},
        {"Graph", {{"mode", "0"}, {"bps", "0"}}},
        {"log", {{"mode", "0"}, {"pass", logPath}, {"wait", "60"}}}};
    EXPECT_EQ(sections, expected);
}

TEST(MiniWindowE2E, OddSettingsStartAsTheyRead) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"),
                   "[Gauge]\r\nSend=abc\r\n[Interface]\r\nSelected=999\r\n[Window]\r\nTop=5000\r\nMode=\r\nmain=2\r\n"
                   "[log]\r\nwait=0x3C\r\n");
    {
        VantorProcess vantor(folder);
        const HWND form = vantor.Form();
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; })) << "main=2 reads as shown";
        const WindowState state = StateOf(form);
        EXPECT_EQ(state.rect.top, 200) << "a Top below the only screen falls back to 200";
        EXPECT_EQ(state.rect.left, 200);
        EXPECT_FALSE(state.exStyle & WS_EX_TOPMOST) << "an empty Mode reads as off";
        ASSERT_TRUE(vantor.Quit());
    }
    auto keys = SettingsValues(folder.File(L"vantor20.ini"));
    EXPECT_EQ(keys["Gauge/Send"], "10");
    EXPECT_EQ(keys["log/wait"], "60");
    EXPECT_EQ(keys["Window/main"], "1");
    EXPECT_EQ(keys["Window/Mode"], "0");
    EXPECT_EQ(keys["Window/Top"], "200");
    EXPECT_EQ(keys["Interface/Selected"], "999") << "as loaded, not the row watched in its place";
}

TEST(MiniWindowE2E, ModeOneStartsTopmostAndMainZeroStartsHidden) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Window]\r\nMode=1\r\nmain=0\r\n");
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitUntil([] { return ProgramTip() && *ProgramTip() != kStartTip; }, kTickLimit))
        << "the first tick shows in the tip";
    EXPECT_FALSE(::IsWindowVisible(form)) << "main=0: only the tray icon shows";
    EXPECT_TRUE(StateOf(form).exStyle & WS_EX_TOPMOST) << "Mode=1: in the topmost band from the start";
    ASSERT_TRUE(vantor.Quit());
}

TEST(MiniWindowE2E, ASettingsFileAnotherProgramKeepsFromWritesIsNamedInAnErrorAndKeepsItsContent) {
    TempFolder folder;
    const auto ini = folder.File(L"vantor20.ini");
    const std::string original = "[Gauge]\r\nSend=25\r\n[Window]\r\nLeft=300\r\n";
    WriteFileBytes(ini, original);
    // A read-only file sends the settings to the user's folder; one another program holds stays the place.
    const win32::KernelHandle held(
        ::CreateFileW(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(held.Get(), INVALID_HANDLE_VALUE);

    VantorProcess vantor(folder);
    ASSERT_NE(vantor.Form(), nullptr);
    ::PostMessageW(vantor.Form(), WM_CLOSE, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        const auto boxes = vantor.WindowsOfClass(L"#32770");
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr && ::IsWindowVisible(box);
    }, 10s)) << "the standard error box appears at exit";
    const std::wstring expected = ini.wstring() + L" に書き込めません";
    const auto texts = ChildTexts(box);
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end())
        << "the box names the file; it shows: " << ::testing::PrintToString(texts);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(vantor.WaitForExit(10s)) << "the program still exits";
    EXPECT_EQ(ReadFileBytes(ini), original) << "no key after the failed one was written";
}

TEST(MiniWindowE2E, EndingTheSessionSavesTheSettingsOfTheSession) {
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    ::SetWindowPos(form, nullptr, 321, 234, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Logging off: the system asks, then tells the window the session ends, and may end the process after.
    ::SendMessageW(form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    ::SendMessageW(form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    auto keys = SettingsValues(folder.File(L"vantor20.ini"));
    EXPECT_EQ(keys.size(), 16u) << "every key is saved before the session ends, with the interface's identity and Watch";
    EXPECT_EQ(keys["Window/Left"], "321");
    EXPECT_EQ(keys["Window/Top"], "234");
}

// The text of the hint the program shows, once one is up.
std::wstring ShownHint(VantorProcess& vantor) {
    std::wstring shown;
    WaitUntil([&] {
        for (HWND tip : vantor.WindowsOfClass(L"tooltips_class32"))
            if (const std::wstring text = TextOf(tip); ::IsWindowVisible(tip) && !text.empty()) shown = text;
        return !shown.empty();
    }, 3s);
    return shown;
}

void RestPointer(HWND form, int x, int y) {
    POINT at{x, y};
    ::ClientToScreen(form, &at);
    // Two small steps: the hint timer starts at a move inside the control.
    for (int step = 0; step < 2; ++step)
        StartXdotool(testing::MouseMoveArguments({at.x + step, at.y}));
}

TEST(MiniWindowE2E, FiguresAndTheChartShowTheirHintsOnHover) {
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    struct Case {
        int x, y;
        const wchar_t* hint;
    };
    for (const Case c : {Case{50, 60, L"現在送信速度"}, Case{150, 71, L"最高受信速度"}, Case{195, 60, L"送信レート"},
                         Case{110, 20, L"紫:送信 赤:受信"}}) {
        RestPointer(form, c.x, c.y);
        EXPECT_TRUE(WaitUntil([&] { return ShownHint(vantor) == c.hint; }, 4s))
            << "over (" << c.x << ", " << c.y << ")";
    }
}

void DoubleClickAt(HWND form, int x, int y) {
    RestPointer(form, x, y);
    POINT at{x, y};
    ::ClientToScreen(form, &at);
    WaitUntil([&] { return testing::PointerAt({at.x + 1, at.y}); });
    StartXdotool(L"click --repeat 2 --delay 80 1");
}

TEST(MiniWindowE2E, DoubleClickHidesTheWindowFromItsFaceButNotFromACaption) {
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    const RECT before = StateOf(form).rect;

    DoubleClickAt(form, 60, 46);  // "cur"
    EXPECT_TRUE(OpenAndCloseMenu(vantor, CentreOf(form))) << "a right press after it finds the window";
    EXPECT_TRUE(::IsWindowVisible(form)) << "a caption takes no double-click";
    RECT now = StateOf(form).rect;
    EXPECT_TRUE(::EqualRect(&before, &now)) << "nor a press that would move the window";

    DoubleClickAt(form, 50, 60);  // the current send figure
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(form); }, 3s)) << "a double-click on a figure hides it";
    now = StateOf(form).rect;
    EXPECT_TRUE(::EqualRect(&before, &now)) << "hiding keeps the position";
}

}  // namespace
}  // namespace vantor::e2e
