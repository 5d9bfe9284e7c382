#pragma once
// vantor.exe as a user runs it, driven from outside: a copy in a folder of its own (where it keeps its
// settings file), started as a separate process, found by its windows, and closed the way the menu's
// 終了 closes it.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/Launch.h"
#include "tests/support/Polling.h"

namespace vantor::e2e {

using ::vantor::testing::ReadFileBytes;
using ::vantor::testing::SettingsValues;
using ::vantor::testing::TempFolder;
using ::vantor::testing::WriteFileBytes;

using ::vantor::testing::PathFromEnvironment;

// A path as the settings file holds it: in the ANSI code page.
std::string AnsiPath(const std::filesystem::path& path);
// The number a figure shows, its thousands separators (",") left out.
double FigureValue(const std::wstring& figure);

struct WindowState {
    RECT rect{};
    RECT client{};
    DWORD style = 0;
    DWORD exStyle = 0;
    bool visible = false;
    HWND owner = nullptr;
};
WindowState StateOf(HWND window);

// The mini window's figures in the order Figures() gives them.
namespace Figure {
enum : std::size_t { SendCurrent, ReceiveCurrent, SendAverage, ReceiveAverage, SendPeak, ReceivePeak, SendRate, ReceiveRate };
}

class VantorProcess {
public:
    // Copies vantor.exe (the build's, named by VANTOR_EXE) into `folder` and starts it there.
    explicit VantorProcess(const TempFolder& folder);
    // Starts `exe` where it is, in its own folder.
    explicit VantorProcess(const std::filesystem::path& exe);
    ~VantorProcess();
    VantorProcess(const VantorProcess&) = delete;
    VantorProcess& operator=(const VantorProcess&) = delete;

    DWORD Id() const noexcept { return process_.Id(); }
    // The main window, once it exists (shown or not).
    HWND Form(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // The texts of the eight figures, column by column, the send figure before the receive one (Figure).
    std::vector<std::wstring> Figures();
    // The top-level windows of this process with the class `className`.
    std::vector<HWND> WindowsOfClass(const wchar_t* className) const;
    // The window that the system's move or size loop is moving on the program's GUI thread, or null when
    // no such loop runs.
    HWND MoveSizeWindow();
    // Those of them that are visible, with this caption when one is given; and the first one to show.
    std::vector<HWND> VisibleWindows(const wchar_t* className, const wchar_t* caption = nullptr) const;
    HWND WaitForWindow(const wchar_t* className, const wchar_t* caption = nullptr,
                       std::chrono::milliseconds limit = std::chrono::seconds(5)) const;
    // The program's open popup menu (a menu window of its own process), once one shows.
    HWND WaitForMenu(std::chrono::milliseconds limit = std::chrono::seconds(5)) const {
        return WaitForWindow(L"#32768", nullptr, limit);
    }

    // Asks the program to end as the menu's 終了 does, and waits for it to go.
    bool Quit(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // Only asks.
    void RequestQuit();
    bool WaitForExit(std::chrono::milliseconds limit);
    bool Running() const;

private:
    testing::Launched process_;
    HWND form_ = nullptr;
};

// A window's text, asked for across processes (WM_GETTEXT, given up if the window hangs).
std::wstring TextOf(HWND window);
// The texts of a window's child controls, in order.
std::vector<std::wstring> ChildTexts(HWND window);

// Waits poll, and keep this thread's messages moving: once a check has made a window here (a menu drawn
// for comparison), the program's messages to it would otherwise wait for an answer that never comes.
using ::vantor::testing::Pause;
using ::vantor::testing::WaitUntil;
// Long enough for a few of the program's one-second ticks on a busy machine: what a wait for the effect of
// a tick allows.
inline constexpr std::chrono::seconds kTickLimit{10};

}  // namespace vantor::e2e
