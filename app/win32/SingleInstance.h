#pragma once
// One running program per user and session: a named mutex, taken before the settings are read and the
// tray icon added, held until the settings are saved at exit. A second start asks the running one of the
// same user and session to show its window and ends without touching any file (app/core/SecondStart).

#include <windows.h>

#include "framework/win32/Handles.h"

namespace vantor::win32 {

class SingleInstance {
public:
    SingleInstance();

    // No other start of this user holds the mutex (also when it could not be made at all).
    bool First() const noexcept { return first_; }
    // Lets the running program's window of this class and text take the foreground and asks it to show
    // itself; waits a few seconds for a program still starting to make its window.
    void ShowRunning(const wchar_t* className, const wchar_t* windowText) const;

    // What the running program receives from a second start.
    static UINT ShowRequestMessage();
    // Lets that message through to `window` from a start with fewer rights (the running copy was started
    // as administrator): the system drops it otherwise. Windows before 7 take it for the whole process.
    [[nodiscard]] static bool AcceptShowRequests(HWND window);

private:
    KernelHandle mutex_;
    bool first_ = true;
};

}  // namespace vantor::win32
