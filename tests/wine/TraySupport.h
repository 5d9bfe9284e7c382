#pragma once
// What the tray tests under Wine share: solid-colour icons, waiting for a condition with the application's pump,
// finding an icon's pixels in the notification area, and driving the X pointer with xdotool and starting
// programs (tests/support, shared with the end-to-end checks).

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
#include "tests/support/Launch.h"
#include "tests/support/Polling.h"
#include "tests/support/Xdotool.h"

namespace vantor::win32::testing {

// A 16 x 16 icon of one colour (0x00RRGGBB), fully opaque.
inline IconHandle SolidIcon(DWORD rgb) { return ::vantor::testing::TwoColourIcon(rgb, rgb); }

// What a tray test does while it waits: dispatches the application's messages and the workers' hand-offs.
inline void ServeApplication() {
    Application::Current()->ProcessMessages();
    Application::Current()->CheckSynchronize();
}

inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    return ::vantor::testing::WaitUntil(condition, limit, ServeApplication);
}

inline void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

using ::vantor::testing::FindOnTaskbar;
using ::vantor::testing::MovePointer;
using ::vantor::testing::StartXdotool;

inline std::wstring ExecutableDirectoryOfTests() {
    wchar_t path[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    return directory.substr(0, directory.find_last_of(L"\\/") + 1);
}

}  // namespace vantor::win32::testing
