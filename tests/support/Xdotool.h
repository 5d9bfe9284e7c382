#pragma once
// The X pointer and buttons driven with xdotool from inside a Windows test program. Wine starts a Linux
// program detached, without a process handle to wait on, so callers poll for the effect they expect
// (PointerAt, LeftButtonDown) rather than waiting for xdotool.

#include <windows.h>

#include <string>

namespace vantor::testing {

// Starts /usr/bin/xdotool with `arguments` (one xdotool command line, e.g. L"mousemove 10 20").
inline bool StartXdotool(const std::wstring& arguments) {
    std::wstring commandLine = L"/usr/bin/xdotool " + arguments;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess) ::CloseHandle(process.hProcess);
    if (process.hThread) ::CloseHandle(process.hThread);
    return true;
}

inline std::wstring MouseMoveArguments(POINT to) {
    return L"mousemove " + std::to_wstring(to.x) + L" " + std::to_wstring(to.y);
}

// True when the system has seen the pointer arrive at `at`.
inline bool PointerAt(POINT at) {
    POINT now{};
    return ::GetCursorPos(&now) && now.x == at.x && now.y == at.y;
}

// True when the system has seen the left button go down (and not up again), whichever process got it.
inline bool LeftButtonDown() { return ::GetAsyncKeyState(VK_LBUTTON) < 0; }

}  // namespace vantor::testing
