// Clicks, double clicks, enter and leave, and the taskbar tooltip's colours, as the component's events
// report them: shell notifications go into the icon's hidden window, a fake clock drives its timers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/Taskbar/Taskbar.h"
#include "components/TrShlApi/TrShlApi.h"
#include "tests/fakes/FakeTaskbarHost.h"
#include "tests/fakes/FakeTrayShell.h"

namespace vantor {
namespace {

using testing::FakePopupMenu;
using testing::FakeTaskbarHost;
using testing::FakeTrayShell;

const char* Name(TMouseButton button) {
    switch (button) {
    case TMouseButton::mbLeft: return "L";
    case TMouseButton::mbRight: return "R";
    case TMouseButton::mbMiddle: return "M";
    }
    return "?";
}

// A tray icon whose events are written into `events` as short words.
struct ClickRig {
    FakeTrayShell shell;
    FakeTaskbarHost host{shell};
    TTrayIcon tray{nullptr, host, shell};
    std::vector<std::string> events;

    ClickRig() {
        tray.OnMouseDown = [this](TComponent&, TMouseButton b, TShiftState, int, int) { events.push_back(std::string("down ") + Name(b)); };
        tray.OnMouseUp = [this](TComponent&, TMouseButton b, TShiftState, int, int) { events.push_back(std::string("up ") + Name(b)); };
        tray.OnMouseClick = [this](TComponent&, TMouseButton b, TShiftState, int, int) { events.push_back(std::string("click ") + Name(b)); };
        tray.OnDblClick = [this](TComponent&) { events.push_back("dbl L"); };
        tray.OnRDblClick = [this](TComponent&) { events.push_back("dbl R"); };
        tray.OnMouseMove = [this](TComponent&, TShiftState, int x, int y) { events.push_back("move " + std::to_string(x) + "," + std::to_string(y)); };
        tray.OnMouseEnter = [this](TComponent&) { events.push_back("enter"); };
        tray.OnMouseExit = [this](TComponent&) { events.push_back("exit"); };
        tray.SetIcon(reinterpret_cast<IconRef>(0x42));  // adds the icon, which creates the hidden window
    }

    WindowHandle Window() { return tray.TaskTrayIcon().Handle(); }
    TToolTipStyle& Style() { return tray.ToolTipStyle(); }

    // What the shell sends: the callback message with the icon's id and a mouse message.
    void Shell(std::uint32_t mouseMessage) { shell.Route(Window(), wm::kTrayNotify, kTrayIconId, mouseMessage); }
    void Sequence(std::initializer_list<std::uint32_t> messages) {
        for (const auto m : messages) Shell(m);
        shell.DispatchPosted();
    }
    std::vector<std::string> Take() { return std::exchange(events, {}); }
};

using Events = std::vector<std::string>;

TEST(TrayClicks, SingleClickIsReportedOneDoubleClickTimeAfterTheRelease) {
    ClickRig rig;
    rig.Sequence({wm::kLButtonDown, wm::kLButtonUp});
    EXPECT_EQ(rig.Take(), (Events{"down L", "up L"}));
    EXPECT_TRUE(rig.Style().ClickPending());
    rig.shell.Advance(499);
    EXPECT_TRUE(rig.Take().empty());
    rig.shell.Advance(1);
    EXPECT_EQ(rig.Take(), (Events{"click L"}));
    EXPECT_TRUE(rig.shell.timers.empty()) << "the timer is killed when it fires";
    EXPECT_EQ(rig.Style().MouseState(), 0u);
}

TEST(TrayClicks, DoubleClickGivesTheDoubleClickEventOneMorePressAndNoSingleClick) {
    ClickRig rig;
    rig.Sequence({wm::kLButtonDown, wm::kLButtonUp, wm::kLButtonDblClk, wm::kLButtonUp});
    rig.shell.Advance(2000);
    EXPECT_EQ(rig.Take(), (Events{"down L", "up L", "dbl L", "up L", "down L"}));
    ASSERT_EQ(rig.shell.posted.size(), 1u);
    EXPECT_EQ(rig.shell.posted[0].wParam, static_cast<std::uintptr_t>(-1));
    EXPECT_EQ(rig.shell.posted[0].lParam, static_cast<std::intptr_t>(wm::kLButtonDown));
    EXPECT_EQ(rig.Style().MouseState(), 0u) << "the posted press records nothing";
}

TEST(TrayClicks, WithoutCheckSingleDoubleClickTheFirstClickOfADoubleIsReportedAtOnce) {
    ClickRig rig;
    rig.tray.SetCheckSingleDoubleClick(false);
    rig.Sequence({wm::kLButtonDown, wm::kLButtonUp});
    // The click is reported while the release is pre-processed, before the release's own event.
    EXPECT_EQ(rig.Take(), (Events{"down L", "click L", "up L"}));
    rig.Sequence({wm::kLButtonDblClk, wm::kLButtonUp});
    rig.shell.Advance(2000);
    EXPECT_EQ(rig.Take(), (Events{"dbl L", "up L", "down L"}));
    EXPECT_TRUE(rig.shell.timers.empty());
}

TEST(TrayClicks, LeftThenRightWithinTheTimeReportsTheLeftAndKeepsTheRightForALaterTimer) {
    ClickRig rig;
    rig.Sequence({wm::kLButtonDown, wm::kLButtonUp});
    rig.shell.Advance(100);
    rig.Sequence({wm::kRButtonDown, wm::kRButtonUp});
    rig.shell.Advance(400);
    EXPECT_EQ(rig.Take(), (Events{"down L", "up L", "down R", "up R", "click L"}));
    EXPECT_EQ(rig.Style().MouseState(), unsigned{TCustomToolTipStyle::msRightDown});

    rig.Sequence({wm::kRButtonDown, wm::kRButtonUp});
    rig.shell.Advance(500);
    EXPECT_EQ(rig.Take(), (Events{"down R", "up R", "click R"}));
}

TEST(TrayClicks, MiddleDoubleClickSuppressesItsClickAndFiresNoDoubleClickEvent) {
    ClickRig rig;
    rig.Sequence({wm::kMButtonDown, wm::kMButtonUp, wm::kMButtonDblClk, wm::kMButtonUp});
    rig.shell.Advance(2000);
    EXPECT_EQ(rig.Take(), (Events{"down M", "up M", "up M", "down M"}));
}

TEST(TrayClicks, WhileAModalRunIsOpenEveryButtonOnlyBringsItToTheFront) {
    ClickRig rig;
    FakePopupMenu menu(nullptr, rig.host.log);
    rig.tray.SetRButtonPopupMenu(&menu);
    rig.tray.SetLButtonPopupMenu(&menu);
    rig.host.modalRunOpen = true;
    rig.Sequence({wm::kMouseMove, wm::kLButtonDown, wm::kLButtonUp, wm::kLButtonDblClk, wm::kLButtonUp,
                  wm::kRButtonDown, wm::kRButtonUp, wm::kRButtonDblClk, wm::kMButtonDown, wm::kMButtonUp});
    rig.shell.Advance(2000);
    EXPECT_EQ(rig.Take(), (Events{"enter", "move 0,0"})) << "no press, release, click or double click event";
    EXPECT_EQ(rig.host.log, std::vector<std::string>(12, "modal run to front"))
        << "each of the nine button messages, the two presses the double clicks add and the late click bring the "
           "run forward; no menu, no foreground";

    rig.host.modalRunOpen = false;
    rig.host.log.clear();
    rig.Sequence({wm::kRButtonDown, wm::kMButtonDown});
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"foreground", "process", "popup 0,0"}));
    EXPECT_EQ(rig.Take(), (Events{"down M"})) << "after the run, presses act again";
}

TEST(TrayClicks, AFailedTimerKeepsThePressForTheNextRelease) {
    ClickRig rig;
    rig.shell.timersFail = true;
    rig.Sequence({wm::kLButtonDown, wm::kLButtonUp});
    EXPECT_FALSE(rig.Style().ClickPending());
    EXPECT_EQ(rig.Style().MouseState(), unsigned{TCustomToolTipStyle::msLeftDown});
    rig.shell.timersFail = false;
    rig.Sequence({wm::kLButtonUp});
    rig.shell.Advance(500);
    EXPECT_EQ(rig.Take(), (Events{"down L", "up L", "up L", "click L"}));
}

TEST(TrayClicks, WithoutAWindowNoClickIsReportedButThePressIsCleared) {
    FakeTrayShell shell;
    TToolTipStyle style(shell);
    style.SetCheckSingleDoubleClick(false);
    style.HandleMessage({wm::kTrayNotify, 1, wm::kRButtonDown, 0});
    EXPECT_EQ(style.MouseState(), unsigned{TCustomToolTipStyle::msRightDown});
    style.HandleMessage({wm::kTrayNotify, 1, wm::kRButtonUp, 0});
    EXPECT_EQ(style.MouseState(), 0u);
    EXPECT_TRUE(shell.sent.empty());
}

TEST(TrayRectangles, GrowRectAndPointInRect) {
    struct Grow {
        TRect before;
        TPoint point;
        TRect after;
    };
    const Grow grows[] = {
        {{0, 0, 0, 0}, {0, 0}, {0, 0, 0, 0}},          // the origin leaves the box empty...
        {{0, 0, 0, 0}, {5, 7}, {5, 7, 5, 7}},          // ...and the next point starts it afresh
        {{5, 7, 5, 7}, {3, 9}, {3, 7, 5, 9}},
        {{3, 7, 5, 9}, {8, 1}, {3, 1, 8, 9}},
        {{3, 1, 8, 9}, {4, 4}, {3, 1, 8, 9}},          // a point inside changes nothing
        {{-10, -10, 0, 0}, {-20, 5}, {-20, -10, 0, 5}},  // a box may end at 0 on a left-hand monitor
    };
    for (const auto& g : grows) {
        TRect rect = g.before;
        GrowRect(rect, g.point);
        EXPECT_EQ(rect, g.after) << g.point.X << "," << g.point.Y;
    }
    //   (3,1)-----(8,1)
    //     |         |      all four edges count as inside
    //   (3,9)-----(8,9)
    const TRect box{3, 1, 8, 9};
    const std::pair<TPoint, bool> points[] = {
        {{3, 1}, true}, {{8, 9}, true}, {{5, 5}, true},  {{2, 5}, false},
        {{9, 5}, false}, {{5, 0}, false}, {{5, 10}, false}, {{8, 1}, true},
    };
    for (const auto& [p, inside] : points) EXPECT_EQ(PointInRect(box, p), inside) << p.X << "," << p.Y;
}

TEST(TrayEnterLeave, EnterComesBeforeTheMoveAndTheDetectorReportsTheLeave) {
    ClickRig rig;
    rig.shell.cursor = {1006, 752};
    rig.Shell(wm::kMouseMove);
    EXPECT_EQ(rig.Take(), (Events{"enter", "move 1006,752"}));
    rig.shell.cursor = {1012, 760};
    rig.Shell(wm::kMouseMove);
    EXPECT_EQ(rig.Take(), (Events{"move 1012,760"}));
    EXPECT_EQ(rig.Style().MouseRect(), (TRect{1006, 752, 1012, 760}));

    // Still over the icon: the hidden window's timer checks every 100 ms and reports nothing.
    const std::pair leaveTimer{rig.Window(), kLeaveTimerId};
    rig.shell.Advance(250);
    EXPECT_TRUE(rig.Take().empty());
    ASSERT_TRUE(rig.shell.timers.contains(leaveTimer));
    EXPECT_EQ(rig.shell.timers.at(leaveTimer).period, 100u);

    rig.shell.cursor = {900, 700};
    rig.shell.Advance(49);
    EXPECT_TRUE(rig.Take().empty()) << "the leave is seen at the next check";
    rig.shell.Advance(1);
    EXPECT_EQ(rig.Take(), (Events{"exit"}));
    EXPECT_FALSE(rig.shell.timers.contains(leaveTimer)) << "outside, the checks stop";

    rig.shell.timersFail = true;
    rig.shell.cursor = {1008, 755};
    rig.Shell(wm::kMouseMove);
    EXPECT_EQ(rig.Take(), (Events{"enter", "move 1008,755"}));
    rig.shell.timersFail = false;
    rig.Shell(wm::kMouseMove);
    EXPECT_TRUE(rig.shell.timers.contains(leaveTimer)) << "a timer that could not be set is set at the next move";
}

TEST(TrayToolTip, FindsTheShellsTooltipWithoutNoPrefix) {
    FakeTrayShell shell;
    using testing::FakeHandle;
    shell.topLevelWindows = {
        {FakeHandle(1), "tooltips_class32", 10, 0},         // before the taskbar in z-order, other process
        {FakeHandle(2), "Shell_TrayWnd", 20, 0},
        {FakeHandle(3), "tooltips_class32", 20, kTtsNoPrefix},
        {FakeHandle(4), "Button", 20, 0},
        {FakeHandle(5), "tooltips_class32", 20, 0x01},
        {FakeHandle(6), "tooltips_class32", 20, 0},
    };
    TToolTipStyle style(shell);
    EXPECT_EQ(style.ToolTipHandle(), FakeHandle(5));

    shell.topLevelWindows.erase(shell.topLevelWindows.begin() + 4, shell.topLevelWindows.end());
    EXPECT_EQ(style.FindTrayToolTip(), nullptr);
    shell.topLevelWindows.clear();
    EXPECT_EQ(style.FindTrayToolTip(), nullptr) << "no taskbar at all";
}

TEST(TrayToolTip, ColoursFollowEnterAndLeaveUnlessDefaultAndAreAlwaysRestoredAtTheEnd) {
    using testing::FakeHandle;
    const WindowHandle tip = FakeHandle(5);
    auto tooltipMessages = [&](const FakeTrayShell& shell) {
        std::vector<std::pair<std::uint32_t, std::uintptr_t>> messages;
        for (const auto& m : shell.sent)
            if (m.window == tip) messages.emplace_back(m.msg, m.wParam);
        return messages;
    };
    using Sent = std::vector<std::pair<std::uint32_t, std::uintptr_t>>;
    const Sent restore{{wm::kTtmPop, 0}, {wm::kTtmSetTipBkColor, 0x00E1FFFF}, {wm::kTtmSetTipTextColor, 0}};

    for (const bool useDefault : {true, false}) {
        SCOPED_TRACE(useDefault ? "default colours" : "own colours");
        FakeTrayShell shell;
        shell.topLevelWindows = {{FakeHandle(2), "Shell_TrayWnd", 20, 0}, {tip, "tooltips_class32", 20, 0}};
        {
            TTaskTrayIcon icon(shell);
            (void)icon.GetHandle();
            TToolTipStyle& style = *icon.Style();
            style.SetUseDefault(useDefault);
            style.SetBackGroundColor(0x00112233);
            style.SetTextColor(0x80000008);
            shell.cursor = {10, 10};
            shell.Route(icon.Handle(), wm::kTrayNotify, 1, wm::kMouseMove);
            const Sent apply{{wm::kTtmSetTipBkColor, 0x00112233}, {wm::kTtmSetTipTextColor, 0x80000008}};
            EXPECT_EQ(tooltipMessages(shell), useDefault ? Sent{} : apply);
            shell.sent.clear();
            shell.cursor = {50, 50};
            shell.Advance(100);
            ASSERT_FALSE(style.MouseState() & TCustomToolTipStyle::msMouseInside);
            EXPECT_EQ(tooltipMessages(shell), useDefault ? Sent{} : restore);
            shell.sent.clear();
        }
        EXPECT_EQ(tooltipMessages(shell), restore) << "destruction restores whatever UseDefault says";
    }
}

TEST(TrayToolTip, AssignCopiesTheColoursAndRefusesNoSource) {
    FakeTrayShell shell;
    TToolTipStyle source(shell), target(shell);
    source.SetUseDefault(false);
    source.SetBackGroundColor(0x00ABCDEF);
    source.SetTextColor(0x000000FF);
    target.Assign(&source);
    EXPECT_FALSE(target.UseDefault());
    EXPECT_EQ(target.BackGroundColor(), 0x00ABCDEFu);
    EXPECT_EQ(target.TextColor(), 0x000000FFu);
    try {
        target.Assign(nullptr);
        FAIL() << "no exception";
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "nil を TToolTipStyle に代入することはできません");
    }
}

}  // namespace
}  // namespace vantor
