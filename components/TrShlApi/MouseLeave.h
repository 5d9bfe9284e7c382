#pragma once
// The shell tells an icon of the cursor only by the mouse moves over it, never that it has left. While
// the cursor is over the icon, a timer of the icon's hidden window checks every 100 ms whether it is
// still inside the box of the positions seen; the checks stop when it has left.

#include <cstdint>

#include "components/TrShlApi/TrayShell.h"
#include "framework/Geometry.h"

namespace vantor {

// The box spans the cursor positions seen, so unlike other rectangles here its right and bottom edges
// are inside too. GrowRect starts it afresh while all four edges are 0.
void GrowRect(TRect& rect, TPoint point);
bool PointInRect(const TRect& rect, TPoint point);

inline constexpr std::uint32_t kLeaveCheckMilliseconds = 100;

class TMouseLeaveDetector {
public:
    explicit TMouseLeaveDetector(TrayShell& shell) : shell_(shell) {}
    ~TMouseLeaveDetector() { Stop(); }
    TMouseLeaveDetector(const TMouseLeaveDetector&) = delete;
    TMouseLeaveDetector& operator=(const TMouseLeaveDetector&) = delete;

    const TRect& Box() const noexcept { return box_; }
    bool Checking() const noexcept { return timerWindow_ != nullptr; }
    // A move over the icon: the cursor's place joins the box, and the checks run on the timer of
    // `window` unless they already do. A timer that cannot be set is tried again at the next move.
    void Moved(WindowHandle window);
    // One check, at the timer's tick: true, and the checks stop, when the cursor is outside the box.
    [[nodiscard]] bool Left();
    void Stop();

private:
    TrayShell& shell_;
    TRect box_;
    WindowHandle timerWindow_ = nullptr;  // while the checks run
};

}  // namespace vantor
