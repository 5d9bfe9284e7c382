// Dragging the mini window by its face as a user does, with the X pointer: the sticky snap to the work
// area's edges, the snap to the settings dialog beside it, the frame that neither sizes nor moves it, the
// parts of the face that start a move and those that do not, and the position kept at exit.

#include <windows.h>

#include <gtest/gtest.h>

#include <shellapi.h>

#include <functional>
#include <sstream>

#include "tests/e2e/Driving.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Xdotool.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;
using vantor::testing::LeftButtonDown;
using vantor::testing::StartXdotool;

std::string Describe(const RECT& r) {
    std::ostringstream text;
    text << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
    return text.str();
}

std::string PointerNow() {
    POINT at{};
    ::GetCursorPos(&at);
    return "pointer at (" + std::to_string(at.x) + ", " + std::to_string(at.y) + ")";
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

// The top right corner of a window as the screen shows it: its frame and the corner of the chart, the same
// wherever the window stands.
testing::ScreenPixels CornerOf(const RECT& r) { return testing::ScreenPixels({r.right - 8, r.top, r.right, r.top + 8}); }

// Waits until the window's rectangle is `expected` and the screen shows it there too (its corner as `corner`
// showed it at rest). Wine takes a motion over a window by the place the X server has for it, so a motion
// that came before the server had moved the window for the previous one would be taken for another.
bool At(HWND window, const RECT& expected, const testing::ScreenPixels& corner) {
    return WaitUntil([&] {
        const RECT now = WindowRect(window);
        return ::EqualRect(&expected, &now) && CornerOf(now).SamePictureAs(corner);
    });
}

// Moves the pointer to `to` during a move and sees the window at `expected` once the move loop has handled
// the motion. Where the window is there already, the motion shows nothing by itself: a step of the pointer
// by `nudge` (one pixel along an axis the window follows freely there) and back, each seen to move the
// window, follows it, and the loop handles motions in order.
bool MovesTo(HWND window, POINT to, const RECT& expected, POINT nudge) {
    const RECT before = WindowRect(window);
    const testing::ScreenPixels corner = CornerOf(before);
    if (!MovePointer(to)) return false;
    if (!::EqualRect(&before, &expected)) return At(window, expected, corner);
    return MovePointer({to.x + nudge.x, to.y + nudge.y}) && At(window, Shifted(expected, nudge.x, nudge.y), corner) &&
           MovePointer(to) && At(window, expected, corner);
}

std::string PositionSettings(int left, int top) {
    return "[Window]\r\nLeft=" + std::to_string(left) + "\r\nTop=" + std::to_string(top) + "\r\n";
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
        const POINT grip = CentreOf(ChildrenOfClass(form, L"TLabel").at(0));
        ASSERT_TRUE(MovePointer(grip));
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
            EXPECT_TRUE(MovesTo(form, {grip.x + step.mouse, grip.y}, Shifted(start, step.left - start.left, 0), {0, 1}))
                << "mouse " << step.mouse << " px: expected left " << step.left << ", window at "
                << Describe(WindowRect(form)) << ", " << PointerNow();
        }
        ASSERT_TRUE(button.Release());
        ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == nullptr; })) << "letting go ends the move";
        EXPECT_EQ(WindowRect(form).left, -13);
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Left"], "-13");
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Top"], "300");

    // A position left of the screen is not corrected at the next start.
    VantorProcess again(folder);
    ASSERT_NE(again.Form(), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(again.Form()) && WindowRect(again.Form()).left == -13; }))
        << "started at " << Describe(WindowRect(again.Form()));
    ASSERT_TRUE(again.Quit());
}

TEST(DragE2E, SnapsToTheWorkAreaBottomAboveTheTaskbarAndIntoItsCorner) {
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
        const POINT grip = CentreOf(ChildrenOfClass(form, L"TTyxTrend").at(0));
        ASSERT_TRUE(MovePointer(grip));
        LeftButton button;
        ASSERT_TRUE(button.Down());
        ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == form; })) << "a press on the chart starts a move";
        // Down to 10 short of the work area's bottom, 5 short, 2 past; then left to 4 from its left edge.
        // Left edges are counted from the work area's left, bottom edges from its bottom.
        const struct {
            POINT unsnapped;  // where the mouse takes the left and bottom edges
            POINT placed;     // where the window's left and bottom edges are
        } steps[] = {{{400, -10}, {400, -10}}, {{400, -5}, {400, 0}}, {{400, 2}, {400, 0}}, {{4, 2}, {0, 0}}};
        // The offset of the window that puts its left and bottom edges there.
        const auto offset = [&](POINT edges) {
            return POINT{area.left + edges.x - start.left, area.bottom + edges.y - start.bottom};
        };
        for (const auto& [unsnapped, placed] : steps) {
            EXPECT_TRUE(MovesTo(form, {grip.x + offset(unsnapped).x, grip.y + offset(unsnapped).y},
                                Shifted(start, offset(placed).x, offset(placed).y), {1, 0}))
                << "unsnapped left " << unsnapped.x << ", bottom " << unsnapped.y << ": window at "
                << Describe(WindowRect(form)) << ", " << PointerNow();
        }
        ASSERT_TRUE(button.Release());
        ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == nullptr; }));
        EXPECT_EQ(WindowRect(form).bottom, area.bottom) << "on the taskbar's edge, not over it";
        snappedTop = area.bottom - (start.bottom - start.top);
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Left"], "0");
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Top"], std::to_string(snappedTop));
}

// The settings dialog is modal, so the mini window is disabled while it is open: a real press on it starts
// nothing, and the system also ignores the move command for a disabled window. To drag it beside the
// dialog all the same, the window is enabled from outside for the drag, and the move loop that a press
// would start is started by its message with the button held down: the loop and the program's snapping
// of it are the same as for a press.
TEST(DragE2E, SnapsToTheSettingsDialogOpenBesideIt) {
    TempFolder folder;
    Started program(folder, 20, 300);
    ASSERT_TRUE(program.ready);
    VantorProcess& vantor = *program.vantor;
    const HWND form = program.form;

    ASSERT_TRUE(Click(CentreOf(ChildrenOfClass(form, L"TTyxTrend").at(0)), 3));
    ASSERT_TRUE(PickMenuCommand(vantor, cmdSettings));
    const HWND dialog = vantor.WaitForWindow(L"TModalForm", L"インタフェース設定");
    ASSERT_NE(dialog, nullptr) << "the settings dialog opens";
    EXPECT_FALSE(::IsWindowEnabled(form)) << "the dialog is modal";

    const RECT beside = WindowRect(dialog);
    const RECT start = WindowRect(form);
    const int width = start.right - start.left;
    ASSERT_GE(start.top, beside.top);
    ASSERT_LE(start.bottom, beside.bottom) << "the window lies beside the dialog";
    ASSERT_GT(beside.left - 20 - width, WorkArea().left + 6) << "and far from the work area's edges";

    const POINT grip = CentreOf(ChildrenOfClass(form, L"TLabel").at(0));
    ASSERT_TRUE(MovePointer(grip));
    LeftButton button;
    ASSERT_TRUE(button.Down());
    // A key for the dialog, pressed after the press, moves its focus once the press has been handled.
    const HWND focus = FocusOfThreadOf(dialog);
    ASSERT_TRUE(PressKeysUntil(dialog, L"Tab", [&] { return FocusOfThreadOf(dialog) != focus; }));
    EXPECT_EQ(vantor.MoveSizeWindow(), nullptr) << "a press on the disabled window starts no move";
    ::EnableWindow(form, TRUE);
    ASSERT_TRUE(::PostMessageW(form, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, MAKELPARAM(grip.x, grip.y)));
    ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == form; }));

    // The right edge as the mouse takes it toward the dialog's left edge and a little past it.
    const struct {
        int unsnapped;  // where the unsnapped right edge is, relative to the dialog's left edge
        int right;      // where the window's right edge is, relative to the same
    } steps[] = {{-20, -20}, {-7, -7}, {-6, 0}, {4, 0}, {7, 7}};
    for (const auto& step : steps) {
        EXPECT_TRUE(MovesTo(form, {grip.x + beside.left + step.unsnapped - start.right, grip.y},
                            Shifted(start, beside.left + step.right - start.right, 0), {0, 1}))
            << "unsnapped right edge " << step.unsnapped << " from the dialog's left: window at "
            << Describe(WindowRect(form)) << ", dialog at " << Describe(beside) << ", " << PointerNow();
    }
    ASSERT_TRUE(button.Release());
    ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == nullptr; }));
    ::EnableWindow(form, FALSE);

    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(form) != FALSE; })) << "the dialog closes";
    ASSERT_TRUE(vantor.Quit());
}

TEST(DragE2E, FrameNeitherSizesNorMovesTheWindow) {
    TempFolder folder;
    Started program(folder, 300, 300);
    ASSERT_TRUE(program.ready);
    VantorProcess& vantor = *program.vantor;
    const HWND form = program.form;
    const RECT r = WindowRect(form);
    const POINT middle = CentreOf(r);
    ASSERT_GE(::GetSystemMetrics(SM_CXFRAME), 2) << "a frame to press on";

    // One pixel inside the outer rectangle: the sizing frame on every side and corner. A hit code of the
    // frame would show a sizing cursor and start a size loop.
    const struct {
        const char* part;
        POINT at;
    } frame[] = {{"left", {r.left + 1, middle.y}},          {"right", {r.right - 2, middle.y}},
                 {"top", {middle.x, r.top + 1}},            {"bottom", {middle.x, r.bottom - 2}},
                 {"top left", {r.left + 1, r.top + 1}},     {"top right", {r.right - 2, r.top + 1}},
                 {"bottom left", {r.left + 1, r.bottom - 2}}, {"bottom right", {r.right - 2, r.bottom - 2}}};
    const auto hitCode = [&](POINT at) { return ::SendMessageW(form, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)); };
    for (const auto& [part, at] : frame) EXPECT_EQ(hitCode(at), HTNOWHERE) << part;
    EXPECT_EQ(hitCode(middle), HTCLIENT);

    // A move or size loop would follow the pointer: after the drag, a right press on the window is handled
    // once the drag's input has been.
    for (const auto& [part, at] : {frame[0], frame[7]}) {
        ASSERT_TRUE(MovePointer(at)) << part;
        LeftButton button;
        ASSERT_TRUE(button.Down());
        ASSERT_TRUE(MovePointer({at.x + 30, at.y + 20}));
        ASSERT_TRUE(button.Release());
        ASSERT_TRUE(OpenAndCloseMenu(vantor, middle)) << part;
        const RECT now = WindowRect(form);
        EXPECT_TRUE(::EqualRect(&now, &r)) << "after a drag on the " << part << " frame: " << Describe(now);
    }
    ASSERT_TRUE(vantor.Quit());
}

// A press handed to a window of the face as a message, at its middle, with the button state `keys`.
void Press(HWND window, UINT message, WPARAM keys) {
    RECT r{};
    ::GetClientRect(window, &r);
    ::PostMessageW(window, message, keys, MAKELPARAM(r.right / 2, r.bottom / 2));
}

// Under Wine a right press can report the left button still down after another window saw it released;
// only the left button's own press starts a move.
TEST(DragE2E, OnlyALeftPressStartsAMoveWhateverButtonStateThePressReports) {
    TempFolder folder;
    Started program(folder, 300, 300);
    ASSERT_TRUE(program.ready);
    VantorProcess& vantor = *program.vantor;
    const HWND chart = ChildrenOfClass(program.form, L"TTyxTrend").at(0);
    const HWND figure = ChildrenOfClass(program.form, L"TLabel").at(0);
    const RECT before = WindowRect(program.form);
    ASSERT_TRUE(MovePointer(CentreOf(chart)));
    for (const HWND target : {chart, figure}) {
        Press(target, WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON);
        Press(target, WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON);
    }
    // A move loop started by any of them would take this motion away from where the pointer is and drag the
    // window; the right release after it opens the menu, posted messages being handled in order.
    ::PostMessageW(program.form, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 3));
    Press(chart, WM_RBUTTONUP, 0);
    ASSERT_NE(vantor.WaitForMenu(), nullptr);
    const RECT after = WindowRect(program.form);
    EXPECT_TRUE(::EqualRect(&before, &after)) << "no press but the left button's starts a move: " << Describe(after);
    ASSERT_TRUE(ClickAwayFromMenus());
    ASSERT_TRUE(WaitUntil([&] { return vantor.VisibleWindows(L"#32768").empty(); }));
    // The left press is a real one: a posted press would come before the click's release still queued as
    // input, and that release would end the move at once.
    ASSERT_TRUE(MovePointer(CentreOf(chart)));
    LeftButton held;
    ASSERT_TRUE(held.Down());
    EXPECT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == program.form; })) << "a left press moves";
    ASSERT_TRUE(held.Release());
    ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == nullptr; }));
    ASSERT_TRUE(vantor.Quit());
}

// A press that a running move loop passes on starts a second loop inside the first. Asked to end then,
// the program still ends and saves: the quit request reaches both loops.
TEST(DragE2E, EndsWhenAskedDuringAMoveStartedInsideAnother) {
    TempFolder folder;
    RECT placed{};
    {
        Started program(folder, 300, 300);
        ASSERT_TRUE(program.ready);
        VantorProcess& vantor = *program.vantor;
        Press(ChildrenOfClass(program.form, L"TTyxTrend").at(0), WM_LBUTTONDOWN, MK_LBUTTON);
        ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == program.form; }));
        // Posted messages are handled in order: the second loop has started when the quit request comes.
        Press(ChildrenOfClass(program.form, L"TLabel").at(0), WM_LBUTTONDOWN, MK_LBUTTON);
        placed = WindowRect(program.form);
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Left"], std::to_string(placed.left));
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Top"], std::to_string(placed.top));
}

// The second press of a double-click hides the window first; the move it then asks for concerns a hidden
// window, and nothing moves.
TEST(DragE2E, ADoubleClickOnAFigureHidesTheWindowWhereItStands) {
    TempFolder folder;
    {
        Started program(folder, 300, 300);
        ASSERT_TRUE(program.ready);
        VantorProcess& vantor = *program.vantor;
        const HWND form = program.form;
        const RECT before = WindowRect(form);
        ASSERT_TRUE(MovePointer(CentreOf(ChildrenOfClass(form, L"TLabel").at(2))));
        ASSERT_TRUE(StartXdotool(L"click --repeat 2 --delay 80 1"));
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) == FALSE; })) << "the double-click hides it";
        ASSERT_TRUE(WaitUntil([&] { return !LeftButtonDown(); }));
        // Shown again from the tray, the window takes a right press, which is handled after the rest of the
        // double-click: by the time its menu shows, whatever the double-click started has ended.
        const auto icon = FindTrayPicture();
        ASSERT_TRUE(icon);
        ASSERT_TRUE(Click(icon->centre, 1));
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
        ASSERT_TRUE(OpenAndCloseMenu(vantor, CentreOf(form)));
        const RECT after = WindowRect(form);
        EXPECT_TRUE(::EqualRect(&before, &after)) << Describe(after);
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Left"], "300");
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Top"], "300");
}

// The captions carry no press handler; the chart, the band and the eight figures start a move.
TEST(DragE2E, CaptionsStartNoMoveButTheChartTheBandAndEveryFigureDo) {
    TempFolder folder;
    Started program(folder, 300, 300);
    ASSERT_TRUE(program.ready);
    VantorProcess& vantor = *program.vantor;
    const HWND form = program.form;
    const std::vector<HWND> labels = ChildrenOfClass(form, L"TLabel");
    ASSERT_EQ(labels.size(), 12u);
    POINT band{10, 45};  // on the background band, left of the arrows
    ASSERT_EQ(::ChildWindowFromPointEx(form, band, CWP_SKIPINVISIBLE), form) << "the band shows there";
    ::ClientToScreen(form, &band);

    const auto labelGrip = [&](std::size_t index) { return CentreOf(labels.at(index)); };
    struct Grip {
        std::string what;
        std::function<POINT()> where;  // asked afresh, as the window moves
        bool moves;
    };
    std::vector<Grip> grips;
    for (std::size_t i = 8; i < 12; ++i) {
        const std::wstring caption = TextOf(labels[i]);
        grips.push_back({std::string(caption.begin(), caption.end()), [=] { return labelGrip(i); }, false});
    }
    grips.push_back({"chart", [&] { return CentreOf(ChildrenOfClass(form, L"TTyxTrend").at(0)); }, true});
    grips.push_back({"band", [&, offset = POINT{band.x - WindowRect(form).left, band.y - WindowRect(form).top}] {
                         return POINT{WindowRect(form).left + offset.x, WindowRect(form).top + offset.y};
                     }, true});
    for (std::size_t i = 0; i < 8; ++i)
        grips.push_back({"Label" + std::to_string(i + 1), [=] { return labelGrip(i); }, true});
    ASSERT_EQ(grips[0].what + grips[1].what + grips[2].what + grips[3].what, "curavemaxrate");

    int direction = 1;
    for (const Grip& grip : grips) {
        const RECT before = WindowRect(form);
        const testing::ScreenPixels corner = CornerOf(before);
        const POINT at = grip.where();
        ASSERT_TRUE(MovePointer(at)) << grip.what;
        LeftButton button;
        ASSERT_TRUE(button.Down()) << grip.what;
        if (grip.moves) {
            EXPECT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == form; })) << "a press on " << grip.what;
        }
        const int dx = 12 * direction, dy = 9 * direction;
        direction = -direction;
        ASSERT_TRUE(MovePointer({at.x + dx, at.y + dy})) << grip.what;
        if (grip.moves) {
            EXPECT_TRUE(At(form, Shifted(before, dx, dy), corner)) << "a drag on " << grip.what << ": window at " << Describe(WindowRect(form));
            ASSERT_TRUE(button.Release());
            ASSERT_TRUE(WaitUntil([&] { return vantor.MoveSizeWindow() == nullptr; })) << grip.what;
        } else {
            // A move would have followed the pointer; a right press after the release is handled after it.
            ASSERT_TRUE(button.Release());
            ASSERT_TRUE(OpenAndCloseMenu(vantor, CentreOf(ChildrenOfClass(form, L"TTyxTrend").at(0)))) << grip.what;
            const RECT now = WindowRect(form);
            EXPECT_TRUE(::EqualRect(&before, &now)) << "a drag on " << grip.what << ": window at " << Describe(now);
        }
    }
    EXPECT_TRUE(::IsWindowVisible(form)) << "no press was taken for a double-click";
    ASSERT_TRUE(vantor.Quit());
}

}  // namespace
}  // namespace vantor::e2e
