// What one second of the monitor costs under the real system: the median time of one GetIfTable call,
// of the counter source's sample from the system's table (watching row 1, following the default route,
// and summing all connections), of one tick (the sample, statistics and
// formatting, both chart adds, one paint and block transfer) fed by the system's table and by an
// in-memory one, of the chart's paint alone, and of the main window's own tick with the paints it causes.
// The main window reads vantor20.ini beside this program.
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
#include "app/win32/MiniWindow.h"
#include "components/NetworkSpeed/NetworkSpeed.h"
#include "components/TyxTrend/win32/TyxTrendWindow.h"
#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"
#include "tests/fakes/FakeIfTable.h"

namespace {

// The median time of each piece of work. Every round runs them all in turn, so that the load of a
// shared machine weighs on each alike.
std::vector<double> MedianMicroseconds(int rounds, const std::vector<std::function<void()>>& works) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<std::vector<double>> times(works.size());
    for (int i = 0; i < rounds; ++i) {
        for (std::size_t w = 0; w < works.size(); ++w) {
            LARGE_INTEGER start, end;
            ::QueryPerformanceCounter(&start);
            works[w]();
            ::QueryPerformanceCounter(&end);
            times[w].push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                               static_cast<double>(frequency.QuadPart));
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& each : times) {
        std::nth_element(each.begin(), each.begin() + rounds / 2, each.end());
        medians.push_back(each[static_cast<std::size_t>(rounds / 2)]);
    }
    return medians;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace vantor;
    const int rounds = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 2000;
    win32::Application application(::GetModuleHandleW(nullptr));

    ULONG size = 0;
    ::GetIfTable(nullptr, &size, TRUE);
    std::vector<std::byte> table(size);
    const auto getIfTable = [&] {
        ULONG bytes = static_cast<ULONG>(table.size());
        ::GetIfTable(reinterpret_cast<PMIB_IFTABLE>(table.data()), &bytes, TRUE);
    };

    // The main window's chart on a window of its own, with its configuration.
    const HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kChartWidth, kChartHeight, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
    TTyxTrendWindow chart(nullptr, host, 0, 0, kChartWidth, kChartHeight);
    ConfigureMainChart(chart);
    win32::WindowDc target(chart.Handle());
    MonitorSettings settings;
    const LocaleFormats locale;
    const auto tickOn = [&](TNetworkSpeed& source, MonitorState& state) {
        source.Sample();
        const TickOutputs out = RunTick(state, settings, ReadCounters(source), locale);
        chart.AddValue1(out.Send.ChartPoint);
        chart.AddValue2(out.Receive.ChartPoint);
        (void)chart.PaintTo(target.Get());
    };

    testing::FakeIfTable fake;
    fake.rows = {{.descr = "eth0"}, {.descr = "lo"}};
    TNetworkSpeed source(nullptr, fake);
    source.Watch(TWatchMode::wmInterface, {.Position = 1});
    source.Sample();
    MonitorState state;
    std::uint32_t tick = 0;
    const auto memoryTick = [&] {
        ++tick;
        fake.rows[0].outOctets += (tick * 2654435761u) % 12'000'000u;
        fake.rows[0].inOctets += (tick * 40503u + 77u) % 90'000'000u;
        fake.calls.clear();
        tickOn(source, state);
    };

    // The tick as the program runs it, watching row 1 of the system's table.
    TNetworkSpeed system(nullptr);
    system.Watch(TWatchMode::wmInterface, {.Position = 1});
    system.Sample();
    MonitorState systemState;
    TNetworkSpeed route(nullptr), all(nullptr);
    route.Watch(TWatchMode::wmRoute);
    all.Watch(TWatchMode::wmAll);

    TMiniWindow window;
    const auto windowTick = [&] {
        window.Tick(window);
        application.ProcessMessages();
    };

    const std::vector<double> medians = MedianMicroseconds(
        rounds, {getIfTable, [&] { system.Sample(); }, [&] { tickOn(system, systemState); }, memoryTick,
                 [&] { (void)chart.PaintTo(target.Get()); }, windowTick, [&] { route.Sample(); },
                 [&] { all.Sample(); }});

    std::printf("rounds: %d (median of each)\n", rounds);
    std::printf("GetIfTable, one call (%lu rows):   %8.1f us\n", static_cast<unsigned long>(table.size() / 860),
                medians[0]);
    std::printf("sample from the system's table:    %8.1f us\n", medians[1]);
    std::printf("one tick with the system's table:  %8.1f us\n", medians[2]);
    std::printf("one tick with an in-memory table:  %8.1f us\n", medians[3]);
    std::printf("chart paint and blit alone:        %8.1f us\n", medians[4]);
    std::printf("the main window's tick:            %8.1f us\n", medians[5]);
    std::printf("sample following the route:        %8.1f us\n", medians[6]);
    std::printf("sample of all connections:         %8.1f us\n", medians[7]);
    std::printf("tick cheaper than GetIfTable:      %s\n", medians[3] < medians[0] ? "yes" : "no");
    ::DestroyWindow(host);
    return 0;
}
