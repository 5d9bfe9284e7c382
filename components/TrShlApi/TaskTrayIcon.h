#pragma once
// TTaskTrayIcon stands for one icon: it keeps the notification record, owns a hidden window that gets
// the shell's callback messages, and adds, modifies and deletes the icon. TTrayIconWinProcList keeps
// every live icon, owns the window class "TaskTrayHandle" that their hidden windows share, and routes
// each message of that class to the icon whose window got it; after the shell restarts ("TaskbarCreated")
// every icon that was shown adds itself again.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "components/TrShlApi/ToolTipStyle.h"
#include "components/TrShlApi/TrayShell.h"

namespace vantor {

class TTaskTrayIcon;

// Every live icon, in order of construction, and the window class their hidden windows share. Exists
// exactly while at least one icon does.
class TTrayIconWinProcList {
public:
    explicit TTrayIconWinProcList(TrayShell& shell);
    ~TTrayIconWinProcList();
    TTrayIconWinProcList(const TTrayIconWinProcList&) = delete;
    TTrayIconWinProcList& operator=(const TTrayIconWinProcList&) = delete;

    std::uint32_t TaskbarCreatedMessage() const noexcept { return taskbarCreatedMessage_; }
    const std::vector<TTaskTrayIcon*>& Items() const noexcept { return items_; }
    // Hands the message to the first icon whose hidden window is `window`; false when none has it.
    bool RouteMessage(WindowHandle window, TMessage& message);

private:
    friend void RegisterTrayIcon(TTaskTrayIcon& icon);
    friend void UnregisterTrayIcon(TTaskTrayIcon& icon);
    TrayShell& shell_;
    std::uint32_t taskbarCreatedMessage_ = 0;
    std::vector<TTaskTrayIcon*> items_;
};

// The registry of this process, or null while no icon exists.
TTrayIconWinProcList* TrayIconRegistry() noexcept;
void RegisterTrayIcon(TTaskTrayIcon& icon);
void UnregisterTrayIcon(TTaskTrayIcon& icon);
// The window procedure's routing: false when no icon took the message (default processing then).
bool RouteTrayMessage(WindowHandle window, TMessage& message);

class TTaskTrayIcon {
public:
    explicit TTaskTrayIcon(TrayShell& shell);
    ~TTaskTrayIcon();
    TTaskTrayIcon(const TTaskTrayIcon&) = delete;
    TTaskTrayIcon& operator=(const TTaskTrayIcon&) = delete;

    std::uint32_t ShellVersion() const noexcept { return shellVersion_; }
    bool IsShell5() const noexcept { return shellVersion_ >= 0x00050000; }
    // The hidden window, created on first use.
    WindowHandle GetHandle();
    WindowHandle Handle() const noexcept { return handle_; }
    const NotifyIconRecord& IconData() const noexcept { return iconData_; }
    bool Added() const noexcept { return added_; }
    TToolTipStyle* Style() const noexcept { return style_.get(); }
    TrayShell& Shell() const noexcept { return shell_; }

    bool DoForegroundWindow() const noexcept { return doForegroundWindow_; }
    void SetDoForegroundWindow(bool value) noexcept { doForegroundWindow_ = value; }

    void SetIcon(IconRef icon) noexcept { iconData_.hIcon = icon; }
    // Texts are cut to what the record holds: the tip to 127 characters (63 before shell 5.0, which
    // also shows each CR LF as a space), the balloon text to 255 and its title to 63.
    std::string Tip() const;
    void SetTip(std::string_view text);
    std::string BalloonText() const;
    void SetBalloonText(std::string_view text);
    std::string BalloonTitle() const;
    void SetBalloonTitle(std::string_view text);
    std::int32_t BalloonTimeOut() const noexcept { return static_cast<std::int32_t>(iconData_.uTimeout); }
    void SetBalloonTimeOut(std::int32_t milliseconds) noexcept {
        iconData_.uTimeout = static_cast<std::uint32_t>(milliseconds);
    }
    TBalloonIconType BalloonIcon() const noexcept;
    void SetBalloonIcon(TBalloonIconType icon) noexcept;

    // A shell that answers with a time-out may still have taken the icon: the add is then retried from a
    // timer of the hidden window, one shell call a tick (a modify, then another add) every two seconds,
    // six times at most, so the GUI thread never waits for the shell. Until a retry succeeds the icon is
    // not Added, and adds and modifies only update the record the retry sends.
    [[nodiscard]] bool AddIcon();
    [[nodiscard]] bool ModifyIcon();
    // Also ends a pending retry.
    [[nodiscard]] bool DeleteIcon();
    // Shows the balloon fields as a balloon over the icon, once: false where the icon is not in the
    // notification area yet or the shell is older than 5.0, which has no balloons.
    [[nodiscard]] bool ShowBalloon(std::string_view title, std::string_view text, TBalloonIconType icon);
    bool AddRetryPending() const noexcept { return retry_.has_value(); }

    // The owner's handler of every routed message, after the style has seen it; it answers by setting
    // Result.
    std::function<void(TMessage&)> OnMessage;

    void WndProc(TMessage& message);

private:
    struct AddRetry {
        std::int32_t addsLeft;
        NotifyAction next;
    };
    [[nodiscard]] bool Add();
    void RetryAdd();
    void EndAddRetry();

    TrayShell& shell_;
    std::uint32_t shellVersion_ = 0;
    WindowHandle handle_ = nullptr;
    NotifyIconRecord iconData_;
    bool added_ = false;
    std::optional<AddRetry> retry_;
    std::unique_ptr<TToolTipStyle> style_;
    bool doForegroundWindow_ = false;
};

}  // namespace vantor
