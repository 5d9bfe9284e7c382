#pragma once
// TModalForm: a secondary window built from a control table in code, at exact positions in design
// units (pixels at 96 dpi, scaled to the density of the monitor the form opens on), and run modally: the
// program's other windows take no input while it is open, the keyboard moves between its controls as in
// a dialog (Tab, Enter for the default button, Esc for cancel), and the message loop keeps delivering the
// other windows' timers. A form may instead be shown modeless, beside the other windows, with the same
// keyboard through the application's loop; it then answers WM_CLOSE and Esc itself.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Window.h"

namespace vantor::win32 {

enum TModalResult : int { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL };

struct FontOptions {
    const wchar_t* face;
    int height;  // negative: character height in pixels at 96 dpi
    BYTE charset = DEFAULT_CHARSET;
};

// The font at the size its design height has at `dpi`.
GdiObject MakeFont(const FontOptions& options, UINT dpi);

struct ModalFormOptions {
    const wchar_t* caption = L"";
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = WS_EX_DLGMODALFRAME;
    int clientWidth = 0;  // design units, as every length of the form and its controls
    int clientHeight = 0;
    FontOptions font{L"MS Shell Dlg", -11};
    COLORREF background = ::GetSysColor(COLOR_BTNFACE);
};

class TModalForm : public Window {
public:
    ~TModalForm() override;

    // Shows the form centred on the screen and returns when it closes, with how it closed.
    TModalResult ShowModal();
    // Shows the form without a modal run (centred the first time) and brings it to the front.
    void ShowModeless();
    void SetModalResult(TModalResult result) noexcept { modalResult_ = result; }
    void Close() noexcept { modalResult_ = mrCancel; }

protected:
    explicit TModalForm(const ModalFormOptions& options);

    struct ControlLayout {
        const wchar_t* className;
        const wchar_t* text;
        DWORD style;
        int left, top, width, height;
        int id = 0;
        DWORD exStyle = 0;
        HWND parent = nullptr;  // the form when null
        HFONT font = nullptr;   // the form's font when null
    };
    HWND AddControl(const ControlLayout& layout);
    // Gives a control of the table the size of its text in its font, as a label that sizes itself has,
    // now and at every other density.
    void FitToText(HWND control);
    HFONT Font() const noexcept { return reinterpret_cast<HFONT>(font_.Get()); }
    // The density the form and its controls are laid out for.
    UINT Dpi() const noexcept { return dpi_; }
    HBRUSH BackgroundBrush() const noexcept { return reinterpret_cast<HBRUSH>(background_.Get()); }
    int DefaultButton() const noexcept { return defaultButton_; }
    void SetDefaultButton(int id) noexcept { defaultButton_ = id; }

    // Every message; the base answers WM_CLOSE, the default button query and IDOK/IDCANCEL commands.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void BeforeShow() {}
    virtual void Activated() {}
    // Moved to a monitor of another density, the form and the controls of its table are laid out again
    // and those in the form's font have the new one; what the form made itself follows here.
    virtual void DpiChanged() {}

private:
    struct PlacedControl {
        HWND control;
        ControlLayout layout;
        bool fitsText = false;
    };
    void Centre();
    void SetLayoutDpi(UINT dpi);
    SIZE FrameSize(UINT dpi) const;

    DWORD style_;
    DWORD exStyle_;
    int clientWidth_;
    int clientHeight_;
    FontOptions fontOptions_;
    std::vector<PlacedControl> placed_;
    UINT dpi_ = kDesignDpi;
    GdiObject font_;
    GdiObject background_;
    TModalResult modalResult_ = mrNone;
    int defaultButton_ = 0;
    bool centred_ = false;  // a modeless form keeps where the user put it
    HWND focusWhenLeft_ = nullptr;  // the control that had the keyboard when another window took the front
};

}  // namespace vantor::win32
