// The program's entry: one program per user, the application object, the main window, the message loop;
// or, with --usage-csv, the usage export alone.

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>

#include "app/win32/MiniWindow.h"
#include "app/win32/SingleInstance.h"
#include "app/win32/UsageSystem.h"
#include "framework/win32/Application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> arguments(::CommandLineToArgvW(::GetCommandLineW(), &count),
                                                                    &::LocalFree);
    // Before the single-instance mutex: the export runs beside a running copy and never stands in for it.
    if (arguments && count >= 2 && ::lstrcmpiW(arguments.get()[1], L"--usage-csv") == 0)
        return vantor::win32::RunUsageCsvCommand(count >= 3 ? arguments.get()[2] : nullptr);
    // Held until the main window has saved the settings, so no second start reads or writes them meanwhile.
    const vantor::win32::SingleInstance single;
    if (!single.First()) {
        single.ShowRunning(vantor::TMiniWindow::kClassName, vantor::TMiniWindow::kWindowText);
        return 0;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    try {
        vantor::win32::Application application(instance);
        vantor::TMiniWindow miniWindow;
        return application.Run();
    } catch (const std::exception& error) {
        vantor::win32::Application::HandleException(error);
        return 1;
    }
}
