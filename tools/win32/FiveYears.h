#pragma once
// Five years of hourly usage for three connections, the history the usage tools measure and photograph:
// each hour's sent and received bytes drawn at random up to 0.4 and 4 GB, as the heaviest use would leave
// them, the same on every run.

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/core/UsageHistory.h"
#include "app/core/UsageStore.h"

namespace vantor {

inline std::vector<ConnectionCounters> FiveYearConnections() {
    return {{"{6F1C0A52-0000-4000-8000-000000000001}", "Wi-Fi", "Wireless", 0, 0},
            {"{6F1C0A52-0000-4000-8000-000000000002}", "Ethernet", "Gigabit", 0, 0},
            {"{6F1C0A52-0000-4000-8000-000000000003}", "Mobile", "Modem", 0, 0}};
}

// Writes the five years up to the clock's hour into the history file at `path`; false when it cannot.
inline bool FillFiveYears(const std::string& path, UsageClock& clock) {
    constexpr std::int64_t kHours = 5 * 8766;
    std::map<HourKey, UsageTotals> hours;
    std::vector<StoredConnection> connections;
    std::mt19937_64 random(20);
    const std::int64_t firstHour = (clock.UtcSeconds() / 3600 - kHours) * 3600;
    for (const ConnectionCounters& c : FiveYearConnections()) {
        connections.push_back({c.Guid, c.Alias, c.Description, std::nullopt, std::nullopt});
        for (std::int64_t hour = 0; hour < kHours; ++hour) {
            const std::int64_t start = firstHour + hour * 3600;
            hours[{c.Guid, start, clock.OffsetMinutesAt(start)}] = {random() % 400'000'000, random() % 4'000'000'000};
        }
    }
    UsageStore store(path, UsageStore::Access::Write, 1000);
    if (store.Write(connections, hours, {}) == StoreStatus::Ok) return true;
    std::fprintf(stderr, "cannot fill %s\n", path.c_str());
    return false;
}

}  // namespace vantor
