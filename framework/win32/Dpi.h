#pragma once
// The display density of windows and monitors. The per-monitor calls exist only from Windows 10 1607 on
// (the monitor's own density from 8.1 on): they are looked up at run time, and where they are missing
// the answers fall back to the system's density, which is what a system-aware program gets there.

#include <windows.h>

#include "framework/Dpi.h"

namespace vantor::win32 {

// WM_GETDPISCALEDSIZE (Windows 10 1703 on), which the headers of older systems do not know.
inline constexpr UINT kGetDpiScaledSize = 0x02E4;

// The density the whole session started with (the primary monitor's at logon).
UINT SystemDpi();
// The density of the monitor a window is on, as the window sees it.
UINT DpiForWindow(HWND window);
// The current density of the primary monitor, where the taskbar and its notification area lie.
UINT PrimaryMonitorDpi();

// A system metric as it is at `dpi`.
int SystemMetricForDpi(int index, UINT dpi);
// The window rectangle around a client rectangle, with the frame of that density.
RECT WindowRectForClient(const RECT& client, DWORD style, DWORD exStyle, UINT dpi);
// The size of a small icon (the notification area's) at the primary monitor's density.
int SmallIconSize();

// Puts a window told of a new density (WM_DPICHANGED, whose lParam `suggestion` is) where the system
// suggests, and returns that rectangle.
RECT MoveToSuggestedRect(HWND window, LPARAM suggestion);

// A design rectangle (left, top, width, height at 96 dpi) at `dpi`, scaled by its edges.
RECT ScaleRect(int left, int top, int width, int height, UINT dpi);

}  // namespace vantor::win32
