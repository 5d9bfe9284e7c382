#pragma once
// What the tray tests under Wine share: solid-colour icons, a message pump that waits for a condition,
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
#include "tests/support/Xdotool.h"

namespace vantor::win32::testing {

// A 16 x 16 icon of one colour (0x00RRGGBB), fully opaque.
inline IconHandle SolidIcon(DWORD rgb) {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = 16;
    header.bV5Height = -16;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_RGB;
    void* bits = nullptr;
    GdiObject color(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                       nullptr, 0));
    if (!color) return IconHandle();
    std::fill_n(static_cast<DWORD*>(bits), 16 * 16, 0xFF000000u | rgb);
    const WORD opaque[16]{};
    GdiObject mask(::CreateBitmap(16, 16, 1, 1, opaque));
    ICONINFO info{TRUE, 0, 0, static_cast<HBITMAP>(mask.Get()), static_cast<HBITMAP>(color.Get())};
    return IconHandle(::CreateIconIndirect(&info));
}

// Dispatches messages (and the workers' hand-offs) until `condition` holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        Application::Current()->ProcessMessages();
        Application::Current()->CheckSynchronize();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
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
