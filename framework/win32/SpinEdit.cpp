#include "framework/win32/SpinEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <stdexcept>

#include "framework/SpinValue.h"
#include "framework/win32/Text.h"
#include "framework/win32/Window.h"

namespace vantor::win32 {

TSpinEdit::TSpinEdit(const Options& options) : id_(options.id), min_(options.minValue), max_(options.maxValue) {
    wchar_t separator[4] = L".";
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4);
    decimalSeparator_ = separator[0];

    edit_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                              options.left, options.top, options.width, options.height, options.parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(options.id)), ::GetModuleHandleW(nullptr),
                              nullptr);
    if (!edit_) throw std::runtime_error("cannot create a spin box");
    ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(options.font), FALSE);
    ::SetWindowSubclass(edit_, &TSpinEdit::FilterKeys, 1, reinterpret_cast<DWORD_PTR>(this));
    arrows_ = ::CreateWindowExW(0, UPDOWN_CLASSW, L"",
                                WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_NOTHOUSANDS,
                                options.left + options.width, options.top, ::GetSystemMetrics(SM_CXVSCROLL), options.height,
                                options.parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
    // The arrows take the right end of the box's width, at whatever width the up-down settles on; placed
    // here rather than by the up-down's own alignment, which narrows the pair by the width of a border.
    RECT arrows{};
    ::GetWindowRect(arrows_, &arrows);
    const int arrowsWidth = arrows.right - arrows.left;
    ::MoveWindow(edit_, options.left, options.top, options.width - arrowsWidth, options.height, FALSE);
    ::MoveWindow(arrows_, options.left + options.width - arrowsWidth, options.top, arrowsWidth, options.height, FALSE);
    ::SendMessageW(arrows_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    UDACCEL step{0, static_cast<UINT>(options.increment)};
    ::SendMessageW(arrows_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
    SetValue(min_);
}

std::wstring TSpinEdit::Text() const { return WindowText(edit_); }

int TSpinEdit::Value() const { return SpinValue(Narrow(Text()), min_); }

void TSpinEdit::SetValue(int value) {
    ::SetWindowTextW(edit_, std::to_wstring(vantor::PullIntoRange(value, min_, max_)).c_str());
}

void TSpinEdit::PullIntoRange() { SetValue(Value()); }

void TSpinEdit::SetEnabled(bool enabled) {
    ::EnableWindow(edit_, enabled);
    ::EnableWindow(arrows_, enabled);
}

LRESULT CALLBACK TSpinEdit::FilterKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    if (message == WM_CHAR) {
        const auto c = static_cast<wchar_t>(wParam);
        const bool allowed = std::iswdigit(c) || c == L'+' || c == L'-' ||
                             c == reinterpret_cast<TSpinEdit*>(self)->decimalSeparator_ || c < L' ';
        if (!allowed) {
            ::MessageBeep(0);
            return 0;
        }
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(edit, &TSpinEdit::FilterKeys, 1);
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace vantor::win32
