// The tray icon against the real shell under Wine's virtual desktop: the binding's record and version
// probe, the hidden windows and their routing, the icon in the notification area, xdotool clicks, and a
// simulated taskbar restart.

#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "components/Taskbar/Taskbar.h"
#include "components/TrShlApi/win32/TrayShellWin32.h"
#include "framework/Unicode.h"
#include "framework/win32/Application.h"
#include "framework/win32/Text.h"
#include "tests/wine/TraySupport.h"

namespace vantor::win32 {
namespace {

using namespace std::chrono_literals;
using namespace testing;

class TrayWin32 : public ::testing::Test {
protected:
    Application application{::GetModuleHandleW(nullptr)};
    TrayShell& shell = DefaultTrayShell();
};

bool ClassRegistered() {
    WNDCLASSEXW info{sizeof info};
    return ::GetClassInfoExW(::GetModuleHandleW(nullptr), kTrayWindowClass, &info) != 0;
}

TEST_F(TrayWin32, RecordReachesTheWideStructureWithTheSizeOfItsLayout) {
    TTaskTrayIcon icon(shell);
    ASSERT_TRUE(icon.IsShell5());
    const std::string tip = "インタフェース速度 100.0Mbps\r\n送信 1,234 KB";
    icon.SetTip(tip);
    icon.SetBalloonTitle("題名");
    icon.SetBalloonTimeOut(4000);
    NotifyIconRecord record = icon.IconData();
    record.layout = NotifyIconLayout::kVersion2;
    record.hWnd = icon.GetHandle();
    record.uFlags = 7;
    record.dwState = 2;
    NOTIFYICONDATAW data = ToNotifyIconData(record);
    EXPECT_EQ(data.cbSize, NOTIFYICONDATAW_V2_SIZE);
    EXPECT_EQ(data.hWnd, icon.Handle());
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.dwState, 2u);
    EXPECT_EQ(std::wstring(data.szTip), Widen(tip)) << "Japanese text survives any code page";
    EXPECT_EQ(std::wstring(data.szInfoTitle), L"題名");
    EXPECT_EQ(data.uTimeout, 4000u);

    record.layout = NotifyIconLayout::kVersion1;
    EXPECT_EQ(ToNotifyIconData(record).cbSize, NOTIFYICONDATAW_V1_SIZE);
    EXPECT_LT(NOTIFYICONDATAW_V1_SIZE, NOTIFYICONDATAW_V2_SIZE);
}

TEST_F(TrayWin32, ShellVersionComesFromTheExportAndFromTheFile) {
    const std::uint32_t version = GetShellVersion(shell);
    const std::uint32_t fileVersion = GetShellFileVersion(shell);
    EXPECT_GE(version, 0x00050000u) << std::hex << version;
    EXPECT_GE(fileVersion, 0x00050000u) << std::hex << fileVersion;
    EXPECT_EQ(version >> 16, fileVersion >> 16) << "both name the same major version";
    const auto dll = shell.CallDllGetVersion();
    ASSERT_TRUE(dll && dll->exported && dll->succeeded);
    EXPECT_EQ(version, (dll->major << 16) | dll->minor);
}

TEST_F(TrayWin32, HiddenWindowIsAnUnshownToolWindowPopupOfTheSharedClass) {
    TTaskTrayIcon icon(shell);
    const HWND window = static_cast<HWND>(icon.GetHandle());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::vantor::testing::ClassOf(window), L"TaskTrayHandle");
    EXPECT_TRUE(::GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(::GetAncestor(window, GA_PARENT), ::GetDesktopWindow()) << "top-level, so it hears broadcasts";
    EXPECT_EQ(icon.Style()->OwnerHandle(), window);

    TMessage seen{};
    icon.OnMessage = [&](TMessage& m) {
        if (m.Msg == wm::kTrayNotify) seen = m, m.Result = 77;
    };
    EXPECT_EQ(::SendMessageW(window, wm::kTrayNotify, 1, WM_MOUSEMOVE), 77);
    EXPECT_EQ(seen.LParam, WM_MOUSEMOVE);
}

TEST_F(TrayWin32, TwoIconsRouteToTheirOwnWindowsAndTheLastToGoUnregistersTheClass) {
    auto first = std::make_unique<TTaskTrayIcon>(shell);
    auto second = std::make_unique<TTaskTrayIcon>(shell);
    std::vector<UINT> firstGot, secondGot;
    first->OnMessage = [&](TMessage& m) { if (m.Msg == WM_APP + 5) firstGot.push_back(static_cast<UINT>(m.WParam)); };
    second->OnMessage = [&](TMessage& m) { if (m.Msg == WM_APP + 5) secondGot.push_back(static_cast<UINT>(m.WParam)); };
    const HWND firstWindow = static_cast<HWND>(first->GetHandle());
    const HWND secondWindow = static_cast<HWND>(second->GetHandle());
    ASSERT_NE(firstWindow, secondWindow);
    ::SendMessageW(secondWindow, WM_APP + 5, 2, 0);
    ::SendMessageW(firstWindow, WM_APP + 5, 1, 0);
    ::PostMessageW(secondWindow, WM_APP + 5, 22, 0);
    PumpUntil([&] { return secondGot.size() == 2; });
    EXPECT_EQ(firstGot, std::vector<UINT>{1});
    EXPECT_EQ(secondGot, (std::vector<UINT>{2, 22}));

    first.reset();
    EXPECT_TRUE(ClassRegistered()) << "the other icon still uses it";
    EXPECT_FALSE(::IsWindow(firstWindow));
    second.reset();
    EXPECT_FALSE(ClassRegistered());

    const IconHandle picture = SolidIcon(0x00102030);
    TTaskTrayIcon later(shell);
    later.SetIcon(picture.Get());
    EXPECT_TRUE(later.AddIcon()) << "a new icon registers the class again and works";
    EXPECT_TRUE(ClassRegistered());
    EXPECT_TRUE(later.DeleteIcon());
}

// The real binding, except that the shell is busy: every notification call fails with a time-out.
class TimingOutShell final : public TrayShellWin32 {
public:
    std::vector<std::chrono::steady_clock::time_point> calls;
    bool NotifyIcon(NotifyAction, const NotifyIconRecord&) override {
        calls.push_back(std::chrono::steady_clock::now());
        return false;
    }
    std::uint32_t LastError() override { return ERROR_TIMEOUT; }
};

TEST_F(TrayWin32, ABusyShellIsRetriedFromTheWindowsTimerOneCallATickWhileTheThreadRunsItsLoop) {
    TimingOutShell busy;
    TTaskTrayIcon icon(busy);
    const IconHandle picture = SolidIcon(0x00405060);
    icon.SetIcon(picture.Get());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(icon.AddIcon());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "the add came back at once";
    int pumped = 0;
    ASSERT_TRUE(PumpUntil([&] { return ++pumped && !icon.AddRetryPending(); }, 40s));
    ASSERT_EQ(busy.calls.size(), 13u) << "the add, then six rounds of a modify and an add";
    for (std::size_t i = 1; i < busy.calls.size(); ++i)
        EXPECT_GE(busy.calls[i] - busy.calls[i - 1], 1800ms) << "one call a timer tick, call " << i;
    EXPECT_GT(pumped, 100) << "the message loop ran between the calls";
    EXPECT_FALSE(icon.Added());
}

TEST_F(TrayWin32, AddedIconShowsInTheNotificationAreaUntilDeleted) {
    constexpr DWORD kColour = 0x0012E456;
    const IconHandle picture = SolidIcon(kColour);
    TTaskTrayIcon icon(shell);
    icon.SetIcon(picture.Get());
    icon.SetTip("テスト");
    ASSERT_TRUE(icon.AddIcon());
    ASSERT_TRUE(PumpUntil([&] { return FindOnTaskbar(kColour).has_value(); }));
    const POINT at = *FindOnTaskbar(kColour);
    EXPECT_GT(at.y, ::GetSystemMetrics(SM_CYSCREEN) - 20) << "in the taskbar at the bottom";
    EXPECT_TRUE(icon.ModifyIcon());
    EXPECT_TRUE(icon.DeleteIcon());
    EXPECT_TRUE(PumpUntil([&] { return !FindOnTaskbar(kColour); }));
}

// A tray icon with its events recorded as short words, shown with its own colour.
struct RecordedTray {
    IconHandle picture;
    TTrayIcon tray{nullptr};
    std::vector<std::string> events;

    explicit RecordedTray(DWORD colour) : picture(SolidIcon(colour)) {
        auto name = [](TMouseButton b) { return b == TMouseButton::mbLeft ? "L" : b == TMouseButton::mbRight ? "R" : "M"; };
        tray.OnMouseDown = [=, this](TComponent&, TMouseButton b, TShiftState, int, int) { events.push_back(std::string("down ") + name(b)); };
        tray.OnMouseUp = [=, this](TComponent&, TMouseButton b, TShiftState, int, int) { events.push_back(std::string("up ") + name(b)); };
        tray.OnMouseClick = [=, this](TComponent&, TMouseButton b, TShiftState, int, int) { events.push_back(std::string("click ") + name(b)); };
        tray.OnDblClick = [this](TComponent&) { events.push_back("dbl L"); };
        tray.OnMouseEnter = [this](TComponent&) { events.push_back("enter"); };
        tray.OnMouseExit = [this](TComponent&) { events.push_back("exit"); };
        tray.OnMouseMove = [this](TComponent&, TShiftState, int, int) { events.push_back("move"); };
        tray.SetIcon(picture.Get());
    }
    bool Saw(const std::string& event) const { return std::count(events.begin(), events.end(), event) > 0; }
};

TEST_F(TrayWin32, XdotoolClicksReachTheComponentAsEvents) {
    RecordedTray rig(0x00E41256);
    ASSERT_TRUE(rig.tray.TaskTrayIcon().Added());
    ASSERT_TRUE(PumpUntil([&] { return FindOnTaskbar(0x00E41256).has_value(); }));
    const POINT icon = *FindOnTaskbar(0x00E41256);

    ASSERT_TRUE(MovePointer(icon, ServeApplication));
    ASSERT_TRUE(PumpUntil([&] { return rig.Saw("move"); })) << "mouse-move notifications while over the icon";
    EXPECT_EQ(rig.events.front(), "enter") << "the enter comes before the first move";
    PumpFor(300ms);
    rig.events.clear();

    ASSERT_TRUE(StartXdotool(L"click 1"));
    ASSERT_TRUE(PumpUntil([&] { return rig.Saw("up L"); }));
    EXPECT_FALSE(rig.Saw("click L")) << "held back for the double-click time";
    ASSERT_TRUE(PumpUntil([&] { return rig.Saw("click L"); }, 2s));

    rig.events.clear();
    ASSERT_TRUE(MovePointer({300, 300}, ServeApplication));
    const auto left = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([&] { return rig.Saw("exit"); }, 2s));
    EXPECT_LT(std::chrono::steady_clock::now() - left, 1s);
}

TEST_F(TrayWin32, XdotoolDoubleClickGivesTheDoubleClickOneMorePressAndNoClick) {
    RecordedTray rig(0x0056E412);
    ASSERT_TRUE(PumpUntil([&] { return FindOnTaskbar(0x0056E412).has_value(); }));
    const POINT icon = *FindOnTaskbar(0x0056E412);
    ASSERT_TRUE(MovePointer(icon, ServeApplication));
    ASSERT_TRUE(PumpUntil([&] { return rig.Saw("move"); }));
    PumpFor(300ms);
    rig.events.clear();

    ASSERT_TRUE(StartXdotool(L"click --repeat 2 --delay 80 1"));
    ASSERT_TRUE(PumpUntil([&] { return rig.Saw("dbl L"); }));
    // A right click after it is reported a double-click time after its release, by the timer that would
    // also report a left click still held back: once it shows, no such click is waiting.
    ASSERT_TRUE(StartXdotool(L"click 3"));
    ASSERT_TRUE(PumpUntil([&] { return rig.Saw("click R"); }));
    const auto dbl = std::find(rig.events.begin(), rig.events.end(), "dbl L");
    EXPECT_NE(std::find(dbl, rig.events.end(), "down L"), rig.events.end()) << "one more press after the double click";
    EXPECT_EQ(std::count(dbl, rig.events.end(), "down L"), 1);
    EXPECT_FALSE(rig.Saw("click L"));
    ASSERT_TRUE(MovePointer({300, 300}, ServeApplication));
}

TEST_F(TrayWin32, TooltipLookupFindsATooltipOfTheTaskbarsProcess) {
    // This desktop's taskbar makes a tooltip per icon when the icon is added, so one icon must exist
    // before a style object looks.
    const IconHandle picture = SolidIcon(0x00C0E020);
    TTaskTrayIcon shown(shell);
    shown.SetIcon(picture.Get());
    ASSERT_TRUE(shown.AddIcon());
    ASSERT_TRUE(PumpUntil([&] { return ::FindWindowW(L"tooltips_class32", nullptr) != nullptr; }));

    TToolTipStyle style(shell);
    const HWND tip = static_cast<HWND>(style.ToolTipHandle());
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(::vantor::testing::ClassOf(tip), L"tooltips_class32");
    DWORD process = 0, shellProcess = 0;
    ::GetWindowThreadProcessId(tip, &process);
    ::GetWindowThreadProcessId(::FindWindowW(L"Shell_TrayWnd", nullptr), &shellProcess);
    EXPECT_EQ(process, shellProcess);
    EXPECT_FALSE(::GetWindowLongW(tip, GWL_STYLE) & TTS_NOPREFIX);
    EXPECT_TRUE(shown.DeleteIcon());
}

// Counts the adds that reach the shell.
class CountingShell final : public TrayShellWin32 {
public:
    int adds = 0;
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override {
        if (action == NotifyAction::kAdd) ++adds;
        return TrayShellWin32::NotifyIcon(action, record);
    }
};

TEST_F(TrayWin32, AfterASimulatedTaskbarRestartTheIconAddsItselfAgain) {
    constexpr DWORD kColour = 0x00A01EE0;
    CountingShell counting;
    const IconHandle picture = SolidIcon(kColour);
    TTaskTrayIcon icon(counting);
    icon.SetIcon(picture.Get());
    ASSERT_TRUE(icon.AddIcon());
    ASSERT_TRUE(PumpUntil([&] { return FindOnTaskbar(kColour).has_value(); }));
    ASSERT_EQ(counting.adds, 1);

    const ::vantor::testing::Launched helper(L"\"" + ExecutableDirectoryOfTests() + L"tray_restart_helper.exe\"");
    ASSERT_TRUE(helper.WaitForExit(10s, ServeApplication));
    ASSERT_EQ(helper.ExitCode(), 0u) << "the helper found the hidden window, deleted the icon and broadcast";
    ASSERT_TRUE(PumpUntil([&] { return counting.adds == 2; })) << "TaskbarCreated arrived and the icon was re-added";
    EXPECT_TRUE(icon.Added());
    EXPECT_TRUE(PumpUntil([&] { return FindOnTaskbar(kColour).has_value(); }));
    EXPECT_TRUE(icon.DeleteIcon()) << "the shell knows the icon again";
}

TEST_F(TrayWin32, ComponentAnswersQueryEndSessionAndShowsTheApplicationIconWithoutItsOwn) {
    TTrayIcon tray(nullptr);
    EXPECT_EQ(tray.CurrentIconHandle(), application.Icon());
    const HWND window = static_cast<HWND>(tray.TaskTrayIcon().GetHandle());
    EXPECT_EQ(::SendMessageW(window, WM_QUERYENDSESSION, 0, 0), 1);
}

}  // namespace
}  // namespace vantor::win32
