#pragma once
// The one window wrapper: `this` is bound at WM_NCCREATE, kept in GWLP_USERDATA, and every message
// after that goes to the virtual HandleMessage. An exception thrown by a handler ends that message and
// is shown in the application's standard error box.

#include <windows.h>

#include <string>
#include <string_view>

namespace vantor::win32 {

// Any window's text, of any length.
std::wstring WindowText(HWND window);
// The size of one line of `text` in `font`, measured on the screen.
SIZE TextExtent(HFONT font, std::wstring_view text);

struct WindowOptions {
    const wchar_t* className = nullptr;
    const wchar_t* text = L"";
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;  // owner for top-level windows
    HMENU menuOrId = nullptr;
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const noexcept { return handle_; }
    void DestroyHandle();

    // Registers a class whose window procedure dispatches to Window objects; safe to call repeatedly.
    static void RegisterClass(const wchar_t* name, UINT style = 0, HBRUSH background = nullptr,
                              HICON icon = nullptr, HCURSOR cursor = ::LoadCursorW(nullptr, IDC_ARROW));

protected:
    void CreateHandle(const WindowOptions& options);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(handle_, message, wParam, lParam);
    }
    // Called once the window is gone (after WM_NCDESTROY).
    virtual void HandleDestroyed() {}

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
};

}  // namespace vantor::win32
