#include "app/core/UsageHistory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <utility>

namespace vantor {
namespace {

constexpr std::uint64_t kWriteEveryMilliseconds = 60'000;
constexpr std::int64_t kSameRunMilliseconds = 10 * 60'000;
// The tick runs on the window's thread: a reader holding the file longer than this defers the write.
constexpr int kBusyMilliseconds = 500;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

// What a counter moved since `before`; one that went down restarted, and nothing is counted for it.
std::uint64_t Moved(std::uint64_t now, std::uint64_t before) { return now >= before ? now - before : 0; }

bool Matches(std::optional<std::string_view> guid, std::string_view candidate) { return !guid || *guid == candidate; }

}  // namespace

CivilDate DateOfDay(std::int64_t day) {
    const std::int64_t z = day + 719468;
    const std::int64_t era = FloorDiv(z, 146097);
    const std::int64_t dayOfEra = z - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    const int dayOfMonth = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    return {static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0)), month, dayOfMonth};
}

std::int64_t DayOfDate(const CivilDate& date) {
    const std::int64_t year = date.Year - (date.Month <= 2 ? 1 : 0);
    const std::int64_t era = FloorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (date.Month > 2 ? date.Month - 3 : date.Month + 9) + 2) / 5 + date.Day - 1;
    return era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
}

UsageHistory::UsageHistory(std::string folder, UsageClock& clock, UsageFiles& files)
    : folder_(std::move(folder)), path_(folder_ + std::string(kFileName)), clock_(clock), files_(files) {}

void UsageHistory::Tick(const std::vector<ConnectionCounters>& connections) noexcept {
    try {
        if (!started_) {
            Start(connections);
            return;
        }
        const HourKey hour = HourAt(clock_.UtcSeconds());
        for (const ConnectionCounters& connection : connections) Count(connection, hour);
        const std::uint64_t uptime = clock_.UptimeMilliseconds();
        if (uptime < lastWriteUptime_ || uptime - lastWriteUptime_ >= kWriteEveryMilliseconds) Write();
    } catch (...) {
        // Out of memory: the tick goes on without the history; the counters still hold the bytes.
    }
}

void UsageHistory::Flush() noexcept {
    try {
        if (started_) Write();
    } catch (...) {
    }
}

std::optional<UsageProblemReport> UsageHistory::TakeProblem() noexcept {
    if (problems_.empty()) return std::nullopt;
    UsageProblemReport report = std::move(problems_.front());
    problems_.pop_front();
    return report;
}

void UsageHistory::Start(const std::vector<ConnectionCounters>& connections) {
    started_ = true;
    std::optional<StoredRun> run;
    std::vector<StoredConnection> stored;
    if (const auto store = OpenForReading()) (void)store->ReadRun(run, stored);

    const std::uint64_t uptime = clock_.UptimeMilliseconds();
    const std::int64_t utc = clock_.UtcSeconds();
    const auto bootTime = [](std::int64_t utcSeconds, std::uint64_t uptimeMilliseconds) {
        return utcSeconds * 1000 - static_cast<std::int64_t>(uptimeMilliseconds);
    };
    const bool sameRun = run && uptime >= run->UptimeMilliseconds &&
                         std::llabs(bootTime(utc, uptime) - bootTime(run->UtcSeconds, run->UptimeMilliseconds)) <=
                             kSameRunMilliseconds;
    // In the same run the stored counters are where counting stopped; what moved since counts now.
    if (sameRun)
        for (const StoredConnection& connection : stored)
            if (connection.InOctets && connection.OutOctets)
                counted_[connection.Guid] = {connection.Alias, connection.Description, *connection.InOctets,
                                             *connection.OutOctets};
    const HourKey hour = HourAt(utc);
    for (const ConnectionCounters& connection : connections) Count(connection, hour);
    // Written at once, so the file holds this run from its start.
    Write();
}

void UsageHistory::Count(const ConnectionCounters& connection, const HourKey& hour) {
    const auto [known, isNew] = counted_.try_emplace(connection.Guid);
    if (!isNew) {
        const UsageTotals moved{Moved(connection.OutOctets, known->second.OutOctets),
                                Moved(connection.InOctets, known->second.InOctets)};
        if (moved.Sent != 0 || moved.Received != 0)
            unwritten_[HourKey{connection.Guid, hour.HourUtc, hour.OffsetMinutes}] += moved;
    }
    known->second = {connection.Alias, connection.Description, connection.InOctets, connection.OutOctets};
}

HourKey UsageHistory::HourAt(std::int64_t utcSeconds) {
    const int offset = clock_.OffsetMinutesAt(utcSeconds);
    const std::int64_t offsetSeconds = std::int64_t{offset} * 60;
    const std::int64_t localHour = FloorDiv(utcSeconds + offsetSeconds, 3600) * 3600;
    return {{}, localHour - offsetSeconds, offset};
}

void UsageHistory::Write() {
    const std::uint64_t uptime = clock_.UptimeMilliseconds();
    const StoredRun run{uptime, clock_.UtcSeconds()};
    lastWriteUptime_ = uptime;
    std::vector<StoredConnection> connections;
    for (const auto& [guid, known] : counted_)
        connections.push_back({guid, known.Alias, known.Description, known.InOctets, known.OutOctets});

    auto store = OpenStore();
    if (!store) return;
    StoreStatus status = store->Write(connections, unwritten_, run, unwrittenPasses_);
    if (status == StoreStatus::Damaged) {
        // The check at open missed it; the write found it.
        store.reset();
        if (!SetAside()) return Report(UsageProblem::Unwritable, path_);
        store = OpenStore();
        if (!store) return;
        status = store->Write(connections, unwritten_, run, unwrittenPasses_);
    }
    if (status == StoreStatus::Unwritable) Report(UsageProblem::Unwritable, path_);
    if (status != StoreStatus::Ok) return;  // kept, for the next write
    if (periodDays_)
        for (const auto& [hour, totals] : unwritten_)
            if (const std::int64_t day = LocalDayOf(hour.HourUtc, hour.OffsetMinutes);
                day >= periodDays_->first && day <= periodDays_->second)
                periodStored_[hour.Guid] += totals;
    unwritten_.clear();
    unwrittenPasses_.clear();
    std::vector<DailyUsage> today;
    const std::int64_t day = Today();
    todayStored_.clear();
    todayDay_.reset();
    if (store->Daily(day, day, today) == StoreStatus::Ok) {
        for (const DailyUsage& row : today) todayStored_[row.Guid] += row.Totals;
        todayDay_ = day;
    }
}

std::unique_ptr<UsageStore> UsageHistory::OpenStore() {
    auto store = std::make_unique<UsageStore>(path_, UsageStore::Access::Write, kBusyMilliseconds);
    StoreStatus status = store->Status();
    if (status == StoreStatus::Ok && !checked_) status = store->Check();
    if (status == StoreStatus::Damaged) {
        store.reset();
        if (!SetAside()) {
            Report(UsageProblem::Unwritable, path_);
            return nullptr;
        }
        store = std::make_unique<UsageStore>(path_, UsageStore::Access::Write, kBusyMilliseconds);
        status = store->Status();
    }
    if (status == StoreStatus::Unwritable) Report(UsageProblem::Unwritable, path_);
    if (status != StoreStatus::Ok) return nullptr;
    checked_ = true;
    return store;
}

std::unique_ptr<UsageStore> UsageHistory::OpenForReading() {
    if (auto store = OpenStore()) return store;
    auto store = std::make_unique<UsageStore>(path_, UsageStore::Access::Read, kBusyMilliseconds);
    return store->Status() == StoreStatus::Ok ? std::move(store) : nullptr;
}

bool UsageHistory::SetAside() {
    const CivilDate date = DateOfDay(Today());
    for (int attempt = 1; attempt < 100; ++attempt) {
        char name[64];
        if (attempt == 1)
            std::snprintf(name, sizeof name, "vantor-usage.damaged-%04d-%02d-%02d.db", date.Year, date.Month, date.Day);
        else
            std::snprintf(name, sizeof name, "vantor-usage.damaged-%04d-%02d-%02d-%d.db", date.Year, date.Month, date.Day,
                          attempt);
        const std::string aside = folder_ + name;
        if (files_.Exists(aside) || files_.Exists(aside + "-journal")) continue;
        // The journal first: left behind, it would be played into the new file.
        const std::string journal = path_ + "-journal";
        if (files_.Exists(journal) && !files_.Rename(journal, aside + "-journal")) return false;
        if (!files_.Rename(path_, aside)) return false;
        checked_ = false;
        periodDays_.reset();
        Report(UsageProblem::Damaged, aside);
        return true;
    }
    return false;
}

void UsageHistory::Report(UsageProblem kind, const std::string& path) {
    bool& reported = kind == UsageProblem::Damaged ? damagedReported_ : unwritableReported_;
    if (reported) return;
    reported = true;
    problems_.push_back({kind, path});
}

std::int64_t UsageHistory::Today() {
    const HourKey hour = HourAt(clock_.UtcSeconds());
    return LocalDayOf(hour.HourUtc, hour.OffsetMinutes);
}

std::vector<DailyUsage> UsageHistory::StoredDaily(std::int64_t firstDay, std::int64_t lastDay) {
    std::vector<DailyUsage> days;
    if (const auto store = OpenForReading())
        if (store->Daily(firstDay, lastDay, days) != StoreStatus::Ok) days.clear();
    return days;
}

UsageTotals UsageHistory::TodayTotals(std::optional<std::string_view> guid) {
    const std::int64_t today = Today();
    if (todayDay_ != today) {
        todayStored_.clear();
        for (const DailyUsage& row : StoredDaily(today, today)) todayStored_[row.Guid] += row.Totals;
        todayDay_ = today;  // also when nothing could be read: the next write reads again
    }
    UsageTotals sum;
    for (const auto& [id, totals] : todayStored_)
        if (Matches(guid, id)) sum += totals;
    for (const auto& [hour, totals] : unwritten_)
        if (Matches(guid, hour.Guid) && LocalDayOf(hour.HourUtc, hour.OffsetMinutes) == today) sum += totals;
    return sum;
}

std::vector<DailyUsage> UsageHistory::DailyTotals(std::int64_t firstDay, std::int64_t lastDay) {
    std::map<std::pair<std::int64_t, std::string>, DailyUsage> merged;
    for (DailyUsage& row : StoredDaily(firstDay, lastDay)) {
        auto key = std::make_pair(row.Day, row.Guid);
        merged.emplace(std::move(key), std::move(row));
    }
    for (const auto& [hour, totals] : unwritten_) {
        const std::int64_t day = LocalDayOf(hour.HourUtc, hour.OffsetMinutes);
        if (day < firstDay || day > lastDay) continue;
        DailyUsage& row = merged[{day, hour.Guid}];
        row.Day = day;
        row.Guid = hour.Guid;
        row.Totals += totals;
    }
    std::vector<DailyUsage> days;
    for (auto& [key, row] : merged) {
        // Today's name, where this run has seen the connection.
        if (const auto known = counted_.find(row.Guid); known != counted_.end()) row.Alias = known->second.Alias;
        days.push_back(std::move(row));
    }
    std::sort(days.begin(), days.end(), [](const DailyUsage& a, const DailyUsage& b) {
        return std::tie(a.Day, a.Alias, a.Guid) < std::tie(b.Day, b.Alias, b.Guid);
    });
    return days;
}

std::vector<KnownConnection> UsageHistory::Connections() {
    std::map<std::string, std::string> names;
    std::optional<StoredRun> run;
    std::vector<StoredConnection> stored;
    if (const auto store = OpenForReading())
        if (store->ReadRun(run, stored) == StoreStatus::Ok)
            for (const StoredConnection& connection : stored) names[connection.Guid] = connection.Alias;
    for (const auto& [guid, known] : counted_) names[guid] = known.Alias;
    std::vector<KnownConnection> connections;
    for (auto& [guid, alias] : names) connections.push_back({guid, std::move(alias)});
    std::sort(connections.begin(), connections.end(), [](const KnownConnection& a, const KnownConnection& b) {
        return std::tie(a.Alias, a.Guid) < std::tie(b.Alias, b.Guid);
    });
    return connections;
}

std::optional<UsageTotals> UsageHistory::PeriodTotals(std::int64_t firstDay, std::int64_t lastDay,
                                                      std::optional<std::string_view> guid) {
    if (periodDays_ != std::make_pair(firstDay, lastDay)) {
        std::vector<DailyUsage> days;
        const auto store = OpenForReading();
        if (!store || store->Daily(firstDay, lastDay, days) != StoreStatus::Ok) return std::nullopt;
        periodStored_.clear();
        for (const DailyUsage& row : days) periodStored_[row.Guid] += row.Totals;
        periodDays_ = {firstDay, lastDay};
    }
    UsageTotals sum;
    for (const auto& [id, totals] : periodStored_)
        if (Matches(guid, id)) sum += totals;
    for (const auto& [hour, totals] : unwritten_)
        if (const std::int64_t day = LocalDayOf(hour.HourUtc, hour.OffsetMinutes);
            Matches(guid, hour.Guid) && day >= firstDay && day <= lastDay)
            sum += totals;
    return sum;
}

std::optional<std::map<int, PassedAt>> UsageHistory::Passed(std::int64_t periodFirst) {
    std::map<int, PassedAt> passed;
    const auto store = OpenForReading();
    if (!store || store->Passed(periodFirst, passed) != StoreStatus::Ok) return std::nullopt;
    for (const auto& [key, at] : unwrittenPasses_) {
        if (key.first != periodFirst) continue;
        if (at) passed.try_emplace(key.second, *at);
        else passed.erase(key.second);
    }
    return passed;
}

PassedAt UsageHistory::RecordPassed(std::int64_t periodFirst, int percent) {
    const std::int64_t utc = clock_.UtcSeconds();
    const PassedAt now{utc, clock_.OffsetMinutesAt(utc)};
    unwrittenPasses_[{periodFirst, percent}] = now;
    // Before the first tick a write would drop the counters the next start relies on.
    if (started_) Write();
    return now;
}

void UsageHistory::ForgetPassed(std::int64_t periodFirst, int percent) {
    unwrittenPasses_[{periodFirst, percent}] = std::nullopt;
    if (started_) Write();
}

}  // namespace vantor
