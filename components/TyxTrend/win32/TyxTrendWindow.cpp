#include "components/TyxTrend/win32/TyxTrendWindow.h"

#include "components/TyxTrend/TrendPainter.h"
#include "components/TyxTrend/win32/GdiCanvas.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Mouse.h"

namespace vantor {

TTyxTrendWindow::TTyxTrendWindow(TComponent* owner, HWND parent, int left, int top, int width, int height)
    : TTyxTrend(owner), design_{left, top, left + width, top + height} {
    const UINT dpi = win32::DpiForWindow(parent);
    SetDpi(static_cast<int>(dpi));
    const TRect bounds = ScaleToDpi(design_, static_cast<int>(dpi));
    StoreBounds(bounds.Left, bounds.Top, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top);
    // No class background: the whole client area is painted from the bitmap.
    RegisterClass(kClassName, CS_DBLCLKS, nullptr);
    CreateHandle({.className = kClassName,
                  .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                  .x = Left(),
                  .y = Top(),
                  .width = Width(),
                  .height = Height(),
                  .parent = parent});
}

void TTyxTrendWindow::SetLayoutDpi(UINT dpi) {
    SetDpi(static_cast<int>(dpi));
    const TRect bounds = ScaleToDpi(design_, static_cast<int>(dpi));
    SetBounds(bounds.Left, bounds.Top, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top);
}

// The window goes while this object is whole, so its last messages still reach HandleMessage.
TTyxTrendWindow::~TTyxTrendWindow() { DestroyHandle(); }

bool TTyxTrendWindow::PaintTo(HDC dc) const {
    if (Width() <= 0 || Height() <= 0) return true;
    win32::GdiCanvas canvas(dc, Width(), Height());
    if (!canvas.Valid()) return false;
    PaintTrend(*this, canvas);
    return canvas.CopyTo(dc, 0, 0);
}

void TTyxTrendWindow::Invalidate() {
    if (Handle()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TTyxTrendWindow::ValueAdded(bool pictureChanged) {
    // A shift of equal values paints the same pixels again.
    if (pictureChanged) RequestRepaint();
}

void TTyxTrendWindow::BoundsChanged() {
    if (Handle()) ::MoveWindow(Handle(), Left(), Top(), Width(), Height(), TRUE);
}

LRESULT TTyxTrendWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (win32::DeliverMouseDown(*this, message, wParam, lParam, OnMouseDown, OnDblClick)) return 0;
    switch (message) {
    case WM_ERASEBKGND:
        // Painting covers every pixel; erasing first would only flicker.
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = ::BeginPaint(Handle(), &paint);
        if (dc) {
            // A refused bitmap leaves the old picture; the next repaint tries again.
            (void)PaintTo(dc);
            ::EndPaint(Handle(), &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        (void)PaintTo(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_WINDOWPOSCHANGED: {
        // Keep the model's bounds true also when the parent moves or sizes the window itself.
        const auto& pos = *reinterpret_cast<const WINDOWPOS*>(lParam);
        StoreBounds((pos.flags & SWP_NOMOVE) ? Left() : pos.x, (pos.flags & SWP_NOMOVE) ? Top() : pos.y,
                    (pos.flags & SWP_NOSIZE) ? Width() : pos.cx, (pos.flags & SWP_NOSIZE) ? Height() : pos.cy);
        break;
    }
    default: break;
    }
    return DefaultHandler(message, wParam, lParam);
}

}  // namespace vantor
