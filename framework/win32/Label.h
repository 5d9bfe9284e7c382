#pragma once
// TLabel: a line of text in a child window of its own, drawn transparently over whatever its parent
// paints behind it. Being a window, its text is readable by other programs (WM_GETTEXT), so screen
// readers and end-to-end checks see what the user sees. It keeps a copy of its parent's picture behind
// it, read again after a move, at another density and whenever the system asks it to erase (shown,
// uncovered, resized or redrawn with its parent), so a new text costs only the label's own rectangle.

#include <windows.h>

#include <optional>
#include <string>

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Window.h"

namespace vantor::win32 {

enum class TAlignment { taLeftJustify, taRightJustify };

struct LabelOptions {
    int left = 0, top = 0, width = 0, height = 0;  // design units: pixels at 96 dpi
    std::wstring text;
    HFONT font = nullptr;            // owned by the form
    COLORREF color = RGB(0, 0, 0);
    TAlignment alignment = TAlignment::taLeftJustify;
    bool autoSize = false;           // width and height taken from the text in its font
};

class TLabel final : public TComponent, public Window {
public:
    // Placed at the density of the parent's monitor.
    TLabel(TComponent* owner, HWND parent, const LabelOptions& options);

    std::wstring Caption() const;
    // The same text again changes nothing and paints nothing.
    void SetCaption(const std::wstring& text);
    // Lays the label out again at another density, in the form's font made for it.
    void SetDpi(UINT dpi, HFONT font);

    // Without handlers a press or double-click does nothing; a right click still reaches the parent's
    // context menu.
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();
    void Place(UINT dpi);
    // Makes the off-screen bitmaps for the current size and reads the parent's picture into the copy.
    bool PrepareBitmaps(HDC reference, const RECT& client);
    void DropBitmaps();

    LabelOptions design_;
    HFONT font_;
    // The parent's picture behind the label, and the bitmap the text is drawn on before the one transfer.
    std::optional<MemoryBitmap> background_;
    std::optional<MemoryBitmap> buffer_;
    std::optional<SelectGuard> bufferFont_;  // selected out before the buffer goes
    bool backgroundStale_ = true;
};

}  // namespace vantor::win32
