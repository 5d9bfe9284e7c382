#pragma once
// TSpinEdit: a one-line edit with up-down arrows holding an integer in a range. Only digits (of any
// script), signs and the decimal separator can be typed, pasted or come from an input method, and the
// digits are kept in ASCII; a value outside the range is pulled into it when the box loses the focus and
// whenever the program sets one.

#include <windows.h>

#include <string>

namespace vantor::win32 {

class TSpinEdit {
public:
    struct Options {
        HWND parent;
        int id;
        int left, top, width, height;  // design units: pixels at 96 dpi
        int minValue, maxValue, increment;
        HFONT font;
    };
    explicit TSpinEdit(const Options& options);
    TSpinEdit(const TSpinEdit&) = delete;
    TSpinEdit& operator=(const TSpinEdit&) = delete;

    HWND Edit() const noexcept { return edit_; }
    HWND Arrows() const noexcept { return arrows_; }
    int Id() const noexcept { return id_; }

    // The text as an integer, or the range's minimum when it is not one.
    int Value() const;
    void SetValue(int value);
    // Pulls what was typed into the range (the owner calls this when the edit loses the focus).
    void PullIntoRange();
    void SetEnabled(bool enabled);
    // Takes its design place, and the owner's font for it, at another density.
    void SetDpi(UINT dpi, HFONT font);

private:
    static LRESULT CALLBACK FilterKeys(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
    std::wstring Text() const;
    // Rewrites the text as the box keeps it, the caret after the same characters as before.
    void KeepSpinText();

    // The text and the arrows side by side in the design rectangle; the arrows as wide as they settle on.
    void Place(UINT dpi);

    Options design_;
    HWND edit_;
    HWND arrows_;
    int id_;
    int min_;
    int max_;
    wchar_t decimalSeparator_;
};

}  // namespace vantor::win32
