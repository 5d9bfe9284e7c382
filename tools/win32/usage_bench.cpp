// The usage history's costs under the real system (docs/performance.md):
//   vantor_usage_bench FOLDER [rounds]
// Fills FOLDER\vantor-usage.db, where there is none, with five years of hourly rows for three connections
// up to now, and prints its size; then times the minute's write (the bytes of a minute for three
// connections, in one transaction, the file opened and closed again) on that file, as the median of the
// rounds, and the first write of a run, which also checks the file.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "app/core/UsageHistory.h"
#include "app/win32/UsageSystem.h"
#include "tools/win32/FiveYears.h"
#include "framework/win32/Text.h"

namespace {

using namespace vantor;

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<ConnectionCounters> Connections(std::uint64_t in, std::uint64_t out) {
    std::vector<ConnectionCounters> connections = FiveYearConnections();
    connections[0].InOctets = in, connections[0].OutOctets = out;
    connections[1].InOctets = in / 2, connections[1].OutOctets = out / 2;
    connections[2].InOctets = in / 8, connections[2].OutOctets = out / 8;
    return connections;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: vantor_usage_bench FOLDER [rounds]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 50;
    std::string folder = win32::Narrow(argv[1]);
    if (!folder.ends_with('\\')) folder += '\\';
    win32::SystemUsageClock clock;
    win32::SystemUsageFiles files;
    const std::string path = folder + std::string(UsageHistory::kFileName);
    LARGE_INTEGER start, end;
    if (!files.Exists(path)) {
        ::QueryPerformanceCounter(&start);
        FillFiveYears(path, clock);
        ::QueryPerformanceCounter(&end);
        std::wprintf(L"filled in %.0f ms\n", Milliseconds(start, end));
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(win32::Widen(path).c_str(), GetFileExInfoStandard, &data);
    std::wprintf(L"file: %llu bytes\n", (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);

    UsageHistory history(folder, clock, files);
    std::uint64_t counter = 1'000'000;
    ::QueryPerformanceCounter(&start);
    history.Tick(Connections(counter, counter));
    ::QueryPerformanceCounter(&end);
    std::wprintf(L"first write of a run (with the file's check): %.2f ms\n", Milliseconds(start, end));
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        counter += 7'500'000;  // a minute at 1 Mbit/s
        history.Tick(Connections(counter, counter / 3));
        ::QueryPerformanceCounter(&start);
        history.Flush();
        ::QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    std::wprintf(L"the minute's write: median %.2f ms, fastest %.2f ms, slowest %.2f ms over %d rounds\n",
                 times[times.size() / 2], times.front(), times.back(), rounds);
    if (const auto problem = history.TakeProblem()) std::wprintf(L"problem: %hs\n", problem->Path.c_str());
    return 0;
}
