// The application object against the real message queue and windows: how its loop ends, and the modal
// runs it knows of.

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/win32/AboutBox.h"
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

// What the timer procedures of a modal run see.
struct ModalRunScene {
    Application* application = nullptr;
    HWND box = nullptr;
    HWND other = nullptr;  // a window of the program that takes the front meanwhile
    HWND frontAfterBringingTheBox = nullptr;
    HWND errorBox = nullptr;
    HWND errorBoxOwner = nullptr;
    HWND frontAfterBringingTheErrorBox = nullptr;
};
ModalRunScene* scene = nullptr;

void CALLBACK EndTheRun(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    ::PostMessageW(scene->box, WM_COMMAND, IDOK, 0);
}

void CALLBACK BringTheErrorBoxForward(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    scene->errorBox = ::FindWindowW(L"#32770", scene->application->Title().c_str());
    scene->errorBoxOwner = ::GetWindow(scene->errorBox, GW_OWNER);
    ::SetForegroundWindow(scene->other);
    if (scene->application->BringModalRunToFront()) scene->frontAfterBringingTheErrorBox = ::GetForegroundWindow();
    ::PostMessageW(scene->errorBox, WM_COMMAND, IDOK, 0);
}

void CALLBACK BringTheBoxForwardThenShowAnError(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    scene->other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(scene->other);
    if (scene->application->BringModalRunToFront()) scene->frontAfterBringingTheBox = ::GetForegroundWindow();
    ::SetTimer(nullptr, 0, 200, BringTheErrorBoxForward);
    scene->application->ShowException(std::runtime_error("a failed tick"));
    ::DestroyWindow(scene->other);
    ::SetTimer(nullptr, 0, 10, EndTheRun);
}

TEST(ModalRuns, TheInnermostRunOrTheBoxItOpenedComesToTheFront) {
    Application application(::GetModuleHandleW(nullptr));
    EXPECT_FALSE(application.BringModalRunToFront()) << "no run open";
    vantor::TAboutBox box(vantor::Language::Japanese);
    ModalRunScene state{&application, box.Handle()};
    scene = &state;
    ::SetTimer(nullptr, 0, 100, BringTheBoxForwardThenShowAnError);
    box.ShowModal();
    scene = nullptr;
    EXPECT_EQ(state.frontAfterBringingTheBox, box.Handle());
    ASSERT_NE(state.errorBox, nullptr);
    EXPECT_EQ(state.errorBoxOwner, box.Handle()) << "the error box belongs to the box, the active window";
    EXPECT_EQ(state.frontAfterBringingTheErrorBox, state.errorBox) << "the box's error box, not the box";
    EXPECT_FALSE(application.BringModalRunToFront()) << "both runs over";
}

TEST(ModalRuns, EnterAndSpaceOnTheAboutBoxsCloseAndEnterInItsTextEndItWithCancel) {
    Application application(::GetModuleHandleW(nullptr));
    struct Case {
        const wchar_t* control;
        WPARAM key;
    };
    for (const Case c : {Case{L"Button", VK_RETURN}, Case{L"Button", VK_SPACE}, Case{L"Edit", VK_RETURN}}) {
        SCOPED_TRACE(::testing::Message() << (c.key == VK_RETURN ? "Enter" : "Space") << " on the "
                                          << ::testing::PrintToString(std::wstring(c.control)));
        vantor::TAboutBox box(vantor::Language::Japanese);
        const HWND close = ::FindWindowExW(box.Handle(), nullptr, L"Button", L"Close");
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(::GetWindowLongW(close, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "drawn as the default button";
        // Waiting in the queue, they reach the control once the run has begun.
        const HWND control = ::FindWindowExW(box.Handle(), nullptr, c.control, nullptr);
        ::PostMessageW(control, WM_KEYDOWN, c.key, 1);
        ::PostMessageW(control, WM_KEYUP, c.key, 0xC0000001);
        ModalRunScene state{&application, box.Handle()};
        scene = &state;
        const UINT_PTR rescue = ::SetTimer(nullptr, 0, 3000, EndTheRun);
        EXPECT_EQ(box.ShowModal(), mrCancel);
        ::KillTimer(nullptr, rescue);
        scene = nullptr;
    }
}

}  // namespace
}  // namespace vantor::win32
