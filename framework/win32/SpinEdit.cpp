#include "framework/win32/SpinEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "framework/SpinValue.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Text.h"
#include "framework/win32/Window.h"

namespace vantor::win32 {

TSpinEdit::TSpinEdit(const Options& options)
    : design_(options), id_(options.id), min_(options.minValue), max_(options.maxValue) {
    wchar_t separator[4] = L".";
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4);
    decimalSeparator_ = separator[0];

    edit_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0,
                              options.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(options.id)),
                              ::GetModuleHandleW(nullptr), nullptr);
    if (!edit_) throw std::runtime_error("cannot create a spin box");
    ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(options.font), FALSE);
    ::SetWindowSubclass(edit_, &TSpinEdit::FilterKeys, 1, reinterpret_cast<DWORD_PTR>(this));
    arrows_ = ::CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_NOTHOUSANDS,
                                0, 0, 0, 0, options.parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
    // The options' lengths are design units: the box takes the size they have on its parent's monitor.
    Place(DpiForWindow(options.parent));
    ::SendMessageW(arrows_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    UDACCEL step{0, static_cast<UINT>(options.increment)};
    ::SendMessageW(arrows_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
    SetValue(min_);
}

void TSpinEdit::Place(UINT dpi) {
    const RECT place = ScaleRect(design_.left, design_.top, design_.width, design_.height, dpi);
    const int left = place.left, top = place.top, width = place.right - place.left, height = place.bottom - place.top;
    // The arrows take the right end of the box's width, at whatever width the up-down settles on; placed
    // here rather than by the up-down's own alignment, which narrows the pair by the width of a border.
    ::MoveWindow(arrows_, left + width, top, SystemMetricForDpi(SM_CXVSCROLL, dpi), height, FALSE);
    RECT arrows{};
    ::GetWindowRect(arrows_, &arrows);
    const int arrowsWidth = arrows.right - arrows.left;
    ::MoveWindow(edit_, left, top, width - arrowsWidth, height, FALSE);
    ::MoveWindow(arrows_, left + width - arrowsWidth, top, arrowsWidth, height, FALSE);
}

void TSpinEdit::SetDpi(UINT dpi, HFONT font) {
    ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Place(dpi);
    ::InvalidateRect(edit_, nullptr, TRUE);
    ::InvalidateRect(arrows_, nullptr, TRUE);
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

void TSpinEdit::KeepSpinText() {
    const std::wstring text = Text();
    const std::wstring kept = Widen(SpinText(Narrow(text), decimalSeparator_));
    if (kept == text) return;
    DWORD caret = 0;
    ::SendMessageW(edit_, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const std::size_t keptCaret =
        Widen(SpinText(Narrow(std::wstring_view(text).substr(0, std::min<std::size_t>(caret, text.size()))),
                       decimalSeparator_)).size();
    ::SetWindowTextW(edit_, kept.c_str());
    ::SendMessageW(edit_, EM_SETSEL, keptCaret, static_cast<LPARAM>(keptCaret));
}

LRESULT CALLBACK TSpinEdit::FilterKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    auto* box = reinterpret_cast<TSpinEdit*>(self);
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR: {
        const auto c = static_cast<wchar_t>(wParam);
        if (c >= L' ' && !IsSpinCharacter(c, box->decimalSeparator_)) {
            ::MessageBeep(0);
            return 0;
        }
        const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
        // The up-down reads the text itself when an arrow is pressed, and knows only ASCII digits.
        box->KeepSpinText();
        return result;
    }
    case WM_PASTE: {
        const LRESULT result = ::DefSubclassProc(edit, message, wParam, lParam);
        box->KeepSpinText();
        return result;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(edit, &TSpinEdit::FilterKeys, 1);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace vantor::win32
