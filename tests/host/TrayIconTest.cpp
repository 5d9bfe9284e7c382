// The tray icon component: its properties and what they send to the shell, the icon it owns, showing and
// hiding with the application, the popup menus, and the animation.

#include "components/Taskbar/Taskbar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/fakes/FakeTaskbarHost.h"
#include "tests/fakes/FakeTrayShell.h"

namespace vantor {
namespace {

using testing::FakePopupMenu;
using testing::FakeTaskbarHost;
using testing::FakeTrayShell;

IconRef Icon(std::uintptr_t n) { return reinterpret_cast<IconRef>(n); }

struct Rig {
    FakeTrayShell shell;
    FakeTaskbarHost host{shell};
};

TEST(TrayIconComponent, StartsWithItsInitialValuesAndSendsNothing) {
    Rig rig;
    TTrayIcon tray(nullptr, rig.host, rig.shell);
    EXPECT_TRUE(tray.AutoPopup());
    EXPECT_EQ(tray.Icon(), nullptr);
    EXPECT_EQ(tray.TipHelp(), "TipHelp");
    EXPECT_FALSE(tray.Minimized());
    EXPECT_TRUE(tray.Visible());
    EXPECT_FALSE(tray.HideOnTaskBar());
    EXPECT_EQ(tray.ResourceIconID(), -1);
    EXPECT_EQ(tray.Interval(), 0u);
    EXPECT_FALSE(tray.DoForegroundWindow());
    EXPECT_TRUE(tray.CheckSingleDoubleClick());
    EXPECT_EQ(tray.BalloonHelpTimeOut(), 0);
    EXPECT_EQ(tray.BalloonHelpIcon(), TBalloonIconType::bitNone);
    EXPECT_TRUE(tray.ToolTipStyle().UseDefault());
    EXPECT_EQ(tray.ToolTipStyle().BackGroundColor(), 0u);
    EXPECT_EQ(tray.ToolTipStyle().TextColor(), 0x80000008u);
    EXPECT_EQ(tray.RButtonPopupMenu(), nullptr);
    EXPECT_TRUE(rig.shell.notifyCalls.empty()) << "the constructor adds no icon";
    EXPECT_EQ(tray.Animation(), nullptr);
}

TEST(TrayIconComponent, OwnsACopyOfEachIconAndFreesTheOneItReplaces) {
    Rig rig;
    TTrayIcon tray(nullptr, rig.host, rig.shell);
    for (std::uintptr_t tick = 1; tick <= 1000; ++tick) {
        tray.SetIcon(Icon(tick));
        ASSERT_EQ(rig.host.liveCopies, 1) << "at tick " << tick;
    }
    EXPECT_NE(tray.Icon(), Icon(1000)) << "a copy, not the caller's handle";
    EXPECT_EQ(rig.shell.notifyCalls.back().record.hIcon, tray.Icon());
    EXPECT_EQ(rig.shell.Actions().front(), NotifyAction::kAdd);
    EXPECT_EQ(rig.shell.Actions().back(), NotifyAction::kModify);
    tray.SetIcon(nullptr);
    EXPECT_EQ(rig.host.liveCopies, 0);
    EXPECT_EQ(rig.shell.notifyCalls.back().record.hIcon, rig.host.applicationIcon) << "the application's icon then";
}

TEST(TrayIconComponent, IconComesFromItsOwnImageThenTheResourceListThenTheApplication) {
    Rig rig;
    rig.host.resources = {{"ICON_A", Icon(0xA)}, {"ICON_B", Icon(0xB)}};
    TTrayIcon tray(nullptr, rig.host, rig.shell);
    EXPECT_EQ(tray.CurrentIconHandle(), rig.host.applicationIcon);
    tray.SetResourceIconList({"ICON_A", "ICON_B", "MISSING"});
    tray.SetResourceIconID(1);
    EXPECT_EQ(tray.CurrentIconHandle(), Icon(0xB));
    tray.SetIcon(Icon(3));
    EXPECT_EQ(tray.CurrentIconHandle(), tray.Icon());
    tray.SetResourceIconID(2);  // gives the resource icon back its place
    EXPECT_EQ(tray.Icon(), nullptr);
    EXPECT_EQ(rig.host.liveCopies, 0);
    EXPECT_EQ(tray.CurrentIconHandle(), nullptr) << "a missing resource gives no icon";

    rig.shell.notifyCalls.clear();
    tray.SetTipHelp("new tip");
    EXPECT_EQ(rig.shell.notifyCalls.size(), 0u) << "no icon, nothing sent";
}

TEST(TrayIconComponent, ResourceIconIdIsClampedToTheList) {
    struct Case {
        std::vector<std::string> list;
        std::int32_t set;
        std::int32_t stored;
    };
    const std::vector<std::string> three{"A", "B", "C"};
    const Case cases[] = {
        {three, 5, 2}, {three, -7, -1}, {three, 1, 1}, {three, 0, 0}, {three, 3, 2}, {{}, 4, -1}, {{}, 0, -1},
    };
    for (const auto& c : cases) {
        Rig rig;
        TTrayIcon tray(nullptr, rig.host, rig.shell);
        tray.SetResourceIconList(c.list);
        tray.SetResourceIconID(c.set);
        EXPECT_EQ(tray.ResourceIconID(), c.stored) << c.set << " with " << c.list.size() << " entries";
    }
}

TEST(TrayIconComponent, WhileLoadingSettersOnlyStoreAndLoadedShowsTheIcon) {
    Rig rig;
    TComponent form(nullptr);
    TTrayIcon tray(&form, rig.host, rig.shell);
    form.BeginLoading();
    tray.SetIcon(Icon(5));
    tray.SetTipHelp("Vantor Infomation2.00");
    tray.SetResourceIconID(7);
    EXPECT_TRUE(rig.shell.notifyCalls.empty());
    tray.SetResourceIconID(-1);
    tray.SetIcon(Icon(5));
    form.EndLoading();
    ASSERT_EQ(rig.shell.Actions(), std::vector<NotifyAction>{NotifyAction::kAdd});
    EXPECT_EQ(tray.TipHelp(), "Vantor Infomation2.00");
    EXPECT_EQ(rig.shell.notifyCalls[0].record.hIcon, tray.Icon());
}

TEST(TrayIconComponent, VisibleAndMinimizedFollowTheApplication) {
    Rig rig;
    bool previousMinimize = false, previousRestore = false;
    rig.host.onMinimize = [&] { previousMinimize = true; };
    rig.host.onRestore = [&] { previousRestore = true; };
    TComponent form(nullptr);
    rig.host.componentWindows[&form] = testing::FakeHandle(0xF0);
    {
        TTrayIcon tray(&form, rig.host, rig.shell);
        tray.SetIcon(Icon(1));
        ASSERT_TRUE(tray.TaskTrayIcon().Added());

        tray.SetVisible(false);
        EXPECT_FALSE(tray.TaskTrayIcon().Added());
        tray.SetVisible(true);
        EXPECT_TRUE(tray.TaskTrayIcon().Added());

        tray.SetMinimized(true);
        EXPECT_FALSE(tray.TaskTrayIcon().Added()) << "the application is on screen";
        rig.host.Minimize();
        EXPECT_TRUE(previousMinimize) << "the earlier handler still runs";
        EXPECT_TRUE(tray.TaskTrayIcon().Added());
        rig.host.log.clear();
        rig.host.Restore();
        EXPECT_TRUE(previousRestore);
        EXPECT_FALSE(tray.TaskTrayIcon().Added());
        EXPECT_EQ(rig.host.foregroundWindows.back(), testing::FakeHandle(0xF0)) << "the owner form comes forward";

        tray.SetHideOnTaskBar(true);
        tray.SetMinimized(false);
        rig.host.log.clear();
        rig.host.Minimize();
        EXPECT_EQ(rig.host.log, std::vector<std::string>{"hide application"});
        EXPECT_TRUE(tray.TaskTrayIcon().Added());
    }
    previousMinimize = previousRestore = false;
    ASSERT_TRUE(rig.host.onMinimize && rig.host.onRestore) << "the earlier handlers are put back";
    rig.host.onMinimize();
    rig.host.onRestore();
    EXPECT_TRUE(previousMinimize && previousRestore);
    EXPECT_EQ(rig.shell.Actions().back(), NotifyAction::kDelete);
}

TEST(TrayIconComponent, PressesPopUpTheirMenuOrFireMouseDown) {
    Rig rig;
    TComponent form(nullptr);
    FakePopupMenu menu(&form, rig.host.log);
    TTrayIcon tray(&form, rig.host, rig.shell);
    std::vector<std::string> downs;
    tray.OnMouseDown = [&](TComponent& sender, TMouseButton b, TShiftState shift, int x, int y) {
        EXPECT_EQ(&sender, &tray);
        downs.push_back(std::to_string(static_cast<int>(b)) + "/" + std::to_string(shift) + "@" + std::to_string(x) +
                        "," + std::to_string(y));
    };
    tray.SetIcon(Icon(1));
    tray.SetRButtonPopupMenu(&menu);
    rig.shell.cursor = {-300, 20};  // on a monitor left of the primary one
    auto press = [&](std::uint32_t m) { rig.shell.Route(tray.TaskTrayIcon().Handle(), wm::kTrayNotify, 1, m); };

    rig.host.log.clear();
    press(wm::kRButtonDown);
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"foreground", "process", "popup -300,20"}));
    EXPECT_EQ(rig.host.foregroundWindows.back(), rig.host.applicationWindow);
    EXPECT_TRUE(downs.empty());

    tray.SetAutoPopup(false);
    press(wm::kRButtonDown);
    tray.SetAutoPopup(true);
    press(wm::kLButtonDown);
    press(wm::kMButtonDown);
    EXPECT_EQ(downs, (std::vector<std::string>{"1/16@-300,20", "0/8@-300,20", "2/32@-300,20"}));

    tray.SetLButtonPopupMenu(&menu);
    rig.host.log.clear();
    press(wm::kLButtonDown);
    EXPECT_EQ(rig.host.log.back(), "popup -300,20");
    EXPECT_EQ(downs.size(), 3u);
}

TEST(TrayIconComponent, RemovingAMenuClearsTheReferencesToIt) {
    Rig rig;
    TComponent form(nullptr);
    TTrayIcon tray(&form, rig.host, rig.shell);
    auto menu = std::make_unique<FakePopupMenu>(&form, rig.host.log);
    FakePopupMenu other(&form, rig.host.log);
    tray.SetRButtonPopupMenu(menu.get());
    tray.SetLButtonPopupMenu(&other);
    menu.reset();
    EXPECT_EQ(tray.RButtonPopupMenu(), nullptr);
    EXPECT_EQ(tray.LButtonPopupMenu(), &other);
}

TEST(TrayIconComponent, AnswersQueryEndSessionAndIgnoresOtherMessages) {
    Rig rig;
    TTrayIcon tray(nullptr, rig.host, rig.shell);
    const WindowHandle window = tray.TaskTrayIcon().GetHandle();
    EXPECT_EQ(rig.shell.Route(window, wm::kQueryEndSession, 0, 0), 1);
    rig.shell.defaultResult = 99;
    EXPECT_EQ(rig.shell.Route(window, 0x0400 + 7, 0, 0), 0) << "the component answers every message itself";
    EXPECT_EQ(rig.shell.defaultProcessed, 0);
}

TEST(TrayIconComponent, BalloonFieldsAreStoredAndABalloonIsRequestedOnlyOnce) {
    Rig rig;
    TTrayIcon tray(nullptr, rig.host, rig.shell);
    EXPECT_FALSE(tray.ShowBalloon("t", "before the icon is shown", TBalloonIconType::bitInfo));
    tray.SetBalloonHelpTitle("題名");
    tray.SetBalloonHelpText("本文");
    tray.SetBalloonHelpTimeOut(5000);
    tray.SetBalloonHelpIcon(TBalloonIconType::bitInfo);
    EXPECT_EQ(tray.BalloonHelpTitle(), "題名");
    EXPECT_EQ(tray.BalloonHelpText(), "本文");
    EXPECT_EQ(tray.BalloonHelpIcon(), TBalloonIconType::bitInfo);
    tray.SetIcon(Icon(1));
    EXPECT_EQ(tray.BalloonHelpIcon(), TBalloonIconType::bitNone);
    EXPECT_EQ(tray.BalloonHelpTimeOut(), 5000);
    EXPECT_EQ(rig.shell.notifyCalls.back().record.uFlags & 0x10u, 0u) << "the fields alone request no balloon";

    ASSERT_TRUE(tray.ShowBalloon("80 %", "8 MB of 10 MB", TBalloonIconType::bitWarning));
    const auto& shown = rig.shell.notifyCalls.back();
    EXPECT_EQ(shown.action, NotifyAction::kModify);
    EXPECT_EQ(shown.record.uFlags & 0x10u, 0x10u);
    EXPECT_EQ(shown.record.dwInfoFlags, 2u);
    EXPECT_EQ(tray.BalloonHelpText(), "8 MB of 10 MB");
    tray.SetTipHelp("next tick");
    EXPECT_EQ(rig.shell.notifyCalls.back().record.uFlags & 0x10u, 0u) << "a later modify shows it again";
}

TEST(TrayIconComponent, IntervalIsRaisedToFiftyAndStoredOtherwise) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{10, 50}, {1, 50}, {49, 50}, {50, 50}, {0, 0}, {1000, 1000}};
    for (const auto& [set, stored] : cases) {
        Rig rig;
        TTrayIcon tray(nullptr, rig.host, rig.shell);
        tray.SetVisible(false);  // keeps the animation thread asleep
        tray.SetInterval(set);
        EXPECT_EQ(tray.Interval(), stored) << set;
    }
}

// The icons the shell was given, as resource indices.
std::vector<int> ShownResources(const FakeTrayShell& shell) {
    std::vector<int> shown;
    for (const auto& call : shell.notifyCalls)
        if (call.action != NotifyAction::kDelete) shown.push_back(static_cast<int>(reinterpret_cast<std::uintptr_t>(call.record.hIcon)) - 0x100);
    return shown;
}

TEST(TrayIconAnimation, CyclesThroughTheResourceIconsWhileVisible) {
    Rig rig;
    rig.host.resources = {{"I0", Icon(0x100)}, {"I1", Icon(0x101)}, {"I2", Icon(0x102)}, {"I3", Icon(0x103)}};
    TTrayIcon tray(nullptr, rig.host, rig.shell);
    tray.SetResourceIconList({"I0", "I1", "I2", "I3"});
    tray.SetResourceIconID(0);
    ASSERT_TRUE(tray.TaskTrayIcon().Added());
    rig.shell.notifyCalls.clear();

    const auto start = std::chrono::steady_clock::now();
    tray.SetInterval(50);
    ASSERT_TRUE(rig.host.gui.ServeUntil([&] { return rig.shell.notifyCalls.size() >= 5; }));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const auto shown = ShownResources(rig.shell);
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 5), (std::vector<int>{1, 2, 3, 0, 1}));
    EXPECT_GE(elapsed, std::chrono::milliseconds(4 * 50)) << "one step every 50 ms at most";

    tray.SetVisible(false);  // hides the icon and pauses the thread
    ASSERT_TRUE(rig.host.gui.ServeUntil([&] { return tray.Animation()->Sleeping(); }));
    rig.shell.notifyCalls.clear();
    rig.host.gui.ServeFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(rig.shell.notifyCalls.empty()) << "no steps while hidden";

    tray.SetVisible(true);  // adds it again and restarts the animation
    ASSERT_TRUE(rig.host.gui.ServeUntil([&] { return rig.shell.notifyCalls.size() >= 3; }));
    EXPECT_EQ(rig.shell.notifyCalls.front().action, NotifyAction::kAdd);

    tray.SetInterval(0);
    ASSERT_TRUE(rig.host.gui.ServeUntil([&] { return tray.Animation()->Sleeping(); }));
    rig.shell.notifyCalls.clear();
    rig.host.gui.ServeFor(std::chrono::milliseconds(150));
    EXPECT_TRUE(rig.shell.notifyCalls.empty());
}

TEST(TrayIconAnimation, AHandlerDrawsEachStepAndDestructionDoesNotWaitOutTheInterval) {
    Rig rig;
    int steps = 0;
    auto tray = std::make_unique<TTrayIcon>(nullptr, rig.host, rig.shell);
    tray->OnIconAnimation = [&](TComponent& sender) {
        ++steps;
        static_cast<TTrayIcon&>(sender).SetTipHelp("step " + std::to_string(steps));
    };
    tray->SetIcon(Icon(1));
    tray->SetInterval(5000);
    ASSERT_TRUE(rig.host.gui.ServeUntil([&] { return steps == 1; }));
    EXPECT_EQ(tray->TipHelp(), "step 1");
    EXPECT_EQ(rig.shell.notifyCalls.back().action, NotifyAction::kModify);

    const auto before = std::chrono::steady_clock::now();
    tray.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000));
    EXPECT_EQ(rig.shell.Actions().back(), NotifyAction::kDelete);
}

}  // namespace
}  // namespace vantor
