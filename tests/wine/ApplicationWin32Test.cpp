// The application object's message loop against the real message queue: how it ends.

#include <windows.h>

#include <gtest/gtest.h>

#include "framework/win32/Application.h"

namespace vantor::win32 {
namespace {

// What a timer procedure sees; it takes no context of its own.
struct LoopRun {
    Application* application = nullptr;
    bool nestedLoop = false;
    bool rescued = false;
};
LoopRun* run = nullptr;

void CALLBACK Rescue(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    run->rescued = true;
    ::PostQuitMessage(0);
}

// Asks the application to end, then, like the system's move loop, runs a loop of its own that ends on the
// quit message without posting it again.
void CALLBACK TerminateInside(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    run->application->Terminate();
    if (!run->nestedLoop) return;
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
}

void ExpectTerminateEndsRunAndLeavesNoQuitWaiting(bool nestedLoop) {
    Application application(::GetModuleHandleW(nullptr));
    LoopRun state{&application, nestedLoop};
    run = &state;
    ::SetTimer(nullptr, 0, 10, TerminateInside);
    const UINT_PTR rescue = ::SetTimer(nullptr, 0, 3000, Rescue);
    application.Run();
    ::KillTimer(nullptr, rescue);
    run = nullptr;
    EXPECT_FALSE(state.rescued) << "the loop ended by itself, also when a nested loop took the quit message";
    EXPECT_TRUE(application.Terminated());
    MSG message{};
    EXPECT_FALSE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "a box shown after the loop (an error while saving) must not close at once";
}

TEST(ApplicationLoop, TerminateEndsRunAndLeavesNoQuitWaiting) { ExpectTerminateEndsRunAndLeavesNoQuitWaiting(false); }

TEST(ApplicationLoop, TerminateEndsRunAlsoWhenANestedLoopTookTheQuitMessage) {
    ExpectTerminateEndsRunAndLeavesNoQuitWaiting(true);
}

}  // namespace
}  // namespace vantor::win32
