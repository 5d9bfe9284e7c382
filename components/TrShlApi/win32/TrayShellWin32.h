#pragma once
// The tray's shell layer bound to the real calls: Shell_NotifyIconW with the wide record, the hidden
// "TaskTrayHandle" windows and their shared window procedure, shell32's version, the taskbar's tooltip.

#include <windows.h>
#include <shellapi.h>

#include "components/TrShlApi/TrShlApi.h"

namespace vantor::win32 {

inline constexpr wchar_t kTrayWindowClass[] = L"TaskTrayHandle";

// The record as the shell takes it: the wide structure, sized by layout (version 2 for shell 5.0 and
// later, version 1 before), so the Japanese tip survives any system code page.
NOTIFYICONDATAW ToNotifyIconData(const NotifyIconRecord& record);

// The window procedure of the class: routes to the icon that owns the window.
LRESULT CALLBACK TaskTrayWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class TrayShellWin32 : public TrayShell {
public:
    void RegisterTrayClass() override;
    void UnregisterTrayClass() override;
    std::uint32_t RegisterTaskbarCreatedMessage() override;
    WindowHandle CreateTrayWindow() override;
    void DestroyTrayWindow(WindowHandle window) override;
    std::intptr_t DefaultProcessing(WindowHandle window, const TMessage& message) override;
    bool SetForegroundWindow(WindowHandle window) override;

    [[nodiscard]] bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override;
    std::uint32_t LastError() override;

    std::optional<DllVersion> CallDllGetVersion() override;
    std::string SystemDirectory() override;
    std::optional<std::vector<std::byte>> ReadFileVersionInfo(const std::string& path) override;
    std::optional<std::uint32_t> QueryVersionDword(std::span<const std::byte> block,
                                                   const std::string& subBlock) override;
    std::optional<std::string> QueryVersionString(std::span<const std::byte> block,
                                                  const std::string& subBlock) override;

    TPoint CursorPos() override;
    [[nodiscard]] bool SetTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) override;
    void KillTimer(WindowHandle window, std::uintptr_t id) override;
    std::uint32_t DoubleClickTime() override;
    std::intptr_t SendMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
    bool PostMessage(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

    WindowHandle FindTopLevelWindow(const std::string& className, WindowHandle after) override;
    std::uint32_t WindowProcessId(WindowHandle window) override;
    std::uint32_t WindowStyle(WindowHandle window) override;
    TColor SysColor(int index) override;

private:
    DWORD lastError_ = 0;
};

}  // namespace vantor::win32
