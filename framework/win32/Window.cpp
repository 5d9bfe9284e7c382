#include "framework/win32/Window.h"

#include <exception>
#include <system_error>

#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"

namespace vantor::win32 {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

SIZE TextExtent(HFONT font, std::wstring_view text) {
    WindowDc screen(nullptr);
    SelectGuard selected(screen.Get(), font);
    SIZE size{};
    ::GetTextExtentPoint32W(screen.Get(), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

Window::~Window() { DestroyHandle(); }

void Window::DestroyHandle() {
    if (handle_) ::DestroyWindow(handle_);
}

void Window::RegisterClass(const wchar_t* name, UINT style, HBRUSH background, HICON icon, HCURSOR cursor) {
    WNDCLASSEXW existing{sizeof(existing)};
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(instance, name, &existing)) return;
    WNDCLASSEXW cls{sizeof(cls)};
    cls.style = style;
    cls.lpfnWndProc = &Window::Procedure;
    cls.hInstance = instance;
    cls.hIcon = icon;
    cls.hCursor = cursor;
    cls.hbrBackground = background;
    cls.lpszClassName = name;
    if (!::RegisterClassExW(&cls))
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "RegisterClassEx");
}

void Window::CreateHandle(const WindowOptions& options) {
    ::CreateWindowExW(options.exStyle, options.className, options.text, options.style, options.x, options.y, options.width, options.height,
                      options.parent, options.menuOrId, ::GetModuleHandleW(nullptr), this);
    if (!handle_)
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "CreateWindowEx");
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->handle_ = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = 0;
    try {
        result = self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        Application::HandleException(error);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->handle_ = nullptr;
        self->HandleDestroyed();
    }
    return result;
}

}  // namespace vantor::win32
