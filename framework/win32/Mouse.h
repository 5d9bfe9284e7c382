#pragma once
// Mouse messages as a control's events: the shift state a message's wParam gives, and presses and
// double clicks delivered to OnMouseDown and OnDblClick.

#include <windows.h>
#include <windowsx.h>

#include "framework/Events.h"

namespace vantor::win32 {

inline TShiftState MouseShiftState(WPARAM keys, bool doubleClick = false) {
    TShiftState shift = doubleClick ? ssDouble : 0u;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// Delivers a client-area press or double click of any button: a left double click gives OnDblClick
// first; every one then gives OnMouseDown, a double click's second press with ssDouble. Returns whether
// `message` was one of these.
inline bool DeliverMouseDown(TComponent& sender, UINT message, WPARAM wParam, LPARAM lParam,
                             const TMouseEvent& onMouseDown, const TNotifyEvent& onDblClick) {
    TMouseButton button;
    bool doubleClick = false;
    switch (message) {
    case WM_LBUTTONDBLCLK: doubleClick = true; [[fallthrough]];
    case WM_LBUTTONDOWN: button = TMouseButton::mbLeft; break;
    case WM_RBUTTONDBLCLK: doubleClick = true; [[fallthrough]];
    case WM_RBUTTONDOWN: button = TMouseButton::mbRight; break;
    case WM_MBUTTONDBLCLK: doubleClick = true; [[fallthrough]];
    case WM_MBUTTONDOWN: button = TMouseButton::mbMiddle; break;
    default: return false;
    }
    if (message == WM_LBUTTONDBLCLK && onDblClick) onDblClick(sender);
    if (onMouseDown)
        onMouseDown(sender, button, MouseShiftState(wParam, doubleClick), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return true;
}

}  // namespace vantor::win32
