#include "components/TrShlApi/TaskTrayIcon.h"

#include <algorithm>
#include <array>
#include <utility>

#include "components/TrShlApi/ShellVersion.h"
#include "framework/Unicode.h"

namespace vantor {
namespace {

TTrayIconWinProcList* registry = nullptr;

constexpr std::uint32_t kNotifyRecordFlags = kNifMessage | kNifIcon | kNifTip;
constexpr std::int32_t kAddRetries = 6;
constexpr std::uint32_t kAddRetryDelay = 2000;

// Copies at most `limit` UTF-16 units of `text` into `field` and ends it with a NUL; a surrogate pair is
// never cut in half.
template <std::size_t N>
void StoreText(std::array<char16_t, N>& field, std::string_view text, std::size_t limit) {
    const std::u16string wide = Utf8ToUtf16(text);
    std::size_t length = std::min(wide.size(), limit);
    if (length > 0 && length < wide.size() && wide[length - 1] >= 0xD800 && wide[length - 1] <= 0xDBFF) --length;
    field.fill(u'\0');
    std::copy_n(wide.begin(), length, field.begin());
}

template <std::size_t N>
std::string ReadText(const std::array<char16_t, N>& field) {
    const auto end = std::find(field.begin(), field.end(), u'\0');
    return Utf16ToUtf8(std::u16string_view(field.data(), static_cast<std::size_t>(end - field.begin())));
}

}  // namespace

TTrayIconWinProcList::TTrayIconWinProcList(TrayShell& shell) : shell_(shell) {
    shell_.RegisterTrayClass();
    taskbarCreatedMessage_ = shell_.RegisterTaskbarCreatedMessage();
}

TTrayIconWinProcList::~TTrayIconWinProcList() { shell_.UnregisterTrayClass(); }

bool TTrayIconWinProcList::RouteMessage(WindowHandle window, TMessage& message) {
    for (TTaskTrayIcon* icon : items_)
        if (icon->Handle() == window) {
            icon->WndProc(message);
            return true;
        }
    return false;
}

TTrayIconWinProcList* TrayIconRegistry() noexcept { return registry; }

void RegisterTrayIcon(TTaskTrayIcon& icon) {
    if (!registry) registry = new TTrayIconWinProcList(icon.Shell());
    registry->items_.push_back(&icon);
}

void UnregisterTrayIcon(TTaskTrayIcon& icon) {
    if (!registry) return;
    std::erase(registry->items_, &icon);
    if (registry->items_.empty()) delete std::exchange(registry, nullptr);
}

bool RouteTrayMessage(WindowHandle window, TMessage& message) {
    return registry && registry->RouteMessage(window, message);
}

TTaskTrayIcon::TTaskTrayIcon(TrayShell& shell) : shell_(shell) {
    RegisterTrayIcon(*this);
    style_ = std::make_unique<TToolTipStyle>(shell_);
    shellVersion_ = GetShellVersion(shell_);
}

TTaskTrayIcon::~TTaskTrayIcon() {
    // The style goes first: it stops the leave checks and gives the taskbar tooltip its colours back.
    style_.reset();
    (void)DeleteIcon();
    if (handle_) shell_.DestroyTrayWindow(std::exchange(handle_, nullptr));
    UnregisterTrayIcon(*this);
}

WindowHandle TTaskTrayIcon::GetHandle() {
    if (!handle_) {
        handle_ = shell_.CreateTrayWindow();
        if (style_) style_->SetOwnerHandle(handle_);
    }
    return handle_;
}

std::string TTaskTrayIcon::Tip() const { return ReadText(iconData_.szTip); }

void TTaskTrayIcon::SetTip(std::string_view text) {
    if (IsShell5()) {
        StoreText(iconData_.szTip, text, 127);
        return;
    }
    // The old shell shows a single line.
    std::string oneLine;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool lineBreak = text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n';
        oneLine += lineBreak ? ' ' : text[at];
        if (lineBreak) ++at;
    }
    StoreText(iconData_.szTip, oneLine, 63);
}

std::string TTaskTrayIcon::BalloonText() const { return ReadText(iconData_.szInfo); }
void TTaskTrayIcon::SetBalloonText(std::string_view text) { StoreText(iconData_.szInfo, text, 255); }
std::string TTaskTrayIcon::BalloonTitle() const { return ReadText(iconData_.szInfoTitle); }
void TTaskTrayIcon::SetBalloonTitle(std::string_view text) { StoreText(iconData_.szInfoTitle, text, 63); }

TBalloonIconType TTaskTrayIcon::BalloonIcon() const noexcept {
    const std::uint32_t value = iconData_.dwInfoFlags & 0xFF;
    return value <= 3 ? static_cast<TBalloonIconType>(value) : TBalloonIconType::bitNone;
}

void TTaskTrayIcon::SetBalloonIcon(TBalloonIconType icon) noexcept {
    const auto value = static_cast<std::uint32_t>(icon);
    iconData_.dwInfoFlags = value <= 3 ? value : 0;
}

bool TTaskTrayIcon::AddIcon() {
    if (added_) return true;
    if (IsShell5()) {
        iconData_.layout = NotifyIconLayout::kVersion2;
        iconData_.dwState = kNisSharedIcon;
        iconData_.dwStateMask = 0;  // the shell ignores the state
        iconData_.dwInfoFlags = 0;
    } else {
        iconData_.layout = NotifyIconLayout::kVersion1;
    }
    iconData_.uID = kTrayIconId;
    iconData_.hWnd = GetHandle();
    iconData_.uCallbackMessage = wm::kTrayNotify;
    iconData_.uFlags = kNotifyRecordFlags;
    if (!iconData_.hIcon) return false;

    if (retry_) return false;
    if (Add()) return true;
    // A busy shell answers with a time-out and may still have taken the icon: retry only then.
    if (shell_.LastError() == kErrorTimeout && shell_.SetTimer(handle_, kAddRetryTimerId, kAddRetryDelay))
        retry_ = AddRetry{kAddRetries, NotifyAction::kModify};
    return false;
}

bool TTaskTrayIcon::Add() {
    if (doForegroundWindow_) shell_.SetForegroundWindow(handle_);
    added_ = shell_.NotifyIcon(NotifyAction::kAdd, iconData_);
    return added_;
}

void TTaskTrayIcon::RetryAdd() {
    if (retry_->next == NotifyAction::kModify) {
        // The shell may have taken the icon after all; if not, the next tick adds it again.
        added_ = shell_.NotifyIcon(NotifyAction::kModify, iconData_);
        retry_->next = NotifyAction::kAdd;
    } else if (!Add()) {
        retry_->next = NotifyAction::kModify;
        if (--retry_->addsLeft == 0 || shell_.LastError() != kErrorTimeout) EndAddRetry();
    }
    if (added_) EndAddRetry();
}

void TTaskTrayIcon::EndAddRetry() {
    shell_.KillTimer(handle_, kAddRetryTimerId);
    retry_.reset();
}

bool TTaskTrayIcon::ModifyIcon() {
    if (!added_) return AddIcon();
    if (!iconData_.hIcon) return false;
    if (doForegroundWindow_) shell_.SetForegroundWindow(handle_);
    if (shell_.NotifyIcon(NotifyAction::kModify, iconData_) || shell_.LastError() == kErrorTimeout) return added_;
    // The shell has lost the icon (it restarted, or another program removed it): add it again.
    added_ = false;
    return AddIcon();
}

bool TTaskTrayIcon::ShowBalloon(std::string_view title, std::string_view text, TBalloonIconType icon) {
    if (!added_ || iconData_.layout != NotifyIconLayout::kVersion2) return false;
    SetBalloonTitle(title);
    SetBalloonText(text);
    SetBalloonIcon(icon);
    iconData_.uFlags |= kNifInfo;
    const bool shown = shell_.NotifyIcon(NotifyAction::kModify, iconData_);
    // Later modifies leave the balloon alone.
    iconData_.uFlags &= ~kNifInfo;
    return shown;
}

bool TTaskTrayIcon::DeleteIcon() {
    if (retry_) EndAddRetry();
    if (!added_) return true;
    const bool deleted = shell_.NotifyIcon(NotifyAction::kDelete, iconData_);
    added_ = false;
    return deleted;
}

void TTaskTrayIcon::WndProc(TMessage& message) {
    if (message.Msg == wm::kTimer && message.WParam == kAddRetryTimerId) {
        if (retry_) RetryAdd();
        return;
    }
    if (registry && message.Msg == registry->TaskbarCreatedMessage() && added_) {
        added_ = false;
        (void)AddIcon();
    }
    if (style_) style_->HandleMessage(message);
    if (OnMessage)
        OnMessage(message);
    else
        message.Result = shell_.DefaultProcessing(GetHandle(), message);
}

}  // namespace vantor
