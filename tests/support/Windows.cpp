#include "tests/support/Windows.h"

namespace vantor::testing {

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = L"";
    if (!window) return L"none";
    ::GetClassNameW(window, name, 128);
    return name;
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

RECT RectIn(HWND window, HWND reference) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace vantor::testing
