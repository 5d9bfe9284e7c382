// The usage window over five years of history, to be photographed and timed (docs/performance.md):
//   vantor_usage_window FOLDER ja|en [days|periods]
// Fills FOLDER\vantor-usage.db, where there is none, with five years of hourly rows for three connections
// up to 2025-05-20 10:00 UTC (Tokyo's 19:00), opens the usage window over it in that language and view with
// a plan of 3,000 GB from the 5th, as the program does once its first check has run, and prints how long
// the opening took, to the first picture, and where the window is. It runs until the window is closed.

#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "app/core/UsagePlan.h"
#include "app/win32/UsageSystem.h"
#include "app/win32/UsageWindow.h"
#include "app/win32/UserLocale.h"
#include "framework/win32/Application.h"
#include "framework/win32/Text.h"
#include "tools/win32/FiveYears.h"

namespace {

using namespace vantor;

// A fixed day, so that the pictures are the same on every run.
class FixedClock final : public UsageClock {
public:
    std::int64_t UtcSeconds() override { return 20'228 * 86400 + 10 * 3600; }
    std::uint64_t UptimeMilliseconds() override { return 3'600'000; }
    int OffsetMinutesAt(std::int64_t) override { return 540; }
};

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: vantor_usage_window FOLDER ja|en [days|periods]\n");
        return 2;
    }
    std::string folder = win32::Narrow(argv[1]);
    if (!folder.ends_with('\\')) folder += '\\';
    LocaleFormats locale = win32::UserLocaleFormats();
    locale.TextLanguage = std::wcscmp(argv[2], L"en") == 0 ? Language::English : Language::Japanese;
    const bool periods = argc > 3 && std::wcscmp(argv[3], L"periods") == 0;

    FixedClock clock;
    win32::SystemUsageFiles files;
    const std::string path = folder + std::string(UsageHistory::kFileName);
    if (!files.Exists(path) && !FillFiveYears(path, clock)) return 1;

    win32::Application application(::GetModuleHandleW(nullptr));
    UsageHistory history(folder, clock, files);
    PlanCheck planCheck(history, {.StartDay = 5, .AllowanceMegabytes = 3'000'000, .ReceiveOnly = false, .Connection = {}});
    (void)planCheck.Check();

    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    TUsageWindow window(history, planCheck, locale, nullptr);
    if (periods) window.ShowView(UsageViewKind::Periods);
    window.Open();
    ::UpdateWindow(window.Handle());
    ::QueryPerformanceCounter(&end);
    RECT place;
    ::GetWindowRect(window.Handle(), &place);
    std::wprintf(L"opened in %.1f ms\nwindow: %ld %ld %ld %ld\n", Milliseconds(start, end), place.left, place.top,
                 place.right - place.left, place.bottom - place.top);
    std::fflush(stdout);

    MSG message{};
    while (::IsWindowVisible(window.Handle()) && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(window.Handle(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
