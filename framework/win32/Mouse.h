#pragma once
// The shift state of a mouse message: the keys and buttons its wParam says were down.

#include <windows.h>

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

}  // namespace vantor::win32
