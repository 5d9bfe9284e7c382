#include "components/TrShlApi/TrShlApi.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <utility>

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

std::uint32_t ButtonFlag(int button) { return 1u << button; }

}  // namespace

// --- Rectangles --------------------------------------------------------------------------------------

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

// --- Shell version -----------------------------------------------------------------------------------

std::uint32_t ParseFileVersion(std::string_view text) {
    // Reads "major.minor" as two decimal numbers, so "6.0.2900" and "10.0.19041" come out right too.
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    const char* const end = text.data() + text.size();
    const auto [afterMajor, majorError] = std::from_chars(text.data(), end, major);
    if (majorError != std::errc{} || afterMajor == end || *afterMajor != '.') return 0;
    const auto [afterMinor, minorError] = std::from_chars(afterMajor + 1, end, minor);
    if (minorError != std::errc{} || (afterMinor != end && *afterMinor != '.')) return 0;
    if (major > 0xFFFF || minor > 0xFFFF) return 0;
    return (major << 16) | minor;
}

std::string FileVersionKey(std::uint32_t translation) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%04X%04X", static_cast<unsigned>(translation & 0xFFFF),
                  static_cast<unsigned>(translation >> 16));
    return std::string("\\\\StringFileInfo\\\\") + hex + "\\\\FileVersion";
}

std::uint32_t GetShellFileVersion(TrayShell& shell) {
    const std::string path = shell.SystemDirectory() + "\\shell32.dll";
    const auto block = shell.ReadFileVersionInfo(path);
    if (!block) return 0;
    const auto translation = shell.QueryVersionDword(*block, "\\\\VarFileInfo\\\\Translation");
    if (!translation) return 0;
    const auto text = shell.QueryVersionString(*block, FileVersionKey(*translation));
    return text ? ParseFileVersion(*text) : 0;
}

std::uint32_t GetShellVersion(TrayShell& shell) {
    const auto dll = shell.CallDllGetVersion();
    if (dll && dll->exported && dll->succeeded) return ((dll->major & 0xFFFF) << 16) | (dll->minor & 0xFFFF);
    return GetShellFileVersion(shell);
}

// --- Registry and routing ----------------------------------------------------------------------------

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

// --- The icon ----------------------------------------------------------------------------------------

TTaskTrayIcon::TTaskTrayIcon(TrayShell& shell) : shell_(shell) {
    RegisterTrayIcon(*this);
    style_ = std::make_unique<TToolTipStyle>(shell_);
    shellVersion_ = GetShellVersion(shell_);
}

TTaskTrayIcon::~TTaskTrayIcon() {
    // The style goes first: it ends the leave detector and gives the taskbar tooltip its colours back.
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
    iconData_.uCallbackMessage = WM_TRAYNOTIFY;
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

// --- Tooltip style -----------------------------------------------------------------------------------

TMouseEventMaker::TMouseEventMaker(TCustomToolTipStyle& style, Synchronizer& gui) : TThread(gui), style_(style) {}

TMouseEventMaker::~TMouseEventMaker() { Stop(); }

void TMouseEventMaker::Execute() {
    if (!(style_.MouseState() & TCustomToolTipStyle::msMouseInside) && !SleepUntilWoken()) return;
    if (!SleepFor(std::chrono::milliseconds(100))) return;
    Synchronize([this] { style_.CheckMouseLeave(); });
}

TCustomToolTipStyle::TCustomToolTipStyle(TrayShell& shell) : shell_(shell) { toolTipHandle_ = FindTrayToolTip(); }

TCustomToolTipStyle::~TCustomToolTipStyle() {
    if (mouseEventMaker_) {
        mouseEventMaker_->Stop();
        mouseEventMaker_.reset();
    }
    RestoreColors();
}

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
    if (message.Msg == wm::kTimer && message.WParam == kClickTimerId) {
        shell_.KillTimer(ownerHandle_, kClickTimerId);
        if (clickPending_) FireClick(PendingButton());
        return;
    }
    if (message.Msg != WM_TRAYNOTIFY) return;
    switch (static_cast<std::uint32_t>(message.LParam)) {
    case wm::kMouseMove: TrackMouseMove(); break;
    case wm::kLButtonDown: ButtonDown(message.WParam, 0); break;
    case wm::kRButtonDown: ButtonDown(message.WParam, 1); break;
    case wm::kMButtonDown: ButtonDown(message.WParam, 2); break;
    case wm::kLButtonUp: ButtonUp(0); break;
    case wm::kRButtonUp: ButtonUp(1); break;
    case wm::kMButtonUp: ButtonUp(2); break;
    case wm::kLButtonDblClk: DoubleClick(0); break;
    case wm::kRButtonDblClk: DoubleClick(1); break;
    case wm::kMButtonDblClk: DoubleClick(2); break;
    default: break;
    }
}

void TCustomToolTipStyle::ButtonDown(std::uintptr_t wParam, int button) {
    // The presses that DoubleClick posts carry -1 and are not clicks of their own.
    if (static_cast<std::intptr_t>(wParam) >= 0) mouseState_ |= ButtonFlag(button);
}

void TCustomToolTipStyle::ButtonUp(int button) {
    if (checkSingleDoubleClick_) {
        // A running timer serves every release until it fires.
        if (!clickPending_ && shell_.SetTimer(ownerHandle_, kClickTimerId, shell_.DoubleClickTime()))
            clickPending_ = true;
        return;
    }
    FireClick(button);
    mouseState_ &= ~ButtonFlag(button);
}

void TCustomToolTipStyle::FireClick(int button) {
    if ((mouseState_ & ButtonFlag(button)) && ownerHandle_)
        Notify(static_cast<std::uintptr_t>(button), TRAYN_MOUSECLICK);
    clickPending_ = false;
    mouseState_ &= ~ButtonFlag(button);
}

int TCustomToolTipStyle::PendingButton() const noexcept {
    if (mouseState_ & msLeftDown) return 0;
    if (mouseState_ & msRightDown) return 1;
    return 2;
}

void TCustomToolTipStyle::DoubleClick(int button) {
    static constexpr std::uint32_t kPress[] = {wm::kLButtonDown, wm::kRButtonDown, wm::kMButtonDown};
    clickPending_ = false;
    mouseState_ &= ~ButtonFlag(button);
    shell_.PostMessage(ownerHandle_, WM_TRAYNOTIFY, static_cast<std::uintptr_t>(-1),
                       static_cast<std::intptr_t>(kPress[button]));
}

void TCustomToolTipStyle::TrackMouseMove() {
    GrowRect(mouseRect_, shell_.CursorPos());
    if (!(mouseState_ & msMouseInside)) MouseEnter();
}

void TCustomToolTipStyle::MouseEnter() {
    mouseState_ |= msMouseInside;
    if (!useDefault_) ApplyColors();
    if (!mouseEventMaker_) mouseEventMaker_ = std::make_unique<TMouseEventMaker>(*this, shell_.GuiThread());
    mouseEventMaker_->Wake();
    if (ownerHandle_) Notify(0, TRAYN_MOUSEENTER);
}

void TCustomToolTipStyle::CheckMouseLeave() {
    if ((mouseState_ & msMouseInside) && !PointInRect(mouseRect_, shell_.CursorPos())) MouseExit();
}

void TCustomToolTipStyle::MouseExit() {
    mouseState_ &= ~unsigned{msMouseInside};
    if (!useDefault_) RestoreColors();
    if (ownerHandle_) Notify(0, TRAYN_MOUSEEXIT);
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

void TCustomToolTipStyle::Notify(std::uintptr_t wParam, std::intptr_t code) {
    shell_.SendMessage(ownerHandle_, WM_TRAYNOTIFY, wParam, code);
}

}  // namespace vantor
