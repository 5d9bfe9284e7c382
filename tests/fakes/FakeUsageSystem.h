#pragma once
// The usage history's seams for the host tests: a clock that says what it is told, with a time zone given
// as offsets in force from given instants, and the real file system under a fresh temporary folder; and a
// history on them, started, ticked and restarted as the program does, with SQLite for real.

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/core/UsageHistory.h"

namespace vantor::testing {

class FakeUsageClock final : public UsageClock {
public:
    std::int64_t utc = 0;
    std::uint64_t uptimeMilliseconds = 0;
    // (from this UTC second on, this offset in minutes), in time order; before the first, its offset.
    std::vector<std::pair<std::int64_t, int>> zone{{0, 0}};

    std::int64_t UtcSeconds() override { return utc; }
    std::uint64_t UptimeMilliseconds() override { return uptimeMilliseconds; }
    int OffsetMinutesAt(std::int64_t utcSeconds) override {
        int offset = zone.front().second;
        for (const auto& [from, minutes] : zone) offset = utcSeconds >= from ? minutes : offset;
        return offset;
    }
};

class TempUsageFolder final : public UsageFiles {
public:
    TempUsageFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("vantor-usage-test-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
        std::filesystem::permissions(path_, std::filesystem::perms::all);
    }
    ~TempUsageFolder() override {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempUsageFolder(const TempUsageFolder&) = delete;
    TempUsageFolder& operator=(const TempUsageFolder&) = delete;

    // With its separator, as the history takes it.
    std::string Folder() const { return path_.string() + "/"; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

    bool Exists(const std::string& path) override { return std::filesystem::exists(path); }
    bool Rename(const std::string& from, const std::string& to) override {
        std::error_code error;
        if (!Exists(to)) std::filesystem::rename(from, to, error);
        return !error && !Exists(from);
    }

private:
    std::filesystem::path path_;
};

// When asked, within its scope file permissions hold for this process, also when the tests run as root.
class WithoutRootPrivileges {
public:
    explicit WithoutRootPrivileges(bool asked) : wasRoot_(asked && ::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~WithoutRootPrivileges() {
        if (wasRoot_) (void)::seteuid(0);
    }
    WithoutRootPrivileges(const WithoutRootPrivileges&) = delete;
    WithoutRootPrivileges& operator=(const WithoutRootPrivileges&) = delete;

private:
    bool wasRoot_;
};

inline std::int64_t Utc(int year, int month, int day, int hour, int minute) {
    return DayOfDate({year, month, day}) * 86400 + hour * 3600 + minute * 60;
}

inline ConnectionCounters A(std::uint64_t sent, std::uint64_t received, const char* alias = "Wi-Fi") {
    return {"{A}", alias, "Wireless adapter", received, sent};
}
inline ConnectionCounters B(std::uint64_t sent, std::uint64_t received) {
    return {"{B}", "Ethernet", "Gigabit", received, sent};
}
inline ConnectionCounters C(std::uint64_t sent, std::uint64_t received) {
    return {"{C}", "Mobile", "Modem", received, sent};
}

// The first column of each row `sql` gives on the database at `path` (which it may change).
inline std::vector<std::string> QueryRows(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    std::vector<std::string> rows;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, sql, [](void* found, int, char** values, char**) {
            static_cast<std::vector<std::string>*>(found)->push_back(values[0] ? values[0] : "NULL");
            return 0;
        }, &rows, nullptr);
    sqlite3_close(db);
    return rows;
}

class UsageScenario {
public:
    TempUsageFolder folder;
    FakeUsageClock clock;
    std::unique_ptr<UsageHistory> history;
    std::vector<UsageProblem> problems;
    bool readOnly = false;

    std::string Database() const { return folder.File("vantor-usage.db"); }
    // Also again, after the program ended without writing (a crash, a kill).
    void Start() { history = std::make_unique<UsageHistory>(folder.Folder(), clock, folder); }
    // Time passes, on the clock and the system's uptime alike.
    void Pass(std::int64_t seconds) {
        clock.utc += seconds;
        clock.uptimeMilliseconds += static_cast<std::uint64_t>(seconds) * 1000;
    }
    void Tick(std::int64_t seconds, const std::vector<ConnectionCounters>& connections) {
        Pass(seconds);
        Run([&] { history->Tick(connections); });
    }
    void Exit() { Run([&] { history->Flush(); }); }
    void SetReadOnly(bool on) {
        readOnly = on;
        ::chmod(Database().c_str(), on ? 0444 : 0666);
    }
    void Run(const std::function<void()>& call) {
        {
            const WithoutRootPrivileges asUser(readOnly);
            call();
        }
        while (const auto report = history->TakeProblem()) problems.push_back(report->Kind);
    }
};

}  // namespace vantor::testing
