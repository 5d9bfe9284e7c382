// The least a program with the monitor's services needs, to measure the monitor against (see
// docs/performance.md, tools/measure-idle.sh): a small window with one line of Japanese text and a
// tooltip, a notification-area icon, and once a second an interface-table read whose figure goes into
// the line and the icon's tip.
//   vantor_baseline [/hidden]    /hidden: the window starts hidden, the icon and the tick still run

#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <iphlpapi.h>
#include <shellapi.h>

#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <type_traits>
#include <vector>

namespace {

constexpr wchar_t kClass[] = L"VantorBaseline";
constexpr UINT kTick = 1;
constexpr UINT kIconId = 1;
constexpr UINT kIconMessage = WM_APP + 1;

struct GdiDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiDeleter>;

struct Baseline {
    HWND window = nullptr;
    Font font;
    std::vector<std::byte> table = std::vector<std::byte>(sizeof(MIB_IFTABLE));
    unsigned long long lastOctets = 0;
    wchar_t line[64] = L"受信 0.0 KB/秒";
    NOTIFYICONDATAW icon{};
};

Baseline baseline;

// Received octets summed over all rows; a second in which a counter wraps shows 0.
unsigned long long ReceivedOctets() {
    ULONG size = static_cast<ULONG>(baseline.table.size());
    auto* table = reinterpret_cast<MIB_IFTABLE*>(baseline.table.data());
    if (::GetIfTable(table, &size, TRUE) == ERROR_INSUFFICIENT_BUFFER) {
        baseline.table.resize(size);
        table = reinterpret_cast<MIB_IFTABLE*>(baseline.table.data());
        if (::GetIfTable(table, &size, TRUE) != NO_ERROR) return baseline.lastOctets;
    }
    unsigned long long octets = 0;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) octets += table->table[i].dwInOctets;
    return octets;
}

void Tick() {
    const unsigned long long octets = ReceivedOctets();
    const double perSecond = octets >= baseline.lastOctets ? static_cast<double>(octets - baseline.lastOctets) : 0.0;
    baseline.lastOctets = octets;
    std::swprintf(baseline.line, std::size(baseline.line), L"受信 %.1f KB/秒", perSecond / 1024.0);
    ::InvalidateRect(baseline.window, nullptr, TRUE);
    std::swprintf(baseline.icon.szTip, std::size(baseline.icon.szTip), L"Vantor baseline\n%ls", baseline.line);
    baseline.icon.uFlags = NIF_TIP;
    ::Shell_NotifyIconW(NIM_MODIFY, &baseline.icon);
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(window, &ps);
    const HGDIOBJ old = ::SelectObject(dc, baseline.font.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::TextOutW(dc, 8, 8, baseline.line, static_cast<int>(std::wcslen(baseline.line)));
    ::SelectObject(dc, old);
    ::EndPaint(window, &ps);
}

void AddTooltip(HWND window) {
    // Owned by the window, so it goes when the window does.
    const HWND tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                           ::GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = const_cast<wchar_t*>(L"現在受信速度");
    ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void AddIcon(HWND window) {
    NOTIFYICONDATAW& icon = baseline.icon;
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = kIconId;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = kIconMessage;
    // A shared icon from the resources: the system frees it.
    icon.hIcon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 16, 16, LR_SHARED));
    std::wcscpy(icon.szTip, L"Vantor baseline");
    ::Shell_NotifyIconW(NIM_ADD, &icon);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kTick) Tick();
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case kIconMessage:
        // A double click on the icon brings the window back.
        if (lParam == WM_LBUTTONDBLCLK) ::ShowWindow(window, SW_SHOW);
        return 0;
    case WM_LBUTTONDBLCLK:
        ::ShowWindow(window, SW_HIDE);
        return 0;
    case WM_DESTROY:
        ::KillTimer(window, kTick);
        ::Shell_NotifyIconW(NIM_DELETE, &baseline.icon);
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    baseline.font.reset(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"ＭＳ Ｐゴシック"));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClass;
    ::RegisterClassExW(&windowClass);
    // No taskbar button, as the monitor's window has none.
    const HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"Vantor baseline", WS_POPUP | WS_THICKFRAME, 500, 200,
                                          220, 80, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    baseline.window = window;
    AddTooltip(window);
    AddIcon(window);
    baseline.lastOctets = ReceivedOctets();
    ::SetTimer(window, kTick, 1000, nullptr);
    if (std::wcsstr(commandLine, L"/hidden") == nullptr) ::ShowWindow(window, SW_SHOW);

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
