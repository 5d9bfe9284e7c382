#include "components/TrShlApi/MouseLeave.h"

namespace vantor {

void GrowRect(TRect& rect, TPoint point) {
    if (rect.Left == 0 && rect.Top == 0 && rect.Right == 0 && rect.Bottom == 0) {
        rect = {point.X, point.Y, point.X, point.Y};
        return;
    }
    if (point.X < rect.Left)
        rect.Left = point.X;
    else if (point.X > rect.Right)
        rect.Right = point.X;
    if (point.Y < rect.Top)
        rect.Top = point.Y;
    else if (point.Y > rect.Bottom)
        rect.Bottom = point.Y;
}

bool PointInRect(const TRect& rect, TPoint point) {
    return rect.Left <= point.X && point.X <= rect.Right && rect.Top <= point.Y && point.Y <= rect.Bottom;
}

void TMouseLeaveDetector::Moved(WindowHandle window) {
    GrowRect(box_, shell_.CursorPos());
    if (!Checking() && window && shell_.SetTimer(window, kLeaveTimerId, kLeaveCheckMilliseconds))
        timerWindow_ = window;
}

bool TMouseLeaveDetector::Left() {
    if (!Checking() || PointInRect(box_, shell_.CursorPos())) return false;
    Stop();
    return true;
}

void TMouseLeaveDetector::Stop() {
    if (timerWindow_) shell_.KillTimer(timerWindow_, kLeaveTimerId);
    timerWindow_ = nullptr;
}

}  // namespace vantor
