#pragma once
// The tray's seam to the system: the window messages and codes the tray reads, the notification record
// the shell takes, and TrayShell, the calls behind the icon. win32/ binds TrayShell to the real calls
// and checks every system value mirrored here against the system's headers; the tests fake it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/Colors.h"
#include "framework/Geometry.h"

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

inline constexpr std::uint32_t kTrayIconId = 1;
// The hidden window's timers, each with an id of its own, since one routing serves them all.
inline constexpr std::uintptr_t kClickTimerId = 7;
inline constexpr std::uintptr_t kAddRetryTimerId = 8;
inline constexpr std::uintptr_t kLeaveTimerId = 9;

namespace wm {
// Every icon's callback message: the shell puts the mouse message in its lParam.
inline constexpr std::uint32_t kTrayNotify = 0x0400 + 200;
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
inline constexpr std::uint32_t kNifInfo = 0x10;
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
};

// The binding to the operating system (defined by the platform layer).
TrayShell& DefaultTrayShell();

}  // namespace vantor
