#include "components/Taskbar/Taskbar.h"

#include <utility>

namespace vantor {
namespace {

bool IsButtonAction(TrayMouseAction action) {
    return action != TrayMouseAction::kMove && action != TrayMouseAction::kEnter && action != TrayMouseAction::kExit;
}

TShiftState ShiftOf(TMouseButton button) {
    switch (button) {
    case TMouseButton::mbLeft: return ssLeft;
    case TMouseButton::mbRight: return ssRight;
    case TMouseButton::mbMiddle: return ssMiddle;
    }
    return 0;
}

}  // namespace

TIconAnimation::TIconAnimation(TTrayIcon& icon, Synchronizer& gui) : TThread(gui), icon_(icon) {}

TIconAnimation::~TIconAnimation() { Stop(); }

void TIconAnimation::Execute() {
    if ((icon_.Interval() == 0 || !icon_.Visible()) && !SleepUntilWoken()) return;
    if (!icon_.Visible()) return;
    Synchronize([this] { icon_.AnimateStep(); });
    SleepFor(std::chrono::milliseconds(icon_.Interval()));
}

TTrayIcon::TTrayIcon(TComponent* owner, TaskbarHost& host, TrayShell& shell)
    : TComponent(owner), host_(host), trayIcon_(std::make_unique<TTaskTrayIcon>(shell)) {
    trayIcon_->OnMessage = [this](TMessage& message) { TrayMessage(message); };
    trayIcon_->Style()->OnMouseEvent = [this](const TrayMouseEvent& event) { MouseEvent(event); };
    previousMinimize_ = std::exchange(host_.MinimizeHandler(), [this] { AppMinimize(); });
    previousRestore_ = std::exchange(host_.RestoreHandler(), [this] { AppRestore(); });
    trayIcon_->SetTip("TipHelp");
}

TTrayIcon::~TTrayIcon() {
    HideIcon();
    host_.MinimizeHandler() = std::move(previousMinimize_);
    host_.RestoreHandler() = std::move(previousRestore_);
    animation_.reset();  // stops the thread, serving its hand-offs meanwhile
    resourceIcon_.reset();
    // Messages that reach the hidden window while it is destroyed no longer find this component.
    trayIcon_->OnMessage = nullptr;
    trayIcon_->Style()->OnMouseEvent = nullptr;
    trayIcon_.reset();  // deletes the icon and destroys the hidden window
    icon_.reset();
}

IconRef TTrayIcon::Icon() const noexcept { return icon_ ? icon_->Handle() : nullptr; }

void TTrayIcon::SetIcon(IconRef icon) {
    // The copy replaces (and frees) the previous one: an icon set every tick must not pile up.
    icon_ = icon ? host_.CopyIcon(icon) : nullptr;
    IconChanged();
}

void TTrayIcon::IconChanged() {
    if (!Loading()) (void)UpdateIcon();
}

void TTrayIcon::SetTipHelp(std::string_view text) {
    trayIcon_->SetTip(text);
    if (!Loading()) (void)UpdateIcon();
}

void TTrayIcon::SetMinimized(bool value) {
    if (value == minimized_) return;
    minimized_ = value;
    if (Loading()) return;
    if (ShouldShow())
        (void)UpdateIcon();
    else
        HideIcon();
}

void TTrayIcon::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    if (Loading()) return;
    if (ShouldShow())
        (void)ShowIcon();
    else
        HideIcon();
}

std::int32_t TTrayIcon::ResourceIconID() const {
    if (resourceIconId_ >= static_cast<std::int32_t>(resourceIconList_.size())) resourceIconId_ = 0;
    return resourceIconId_;
}

void TTrayIcon::SetResourceIconID(std::int32_t value) {
    if (value == resourceIconId_ && value != 0) return;
    icon_.reset();  // the resource icon takes over
    const auto count = static_cast<std::int32_t>(resourceIconList_.size());
    if (Loading())
        resourceIconId_ = value;
    else if (value >= count)
        resourceIconId_ = count - 1;
    else if (value < 0)
        resourceIconId_ = -1;
    else
        resourceIconId_ = value;
    if (!Loading() && ShouldShow()) (void)UpdateIcon();
}

void TTrayIcon::SetResourceIconList(const std::vector<std::string>& names) {
    if (resourceIconList_.empty() || resourceIconId_ < 0) {
        resourceIconList_ = names;
        if (!Loading() && ShouldShow()) (void)UpdateIcon();
        return;
    }
    const std::string shown = resourceIconList_[static_cast<std::size_t>(ResourceIconID())];
    resourceIconList_ = names;
    resourceIconId_ = ResourceIconID();
    const auto index = static_cast<std::size_t>(resourceIconId_);
    const std::string now = resourceIconId_ >= 0 && index < resourceIconList_.size() ? resourceIconList_[index] : "";
    if (now != shown && !Loading() && ShouldShow()) (void)UpdateIcon();
}

void TTrayIcon::SetInterval(std::uint32_t value) {
    if (value == interval_) return;
    interval_ = value > 0 && value < 50 ? 50 : value;
    UpdateAnimation();
}

bool TTrayIcon::ShouldShow() { return visible_ && (!minimized_ || host_.ApplicationIconic()); }

IconRef TTrayIcon::CurrentIconHandle() {
    if (icon_) return icon_->Handle();
    const std::int32_t index = ResourceIconID();
    if (!resourceIconList_.empty() && index >= 0 && index < static_cast<std::int32_t>(resourceIconList_.size())) {
        resourceIcon_ = host_.LoadResourceIcon(resourceIconList_[static_cast<std::size_t>(index)]);
        return resourceIcon_ ? resourceIcon_->Handle() : nullptr;
    }
    return host_.ApplicationIcon();
}

void TTrayIcon::Loaded() {
    if (ShouldShow()) (void)ShowIcon();
}

bool TTrayIcon::ShowIcon() {
    trayIcon_->SetIcon(CurrentIconHandle());
    const bool added = trayIcon_->AddIcon();
    if (added) UpdateAnimation();
    return added;
}

void TTrayIcon::HideIcon() {
    PauseAnimation();
    (void)trayIcon_->DeleteIcon();
}

bool TTrayIcon::UpdateIcon() {
    trayIcon_->SetIcon(CurrentIconHandle());
    return ShouldShow() && trayIcon_->ModifyIcon();
}

void TTrayIcon::UpdateAnimation() {
    if (visible_ && interval_ > 0) {
        if (!animation_) animation_ = std::make_unique<TIconAnimation>(*this, host_.GuiThread());
        animation_->Wake();
    } else {
        PauseAnimation();
    }
}

void TTrayIcon::PauseAnimation() {
    if (animation_) animation_->Pause();
}

void TTrayIcon::AnimateStep() {
    if (OnIconAnimation) {
        OnIconAnimation(*this);
        (void)UpdateIcon();
        return;
    }
    std::int32_t next = ResourceIconID() + 1;
    if (next >= static_cast<std::int32_t>(resourceIconList_.size())) next = 0;
    SetResourceIconID(next);
}

void TTrayIcon::AppMinimize() {
    if (previousMinimize_) previousMinimize_();
    if (visible_ && minimized_) (void)ShowIcon();
    // Hiding the application window removes its taskbar button.
    if (visible_ && hideOnTaskBar_) host_.HideWindow(host_.ApplicationWindow());
}

void TTrayIcon::AppRestore() {
    if (previousRestore_) previousRestore_();
    if (!minimized_) return;
    HideIcon();
    if (!Owner()) return;
    if (const WindowHandle window = host_.ComponentWindow(*Owner())) trayIcon_->Shell().SetForegroundWindow(window);
}

void TTrayIcon::Notification(TComponent& component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (lButtonPopupMenu_ && &component == static_cast<TComponent*>(lButtonPopupMenu_)) lButtonPopupMenu_ = nullptr;
    if (rButtonPopupMenu_ && &component == static_cast<TComponent*>(rButtonPopupMenu_)) rButtonPopupMenu_ = nullptr;
}

void TTrayIcon::Popup(TCustomPopupMenu& menu, TPoint at) {
    // Without the foreground the menu would not close when the user clicks elsewhere.
    trayIcon_->Shell().SetForegroundWindow(host_.ApplicationWindow());
    host_.ProcessMessages();
    menu.Popup(at.X, at.Y);
}

void TTrayIcon::TrayMessage(TMessage& message) {
    if (message.Msg == wm::kQueryEndSession) message.Result = 1;
}

void TTrayIcon::MouseEvent(const TrayMouseEvent& event) {
    // The tray's hidden window is no part of a modal run: a menu or a window opened from here would escape it.
    if (IsButtonAction(event.action) && host_.BringModalRunToFront()) return;
    const TPoint at = trayIcon_->Shell().CursorPos();
    const TMouseButton button = event.button;
    const auto notify = [&](const TNotifyEvent& handler) {
        if (handler) handler(*this);
    };
    switch (event.action) {
    case TrayMouseAction::kMove:
        if (OnMouseMove) OnMouseMove(*this, 0, at.X, at.Y);
        break;
    case TrayMouseAction::kEnter: notify(OnMouseEnter); break;
    case TrayMouseAction::kExit: notify(OnMouseExit); break;
    case TrayMouseAction::kPress: {
        TCustomPopupMenu* const menu = button == TMouseButton::mbLeft    ? lButtonPopupMenu_
                                       : button == TMouseButton::mbRight ? rButtonPopupMenu_
                                                                         : nullptr;
        if (menu && autoPopup_)
            Popup(*menu, at);
        else if (OnMouseDown)
            OnMouseDown(*this, button, ShiftOf(button), at.X, at.Y);
        break;
    }
    case TrayMouseAction::kRelease:
        if (OnMouseUp) OnMouseUp(*this, button, ShiftOf(button), at.X, at.Y);
        break;
    case TrayMouseAction::kDoubleClick:
        if (button == TMouseButton::mbLeft) notify(OnDblClick);
        if (button == TMouseButton::mbRight) notify(OnRDblClick);
        break;
    case TrayMouseAction::kClick:
        if (OnMouseClick) OnMouseClick(*this, button, 0, at.X, at.Y);
        break;
    }
}

}  // namespace vantor
