#include "app/core/UsageStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <map>
#include <tuple>
#include <string_view>

namespace vantor {
namespace {

// Step i takes the schema from version i to version i + 1.
constexpr std::string_view kMigrations[] = {
    R"(CREATE TABLE connection(
         id INTEGER PRIMARY KEY,
         guid TEXT NOT NULL UNIQUE,
         alias TEXT NOT NULL,
         description TEXT NOT NULL,
         last_in INTEGER,
         last_out INTEGER);
       CREATE TABLE hourly(
         day INTEGER NOT NULL,
         hour_utc INTEGER NOT NULL,
         offset_minutes INTEGER NOT NULL,
         connection INTEGER NOT NULL REFERENCES connection(id),
         sent INTEGER NOT NULL,
         received INTEGER NOT NULL,
         PRIMARY KEY(day, hour_utc, offset_minutes, connection)) WITHOUT ROWID;
       CREATE TABLE run(
         id INTEGER PRIMARY KEY CHECK(id = 1),
         uptime_ms INTEGER NOT NULL,
         utc_seconds INTEGER NOT NULL);)",
    R"(CREATE TABLE plan_warning(
         period_first INTEGER NOT NULL,
         percent INTEGER NOT NULL,
         passed_utc INTEGER NOT NULL,
         offset_minutes INTEGER NOT NULL,
         PRIMARY KEY(period_first, percent)) WITHOUT ROWID;)",
};
static_assert(std::size(kMigrations) == UsageStore::kSchemaVersion);

// A page cache of at most this many KiB per open connection.
constexpr int kCacheKibibytes = 256;

StoreStatus StatusOf(int code) {
    switch (code & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return StoreStatus::Ok;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return StoreStatus::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return StoreStatus::Damaged;
    default: return StoreStatus::Unwritable;
    }
}

// Counters are unsigned 64-bit; SQLite keeps signed ones, so they are stored bit for bit.
std::int64_t AsStored(std::uint64_t counter) { return std::bit_cast<std::int64_t>(counter); }
std::uint64_t FromStored(std::int64_t value) { return std::bit_cast<std::uint64_t>(value); }
// Byte counts stay positive in SQLite's arithmetic.
std::int64_t AsCount(std::uint64_t bytes) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(bytes, std::numeric_limits<std::int64_t>::max() / 2));
}

class Statement {
public:
    Statement(sqlite3* db, const char* sql) { code_ = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr); }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int Code() const noexcept { return code_; }
    Statement& Bind(int index, std::int64_t value) {
        Keep(sqlite3_bind_int64(statement_, index, value));
        return *this;
    }
    Statement& Bind(int index, const std::string& text) {
        Keep(sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement& Bind(int index, std::optional<std::uint64_t> counter) {
        Keep(counter ? sqlite3_bind_int64(statement_, index, AsStored(*counter)) : sqlite3_bind_null(statement_, index));
        return *this;
    }
    // SQLITE_ROW while rows come, then SQLITE_DONE, or the error (also one from preparing or binding).
    int Step() {
        if (code_ != SQLITE_OK && code_ != SQLITE_ROW && code_ != SQLITE_DONE) return code_;
        return code_ = sqlite3_step(statement_);
    }
    // Runs a statement that returns no rows, ready to be bound and run again.
    int Run() {
        const int code = Step();
        sqlite3_reset(statement_);
        if (code == SQLITE_DONE) code_ = SQLITE_OK;
        return code == SQLITE_DONE ? SQLITE_OK : code;
    }
    std::int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }
    std::optional<std::uint64_t> Counter(int column) const {
        if (sqlite3_column_type(statement_, column) == SQLITE_NULL) return std::nullopt;
        return FromStored(sqlite3_column_int64(statement_, column));
    }
    std::string Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : std::string();
    }

private:
    void Keep(int code) {
        if (code_ == SQLITE_OK && code != SQLITE_OK) code_ = code;
    }
    sqlite3_stmt* statement_ = nullptr;
    int code_ = SQLITE_OK;
};

}  // namespace

std::int64_t LocalDayOf(std::int64_t hourUtc, int offsetMinutes) {
    const std::int64_t localStart = hourUtc + std::int64_t{offsetMinutes} * 60;
    return localStart >= 0 ? localStart / 86400 : -((-localStart + 86399) / 86400);
}

UsageStore::UsageStore(const std::string& path, Access access, int busyMilliseconds) {
    const int flags = access == Access::Write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READWRITE;
    const int opened = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (opened != SQLITE_OK) {
        status_ = StatusOf(opened);
        return;
    }
    sqlite3_busy_timeout(db_, busyMilliseconds);
    const std::string cache = "PRAGMA cache_size=-" + std::to_string(kCacheKibibytes);
    status_ = Execute(cache.c_str());
    if (status_ == StoreStatus::Ok && access == Access::Write)
        status_ = Execute("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
    if (status_ == StoreStatus::Ok && access == Access::Write) status_ = Migrate();
    if (status_ == StoreStatus::Ok && access == Access::Read) {
        Statement version(db_, "PRAGMA user_version");
        const int code = version.Step();
        status_ = StatusOf(code);
        if (code == SQLITE_ROW) version_ = version.Integer(0);
        if (code == SQLITE_ROW && version_ == 0) status_ = StoreStatus::Missing;
    }
}

UsageStore::~UsageStore() { sqlite3_close(db_); }

StoreStatus UsageStore::Execute(const char* sql) { return StatusOf(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); }

StoreStatus UsageStore::Migrate() {
    // IMMEDIATE: two programs opening a new file at once do not both create its tables.
    if (const StoreStatus begun = Execute("BEGIN IMMEDIATE"); begun != StoreStatus::Ok) return begun;
    Statement version(db_, "PRAGMA user_version");
    const int code = version.Step();
    StoreStatus status = StatusOf(code);
    const std::int64_t from = code == SQLITE_ROW ? version.Integer(0) : 0;
    for (std::int64_t step = from; status == StoreStatus::Ok && step < kSchemaVersion; ++step)
        status = Execute(std::string(kMigrations[step]).c_str());
    if (status == StoreStatus::Ok && from < kSchemaVersion)
        status = Execute(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
    if (status == StoreStatus::Ok) status = Execute("COMMIT");
    if (status != StoreStatus::Ok) (void)Execute("ROLLBACK");
    return status;
}

StoreStatus UsageStore::Check() {
    if (status_ != StoreStatus::Ok) return status_;
    Statement check(db_, "PRAGMA quick_check(1)");
    const int code = check.Step();
    if (code != SQLITE_ROW) return StatusOf(code) == StoreStatus::Ok ? StoreStatus::Damaged : StatusOf(code);
    if (check.Text(0) != "ok") return StoreStatus::Damaged;
    // SQLite reads what a cut file lacks as zeros, which an empty page passes with: the size tells.
    sqlite3_file* file = nullptr;
    sqlite3_int64 size = 0;
    Statement pages(db_, "PRAGMA page_count"), pageSize(db_, "PRAGMA page_size");
    const bool measured = sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK && file &&
                          file->pMethods && file->pMethods->xFileSize(file, &size) == SQLITE_OK &&
                          pages.Step() == SQLITE_ROW && pageSize.Step() == SQLITE_ROW;
    return measured && size < pages.Integer(0) * pageSize.Integer(0) ? StoreStatus::Damaged : StoreStatus::Ok;
}

StoreStatus UsageStore::ReadRun(std::optional<StoredRun>& run, std::vector<StoredConnection>& connections) {
    if (status_ != StoreStatus::Ok) return status_;
    run.reset();
    connections.clear();
    Statement readRun(db_, "SELECT uptime_ms, utc_seconds FROM run WHERE id = 1");
    int code = readRun.Step();
    if (code == SQLITE_ROW) run = StoredRun{FromStored(readRun.Integer(0)), readRun.Integer(1)};
    else if (code != SQLITE_DONE) return StatusOf(code);
    Statement readConnections(db_, "SELECT guid, alias, description, last_in, last_out FROM connection");
    while ((code = readConnections.Step()) == SQLITE_ROW)
        connections.push_back({readConnections.Text(0), readConnections.Text(1), readConnections.Text(2),
                               readConnections.Counter(3), readConnections.Counter(4)});
    return StatusOf(code);
}

StoreStatus UsageStore::Write(const std::vector<StoredConnection>& connections,
                              const std::map<HourKey, UsageTotals>& hours, const StoredRun& run,
                              const PassChanges& passes) {
    if (status_ != StoreStatus::Ok) return status_;
    if (const StoreStatus begun = Execute("BEGIN IMMEDIATE"); begun != StoreStatus::Ok) return begun;
    int code = sqlite3_exec(db_, "UPDATE connection SET last_in = NULL, last_out = NULL", nullptr, nullptr, nullptr);
    {
        Statement connection(db_,
                             "INSERT INTO connection(guid, alias, description, last_in, last_out) VALUES(?1, ?2, ?3, ?4, ?5) "
                             "ON CONFLICT(guid) DO UPDATE SET alias = excluded.alias, description = excluded.description, "
                             "last_in = excluded.last_in, last_out = excluded.last_out");
        for (auto c = connections.begin(); code == SQLITE_OK && c != connections.end(); ++c)
            code = connection.Bind(1, c->Guid).Bind(2, c->Alias).Bind(3, c->Description).Bind(4, c->InOctets)
                       .Bind(5, c->OutOctets).Run();
        Statement hour(db_,
                       "INSERT INTO hourly(day, hour_utc, offset_minutes, connection, sent, received) "
                       "VALUES(?1, ?2, ?3, (SELECT id FROM connection WHERE guid = ?4), ?5, ?6) "
                       "ON CONFLICT DO UPDATE SET sent = sent + excluded.sent, received = received + excluded.received");
        for (auto h = hours.begin(); code == SQLITE_OK && h != hours.end(); ++h) {
            code = hour.Bind(1, LocalDayOf(h->first.HourUtc, h->first.OffsetMinutes)).Bind(2, h->first.HourUtc).Bind(3, std::int64_t{h->first.OffsetMinutes})
                       .Bind(4, h->first.Guid).Bind(5, AsCount(h->second.Sent)).Bind(6, AsCount(h->second.Received)).Run();
        }
        Statement writeRun(db_, "INSERT OR REPLACE INTO run(id, uptime_ms, utc_seconds) VALUES(1, ?1, ?2)");
        if (code == SQLITE_OK)
            code = writeRun.Bind(1, AsStored(run.UptimeMilliseconds)).Bind(2, run.UtcSeconds).Run();
        Statement record(db_, "INSERT OR IGNORE INTO plan_warning(period_first, percent, passed_utc, offset_minutes) "
                              "VALUES(?1, ?2, ?3, ?4)");
        Statement forget(db_, "DELETE FROM plan_warning WHERE period_first = ?1 AND percent = ?2");
        for (auto p = passes.begin(); code == SQLITE_OK && p != passes.end(); ++p) {
            const auto& [period, percent] = p->first;
            code = p->second ? record.Bind(1, period).Bind(2, std::int64_t{percent}).Bind(3, p->second->UtcSeconds)
                                   .Bind(4, std::int64_t{p->second->OffsetMinutes}).Run()
                             : forget.Bind(1, period).Bind(2, std::int64_t{percent}).Run();
        }
    }
    if (code == SQLITE_OK) code = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) (void)Execute("ROLLBACK");
    return StatusOf(code);
}

StoreStatus UsageStore::Daily(std::int64_t firstDay, std::int64_t lastDay, std::vector<DailyUsage>& days) {
    if (status_ != StoreStatus::Ok) return status_;
    days.clear();
    // Summed here rather than by GROUP BY: the rows come in the key's order, by day, and SQLite would sort
    // two years of hours to group them, which under Wine doubles the time of the periods view.
    std::map<std::pair<std::int64_t, std::int64_t>, UsageTotals> sums;
    Statement hours(db_, "SELECT day, connection, sent, received FROM hourly WHERE day BETWEEN ?1 AND ?2");
    hours.Bind(1, firstDay).Bind(2, lastDay);
    int code;
    while ((code = hours.Step()) == SQLITE_ROW) {
        UsageTotals& sum = sums[{hours.Integer(0), hours.Integer(1)}];
        sum.Sent += static_cast<std::uint64_t>(hours.Integer(2));
        sum.Received += static_cast<std::uint64_t>(hours.Integer(3));
    }
    if (code != SQLITE_DONE) return StatusOf(code);
    std::map<std::int64_t, std::pair<std::string, std::string>> names;
    Statement connections(db_, "SELECT id, guid, alias FROM connection");
    while ((code = connections.Step()) == SQLITE_ROW) names[connections.Integer(0)] = {connections.Text(1), connections.Text(2)};
    if (code != SQLITE_DONE) return StatusOf(code);
    for (const auto& [key, totals] : sums)
        if (const auto name = names.find(key.second); name != names.end())
            days.push_back({key.first, name->second.first, name->second.second, totals});
    std::sort(days.begin(), days.end(), [](const DailyUsage& a, const DailyUsage& b) {
        return std::tie(a.Day, a.Alias, a.Guid) < std::tie(b.Day, b.Alias, b.Guid);
    });
    return StoreStatus::Ok;
}

StoreStatus UsageStore::Passed(std::int64_t periodFirst, std::map<int, PassedAt>& passed) {
    if (status_ != StoreStatus::Ok) return status_;
    passed.clear();
    if (version_ < 2) return StoreStatus::Ok;  // a file read as an older program left it
    Statement read(db_, "SELECT percent, passed_utc, offset_minutes FROM plan_warning WHERE period_first = ?1");
    read.Bind(1, periodFirst);
    int code;
    while ((code = read.Step()) == SQLITE_ROW)
        passed[static_cast<int>(read.Integer(0))] = {read.Integer(1), static_cast<int>(read.Integer(2))};
    return StatusOf(code);
}

}  // namespace vantor
