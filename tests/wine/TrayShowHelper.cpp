// Shows one tray icon (green and purple halves) with a two-line Japanese tip until the given number of
// seconds has passed, for looking at the notification area by hand or in a screenshot.
//   tray_show_helper.exe [seconds]

#include <windows.h>

#include <cstdlib>

#include "components/Taskbar/Taskbar.h"
#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"
#include "tests/support/Desktop.h"

using namespace vantor;

int wmain(int argc, wchar_t** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 30;
    win32::Application application(::GetModuleHandleW(nullptr));

    win32::IconHandle icon = testing::TwoColourIcon(0x20C040, 0x8020A0);

    TTrayIcon tray(nullptr);
    tray.SetTipHelp("インタフェース速度 100.0Mbps\r\n送信 1,234,567 バイト");
    tray.SetIcon(icon.Get());

    const DWORD end = ::GetTickCount() + seconds * 1000;
    while (::GetTickCount() < end && !application.Terminated()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        application.ProcessMessages();
    }
    return 0;
}
