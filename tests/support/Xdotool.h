#pragma once
// The X pointer and buttons driven with xdotool from inside a Windows test program. Wine starts a Linux
// program detached, without a process handle to wait on, so callers poll for the effect they expect
// (PointerAt, LeftButtonDown) rather than waiting for xdotool.

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/Polling.h"
#include "tests/support/WineHost.h"

namespace vantor::testing {

// Starts /usr/bin/xdotool with `arguments` (one xdotool command line, e.g. L"mousemove 10 20").
inline bool StartXdotool(const std::wstring& arguments) { return StartUnixProgram(L"/usr/bin/xdotool " + arguments); }

inline std::wstring MouseMoveArguments(POINT to) {
    return L"mousemove " + std::to_wstring(to.x) + L" " + std::to_wstring(to.y);
}

// True when the system has seen the pointer arrive at `at`.
inline bool PointerAt(POINT at) {
    POINT now{};
    return ::GetCursorPos(&now) && now.x == at.x && now.y == at.y;
}

// Moves the pointer and waits until the system sees it there, serving this thread meanwhile as WaitUntil does.
inline bool MovePointer(POINT to, const std::function<void()>& serve = DispatchWaitingMessages) {
    return StartXdotool(MouseMoveArguments(to)) && WaitUntil([&] { return PointerAt(to); }, std::chrono::seconds(5), serve);
}

// True when the system has seen the left button go down (and not up again), whichever process got it.
inline bool LeftButtonDown() { return ::GetAsyncKeyState(VK_LBUTTON) < 0; }

}  // namespace vantor::testing
