#pragma once
// The application object: the hidden top-level window that owns every form of the program (the window
// a taskbar button would belong to), the message loop, and the standard error box.

#include <windows.h>

#include <exception>
#include <string>

#include "framework/win32/Window.h"

namespace vantor::win32 {

class Application final : public Window {
public:
    explicit Application(HINSTANCE instance);
    ~Application() override;

    // The one application of this process, or null before it exists.
    static Application* Current() noexcept { return current_; }

    HINSTANCE Instance() const noexcept { return instance_; }
    // The executable's name without its extension, the caption of the standard error box.
    const std::wstring& Title() const noexcept { return title_; }
    HICON Icon() const noexcept { return icon_; }

    // Runs the message loop until Terminate; returns the exit code.
    int Run();
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }
    // Dispatches every message already waiting, then returns.
    void ProcessMessages();

    // Shows an error that ended a handler in the standard error box; the program carries on.
    static void HandleException(const std::exception& error);
    void ShowException(const std::exception& error);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static inline Application* current_ = nullptr;
    HINSTANCE instance_;
    std::wstring title_;
    HICON icon_ = nullptr;
    bool terminated_ = false;
};

// The full path of this executable and its directory, with the trailing separator.
std::wstring ExecutablePath();
std::wstring ExecutableDirectory();

}  // namespace vantor::win32
