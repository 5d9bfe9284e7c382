#pragma once
// The chart as a child window: it paints itself through an off-screen bitmap, turns repaint requests
// into InvalidateRect, and reports presses and double clicks. Right clicks are left to the default
// processing, so the parent's context menu still opens over the chart.

#include <windows.h>

#include "components/TyxTrend/TyxTrend.h"
#include "framework/Events.h"
#include "framework/Geometry.h"
#include "framework/win32/Window.h"

namespace vantor {

class TTyxTrendWindow final : public TTyxTrend, public win32::Window {
public:
    static constexpr const wchar_t* kClassName = L"TTyxTrend";

    // The bounds are design units, placed at the density of the parent's monitor.
    TTyxTrendWindow(TComponent* owner, HWND parent, int left, int top, int width, int height);
    ~TTyxTrendWindow() override;

    // Takes the bounds it was made with, and draws, at another density.
    void SetLayoutDpi(UINT dpi);

    TNotifyEvent OnDblClick;
    // x and y are in the chart's client coordinates.
    TMouseEvent OnMouseDown;

    // Paints the whole chart onto `dc` at (0, 0) in one block transfer; false when GDI refused.
    [[nodiscard]] bool PaintTo(HDC dc) const;

protected:
    void Invalidate() override;
    void BoundsChanged() override;
    void ValueAdded(bool pictureChanged) override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TRect design_;
};

}  // namespace vantor
