// The tray icon of vantor.exe as a user meets it in the notification area: its picture, its tip and
// what the mouse does on it.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "tests/e2e/Driving.h"
#include "tests/e2e/RemoteMemory.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"
#include "tests/support/WineHost.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kStartTip[] = L"Vantor Infomation2.00";

// The row of the interface table whose description is `name`, as the system gives it now; its position
// is 0 when there is none.
struct NamedRow {
    int position = 0;
    MIB_IF_ROW2 row{};
};
NamedRow InterfaceNamed(const std::string& name) {
    ULONG size = 0;
    ::GetIfTable(nullptr, &size, TRUE);
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (::GetIfTable(table, &size, TRUE) != NO_ERROR) return {};
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        if (reinterpret_cast<const char*>(table->table[i].bDescr) != name) continue;
        NamedRow named{static_cast<int>(i + 1), {}};
        named.row.InterfaceIndex = table->table[i].dwIndex;
        if (::GetIfEntry2(&named.row) != NO_ERROR) return {};
        return named;
    }
    return {};
}

// The tip of this program's icon: the only icon whose tip is the start text or the status text.
std::optional<std::wstring> ProgramTip() {
    for (const std::wstring& tip : TrayTipTexts())
        if (tip == kStartTip || tip.starts_with(L"速度:")) return tip;
    return std::nullopt;
}

std::int64_t KilobytesShown(const std::wstring& grouped) {
    std::wstring digits;
    for (wchar_t c : grouped)
        if (c != L',') digits += c;
    return std::stoll(digits);
}

std::int64_t RoundedKilobytes(ULONG64 bytes) { return (static_cast<std::int64_t>(bytes) + 512) / 1024; }

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
    const NamedRow before = InterfaceNamed(route);
    ASSERT_GT(before.position, 0) << "Wine lists Linux interfaces under their names: " << route;
    TempFolder folder;
    VantorProcess vantor(folder);
    ASSERT_NE(vantor.Form(), nullptr);

    std::vector<std::wstring> tips;
    ASSERT_TRUE(WaitUntil([&] {
        if (const auto tip = ProgramTip(); tip && (tips.empty() || tips.back() != *tip)) tips.push_back(*tip);
        return !tips.empty() && tips.back() != kStartTip;
    }, 5s)) << "the first tick rewrites the tip";
    const NamedRow after = InterfaceNamed(route);
    EXPECT_EQ(tips.front(), kStartTip) << "the stored tip until the first tick";
    const auto picture = FindTrayPicture();
    ASSERT_TRUE(picture) << "one of the load pictures shows in the notification area";

    // Three lines: the interface speed, then the totals sent and received as the interface counts them.
    std::wsmatch lines;
    const std::wstring status = tips.back();
    ASSERT_TRUE(std::regex_match(status, lines,
                                 std::wregex(L"速度:(\\d\\d+\\.\\dMbps)\r\n送信:([0-9,]+) KB\r\n受信:([0-9,]+) KB")))
        << "the tip reads: " << ::testing::PrintToString(status);
    // The larger of the two link speeds, an unknown one (all bits set) not counted.
    const auto known = [](ULONG64 speed) { return speed == ~ULONG64{0} ? 0.0 : static_cast<double>(speed); };
    wchar_t speed[32];
    std::swprintf(speed, 32, L"%04.1fMbps",
                  std::max(known(after.row.TransmitLinkSpeed), known(after.row.ReceiveLinkSpeed)) / 1e6);
    EXPECT_EQ(lines[1].str(), speed);
    EXPECT_GE(KilobytesShown(lines[2]), RoundedKilobytes(before.row.OutOctets));
    EXPECT_LE(KilobytesShown(lines[2]), RoundedKilobytes(after.row.OutOctets));
    EXPECT_GE(KilobytesShown(lines[3]), RoundedKilobytes(before.row.InOctets));
    EXPECT_LE(KilobytesShown(lines[3]), RoundedKilobytes(after.row.InOctets));
    ASSERT_TRUE(vantor.Quit());
    EXPECT_TRUE(WaitUntil([] { return !FindTrayPicture(); })) << "the icon leaves with the program";
    auto saved = IniValues(ReadFileBytes(folder.File(L"vantor20.ini")));
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
        ASSERT_TRUE(WaitUntil([] { return ProgramTip() && *ProgramTip() != kStartTip; }));
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
}

TEST(TrayE2E, DoubleClickShowsTheWindowOnceAndTheExtraPressChangesNothing) {
    HiddenStart start;
    ASSERT_NE(start.icon.x, 0);
    VantorProcess& vantor = *start.vantor;
    ASSERT_TRUE(DoubleClick(start.icon));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(start.form) != FALSE; }));
    const WindowState shown = StateOf(start.form);
    // Past the double-click time, when the press that follows a double click has come and gone.
    Pause(std::chrono::milliseconds(::GetDoubleClickTime() + 300));
    const WindowState later = StateOf(start.form);
    EXPECT_TRUE(later.visible);
    EXPECT_TRUE(::EqualRect(&shown.rect, &later.rect));
    EXPECT_TRUE(vantor.VisibleWindows(L"#32768").empty()) << "no menu";
    EXPECT_TRUE(vantor.VisibleWindows(L"TModalForm").empty()) << "no dialog";
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
        for (const int button : {1, 3, 2}) {
            SCOPED_TRACE(::testing::Message() << "button " << button << " over " << TextOf(dialog));
            ::SetForegroundWindow(taskbar);
            ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == taskbar; }));
            ASSERT_TRUE(Click(start.icon, button));
            EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == dialog; })) << "the dialog comes forward";
            // A key the dialog answers comes after the press: a menu opened by the press would have taken it.
            const HWND focus = FocusOfThreadOf(dialog);
            EXPECT_TRUE(PressKeysUntil(L"Tab", [&] { return FocusOfThreadOf(dialog) != focus; }));
            EXPECT_TRUE(vantor.VisibleWindows(L"#32768").empty()) << "no menu";
            EXPECT_FALSE(::IsWindowVisible(start.form)) << "the mini window stays hidden";
            EXPECT_EQ(vantor.VisibleWindows(L"TModalForm").size(), 1u) << "no second dialog";
            EXPECT_EQ(::GetForegroundWindow(), dialog);
        }
        ASSERT_TRUE(PressKeysUntil(L"Escape", [&] { return !::IsWindow(dialog); }));
    }
    ASSERT_TRUE(vantor.Quit());
}

}  // namespace
}  // namespace vantor::e2e
