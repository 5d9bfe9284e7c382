// What one second of the monitor costs under the real system: the median time of one GetIfTable call,
// of the counter source's sample from the system's table, of one whole tick (the sample, statistics and
// formatting, both chart adds, one paint and block transfer) fed by the system's table and by an
// in-memory one, and of the chart's paint alone.
//   vantor_tick_bench [rounds]

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <vector>

#include "app/core/MainChart.h"
#include "app/core/Tick.h"
#include "components/NetworkSpeed/NetworkSpeed.h"
#include "components/TyxTrend/win32/TyxTrendWindow.h"
#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"
#include "tests/fakes/FakeIfTable.h"

namespace {

double MedianMicroseconds(int rounds, const std::function<void()>& work) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(rounds));
    for (int i = 0; i < rounds; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        work();
        ::QueryPerformanceCounter(&end);
        times.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart));
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[static_cast<std::size_t>(rounds / 2)];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace vantor;
    const int rounds = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 2000;
    win32::Application application(::GetModuleHandleW(nullptr));

    ULONG size = 0;
    ::GetIfTable(nullptr, &size, TRUE);
    std::vector<std::byte> table(size);
    const double getIfTable = MedianMicroseconds(rounds, [&] {
        ULONG bytes = static_cast<ULONG>(table.size());
        ::GetIfTable(reinterpret_cast<PMIB_IFTABLE>(table.data()), &bytes, TRUE);
    });

    // The main window's chart on a window of its own, with its configuration.
    const HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 220, 40, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
    TTyxTrendWindow chart(nullptr, host, 0, 0, 220, 40);
    ConfigureMainChart(chart);
    win32::WindowDc target(chart.Handle());

    testing::FakeIfTable fake;
    fake.rows = {{.descr = "eth0"}, {.descr = "lo"}};
    TNetworkSpeed source(nullptr, fake);
    (void)source.RefreshTable();
    MonitorSettings settings;
    MonitorState state;
    const LocaleFormats locale;
    std::uint32_t tick = 0;
    const double wholeTick = MedianMicroseconds(rounds, [&] {
        ++tick;
        fake.rows[0].outOctets += (tick * 2654435761u) % 12'000'000u;
        fake.rows[0].inOctets += (tick * 40503u + 77u) % 90'000'000u;
        fake.calls.clear();
        source.Sample();
        const CounterSample sample = ReadCounters(source);
        const TickOutputs out = RunTick(state, settings, sample, locale);
        chart.AddValue1(out.Send.ChartPoint);
        chart.AddValue2(out.Receive.ChartPoint);
        (void)chart.PaintTo(target.Get());
    });
    const double paint = MedianMicroseconds(rounds, [&] { (void)chart.PaintTo(target.Get()); });

    // The same tick as the program runs it, watching row 1 of the system's table.
    TNetworkSpeed system(nullptr);
    system.SetInterfaceNo(1);
    (void)system.RefreshTable();
    const double systemSample = MedianMicroseconds(rounds, [&] { system.Sample(); });
    MonitorState systemState;
    const double systemTick = MedianMicroseconds(rounds, [&] {
        system.Sample();
        const TickOutputs out = RunTick(systemState, settings, ReadCounters(system), locale);
        chart.AddValue1(out.Send.ChartPoint);
        chart.AddValue2(out.Receive.ChartPoint);
        (void)chart.PaintTo(target.Get());
    });

    std::printf("rounds: %d (median of each)\n", rounds);
    std::printf("GetIfTable, one call (%lu rows):   %8.1f us\n", static_cast<unsigned long>(table.size() / 860),
                getIfTable);
    std::printf("sample from the system's table:    %8.1f us\n", systemSample);
    std::printf("one tick with the system's table:  %8.1f us\n", systemTick);
    std::printf("one tick with an in-memory table:  %8.1f us\n", wholeTick);
    std::printf("chart paint and blit alone:        %8.1f us\n", paint);
    std::printf("tick cheaper than GetIfTable:      %s\n", wholeTick < getIfTable ? "yes" : "no");
    ::DestroyWindow(host);
    return 0;
}
