// The popup menu of vantor.exe, opened from the mini window and from the tray icon, and what each of
// its commands does, seen from outside.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/Driving.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int kUnchecked = -1;

std::optional<POINT> TrayIcon() {
    std::optional<TrayPicture> picture;
    WaitUntil([&] { return (picture = FindTrayPicture()).has_value(); });
    if (!picture) return std::nullopt;
    return picture->centre;
}

TEST(MenuE2E, TheSameItemsOpenOverTheWindowAndOverTheTrayIcon) {
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    {
        SCOPED_TRACE("the window's menu");
        ASSERT_TRUE(Click(CentreOf(form), 3));
        ExpectMenuAsTheSystemDrawsIt(vantor, kMenuCaptions, kUnchecked);
    }
    {
        SCOPED_TRACE("the tray's menu");
        const auto icon = TrayIcon();
        ASSERT_TRUE(icon);
        ASSERT_TRUE(Click(*icon, 3));
        ExpectMenuAsTheSystemDrawsIt(vantor, kMenuCaptions, kUnchecked);
    }
    ASSERT_TRUE(vantor.Quit());
}

TEST(MenuE2E, TopmostTogglesTheBandAndTheCheckMarkInBothMenusAndTheLastStateIsSaved) {
    TempFolder folder;
    {
        VantorProcess vantor(folder);
        const HWND form = vantor.Form();
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
        const auto topmost = [&] { return (StateOf(form).exStyle & WS_EX_TOPMOST) != 0; };
        ASSERT_FALSE(topmost());
        const RECT placed = StateOf(form).rect;

        ASSERT_TRUE(Click(CentreOf(form), 3));
        ASSERT_TRUE(PickMenuCommand(vantor, cmdTopmost));
        ASSERT_TRUE(WaitUntil(topmost)) << "chosen once: in the topmost band";
        ASSERT_TRUE(Click(CentreOf(form), 3));
        ExpectMenuAsTheSystemDrawsIt(vantor, kMenuCaptions, cmdTopmost);

        ASSERT_TRUE(Click(CentreOf(form), 3));
        ASSERT_TRUE(PickMenuCommand(vantor, cmdTopmost));
        ASSERT_TRUE(WaitUntil([&] { return !topmost(); })) << "chosen twice: back in the normal band";
        ASSERT_TRUE(Click(CentreOf(form), 3));
        ExpectMenuAsTheSystemDrawsIt(vantor, kMenuCaptions, kUnchecked);
        const RECT after = StateOf(form).rect;
        EXPECT_TRUE(::EqualRect(&placed, &after)) << "only the band changes";

        // The tray's menu is the same menu: a third toggle from there shows there.
        const auto icon = TrayIcon();
        ASSERT_TRUE(icon);
        ASSERT_TRUE(Click(*icon, 3));
        ASSERT_TRUE(PickMenuCommand(vantor, cmdTopmost));
        ASSERT_TRUE(WaitUntil(topmost));
        ASSERT_TRUE(Click(*icon, 3));
        ExpectMenuAsTheSystemDrawsIt(vantor, kMenuCaptions, cmdTopmost);
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/Mode"], "1") << "the state at exit";
}

TEST(MenuE2E, MinimiseHidesTheWindowAndChosenAgainFromTheTrayChangesNothing) {
    TempFolder folder;
    {
        VantorProcess vantor(folder);
        const HWND form = vantor.Form();
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
        const RECT placed = StateOf(form).rect;
        ASSERT_TRUE(Click(CentreOf(form), 3));
        ASSERT_TRUE(PickMenuCommand(vantor, cmdMinimise));
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(form); }));
        EXPECT_FALSE(::IsIconic(form)) << "hidden, not minimised";

        const auto icon = TrayIcon();
        ASSERT_TRUE(icon);
        ASSERT_TRUE(Click(*icon, 3));
        ASSERT_TRUE(PickMenuCommand(vantor, cmdMinimise));
        ASSERT_TRUE(WaitUntil([&] { return vantor.VisibleWindows(L"#32768").empty(); }));
        ASSERT_TRUE(OpenAndCloseMenu(vantor, *icon));
        EXPECT_FALSE(::IsWindowVisible(form));
        const RECT after = StateOf(form).rect;
        EXPECT_TRUE(::EqualRect(&placed, &after)) << "the place survives hiding";
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(SettingsValues(folder.File(L"vantor20.ini"))["Window/main"], "1")
        << "the start-up choice is saved, not whether the window showed at exit";
}

TEST(MenuE2E, ResetZeroesThePeaksSoTheMaximaStartAgain) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Interface]\r\nSelected=1\r\n");  // loopback
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    {
        testing::LoopbackStream traffic(4 * 1024 * 1024);
        ASSERT_TRUE(WaitUntil([&] { return FigureValue(vantor.Figures()[Figure::SendPeak]) > 1000; }, kTickLimit))
            << "a peak of megabytes";
    }
    // Once the traffic has stopped the current figures fall while the peaks stay.
    ASSERT_TRUE(WaitUntil([&] { return FigureValue(vantor.Figures()[Figure::SendCurrent]) < 100; }, kTickLimit));
    const double sendPeak = FigureValue(vantor.Figures()[Figure::SendPeak]);
    const double receivePeak = FigureValue(vantor.Figures()[Figure::ReceivePeak]);
    ASSERT_GT(sendPeak, 1000);
    ASSERT_GT(receivePeak, 1000);

    ASSERT_TRUE(Click(CentreOf(form), 3));
    ASSERT_TRUE(PickMenuCommand(vantor, cmdReset));
    EXPECT_TRUE(WaitUntil([&] {
        const auto figures = vantor.Figures();
        return FigureValue(figures[Figure::SendPeak]) < sendPeak / 10 &&
               FigureValue(figures[Figure::ReceivePeak]) < receivePeak / 10;
    }, kTickLimit)) << "the next tick shows the maxima from the reset on";
    ASSERT_TRUE(vantor.Quit());
}

TEST(MenuE2E, ExitFromTheTrayWhileHiddenEndsTheProgramAndSavesTheSettingsAsConfigured) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Window]\r\nmain=0\r\nMode=1\r\nLeft=300\r\n");
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_NE(form, nullptr);
    const auto icon = TrayIcon();
    ASSERT_TRUE(icon);
    ASSERT_TRUE(Click(*icon, 3));
    ASSERT_TRUE(PickMenuCommand(vantor, cmdExit));
    ASSERT_TRUE(vantor.WaitForExit(5s)) << "終了 ends the program";
    EXPECT_FALSE(::IsWindowVisible(form));
    EXPECT_TRUE(WaitUntil([] { return !FindTrayPicture(); })) << "and takes its icon away";

    auto keys = SettingsValues(folder.File(L"vantor20.ini"));
    EXPECT_EQ(keys.size(), 16u) << "every key is written, with the identity of the interface watched and Watch";
    EXPECT_EQ(keys["Window/main"], "0") << "the configured choice, not whether the window showed";
    EXPECT_EQ(keys["Window/Mode"], "1");
    EXPECT_EQ(keys["Window/Left"], "300");
}

}  // namespace
}  // namespace vantor::e2e
