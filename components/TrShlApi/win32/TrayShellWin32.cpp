#include "components/TrShlApi/win32/TrayShellWin32.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "framework/win32/Application.h"
#include "framework/win32/Convert.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"

namespace vantor {

TrayShell& DefaultTrayShell() {
    static win32::TrayShellWin32 shell;
    return shell;
}

namespace win32 {
namespace {

static_assert(wm::kTrayNotify == WM_USER + 200);
static_assert(wm::kQueryEndSession == WM_QUERYENDSESSION);
static_assert(wm::kTimer == WM_TIMER);
static_assert(wm::kMouseMove == WM_MOUSEMOVE);
static_assert(wm::kLButtonDown == WM_LBUTTONDOWN);
static_assert(wm::kLButtonUp == WM_LBUTTONUP);
static_assert(wm::kLButtonDblClk == WM_LBUTTONDBLCLK);
static_assert(wm::kRButtonDown == WM_RBUTTONDOWN);
static_assert(wm::kRButtonUp == WM_RBUTTONUP);
static_assert(wm::kRButtonDblClk == WM_RBUTTONDBLCLK);
static_assert(wm::kMButtonDown == WM_MBUTTONDOWN);
static_assert(wm::kMButtonUp == WM_MBUTTONUP);
static_assert(wm::kMButtonDblClk == WM_MBUTTONDBLCLK);
static_assert(wm::kTtmSetTipBkColor == TTM_SETTIPBKCOLOR);
static_assert(wm::kTtmSetTipTextColor == TTM_SETTIPTEXTCOLOR);
static_assert(wm::kTtmPop == TTM_POP);
static_assert(static_cast<DWORD>(NotifyAction::kAdd) == NIM_ADD);
static_assert(static_cast<DWORD>(NotifyAction::kModify) == NIM_MODIFY);
static_assert(static_cast<DWORD>(NotifyAction::kDelete) == NIM_DELETE);
static_assert(kNifMessage == NIF_MESSAGE && kNifIcon == NIF_ICON && kNifTip == NIF_TIP);
static_assert(kNisSharedIcon == NIS_SHAREDICON);
static_assert(static_cast<DWORD>(TBalloonIconType::bitNone) == NIIF_NONE);
static_assert(static_cast<DWORD>(TBalloonIconType::bitInfo) == NIIF_INFO);
static_assert(static_cast<DWORD>(TBalloonIconType::bitWarning) == NIIF_WARNING);
static_assert(static_cast<DWORD>(TBalloonIconType::bitError) == NIIF_ERROR);
static_assert(kErrorTimeout == ERROR_TIMEOUT);
static_assert(kTtsNoPrefix == TTS_NOPREFIX);
static_assert(kColorInfoText == COLOR_INFOTEXT && kColorInfoBk == COLOR_INFOBK);

HWND AsWindow(WindowHandle window) { return static_cast<HWND>(window); }

template <std::size_t N, std::size_t M>
void CopyText(WCHAR (&to)[N], const std::array<char16_t, M>& from) {
    static_assert(N == M, "the record's text limits are the wide structure's");
    std::copy(from.begin(), from.end(), to);
}

}  // namespace

NOTIFYICONDATAW ToNotifyIconData(const NotifyIconRecord& record) {
    NOTIFYICONDATAW data{};
    switch (record.layout) {
    case NotifyIconLayout::kVersion2: data.cbSize = NOTIFYICONDATAW_V2_SIZE; break;
    case NotifyIconLayout::kVersion1: data.cbSize = NOTIFYICONDATAW_V1_SIZE; break;
    case NotifyIconLayout::kUnset: data.cbSize = 0; break;
    }
    data.hWnd = AsWindow(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = static_cast<HICON>(record.hIcon);
    CopyText(data.szTip, record.szTip);
    data.dwState = record.dwState;
    data.dwStateMask = record.dwStateMask;
    CopyText(data.szInfo, record.szInfo);
    data.uTimeout = record.uTimeout;
    CopyText(data.szInfoTitle, record.szInfoTitle);
    data.dwInfoFlags = record.dwInfoFlags;
    return data;
}

LRESULT CALLBACK TaskTrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages that arrive while CreateWindowEx runs find no icon yet and get the default processing.
    TMessage record{message, wParam, lParam, 0};
    try {
        if (RouteTrayMessage(window, record)) return record.Result;
    } catch (const std::exception& error) {
        Application::HandleException(error);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void TrayShellWin32::RegisterTrayClass() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSW cls{};
    cls.lpfnWndProc = &TaskTrayWndProc;
    cls.hInstance = instance;
    cls.hIcon = ::LoadIconW(instance, L"MAINICON");
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    cls.lpszClassName = kTrayWindowClass;
    // A failure leaves the icons without windows, and the shell then refuses their adds.
    ::RegisterClassW(&cls);
}

void TrayShellWin32::UnregisterTrayClass() { ::UnregisterClassW(kTrayWindowClass, ::GetModuleHandleW(nullptr)); }

std::uint32_t TrayShellWin32::RegisterTaskbarCreatedMessage() { return ::RegisterWindowMessageW(L"TaskbarCreated"); }

WindowHandle TrayShellWin32::CreateTrayWindow() {
    // A top-level popup rather than a message-only window: only top-level windows hear the
    // "TaskbarCreated" broadcast.
    return ::CreateWindowExW(WS_EX_TOOLWINDOW, kTrayWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

void TrayShellWin32::DestroyTrayWindow(WindowHandle window) { ::DestroyWindow(AsWindow(window)); }

std::intptr_t TrayShellWin32::DefaultProcessing(WindowHandle window, const TMessage& message) {
    return ::DefWindowProcW(AsWindow(window), message.Msg, message.WParam, message.LParam);
}

bool TrayShellWin32::SetForegroundWindow(WindowHandle window) { return ::SetForegroundWindow(AsWindow(window)); }

bool TrayShellWin32::NotifyIcon(NotifyAction action, const NotifyIconRecord& record) {
    NOTIFYICONDATAW data = ToNotifyIconData(record);
    ::SetLastError(0);
    const bool done = ::Shell_NotifyIconW(static_cast<DWORD>(action), &data);
    lastError_ = done ? 0 : ::GetLastError();
    return done;
}

std::uint32_t TrayShellWin32::LastError() { return lastError_; }

std::optional<DllVersion> TrayShellWin32::CallDllGetVersion() {
    // No "insert a disk" box if the library cannot be opened.
    const UINT previousMode = ::SetErrorMode(SEM_NOOPENFILEERRORBOX);
    ModuleHandle shell32(::LoadLibraryW(L"shell32.dll"));
    ::SetErrorMode(previousMode);
    if (!shell32) return std::nullopt;
    DllVersion version;
    const auto getVersion =
        reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(::GetProcAddress(shell32.Get(), "DllGetVersion")));
    if (!getVersion) return version;
    version.exported = true;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (SUCCEEDED(getVersion(&info))) {
        version.succeeded = true;
        version.major = info.dwMajorVersion;
        version.minor = info.dwMinorVersion;
    }
    return version;
}

std::string TrayShellWin32::SystemDirectory() {
    WCHAR directory[MAX_PATH]{};
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Narrow(std::wstring_view(directory, length)) : std::string();
}

std::optional<std::vector<std::byte>> TrayShellWin32::ReadFileVersionInfo(const std::string& path) {
    const std::wstring widePath = Widen(path);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(widePath.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<std::byte> block(size);
    if (!::GetFileVersionInfoW(widePath.c_str(), 0, size, block.data())) return std::nullopt;
    return block;
}

std::optional<std::uint32_t> TrayShellWin32::QueryVersionDword(std::span<const std::byte> block,
                                                               const std::string& subBlock) {
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), Widen(subBlock).c_str(), &value, &length) || !value || length < 4)
        return std::nullopt;
    DWORD dword = 0;
    std::memcpy(&dword, value, sizeof dword);
    return dword;
}

std::optional<std::string> TrayShellWin32::QueryVersionString(std::span<const std::byte> block,
                                                              const std::string& subBlock) {
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), Widen(subBlock).c_str(), &value, &length) || !value) return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(value);
    // The length counts characters and may include the terminating NUL.
    std::wstring_view view(text, length);
    view = view.substr(0, std::min(view.size(), view.find(L'\0')));
    return Narrow(view);
}

TPoint TrayShellWin32::CursorPos() {
    POINT point{};
    ::GetCursorPos(&point);
    return FromWin32Point(point);
}

bool TrayShellWin32::SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
    // No timer procedure: the WM_TIMER goes to the hidden window and through the routing.
    return ::SetTimer(AsWindow(window), id, milliseconds, nullptr) != 0;
}

void TrayShellWin32::KillTimer(WindowHandle window, std::uintptr_t id) { ::KillTimer(AsWindow(window), id); }

std::uint32_t TrayShellWin32::DoubleClickTime() { return ::GetDoubleClickTime(); }

std::intptr_t TrayShellWin32::SendMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    return ::SendMessageW(AsWindow(window), msg, wParam, lParam);
}

bool TrayShellWin32::PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    return ::PostMessageW(AsWindow(window), msg, wParam, lParam);
}

WindowHandle TrayShellWin32::FindTopLevelWindow(const std::string& className, WindowHandle after) {
    return ::FindWindowExW(nullptr, AsWindow(after), Widen(className).c_str(), nullptr);
}

std::uint32_t TrayShellWin32::WindowProcessId(WindowHandle window) {
    DWORD process = 0;
    if (window) ::GetWindowThreadProcessId(AsWindow(window), &process);
    return process;
}

std::uint32_t TrayShellWin32::WindowStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(::GetWindowLongW(AsWindow(window), GWL_STYLE));
}

TColor TrayShellWin32::SysColor(int index) { return FromColorRef(::GetSysColor(index)); }

}  // namespace win32
}  // namespace vantor
