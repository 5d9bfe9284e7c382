#pragma once
// What the tray tests under Wine share: solid-colour icons, waiting for a condition with the application's pump,
// finding an icon's pixels in the notification area, and driving the X pointer with xdotool
// (tests/support/Xdotool.h, shared with the end-to-end checks).

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"
#include "tests/support/Desktop.h"
#include "tests/support/Polling.h"
#include "tests/support/Xdotool.h"

namespace vantor::win32::testing {

// A 16 x 16 icon of one colour (0x00RRGGBB), fully opaque.
inline IconHandle SolidIcon(DWORD rgb) { return ::vantor::testing::TwoColourIcon(rgb, rgb); }

// Dispatches messages (and the workers' hand-offs) until `condition` holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    return ::vantor::testing::WaitUntil(condition, limit, [] {
        Application::Current()->ProcessMessages();
        Application::Current()->CheckSynchronize();
    });
}

inline void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

using ::vantor::testing::FindOnTaskbar;

// Runs a program and waits for its exit code while keeping this thread's messages moving.
inline std::optional<DWORD> RunAndWait(std::wstring commandLine, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return std::nullopt;
    KernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    const bool ended = PumpUntil([&] { return ::WaitForSingleObject(processHandle.Get(), 0) == WAIT_OBJECT_0; }, limit);
    DWORD code = 0;
    if (!ended || !::GetExitCodeProcess(processHandle.Get(), &code)) return std::nullopt;
    return code;
}

using ::vantor::testing::StartXdotool;

// Moves the X pointer and waits until the system sees it there.
inline bool MovePointer(POINT to) {
    if (!StartXdotool(::vantor::testing::MouseMoveArguments(to))) return false;
    return PumpUntil([&] { return ::vantor::testing::PointerAt(to); });
}

inline std::wstring ExecutableDirectoryOfTests() {
    wchar_t path[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    return directory.substr(0, directory.find_last_of(L"\\/") + 1);
}

}  // namespace vantor::win32::testing
