// Shows one tray icon (green and purple halves) with a two-line Japanese tip until the given number of
// seconds has passed, for looking at the notification area by hand or in a screenshot.
//   tray_show_helper.exe [seconds]

#include <windows.h>

#include <cstdlib>

#include "components/Taskbar/Taskbar.h"
#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"

using namespace vantor;

int wmain(int argc, wchar_t** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) : 30;
    win32::Application application(::GetModuleHandleW(nullptr));

    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = 16;
    header.bV5Height = -16;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_RGB;
    void* bits = nullptr;
    win32::GdiObject color(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                              nullptr, 0));
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) pixels[y * 16 + x] = x < 8 ? 0xFF20C040u : 0xFF8020A0u;
    const WORD opaque[16]{};  // an all-zero AND mask: every pixel shows its colour
    win32::GdiObject mask(::CreateBitmap(16, 16, 1, 1, opaque));
    ICONINFO info{TRUE, 0, 0, static_cast<HBITMAP>(mask.Get()), static_cast<HBITMAP>(color.Get())};
    win32::IconHandle icon(::CreateIconIndirect(&info));

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
