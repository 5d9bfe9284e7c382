#pragma once
// What a test asks of a window, its own or another process's: its class, its children and its place.

#include <windows.h>

#include <string>
#include <vector>

namespace vantor::testing {

// The window's class name; L"none" for no window.
std::wstring ClassOf(HWND window);
// Its child windows, in their order.
std::vector<HWND> ChildrenOf(HWND parent);
// Its outer rectangle relative to the client area of another window (null: the screen).
RECT RectIn(HWND window, HWND reference);

}  // namespace vantor::testing
