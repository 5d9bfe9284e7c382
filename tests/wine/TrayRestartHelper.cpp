// Plays a shell restart for the tray tests: removes the icon of the first "TaskTrayHandle" window from the
// notification area, as a dying taskbar would, then broadcasts "TaskbarCreated" as a new one does.
// Exit code 0 when both steps were done.

#include <windows.h>
#include <shellapi.h>

int wmain() {
    const HWND owner = ::FindWindowExW(nullptr, nullptr, L"TaskTrayHandle", nullptr);
    if (!owner) return 2;
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner;
    data.uID = 1;
    if (!::Shell_NotifyIconW(NIM_DELETE, &data)) return 3;
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    return ::PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0) ? 0 : 4;
}
