// Tells, from outside, what a program's windows show: vantor_probe [CLASS]
// Prints each visible top-level window of the class (all visible top-level windows when none is
// named) with its geometry, styles and owner, then its child windows with their texts.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[512] = L"";
    ::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, nullptr);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    ::GetClassNameW(window, name, 256);
    return name;
}

void Print(const std::wstring& line) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    std::fputs(utf8.c_str(), stdout);
    std::fputc('\n', stdout);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM parent) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, reinterpret_cast<HWND>(parent), reinterpret_cast<POINT*>(&r), 2);
    wchar_t line[1024];
    std::swprintf(line, 1024, L"  child class=%ls id=%d rect=%ld,%ld,%ld,%ld visible=%d text=\"%ls\"", ClassOf(child).c_str(),
                  ::GetDlgCtrlID(child), r.left, r.top, r.right, r.bottom, ::IsWindowVisible(child) ? 1 : 0,
                  TextOf(child).c_str());
    Print(line);
    return TRUE;
}

BOOL CALLBACK PrintTopLevel(HWND window, LPARAM wanted) {
    const auto* className = reinterpret_cast<const wchar_t*>(wanted);
    if (!::IsWindowVisible(window) || (className && ClassOf(window) != className)) return TRUE;
    RECT r{}, client{};
    ::GetWindowRect(window, &r);
    ::GetClientRect(window, &client);
    wchar_t line[1024];
    std::swprintf(line, 1024,
                  L"window class=%ls text=\"%ls\" rect=%ld,%ld,%ld,%ld client=%ldx%ld style=0x%08lx exstyle=0x%08lx "
                  L"owner=%ls",
                  ClassOf(window).c_str(), TextOf(window).c_str(), r.left, r.top, r.right, r.bottom, client.right,
                  client.bottom, static_cast<unsigned long>(::GetWindowLongW(window, GWL_STYLE)),
                  static_cast<unsigned long>(::GetWindowLongW(window, GWL_EXSTYLE)),
                  ::GetWindow(window, GW_OWNER) ? ClassOf(::GetWindow(window, GW_OWNER)).c_str() : L"-");
    Print(line);
    ::EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(window));
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const wchar_t* className = argc > 1 ? argv[1] : nullptr;
    ::EnumWindows(PrintTopLevel, reinterpret_cast<LPARAM>(className));
    return 0;
}
