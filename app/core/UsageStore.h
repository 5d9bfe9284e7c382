#pragma once
// The usage history's file: one SQLite database, opened for one piece of work and closed again, so an idle
// program holds neither the file nor SQLite's cache.
//
// Journal: the rollback journal in DELETE mode with full syncs, not WAL. A commit is atomic across a crash
// or a power cut (the journal puts back a half-written transaction at the next open), the file sits beside
// the settings, which may be a network folder, where WAL's shared memory does not work, and nothing but the
// one file remains between writes. A reader (the CSV export) beside the running writer takes turns with it
// through SQLite's file locks; each side waits for the other up to its busy timeout.
//
// Schema (PRAGMA user_version), version 1:
//   connection(id, guid UNIQUE, alias, description, last_in, last_out)  the counters at the last write,
//       NULL for a connection not seen in the run that wrote last
//   hourly(day, hour_utc, offset_minutes, connection, sent, received)  one row per connection and local
//       clock hour: the hour's start in UTC seconds, the offset from UTC then in force, and the local date
//       of that start (days since 1970-01-01); the key starts with the day, which every query ranges over
//   run(uptime_ms, utc_seconds)  the system's uptime and the UTC time at the last write
// version 2 adds:
//   plan_warning(period_first, percent, passed_utc, offset_minutes)  each share of the plan's allowance
//       passed in a billing period (keyed by its first day), and when: the UTC second and the offset then
// Later versions add steps to kMigrations and never change a step already there, so an older program can
// go on using a newer file's tables: it opens a newer file as it is. An older file is brought up to date
// at its first open for writing.

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

namespace vantor {

struct UsageTotals {
    std::uint64_t Sent = 0;
    std::uint64_t Received = 0;
    UsageTotals& operator+=(const UsageTotals& more) {
        Sent += more.Sent;
        Received += more.Received;
        return *this;
    }
    bool operator==(const UsageTotals&) const = default;
};

// One local clock hour of one connection.
struct HourKey {
    std::string Guid;
    std::int64_t HourUtc = 0;  // the hour's start, seconds since 1970-01-01 UTC
    int OffsetMinutes = 0;     // local time minus UTC in force at that start
    auto operator<=>(const HourKey&) const = default;
};

// The local date of an hour: days since 1970-01-01 of its start in local time.
std::int64_t LocalDayOf(std::int64_t hourUtc, int offsetMinutes);

struct StoredConnection {
    std::string Guid, Alias, Description;
    std::optional<std::uint64_t> InOctets, OutOctets;  // the counters at the last write, when seen in that run
};

// When a share of the plan's allowance was passed.
struct PassedAt {
    std::int64_t UtcSeconds = 0;
    int OffsetMinutes = 0;  // local time minus UTC then
    bool operator==(const PassedAt&) const = default;
};

// A billing period's first day and a share of the allowance in percent.
using PassKey = std::pair<std::int64_t, int>;
// A share passed, to be recorded, or nothing: a record to forget.
using PassChanges = std::map<PassKey, std::optional<PassedAt>>;

struct StoredRun {
    std::uint64_t UptimeMilliseconds = 0;
    std::int64_t UtcSeconds = 0;
};

struct DailyUsage {
    std::int64_t Day = 0;  // the local date, days since 1970-01-01
    std::string Guid, Alias;
    UsageTotals Totals;
    bool operator==(const DailyUsage&) const = default;
};

enum class StoreStatus {
    Ok,
    Missing,     // read: a file without the history's tables
    Busy,        // another program holds the file longer than the busy timeout
    Damaged,     // not a database, or one that fails its check
    Unwritable,  // cannot be made, opened or written (read-only file or folder, a full disk)
};

class UsageStore {
public:
    enum class Access {
        Write,  // made when missing, its schema brought up to date
        Read,   // never made or changed (a hot journal is still rolled back)
    };
    static constexpr int kSchemaVersion = 2;

    UsageStore(const std::string& path, Access access, int busyMilliseconds);
    ~UsageStore();
    UsageStore(const UsageStore&) = delete;
    UsageStore& operator=(const UsageStore&) = delete;

    // How the open went: Ok, or why the store is of no use.
    StoreStatus Status() const noexcept { return status_; }
    // PRAGMA quick_check: Ok, or Damaged.
    [[nodiscard]] StoreStatus Check();

    [[nodiscard]] StoreStatus ReadRun(std::optional<StoredRun>& run, std::vector<StoredConnection>& connections);
    // One transaction: `connections` replace what is known of them (the others keep their names and lose
    // their counters), `hours` are added to their rows, `run` replaces the run, and `passes` are recorded
    // (a share already recorded keeps its first time) or forgotten.
    [[nodiscard]] StoreStatus Write(const std::vector<StoredConnection>& connections,
                                    const std::map<HourKey, UsageTotals>& hours, const StoredRun& run,
                                    const PassChanges& passes = {});
    // Per local day and connection, days firstDay..lastDay, ordered by day, then name, then GUID.
    [[nodiscard]] StoreStatus Daily(std::int64_t firstDay, std::int64_t lastDay, std::vector<DailyUsage>& days);
    // The shares recorded as passed in the period that starts on `periodFirst`, by percent.
    [[nodiscard]] StoreStatus Passed(std::int64_t periodFirst, std::map<int, PassedAt>& passed);

private:
    [[nodiscard]] StoreStatus Execute(const char* sql);
    [[nodiscard]] StoreStatus Migrate();

    sqlite3* db_ = nullptr;
    StoreStatus status_ = StoreStatus::Ok;
    std::int64_t version_ = kSchemaVersion;  // as read; a file opened for writing is brought up to date
};

}  // namespace vantor
