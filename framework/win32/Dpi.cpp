#include "framework/win32/Dpi.h"

#include "framework/win32/Convert.h"
#include "framework/win32/Handles.h"

namespace vantor::win32 {
namespace {

// MDT_EFFECTIVE_DPI of shcore's GetDpiForMonitor.
constexpr int kEffectiveDpi = 0;

// The calls of newer systems, found once; each is null where the system has none.
struct DpiCalls {
    UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
    UINT(WINAPI* getDpiForSystem)() = nullptr;
    int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;

    DpiCalls() {
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        Find(user32, "GetDpiForWindow", getDpiForWindow);
        Find(user32, "GetDpiForSystem", getDpiForSystem);
        Find(user32, "GetSystemMetricsForDpi", getSystemMetricsForDpi);
        Find(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi);
        // shcore stays loaded for the life of the process, as user32 is.
        if (const HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
            Find(shcore, "GetDpiForMonitor", getDpiForMonitor);
    }

    template <class Function>
    static void Find(HMODULE module, const char* name, Function& function) {
        if (module) function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    }
};

const DpiCalls& Calls() {
    static const DpiCalls calls;
    return calls;
}

UINT MonitorDpi(HMONITOR monitor) {
    UINT x = 0, y = 0;
    if (monitor && Calls().getDpiForMonitor && SUCCEEDED(Calls().getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && x)
        return x;
    return SystemDpi();
}

}  // namespace

UINT SystemDpi() {
    if (Calls().getDpiForSystem) return Calls().getDpiForSystem();
    WindowDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

UINT DpiForWindow(HWND window) {
    if (Calls().getDpiForWindow) {
        if (const UINT dpi = Calls().getDpiForWindow(window)) return dpi;
    }
    return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

UINT PrimaryMonitorDpi() { return MonitorDpi(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)); }

int SystemMetricForDpi(int index, UINT dpi) {
    if (Calls().getSystemMetricsForDpi) return Calls().getSystemMetricsForDpi(index, dpi);
    // Without per-monitor metrics the system's are the only ones, at its own density: scale those.
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

RECT WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle, UINT dpi) {
    RECT frame = client;
    if (!Calls().adjustWindowRectExForDpi || !Calls().adjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi)) {
        frame = client;
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return frame;
}

int SmallIconSize() { return SystemMetricForDpi(SM_CXSMICON, PrimaryMonitorDpi()); }

RECT MoveToSuggestedRect(HWND window, LPARAM suggestion) {
    const RECT suggested = *reinterpret_cast<const RECT*>(suggestion);
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return suggested;
}

RECT ScaleRect(int left, int top, int width, int height, UINT dpi) {
    return ToWin32Rect(ScaleToDpi(TRect{left, top, left + width, top + height}, static_cast<int>(dpi)));
}

}  // namespace vantor::win32
