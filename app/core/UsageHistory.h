#pragma once
// How much each connection has moved, per local clock hour, kept for years in "vantor-usage.db"
// (UsageStore.h has the file's shape and journal).
//
// The tick hands over the counters of the "all connections" set once a second. Bytes are the differences
// of each connection's 64-bit counters and go to the local clock hour the clock shows at that tick; a
// counter that went down restarted and counts on from its new value. Every minute, and at each Flush, the
// hours counted since the last write, each connection's counters, the uptime and the UTC time go to the
// file in one transaction, so after a crash the file's counters match its hours exactly.
//
// At the first tick the history compares the system with the file's last write. The same run of the system
// (uptime not below the stored one, and UTC minus uptime within ten minutes of the stored value) means this
// program was restarted: what the counters moved meanwhile goes to the hour of this tick. Anything else is
// a reboot, and counting starts from the new counters.
//
// Nothing throws out of it and no call waits long: a damaged file is renamed aside with the date
// ("vantor-usage.damaged-2025-05-20.db") and a new one started, an unwritable one leaves the counts in
// memory until a write succeeds; TakeProblem reports each kind of trouble once per run. One thread uses it
// (the Windows build's SQLite is built without locks).

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/UsageStore.h"

namespace vantor {

// One connection of the "all connections" set at a tick.
struct ConnectionCounters {
    std::string Guid;
    std::string Alias;  // its friendly name
    std::string Description;
    std::uint64_t InOctets = 0;
    std::uint64_t OutOctets = 0;
};

class UsageClock {
public:
    virtual ~UsageClock() = default;
    virtual std::int64_t UtcSeconds() = 0;  // since 1970-01-01 UTC
    virtual std::uint64_t UptimeMilliseconds() = 0;
    // Local time minus UTC, in minutes, in force at that instant by the system's time-zone rules.
    virtual int OffsetMinutesAt(std::int64_t utcSeconds) = 0;
};

class UsageFiles {
public:
    virtual ~UsageFiles() = default;
    virtual bool Exists(const std::string& path) = 0;
    // Fails, changing nothing, when `to` exists or `from` cannot be moved.
    [[nodiscard]] virtual bool Rename(const std::string& from, const std::string& to) = 0;
};

enum class UsageProblem {
    Damaged,     // the file was renamed aside and a new one started; Path is the old file's new name
    Unwritable,  // the history cannot be written; Path is the file; the counts stay in memory
};

struct UsageProblemReport {
    UsageProblem Kind;
    std::string Path;
    bool operator==(const UsageProblemReport&) const = default;
};

struct KnownConnection {
    std::string Guid, Alias;
    bool operator==(const KnownConnection&) const = default;
};

struct CivilDate {
    int Year = 1970, Month = 1, Day = 1;
    bool operator==(const CivilDate&) const = default;
};
CivilDate DateOfDay(std::int64_t day);
std::int64_t DayOfDate(const CivilDate& date);

class UsageHistory {
public:
    static constexpr std::string_view kFileName = "vantor-usage.db";

    // `folder` ends with its separator (that of the settings file).
    UsageHistory(std::string folder, UsageClock& clock, UsageFiles& files);
    UsageHistory(const UsageHistory&) = delete;
    UsageHistory& operator=(const UsageHistory&) = delete;

    const std::string& FilePath() const noexcept { return path_; }

    // Once a second, with every connection of the set.
    void Tick(const std::vector<ConnectionCounters>& connections) noexcept;
    // Writes what is counted: at exit, at logoff or shutdown and before the system suspends.
    void Flush() noexcept;
    // A problem not yet reported, each kind once per run.
    std::optional<UsageProblemReport> TakeProblem() noexcept;

    // The local date now, days since 1970-01-01.
    std::int64_t Today();
    // Today's totals of one connection, or of all of them without a GUID.
    UsageTotals TodayTotals(std::optional<std::string_view> guid = std::nullopt);
    // Per local day and connection, firstDay..lastDay, ordered by day, then name, then GUID; what is not yet
    // written is included.
    std::vector<DailyUsage> DailyTotals(std::int64_t firstDay, std::int64_t lastDay);
    // Every connection the history knows, by name.
    std::vector<KnownConnection> Connections();

    // The sum over days firstDay..lastDay (a billing period), one connection or all, cheap enough for every
    // tick: the written part is read once for the range and then follows this run's writes. Nothing when the
    // file cannot be read.
    std::optional<UsageTotals> PeriodTotals(std::int64_t firstDay, std::int64_t lastDay,
                                            std::optional<std::string_view> guid = std::nullopt);
    // The shares of the plan's allowance recorded as passed in the period that starts on `periodFirst`;
    // nothing when the file cannot be read.
    std::optional<std::map<int, PassedAt>> Passed(std::int64_t periodFirst);
    // Records that `percent` is passed now (a share recorded already keeps its time), or forgets it. Written
    // at once from the first tick on; what cannot be written yet goes with a later write.
    PassedAt RecordPassed(std::int64_t periodFirst, int percent);
    void ForgetPassed(std::int64_t periodFirst, int percent);

private:
    struct Counted {
        std::string Alias, Description;
        std::uint64_t InOctets = 0, OutOctets = 0;
    };

    void Start(const std::vector<ConnectionCounters>& connections);
    void Count(const ConnectionCounters& connection, const HourKey& hour);
    void Write();
    HourKey HourAt(std::int64_t utcSeconds);
    // The store to write, checked at its first open in the run; a damaged file is set aside for a new one.
    std::unique_ptr<UsageStore> OpenStore();
    // The store to write, else one to read where it cannot be written.
    std::unique_ptr<UsageStore> OpenForReading();
    [[nodiscard]] bool SetAside();
    void Report(UsageProblem kind, const std::string& path);
    std::vector<DailyUsage> StoredDaily(std::int64_t firstDay, std::int64_t lastDay);

    std::string folder_, path_;
    UsageClock& clock_;
    UsageFiles& files_;

    bool started_ = false;
    bool checked_ = false;  // the file passed its check in this run
    std::uint64_t lastWriteUptime_ = 0;
    std::map<std::string, Counted> counted_;          // every connection seen in this run, by GUID
    std::map<HourKey, UsageTotals> unwritten_;        // counted since the last write
    std::optional<std::int64_t> todayDay_;            // the day todayStored_ holds
    std::map<std::string, UsageTotals> todayStored_;  // that day's written totals by GUID
    std::optional<std::pair<std::int64_t, std::int64_t>> periodDays_;  // the days periodStored_ holds
    std::map<std::string, UsageTotals> periodStored_;                 // their written totals by GUID
    PassChanges unwrittenPasses_;

    std::deque<UsageProblemReport> problems_;
    bool damagedReported_ = false, unwritableReported_ = false;
};

}  // namespace vantor
