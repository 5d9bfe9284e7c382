// An icon and a tip that change every tick must not leak: counted through our own handle owners, and
// shown against the system's handle table by making more changes than it has room for.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "components/Taskbar/Taskbar.h"
#include "components/TrShlApi/win32/TrayShellWin32.h"
#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"
#include "tests/wine/TraySupport.h"

namespace vantor::win32 {
namespace {

using namespace testing;

// Sixteen colours' bitmaps, from which each tick builds its new icon.
struct Palette {
    std::vector<GdiObject> colors;
    GdiObject mask;
    Palette() {
        const WORD opaque[16]{};
        mask.Reset(::CreateBitmap(16, 16, 1, 1, opaque));
        for (DWORD n = 0; n < 16; ++n) {
            std::vector<DWORD> pixels(16 * 16, 0xFF300000u + n * 0x0F0Fu);
            colors.emplace_back(::CreateBitmap(16, 16, 1, 32, pixels.data()));
        }
    }
    IconHandle NewIcon(int n) const {
        ICONINFO info{TRUE, 0, 0, static_cast<HBITMAP>(mask.Get()),
                      static_cast<HBITMAP>(colors[static_cast<std::size_t>(n % 16)].Get())};
        return IconHandle(::CreateIconIndirect(&info));
    }
};

// One tick as the main window makes it: a new icon, handed over, the caller's own freed, a new tip.
void Tick(const Palette& palette, TTrayIcon& tray, int n) {
    const IconHandle picture = palette.NewIcon(n);
    ASSERT_TRUE(picture.Valid()) << "icon creation failed at change " << n;
    tray.SetIcon(picture.Get());
    tray.SetTipHelp("送信 " + std::to_string(n));
    ASSERT_NE(tray.Icon(), nullptr) << "the copy failed at change " << n;
    ASSERT_TRUE(tray.TaskTrayIcon().Added()) << "the shell lost the icon at change " << n;
}

// Sends one request in `every` to the real shell and takes the others as done. The shell's side of a
// request (a round trip to the taskbar's process, which redraws) costs some milliseconds under Wine,
// while everything that could leak in this process happens for every change all the same.
class SamplingShell final : public TrayShellWin32 {
public:
    explicit SamplingShell(int every) : every_(every) {}
    int sent = 0;
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override {
        if (action == NotifyAction::kModify && ++requests_ % every_ != 0) return true;
        ++sent;
        return TrayShellWin32::NotifyIcon(action, record);
    }

private:
    int every_;
    int requests_ = 0;
};

TEST(TrayLeak, LiveHandleCountsStayFlatOverALongRun) {
    Application application(::GetModuleHandleW(nullptr));
    const Palette palette;
    TTrayIcon tray(nullptr);
    for (int n = 0; n < 100; ++n) ASSERT_NO_FATAL_FAILURE(Tick(palette, tray, n));
    const long icons = HandleCounts::icons, gdi = HandleCounts::gdi, dcs = HandleCounts::dcs;
    for (int n = 100; n < 2100; ++n) ASSERT_NO_FATAL_FAILURE(Tick(palette, tray, n));
    EXPECT_EQ(HandleCounts::icons, icons);
    EXPECT_EQ(HandleCounts::gdi, gdi);
    EXPECT_EQ(HandleCounts::dcs, dcs);
    EXPECT_EQ(icons, 1) << "the component holds exactly its one copy";
}

TEST(TrayLeak, SeventyThousandIconAndTipChangesFitInOneProcess) {
    // A leak of one handle per change would exhaust the system's table (about 65,000) well before the end.
    constexpr int kChanges = 70'000;
    Application application(::GetModuleHandleW(nullptr));
    const Palette palette;
    SamplingShell shell(100);
    TTrayIcon tray(nullptr, DefaultTaskbarHost(), shell);
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < kChanges; ++n) {
        ASSERT_NO_FATAL_FAILURE(Tick(palette, tray, n));
        if (n % 1000 == 0) application.ProcessMessages();
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d icon and tip changes in %.1f s, %d of their requests sent to the shell\n", kChanges, seconds,
                shell.sent);
    EXPECT_GT(shell.sent, kChanges / 100);
    EXPECT_EQ(HandleCounts::icons, 1);
}

}  // namespace
}  // namespace vantor::win32
