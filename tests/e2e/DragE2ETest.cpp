// Dragging the mini window by its face as a user does, with the X pointer: the sticky snap to the work
// area's edges, the snap to the settings dialog beside it, the frame that neither sizes nor moves it, the
// parts of the face that start a move and those that do not, and the position kept at exit.

#include <windows.h>

#include <gtest/gtest.h>

#include <shellapi.h>

#include <sstream>

#include "tests/e2e/VantorProcess.h"
#include "tests/support/Xdotool.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;
using vantor::testing::LeftButtonDown;
using vantor::testing::MouseMoveArguments;
using vantor::testing::PointerAt;
using vantor::testing::StartXdotool;

// How long a press or a motion is given to start something it should not start.
constexpr auto kNothingHappens = 300ms;

std::string Describe(const RECT& r) {
    std::ostringstream text;
    text << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
    return text.str();
}

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

RECT Shifted(RECT r, int dx, int dy) {
    ::OffsetRect(&r, dx, dy);
    return r;
}

// The virtual desktop's taskbar, along the bottom of the screen; it shows while a notification icon exists.
HWND Taskbar() {
    const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    return taskbar && ::IsWindowVisible(taskbar) ? taskbar : nullptr;
}

bool WaitForTaskbar() { return WaitUntil([] { return Taskbar() != nullptr; }); }

// The work area: the screen less the taskbar. Under Wine a running process keeps the work area it first
// asked for, so this process, started before the taskbar showed, asks the taskbar itself.
RECT WorkArea() {
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (const HWND taskbar = Taskbar()) area.bottom = WindowRect(taskbar).top;
    return area;
}

bool PointTo(POINT to) { return StartXdotool(MouseMoveArguments(to)) && WaitUntil([&] { return PointerAt(to); }); }

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The form's child windows of one class, in creation order.
std::vector<HWND> Children(HWND form, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = L"";
        ::GetClassNameW(child, name, 64);
        if (std::wstring_view(name) == className) found.push_back(child);
    }
    return found;
}

std::wstring TextOf(HWND window) {
    wchar_t text[128] = L"";
    ::SendMessageTimeoutW(window, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

// Polls until the window's rectangle is `expected`, then sees that it stays so for a moment, so that a
// motion which should change nothing has had the time to be handled.
bool SettlesAt(HWND window, const RECT& expected) {
    const auto there = [&] {
        const RECT now = WindowRect(window);
        return ::EqualRect(&expected, &now) != FALSE;
    };
    return WaitUntil(there, 2s) && !WaitUntil([&] { return !there(); }, 150ms);
}

std::string PositionSettings(int left, int top) {
    return "[Window]\r\nLeft=" + std::to_string(left) + "\r\nTop=" + std::to_string(top) + "\r\n";
}

std::wstring IniValue(const TempFolder& folder, const wchar_t* section, const wchar_t* key) {
    wchar_t value[64] = L"";
    ::GetPrivateProfileStringW(section, key, L"(none)", value, 64, folder.File(L"vantor20.ini").c_str());
    return value;
}

// The left button held down with xdotool; let go at the end of the scope, also when a check fails midway,
// so that no move loop outlives its test.
class LeftButton {
public:
    LeftButton() : down_(StartXdotool(L"mousedown 1") && WaitUntil(LeftButtonDown)) {}
    ~LeftButton() { (void)Release(); }
    LeftButton(const LeftButton&) = delete;
    LeftButton& operator=(const LeftButton&) = delete;

    bool Down() const noexcept { return down_; }
    [[nodiscard]] bool Release() {
        if (!down_) return true;
        down_ = false;
        return StartXdotool(L"mouseup 1") && WaitUntil([] { return !LeftButtonDown(); });
    }

private:
    bool down_;
};

// A notification icon of this test's own, so that the taskbar is up before the program starts, as it
// always is on Windows: under Wine a process keeps the work area it saw when it started.
class TaskbarIcon {
public:
    TaskbarIcon() : owner_(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) {
        data_.hWnd = owner_;
        data_.uID = 1;
        data_.uFlags = NIF_ICON;
        data_.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
        added_ = owner_ && ::Shell_NotifyIconW(NIM_ADD, &data_);
    }
    ~TaskbarIcon() {
        if (added_) ::Shell_NotifyIconW(NIM_DELETE, &data_);
        if (owner_) ::DestroyWindow(owner_);
    }
    TaskbarIcon(const TaskbarIcon&) = delete;
    TaskbarIcon& operator=(const TaskbarIcon&) = delete;
    bool Added() const noexcept { return added_; }

private:
    HWND owner_;
    NOTIFYICONDATAW data_{sizeof data_};
    bool added_ = false;
};

// The program started with its window shown at a stored position, on a desktop whose taskbar is up.
class Started {
public:
    Started(const TempFolder& folder, int left, int top) {
        WriteFileBytes(folder.File(L"vantor20.ini"), PositionSettings(left, top));
        if (!icon_.Added() || !WaitForTaskbar()) return;
        vantor.emplace(folder);
        form = vantor->Form();
        ready = form && WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }) &&
                WindowRect(form).left == left && WindowRect(form).top == top;
    }
    std::optional<VantorProcess> vantor;
    HWND form = nullptr;
    bool ready = false;

private:
    TaskbarIcon icon_;
};

TEST(DragE2E, StaysOnTheWorkAreaEdgeUntilTheMouseIsSixPixelsPastItAndIsSavedWhereItWasLeft) {
    TempFolder folder;
    {
        Started program(folder, 20, 300);
        ASSERT_TRUE(program.ready);
        VantorProcess& vantor = *program.vantor;
        const HWND form = program.form;
        const RECT start = WindowRect(form);
        const POINT grip = Centre(WindowRect(Children(form, L"TLabel").at(0)));
        ASSERT_TRUE(PointTo(grip));
        LeftButton button;
        ASSERT_TRUE(button.Down());
        ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == form; })) << "a press on a figure starts a move";

        // The mouse goes straight left, then back; the left edge stays at 0 while the position under the
        // mouse is within 6 pixels of it.
        const struct {
            int mouse;  // from the press, in pixels
            int left;
        } steps[] = {{-10, 10}, {-15, 0}, {-21, 0}, {-27, -7}, {-26, 0}, {-14, 0}, {-13, 7}, {-33, -13}};
        for (const auto& step : steps) {
            ASSERT_TRUE(PointTo({grip.x + step.mouse, grip.y}));
            EXPECT_TRUE(SettlesAt(form, Shifted(start, step.left - start.left, 0)))
                << "mouse " << step.mouse << " px: expected left " << step.left << ", window at "
                << Describe(WindowRect(form));
        }
        ASSERT_TRUE(button.Release());
        ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == nullptr; })) << "letting go ends the move";
        EXPECT_EQ(WindowRect(form).left, -13);
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(IniValue(folder, L"Window", L"Left"), L"-13");
    EXPECT_EQ(IniValue(folder, L"Window", L"Top"), L"300");

    // A position left of the screen is not corrected at the next start.
    VantorProcess again(folder);
    ASSERT_NE(again.Form(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(again.Form()) && WindowRect(again.Form()).left == -13; }))
        << "started at " << Describe(WindowRect(again.Form()));
    ASSERT_TRUE(again.Quit());
}

TEST(DragE2E, SnapsToTheWorkAreaBottomAboveTheTaskbar) {
    TempFolder folder;
    int snappedTop = 0;
    {
        Started program(folder, 400, 600);
        ASSERT_TRUE(program.ready);
        VantorProcess& vantor = *program.vantor;
        const HWND form = program.form;
        const RECT area = WorkArea();
        ASSERT_LT(area.bottom, ::GetSystemMetrics(SM_CYSCREEN));

        const RECT start = WindowRect(form);
        const POINT grip = Centre(WindowRect(Children(form, L"TTyxTrend").at(0)));
        ASSERT_TRUE(PointTo(grip));
        LeftButton button;
        ASSERT_TRUE(button.Down());
        ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == form; })) << "a press on the chart starts a move";
        // Bottom edge as the mouse goes down: 10 short of the work area's bottom, 5 short, 2 past.
        const struct {
            int belowArea;  // where the unsnapped bottom edge is, relative to the work area's bottom
            int bottom;     // where the window's bottom edge is, relative to the same
        } steps[] = {{-10, -10}, {-5, 0}, {2, 0}};
        for (const auto& step : steps) {
            const int mouse = area.bottom + step.belowArea - start.bottom;
            ASSERT_TRUE(PointTo({grip.x, grip.y + mouse}));
            EXPECT_TRUE(SettlesAt(form, Shifted(start, 0, area.bottom + step.bottom - start.bottom)))
                << "unsnapped bottom " << step.belowArea << " from the work area's: window at "
                << Describe(WindowRect(form));
        }
        ASSERT_TRUE(button.Release());
        ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == nullptr; }));
        EXPECT_EQ(WindowRect(form).bottom, area.bottom) << "on the taskbar's edge, not over it";
        snappedTop = area.bottom - (start.bottom - start.top);
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(IniValue(folder, L"Window", L"Left"), L"400");
    EXPECT_EQ(IniValue(folder, L"Window", L"Top"), std::to_wstring(snappedTop));
}

}  // namespace
}  // namespace vantor::e2e
