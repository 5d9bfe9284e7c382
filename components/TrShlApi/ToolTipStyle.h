#pragma once
// What the cursor does on an icon, and the taskbar tooltip's colours while it is there. TToolTipStyle
// sees every message of the icon's hidden window first. Its one switch turns the shell's mouse messages
// into the icon's mouse events: it holds a single click back for the double-click time, so that a click
// is reported only when no double click follows, and it tells when the cursor enters and leaves.

#include <cstdint>
#include <functional>

#include "components/TrShlApi/MouseLeave.h"
#include "components/TrShlApi/TrayShell.h"
#include "framework/Colors.h"
#include "framework/Events.h"
#include "framework/Geometry.h"

namespace vantor {

enum class TrayMouseAction { kMove, kEnter, kExit, kPress, kRelease, kDoubleClick, kClick };

// One mouse event of an icon; the button is that of the button actions (press to click).
struct TrayMouseEvent {
    TrayMouseAction action;
    TMouseButton button = TMouseButton::mbLeft;
};

// Click discrimination, enter and leave, and the taskbar tooltip's colours for one icon.
class TCustomToolTipStyle {
public:
    enum TMouseStateFlag : unsigned {
        msLeftDown = 1u << 0,
        msRightDown = 1u << 1,
        msMiddleDown = 1u << 2,
        msMouseInside = 1u << 3,
    };
    static constexpr TColor kDefaultBackGroundColor = clBlack;
    static constexpr TColor kDefaultTextColor = clWindowText;

    explicit TCustomToolTipStyle(TrayShell& shell);
    virtual ~TCustomToolTipStyle();
    TCustomToolTipStyle(const TCustomToolTipStyle&) = delete;
    TCustomToolTipStyle& operator=(const TCustomToolTipStyle&) = delete;

    WindowHandle OwnerHandle() const noexcept { return ownerHandle_; }
    void SetOwnerHandle(WindowHandle window) noexcept { ownerHandle_ = window; }
    WindowHandle ToolTipHandle() const noexcept { return toolTipHandle_; }
    const TRect& MouseRect() const noexcept { return leaveDetector_.Box(); }
    unsigned MouseState() const noexcept { return mouseState_; }
    bool ClickPending() const noexcept { return clickPending_; }

    bool CheckSingleDoubleClick() const noexcept { return checkSingleDoubleClick_; }
    void SetCheckSingleDoubleClick(bool value) noexcept { checkSingleDoubleClick_ = value; }
    // Setting these only stores: the tooltip changes at the next enter or leave.
    bool UseDefault() const noexcept { return useDefault_; }
    void SetUseDefault(bool value) noexcept { useDefault_ = value; }
    TColor BackGroundColor() const noexcept { return GetColor(1); }
    void SetBackGroundColor(TColor value) noexcept { SetColor(1, value); }
    TColor TextColor() const noexcept { return GetColor(2); }
    void SetTextColor(TColor value) noexcept { SetColor(2, value); }

    // The icon's owner hears each mouse event here, as it happens.
    std::function<void(const TrayMouseEvent&)> OnMouseEvent;

    // Every routed message of the hidden window passes here first; Result is never set.
    void HandleMessage(const TMessage& message);
    // Copies the colours and UseDefault; a null source throws std::invalid_argument.
    void Assign(const TCustomToolTipStyle* source);

    // The taskbar's tooltip window: one of the shell's process without TTS_NOPREFIX; null when none.
    WindowHandle FindTrayToolTip();

private:
    TColor GetColor(int index) const noexcept;
    void SetColor(int index, TColor value) noexcept;
    void Move();
    void Press(TMouseButton button, std::uintptr_t wParam);
    void Release(TMouseButton button);
    void DoubleClick(TMouseButton button);
    void FireClick(TMouseButton button);
    TMouseButton PendingButton() const noexcept;
    void MouseEnter();
    void MouseExit();
    void ApplyColors();
    void RestoreColors();
    void Notify(TrayMouseAction action, TMouseButton button = TMouseButton::mbLeft);

    TrayShell& shell_;
    WindowHandle ownerHandle_ = nullptr;
    WindowHandle toolTipHandle_ = nullptr;
    TMouseLeaveDetector leaveDetector_;
    unsigned mouseState_ = 0;
    bool clickPending_ = false;
    bool checkSingleDoubleClick_ = true;
    bool useDefault_ = true;
    TColor textColor_ = kDefaultTextColor;
    TColor backGroundColor_ = kDefaultBackGroundColor;
};

class TToolTipStyle final : public TCustomToolTipStyle {
public:
    using TCustomToolTipStyle::TCustomToolTipStyle;
};

}  // namespace vantor
