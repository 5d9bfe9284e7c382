#pragma once
// The shell-facing side of a notification-area icon.
//
// TTaskTrayIcon stands for one icon: it keeps the notification record, owns a hidden window that gets
// the shell's callback messages, and adds, modifies and deletes the icon. TTrayIconWinProcList keeps
// every live icon, owns the window class "TaskTrayHandle" that their hidden windows share, and routes
// each message of that class to the icon whose window got it; after the shell restarts ("TaskbarCreated")
// every icon that was shown adds itself again. TToolTipStyle sees each routed message first: it tells
// single clicks from double clicks, notices the cursor entering and leaving the icon, and can recolour
// the taskbar's tooltip while the cursor is over the icon.
//
// Everything here is plain logic over TrayShell; win32/ binds it to the real calls. All of it runs on
// the GUI thread, except the leave detector's sleeping.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Colors.h"
#include "framework/Geometry.h"
#include "framework/Synchronizer.h"
#include "framework/Thread.h"

namespace vantor {

// Window and icon handles as the core passes them around; HWND and HICON convert to these implicitly.
using WindowHandle = void*;
using IconRef = void*;

// A window message as the icon and its owner handle it; the handler that answers sets Result.
struct TMessage {
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

// The tray message protocol.
inline constexpr std::uint32_t WM_TRAYNOTIFY = 0x0400 + 200;  // every icon's callback message
inline constexpr std::intptr_t TRAYN_MOUSEENTER = 1234;       // lParam codes the icon sends itself
inline constexpr std::intptr_t TRAYN_MOUSEEXIT = 1235;
inline constexpr std::intptr_t TRAYN_MOUSECLICK = 1236;       // wParam: 0 left, 1 right, 2 middle
inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::uintptr_t kClickTimerId = 7;
inline constexpr std::uintptr_t kAddRetryTimerId = 8;

// The window messages this layer reads; these and the other system values below are checked against
// the system's headers where win32/ binds them.
namespace wm {
inline constexpr std::uint32_t kQueryEndSession = 0x0011;
inline constexpr std::uint32_t kTimer = 0x0113;
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLButtonDown = 0x0201;
inline constexpr std::uint32_t kLButtonUp = 0x0202;
inline constexpr std::uint32_t kLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kRButtonDown = 0x0204;
inline constexpr std::uint32_t kRButtonUp = 0x0205;
inline constexpr std::uint32_t kRButtonDblClk = 0x0206;
inline constexpr std::uint32_t kMButtonDown = 0x0207;
inline constexpr std::uint32_t kMButtonUp = 0x0208;
inline constexpr std::uint32_t kMButtonDblClk = 0x0209;
inline constexpr std::uint32_t kTtmSetTipBkColor = 0x0400 + 19;
inline constexpr std::uint32_t kTtmSetTipTextColor = 0x0400 + 20;
inline constexpr std::uint32_t kTtmPop = 0x0400 + 28;
}  // namespace wm

enum class NotifyAction : std::uint32_t { kAdd = 0, kModify = 1, kDelete = 2 };

// Which layout of the notification record the shell is given (its cbSize).
enum class NotifyIconLayout { kUnset, kVersion1, kVersion2 };

inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::uint32_t kNisSharedIcon = 2;

// The notification record, field for field; texts are UTF-16 and NUL-terminated.
struct NotifyIconRecord {
    NotifyIconLayout layout = NotifyIconLayout::kUnset;
    WindowHandle hWnd = nullptr;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconRef hIcon = nullptr;
    std::array<char16_t, 128> szTip{};
    std::uint32_t dwState = 0;
    std::uint32_t dwStateMask = 0;
    std::array<char16_t, 256> szInfo{};
    std::uint32_t uTimeout = 0;
    std::array<char16_t, 64> szInfoTitle{};
    std::uint32_t dwInfoFlags = 0;
};

enum class TBalloonIconType { bitNone, bitInfo, bitWarning, bitError };

struct DllVersion {
    bool exported = false;  // shell32 has DllGetVersion
    bool succeeded = false;  // and it answered with a success HRESULT
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

inline constexpr std::uint32_t kErrorTimeout = 1460;
inline constexpr std::uint32_t kTtsNoPrefix = 0x02;
inline constexpr int kColorInfoText = 23;
inline constexpr int kColorInfoBk = 24;

// The system calls behind the tray icon. Texts are UTF-8.
class TrayShell {
public:
    virtual ~TrayShell() = default;

    // The window class of the hidden windows and the shell-restart message.
    virtual void RegisterTrayClass() = 0;
    virtual void UnregisterTrayClass() = 0;
    virtual std::uint32_t RegisterTaskbarCreatedMessage() = 0;
    // A hidden top-level window of the tray class (null on failure), and its end.
    virtual WindowHandle CreateTrayWindow() = 0;
    virtual void DestroyTrayWindow(WindowHandle window) = 0;
    virtual std::intptr_t DefaultProcessing(WindowHandle window, const TMessage& message) = 0;
    virtual bool SetForegroundWindow(WindowHandle window) = 0;

    // The notification area.
    [[nodiscard]] virtual bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) = 0;
    virtual std::uint32_t LastError() = 0;

    // The shell library's version: DllGetVersion (nullopt when the library cannot be loaded), and the
    // version resource of its file.
    virtual std::optional<DllVersion> CallDllGetVersion() = 0;
    virtual std::string SystemDirectory() = 0;
    virtual std::optional<std::vector<std::byte>> ReadFileVersionInfo(const std::string& path) = 0;
    // The first DWORD of a sub-block, and a string value.
    virtual std::optional<std::uint32_t> QueryVersionDword(std::span<const std::byte> block,
                                                           const std::string& subBlock) = 0;
    virtual std::optional<std::string> QueryVersionString(std::span<const std::byte> block,
                                                          const std::string& subBlock) = 0;

    // Cursor, timers and messages of the hidden window.
    virtual TPoint CursorPos() = 0;
    [[nodiscard]] virtual bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) = 0;
    virtual void KillTimer(WindowHandle window, std::uintptr_t id) = 0;
    virtual std::uint32_t DoubleClickTime() = 0;
    virtual std::intptr_t SendMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                      std::intptr_t lParam) = 0;
    virtual bool PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;

    // Top-level windows, for finding the taskbar's tooltip.
    virtual WindowHandle FindTopLevelWindow(const std::string& className, WindowHandle after) = 0;
    virtual std::uint32_t WindowProcessId(WindowHandle window) = 0;
    virtual std::uint32_t WindowStyle(WindowHandle window) = 0;
    virtual TColor SysColor(int index) = 0;

    // The GUI thread, for the workers' hand-offs.
    virtual Synchronizer& GuiThread() = 0;
};

// The binding to the operating system (defined by the platform layer).
TrayShell& DefaultTrayShell();

// Rectangle helpers of the enter/leave tracking. Its box spans the cursor positions seen, so unlike other
// rectangles here its right and bottom edges are inside too. GrowRect starts it afresh while all four
// edges are 0.
void GrowRect(TRect& rect, TPoint point);
bool PointInRect(const TRect& rect, TPoint point);

// A version value: major in the high 16 bits, minor in the low 16; 0 when unknown.
std::uint32_t GetShellVersion(TrayShell& shell);
std::uint32_t GetShellFileVersion(TrayShell& shell);
// "5.00.2920.0000" -> 0x00050000; 0 when the text does not start with "major.minor".
std::uint32_t ParseFileVersion(std::string_view text);
// The version-resource key of the file version for a translation entry (language, code page).
std::string FileVersionKey(std::uint32_t translation);

class TCustomToolTipStyle;

// The leave detector: while the cursor is over the icon it checks every 100 ms, on the GUI thread,
// whether it has left; otherwise it sleeps until the next enter.
class TMouseEventMaker final : public TThread {
public:
    TMouseEventMaker(TCustomToolTipStyle& style, Synchronizer& gui);
    ~TMouseEventMaker() override;

private:
    void Execute() override;
    TCustomToolTipStyle& style_;
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
    const TRect& MouseRect() const noexcept { return mouseRect_; }
    unsigned MouseState() const noexcept { return mouseState_; }
    bool ClickPending() const noexcept { return clickPending_; }
    TMouseEventMaker* MouseEventMaker() const noexcept { return mouseEventMaker_.get(); }

    bool CheckSingleDoubleClick() const noexcept { return checkSingleDoubleClick_; }
    void SetCheckSingleDoubleClick(bool value) noexcept { checkSingleDoubleClick_ = value; }
    // Setting these only stores: the tooltip changes at the next enter or leave.
    bool UseDefault() const noexcept { return useDefault_; }
    void SetUseDefault(bool value) noexcept { useDefault_ = value; }
    TColor BackGroundColor() const noexcept { return GetColor(1); }
    void SetBackGroundColor(TColor value) noexcept { SetColor(1, value); }
    TColor TextColor() const noexcept { return GetColor(2); }
    void SetTextColor(TColor value) noexcept { SetColor(2, value); }

    // Every routed message of the hidden window passes here first; Result is never set.
    void HandleMessage(const TMessage& message);
    // Copies the colours and UseDefault; a null source throws std::invalid_argument.
    void Assign(const TCustomToolTipStyle* source);
    // The leave check the detector runs on the GUI thread.
    void CheckMouseLeave();

    // The taskbar's tooltip window: one of the shell's process without TTS_NOPREFIX; null when none.
    WindowHandle FindTrayToolTip();

private:
    TColor GetColor(int index) const noexcept;
    void SetColor(int index, TColor value) noexcept;
    void TrackMouseMove();
    void MouseEnter();
    void MouseExit();
    void ButtonDown(std::uintptr_t wParam, int button);
    void ButtonUp(int button);
    void DoubleClick(int button);
    void FireClick(int button);
    int PendingButton() const noexcept;
    void ApplyColors();
    void RestoreColors();
    void Notify(std::uintptr_t wParam, std::intptr_t code);

    TrayShell& shell_;
    WindowHandle ownerHandle_ = nullptr;
    WindowHandle toolTipHandle_ = nullptr;
    TRect mouseRect_;
    std::unique_ptr<TMouseEventMaker> mouseEventMaker_;
    std::atomic<unsigned> mouseState_{0};  // read by the leave detector
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
    bool AddRetryPending() const noexcept { return retry_.has_value(); }

    // The owner's handler of every routed message; it answers by setting Result.
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
