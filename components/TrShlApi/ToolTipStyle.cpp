#include "components/TrShlApi/ToolTipStyle.h"

#include <stdexcept>

namespace vantor {
namespace {

// The presses a double click posts carry this wParam and are not clicks of their own; the shell's carry
// the icon's id.
constexpr std::uintptr_t kPressAfterDoubleClick = static_cast<std::uintptr_t>(-1);

unsigned ButtonFlag(TMouseButton button) { return 1u << static_cast<unsigned>(button); }

std::uint32_t PressMessage(TMouseButton button) {
    switch (button) {
    case TMouseButton::mbLeft: return wm::kLButtonDown;
    case TMouseButton::mbRight: return wm::kRButtonDown;
    case TMouseButton::mbMiddle: return wm::kMButtonDown;
    }
    return wm::kLButtonDown;
}

}  // namespace

TCustomToolTipStyle::TCustomToolTipStyle(TrayShell& shell) : shell_(shell), leaveDetector_(shell) {
    toolTipHandle_ = FindTrayToolTip();
}

TCustomToolTipStyle::~TCustomToolTipStyle() { RestoreColors(); }

TColor TCustomToolTipStyle::GetColor(int index) const noexcept {
    switch (index) {
    case 1: return backGroundColor_;
    case 2: return textColor_;
    default: return 0;
    }
}

void TCustomToolTipStyle::SetColor(int index, TColor value) noexcept {
    if (index == 1) backGroundColor_ = value;
    if (index == 2) textColor_ = value;
}

void TCustomToolTipStyle::Assign(const TCustomToolTipStyle* source) {
    if (!source) throw std::invalid_argument("nil を TToolTipStyle に代入することはできません");
    useDefault_ = source->useDefault_;
    backGroundColor_ = source->backGroundColor_;
    textColor_ = source->textColor_;
}

WindowHandle TCustomToolTipStyle::FindTrayToolTip() {
    const WindowHandle tray = shell_.FindTopLevelWindow("Shell_TrayWnd", nullptr);
    const std::uint32_t shellProcess = shell_.WindowProcessId(tray);
    for (WindowHandle tip = shell_.FindTopLevelWindow("tooltips_class32", nullptr); tip;
         tip = shell_.FindTopLevelWindow("tooltips_class32", tip)) {
        if (shell_.WindowProcessId(tip) == shellProcess && !(shell_.WindowStyle(tip) & kTtsNoPrefix)) return tip;
    }
    return nullptr;
}

void TCustomToolTipStyle::HandleMessage(const TMessage& message) {
    if (message.Msg == wm::kTimer) {
        if (message.WParam == kClickTimerId) {
            shell_.KillTimer(ownerHandle_, kClickTimerId);
            if (clickPending_) FireClick(PendingButton());
        }
        if (message.WParam == kLeaveTimerId && leaveDetector_.Left()) MouseExit();
        return;
    }
    if (message.Msg != wm::kTrayNotify) return;
    using enum TMouseButton;
    switch (static_cast<std::uint32_t>(message.LParam)) {
    case wm::kMouseMove: Move(); break;
    case wm::kLButtonDown: Press(mbLeft, message.WParam); break;
    case wm::kRButtonDown: Press(mbRight, message.WParam); break;
    case wm::kMButtonDown: Press(mbMiddle, message.WParam); break;
    case wm::kLButtonUp: Release(mbLeft); break;
    case wm::kRButtonUp: Release(mbRight); break;
    case wm::kMButtonUp: Release(mbMiddle); break;
    case wm::kLButtonDblClk: DoubleClick(mbLeft); break;
    case wm::kRButtonDblClk: DoubleClick(mbRight); break;
    case wm::kMButtonDblClk: DoubleClick(mbMiddle); break;
    default: break;
    }
}

void TCustomToolTipStyle::Move() {
    leaveDetector_.Moved(ownerHandle_);
    if (!(mouseState_ & msMouseInside)) MouseEnter();
    Notify(TrayMouseAction::kMove);
}

void TCustomToolTipStyle::Press(TMouseButton button, std::uintptr_t wParam) {
    if (wParam != kPressAfterDoubleClick) mouseState_ |= ButtonFlag(button);
    Notify(TrayMouseAction::kPress, button);
}

void TCustomToolTipStyle::Release(TMouseButton button) {
    if (!checkSingleDoubleClick_)
        FireClick(button);
    else if (!clickPending_ && shell_.SetTimer(ownerHandle_, kClickTimerId, shell_.DoubleClickTime()))
        clickPending_ = true;  // a running timer serves every release until it fires
    Notify(TrayMouseAction::kRelease, button);
}

void TCustomToolTipStyle::FireClick(TMouseButton button) {
    if (mouseState_ & ButtonFlag(button)) Notify(TrayMouseAction::kClick, button);
    clickPending_ = false;
    mouseState_ &= ~ButtonFlag(button);
}

TMouseButton TCustomToolTipStyle::PendingButton() const noexcept {
    if (mouseState_ & msLeftDown) return TMouseButton::mbLeft;
    if (mouseState_ & msRightDown) return TMouseButton::mbRight;
    return TMouseButton::mbMiddle;
}

void TCustomToolTipStyle::DoubleClick(TMouseButton button) {
    clickPending_ = false;
    mouseState_ &= ~ButtonFlag(button);
    // Posted, so that the press comes after the messages the shell has already queued.
    shell_.PostMessage(ownerHandle_, wm::kTrayNotify, kPressAfterDoubleClick, PressMessage(button));
    Notify(TrayMouseAction::kDoubleClick, button);
}

void TCustomToolTipStyle::MouseEnter() {
    mouseState_ |= msMouseInside;
    if (!useDefault_) ApplyColors();
    Notify(TrayMouseAction::kEnter);
}

void TCustomToolTipStyle::MouseExit() {
    mouseState_ &= ~unsigned{msMouseInside};
    if (!useDefault_) RestoreColors();
    Notify(TrayMouseAction::kExit);
}

void TCustomToolTipStyle::ApplyColors() {
    if (!toolTipHandle_) return;
    shell_.SendMessage(toolTipHandle_, wm::kTtmSetTipBkColor, backGroundColor_, 0);
    shell_.SendMessage(toolTipHandle_, wm::kTtmSetTipTextColor, textColor_, 0);
}

void TCustomToolTipStyle::RestoreColors() {
    if (!toolTipHandle_) return;
    shell_.SendMessage(toolTipHandle_, wm::kTtmPop, 0, 0);
    shell_.SendMessage(toolTipHandle_, wm::kTtmSetTipBkColor, shell_.SysColor(kColorInfoBk), 0);
    shell_.SendMessage(toolTipHandle_, wm::kTtmSetTipTextColor, shell_.SysColor(kColorInfoText), 0);
}

void TCustomToolTipStyle::Notify(TrayMouseAction action, TMouseButton button) {
    if (OnMouseEvent) OnMouseEvent({action, button});
}

}  // namespace vantor
