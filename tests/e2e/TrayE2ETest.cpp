// The tray icon of vantor.exe as a user meets it in the notification area: its picture, its tip and
// what the mouse does on it.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>


#include "tests/e2e/Driving.h"
#include "tests/e2e/RemoteMemory.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"
#include "tests/support/WineHost.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

// Starts the program hidden (only the icon shows) and finds its icon.
struct HiddenStart {
    TempFolder folder;
    std::optional<VantorProcess> vantor;
    HWND form = nullptr;
    POINT icon{};

    explicit HiddenStart(const std::string& moreSettings = "") {
        WriteFileBytes(folder.File(L"vantor20.ini"), "[Window]\r\nmain=0\r\n" + moreSettings);
        vantor.emplace(folder);
        form = vantor->Form();
        std::optional<TrayPicture> picture;
        WaitUntil([&] { return (picture = FindTrayPicture()).has_value(); });
        if (picture) icon = picture->centre;
    }
};

// Started without settings, the program watches the interface of the default route.
TEST(TrayE2E, IconStartsIdleAndItsTipTurnsIntoTheStatusAtTheFirstTick) {
    const std::string route = testing::DefaultRouteInterface();
    if (route.empty()) GTEST_SKIP() << "this machine has no IPv4 default route (/proc/net/route)";
    const InterfaceCounters before = InterfaceNamed(route);
    ASSERT_GT(before.position, 0) << "Wine lists Linux interfaces under their names: " << route;
    TempFolder folder;
    VantorProcess vantor(folder);
    ASSERT_NE(vantor.Form(), nullptr);

    std::vector<std::wstring> tips;
    ASSERT_TRUE(WaitUntil([&] {
        if (const auto tip = ProgramTip(); tip && (tips.empty() || tips.back() != *tip)) tips.push_back(*tip);
        return !tips.empty() && tips.back() != kStartTip;
    }, kTickLimit)) << "the first tick rewrites the tip";
    const InterfaceCounters after = InterfaceNamed(route);
    EXPECT_EQ(tips.front(), kStartTip) << "the stored tip until the first tick";
    const auto picture = FindTrayPicture();
    ASSERT_TRUE(picture) << "one of the load pictures shows in the notification area";

    // Three lines: the interface speed, then the totals sent and received as the interface counts them.
    const auto status = ReadStatusTip(tips.back());
    ASSERT_TRUE(status) << "the tip reads: " << ::testing::PrintToString(tips.back());
    // The larger of the two link speeds, an unknown one (all bits set) not counted.
    const auto known = [](std::uint64_t speed) { return speed == ~std::uint64_t{0} ? 0.0 : static_cast<double>(speed); };
    wchar_t speed[32];
    std::swprintf(speed, 32, L"%04.1fMbps", std::max(known(after.transmitSpeed), known(after.receiveSpeed)) / 1e6);
    EXPECT_EQ(status->speed, speed);
    EXPECT_GE(status->sentKilobytes, RoundedKilobytes(before.sent));
    EXPECT_LE(status->sentKilobytes, RoundedKilobytes(after.sent));
    EXPECT_GE(status->receivedKilobytes, RoundedKilobytes(before.received));
    EXPECT_LE(status->receivedKilobytes, RoundedKilobytes(after.received));
    ASSERT_TRUE(vantor.Quit());
    EXPECT_TRUE(WaitUntil([] { return !FindTrayPicture(); })) << "the icon leaves with the program";
    auto saved = SettingsValues(folder.File(L"vantor20.ini"));
    EXPECT_EQ(saved["Interface/Selected"], std::to_string(after.position)) << "its position in the table";
    EXPECT_EQ(saved["Interface/Description"], route);
}

TEST(TrayE2E, LoadPicturesFollowTheTrafficAgainstTheFixedGauge) {
    // Loopback traffic (row 1) counts the same bytes as sent and as received, so both screens show one level.
    struct Case {
        const char* settings;
        std::size_t bytesPerSecond;
        int picture;
        const char* what;
    };
    const Case cases[] = {
        {"[Interface]\r\nSelected=1\r\n", 256 * 1024, -1, "traffic against the peaks: any load colour"},
        {"[Gauge]\r\nSend=100000\r\nRese=100000\r\n[Interface]\r\nSelected=1\r\nflg=1\r\n", 0, 0, "idle: black"},
        {"[Gauge]\r\nSend=2048\r\nRese=2048\r\n[Interface]\r\nSelected=1\r\nflg=1\r\n", 256 * 1024, 1, "12 %: cyan"},
        {"[Gauge]\r\nSend=394\r\nRese=394\r\n[Interface]\r\nSelected=1\r\nflg=1\r\n", 256 * 1024, 2, "65 %: yellow"},
        {"[Gauge]\r\nSend=100\r\nRese=100\r\n[Interface]\r\nSelected=1\r\nflg=1\r\n", 256 * 1024, 3, "256 %: red"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        WriteFileBytes(folder.File(L"vantor20.ini"), c.settings);
        std::optional<testing::LoopbackStream> traffic;
        if (c.bytesPerSecond) traffic.emplace(c.bytesPerSecond);
        VantorProcess vantor(folder);
        ASSERT_NE(vantor.Form(), nullptr);
        // Past the first tick, so the picture is the tick's and not the one shown before it.
        ASSERT_TRUE(WaitUntil([] { return ProgramTip() && *ProgramTip() != kStartTip; }, kTickLimit));
        std::optional<TrayPicture> seen;
        const bool shown = WaitUntil([&] {
            seen = FindTrayPicture();
            if (!seen) return false;
            return c.picture < 0 ? seen->index >= 1 && seen->index <= 3 : seen->index == c.picture;
        }, 8s);
        EXPECT_TRUE(shown) << "picture seen last: " << (seen ? seen->index : -1);
        if (traffic) {
            EXPECT_TRUE(traffic->Flowing());
        }
        ASSERT_TRUE(vantor.Quit());
    }
}

TEST(TrayE2E, LeftPressShowsTheHiddenWindowRightPressOnlyOpensTheMenuMiddlePressShowsItToo) {
    HiddenStart start;
    ASSERT_NE(start.form, nullptr);
    ASSERT_NE(start.icon.x, 0) << "the icon shows";
    VantorProcess& vantor = *start.vantor;

    ASSERT_TRUE(Click(start.icon, 3));
    ASSERT_NE(vantor.WaitForMenu(), nullptr) << "a right press opens the menu";
    EXPECT_FALSE(::IsWindowVisible(start.form)) << "and leaves the window hidden";
    ASSERT_TRUE(ClickAwayFromMenus());
    ASSERT_TRUE(WaitUntil([&] { return vantor.VisibleWindows(L"#32768").empty(); }));
    EXPECT_FALSE(::IsWindowVisible(start.form));

    ASSERT_TRUE(Click(start.icon, 1));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(start.form) != FALSE; })) << "a left press shows it";
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == start.form; })) << "in front";
    EXPECT_EQ(StateOf(start.form).rect.left, 200) << "at the saved place";
    EXPECT_TRUE(vantor.VisibleWindows(L"#32768").empty()) << "no menu for the left button";

    // 最小化 from the tray's menu hides it; the middle button brings it back.
    ASSERT_TRUE(Click(start.icon, 3));
    ASSERT_TRUE(PickMenuCommand(vantor, cmdMinimise));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(start.form); }));
    ASSERT_TRUE(Click(start.icon, 2));
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(start.form) != FALSE; })) << "a middle press shows it";
    ASSERT_TRUE(vantor.Quit());
    EXPECT_EQ(SettingsValues(start.folder.File(L"vantor20.ini"))["Window/main"], "0")
        << "the start-up choice is saved, not whether the window showed at exit";
}

TEST(TrayE2E, DoubleClickShowsTheWindowOnceAndTheExtraPressChangesNothing) {
    HiddenStart start;
    ASSERT_NE(start.icon.x, 0);
    VantorProcess& vantor = *start.vantor;
    ASSERT_TRUE(DoubleClick(start.icon));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(start.form) != FALSE; }));
    const WindowState shown = StateOf(start.form);
    // The press that follows a double click is posted while the double click is handled, before the icon's
    // messages for a right press that comes after it; the menu that press opens pops up only once every
    // message waiting for the program has been handled.
    ASSERT_TRUE(Click(start.icon, 3));
    ASSERT_NE(vantor.WaitForMenu(), nullptr);
    const WindowState later = StateOf(start.form);
    EXPECT_TRUE(later.visible);
    EXPECT_TRUE(::EqualRect(&shown.rect, &later.rect));
    EXPECT_EQ(vantor.VisibleWindows(L"#32768").size(), 1u) << "no menu but the right press's";
    EXPECT_TRUE(vantor.VisibleWindows(L"TModalForm").empty()) << "no dialog";
    ASSERT_TRUE(ClickAwayFromMenus());
    ASSERT_TRUE(vantor.Quit());
}

TEST(TrayE2E, WhileADialogIsOpenAnyPressOnTheIconOnlyBringsTheDialogToTheFront) {
    HiddenStart start;
    ASSERT_NE(start.icon.x, 0);
    VantorProcess& vantor = *start.vantor;
    // The taskbar takes the front before each press, so that the dialog's return to it is seen.
    const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    const std::pair<MenuCommand, const wchar_t*> dialogs[] = {{cmdSettings, L"インタフェース設定"},
                                                               {cmdAbout, L"-About Infomation-"}};
    for (const auto& [command, caption] : dialogs) {
        ASSERT_TRUE(Click(start.icon, 3));
        ASSERT_TRUE(PickMenuCommand(vantor, command));
        const HWND dialog = vantor.WaitForWindow(L"TModalForm", caption);
        ASSERT_NE(dialog, nullptr);
        // Shown, the dialog still takes the front and the keyboard; the taskbar takes the front only after.
        ASSERT_TRUE(WaitUntil([&] { return HasKeyboard(dialog); }));
        for (const int button : {1, 3, 2}) {
            SCOPED_TRACE(::testing::Message() << "button " << button << " over " << TextOf(dialog));
            ::SetForegroundWindow(taskbar);
            ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == taskbar; }));
            ASSERT_TRUE(Click(start.icon, button));
            EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == dialog; })) << "the dialog comes forward";
            // A key the dialog answers comes after the press: a menu opened by the press would have taken it.
            const HWND focus = FocusOfThreadOf(dialog);
            EXPECT_TRUE(PressKeysUntil(dialog, L"Tab", [&] { return FocusOfThreadOf(dialog) != focus; }));
            EXPECT_TRUE(vantor.VisibleWindows(L"#32768").empty()) << "no menu";
            EXPECT_FALSE(::IsWindowVisible(start.form)) << "the mini window stays hidden";
            EXPECT_EQ(vantor.VisibleWindows(L"TModalForm").size(), 1u) << "no second dialog";
            EXPECT_EQ(::GetForegroundWindow(), dialog);
        }
        ASSERT_TRUE(PressKeysUntil(dialog, L"Escape", [&] { return !::IsWindow(dialog); }));
    }
    ASSERT_TRUE(vantor.Quit());
}

}  // namespace
}  // namespace vantor::e2e
