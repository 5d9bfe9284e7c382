// `vantor.exe --usage-csv FILE` run as a script runs it, beside a history written here with a fixed clock:
// its exit codes, the file's bytes and the message on failure, also while this process holds the history
// open and the single-instance mutex; a damaged history set aside; the system clock's offsets.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include <sqlite3.h>

#include "app/win32/SingleInstance.h"
#include "app/win32/UsageSystem.h"
#include "framework/win32/Text.h"
#include "tests/support/Files.h"
#include "tests/support/Launch.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

class FixedClock final : public UsageClock {
public:
    static constexpr std::int64_t kStart = 20'228 * 86400 + 10 * 3600;  // 2025-05-20 10:00 UTC
    std::int64_t utc = kStart;
    std::int64_t UtcSeconds() override { return utc; }
    std::uint64_t UptimeMilliseconds() override { return static_cast<std::uint64_t>(3600 + utc - kStart) * 1000; }
    int OffsetMinutesAt(std::int64_t) override { return 540; }
};

using ::vantor::testing::ReadFileBytes;

struct Outcome {
    DWORD exitCode = 0;
    std::string standardError;
    bool operator==(const Outcome&) const = default;
};
void PrintTo(const Outcome& o, std::ostream* out) { *out << "exit code " << o.exitCode << ", \"" << o.standardError << '"'; }

// Runs the copy in `folder` there, its standard error into a file.
Outcome RunExport(const fs::path& folder, const std::wstring& arguments) {
    const fs::path errors = folder / L"stderr.txt";
    const testing::Launched run(testing::Quoted(folder / L"vantor.exe") + L" " + arguments,
                                {.folder = folder, .standardError = errors});
    EXPECT_TRUE(run.WaitForExit(std::chrono::seconds(60)));
    return {run.ExitCode().value_or(STILL_ACTIVE), ReadFileBytes(errors)};
}

TEST(UsageCsvCommand, WritesTheDailyTotalsBesideARunningCopyAndSaysWhyItCannot) {
    const testing::TempFolder temp(L"usage-csv-テスト-");
    const fs::path& folder = temp.Path();
    ASSERT_TRUE(::CopyFileW(testing::PathFromEnvironment("VANTOR_EXE").c_str(), (folder / L"vantor.exe").c_str(), FALSE));
    const std::string database = win32::Narrow((folder / L"vantor-usage.db").wstring());
    {
        FixedClock clock;
        win32::SystemUsageFiles files;
        UsageHistory history(win32::Narrow(folder.wstring()) + "\\", clock, files);
        history.Tick({{"{A}", "Wi-Fi, 5 GHz", "", 0, 0}, {"{B}", "イーサネット", "", 0, 0}});
        clock.utc += 15 * 3600;  // past local midnight
        history.Tick({{"{A}", "Wi-Fi, 5 GHz", "", 5678, 1234}, {"{B}", "イーサネット", "", 20, 10}});
        history.Flush();
    }
    const std::string expected = "\xEF\xBB\xBF" "Date,Connection,Id,Sent,Received\r\n"
                                 "2025-05-21,\"Wi-Fi, 5 GHz\",{A},1234,5678\r\n"
                                 "2025-05-21,イーサネット,{B},10,20\r\n";

    EXPECT_EQ(RunExport(folder, L"--usage-csv usage.csv"), Outcome{});
    EXPECT_EQ(ReadFileBytes(folder / L"usage.csv"), expected);
    {
        // A running copy holds the mutex, and a reader the file.
        const win32::SingleInstance running;
        ASSERT_TRUE(running.First());
        sqlite3* reader = nullptr;
        ASSERT_EQ(sqlite3_open_v2(database.c_str(), &reader, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        sqlite3_stmt* rows = nullptr;
        sqlite3_exec(reader, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(reader, "SELECT * FROM hourly", -1, &rows, nullptr);
        EXPECT_EQ(sqlite3_step(rows), SQLITE_ROW);
        EXPECT_EQ(RunExport(folder, L"--USAGE-CSV \"copy beside.csv\""), Outcome{});
        sqlite3_finalize(rows);
        sqlite3_close(reader);
        EXPECT_EQ(ReadFileBytes(folder / L"copy beside.csv"), expected);
    }

    EXPECT_EQ(RunExport(folder, L"--usage-csv no-such-folder\\usage.csv"),
              (Outcome{3, "Cannot write to no-such-folder\\usage.csv\r\n"}));
    EXPECT_EQ(RunExport(folder, L"--usage-csv"), (Outcome{1, "Usage: vantor.exe --usage-csv FILE\r\n"}));
    testing::WriteFileBytes(folder / L"vantor-usage.db", std::string(8192, 'x'));
    EXPECT_EQ(RunExport(folder, L"--usage-csv usage.csv"), (Outcome{2, "Cannot read the usage history " + database + "\r\n"}));
    EXPECT_EQ(ReadFileBytes(folder / L"usage.csv"), expected) << "left as it was";

    // The running program sets the damaged file aside: closed before the rename, which Windows needs.
    FixedClock clock;
    win32::SystemUsageFiles files;
    UsageHistory history(win32::Narrow(folder.wstring()) + "\\", clock, files);
    history.Tick({{"{A}", "Wi-Fi", "", 0, 0}});
    EXPECT_EQ(history.TakeProblem(), (UsageProblemReport{UsageProblem::Damaged,
                                                         win32::Narrow((folder / L"vantor-usage.damaged-2025-05-20.db").wstring())}));
    EXPECT_EQ(ReadFileBytes(folder / L"vantor-usage.damaged-2025-05-20.db"), std::string(8192, 'x'));
    EXPECT_EQ(RunExport(folder, L"--usage-csv usage.csv"), Outcome{});
}

// ctest runs it in New York's time zone: each instant takes the offset in force then.
TEST(UsageClockWin32, TheOffsetInForceAtEachInstant) {
    win32::SystemUsageClock clock;
    const std::int64_t january = 19'737 * 86400, july = 19'919 * 86400;  // 2024-01-15, 2024-07-15
    EXPECT_EQ(clock.OffsetMinutesAt(january), -300);
    EXPECT_EQ(clock.OffsetMinutesAt(july), -240);
    // The rules kept are those of the year asked for: 2025 began daylight saving time on March 9.
    EXPECT_EQ(clock.OffsetMinutesAt(20'156 * 86400 + 43'200), -240);
    EXPECT_EQ(clock.OffsetMinutesAt(january), -300);
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = static_cast<std::int64_t>((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
    EXPECT_NEAR(static_cast<double>(clock.UtcSeconds()), static_cast<double>((ticks - 116'444'736'000'000'000) / 10'000'000), 2);
}

}  // namespace
}  // namespace vantor
