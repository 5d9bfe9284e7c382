// An icon and a tip that change every tick must not leak: counted through our own handle owners, and
// shown against the system's handle table by making more changes than it has room for.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "components/Taskbar/Taskbar.h"
#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"
#include "tests/wine/TraySupport.h"

namespace vantor::win32 {
namespace {

using namespace testing;

// One tick as the main window makes it: a new picture, handed over, the caller's own freed, a new tip.
void Tick(TTrayIcon& tray, int n) {
    const IconHandle picture = SolidIcon(static_cast<DWORD>(0x00300000 + (n % 4096)));
    ASSERT_TRUE(picture.Valid()) << "icon creation failed at change " << n;
    tray.SetIcon(picture.Get());
    tray.SetTipHelp("送信 " + std::to_string(n));
    ASSERT_NE(tray.Icon(), nullptr) << "the copy failed at change " << n;
    ASSERT_TRUE(tray.TaskTrayIcon().Added()) << "the shell lost the icon at change " << n;
}

TEST(TrayLeak, LiveHandleCountsStayFlatOverALongRun) {
    Application application(::GetModuleHandleW(nullptr));
    TTrayIcon tray(nullptr);
    for (int n = 0; n < 100; ++n) ASSERT_NO_FATAL_FAILURE(Tick(tray, n));
    const long icons = HandleCounts::icons, gdi = HandleCounts::gdi, dcs = HandleCounts::dcs;
    for (int n = 100; n < 5100; ++n) ASSERT_NO_FATAL_FAILURE(Tick(tray, n));
    EXPECT_EQ(HandleCounts::icons, icons);
    EXPECT_EQ(HandleCounts::gdi, gdi);
    EXPECT_EQ(HandleCounts::dcs, dcs);
    EXPECT_EQ(icons, 1) << "the component holds exactly its one copy";
}

TEST(TrayLeak, SeventyThousandIconAndTipChangesFitInOneProcess) {
    // A leak of one handle per change would exhaust the system's table (about 65,000) well before the end.
    constexpr int kChanges = 70'000;
    Application application(::GetModuleHandleW(nullptr));
    TTrayIcon tray(nullptr);
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < kChanges; ++n) {
        ASSERT_NO_FATAL_FAILURE(Tick(tray, n));
        if (n % 1000 == 0) application.ProcessMessages();
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d icon and tip changes in %.1f s\n", kChanges, seconds);
    EXPECT_EQ(HandleCounts::icons, 1);
}

}  // namespace
}  // namespace vantor::win32
