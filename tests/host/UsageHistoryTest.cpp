// The usage history over a fake clock and counters given by each case, with SQLite for real on a file in a
// temporary folder; what it wrote is read back as the CSV export and as the file's hour rows.

#include "app/core/UsageHistory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "app/core/UsageCsv.h"
#include "tests/fakes/FakeUsageSystem.h"

namespace vantor {
namespace {

using namespace testing;

struct Scenario : UsageScenario {
    // The file's hour rows: "local start, offset in minutes, sent/received".
    std::vector<std::string> Hours() const {
        return QueryRows(Database(),
                         "SELECT strftime('%Y-%m-%d %H:%M ', hour_utc + offset_minutes * 60, 'unixepoch') || "
                         "offset_minutes || ' ' || SUM(sent) || '/' || SUM(received) FROM hourly "
                         "GROUP BY hour_utc, offset_minutes ORDER BY hour_utc");
    }
};

TEST(UsageHistory, CountsEachConnectionPerLocalHourAndKeepsItThroughRestartsAndDamage) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::int64_t, int>> zone;
        std::int64_t start;
        std::function<void(Scenario&)> script;
        std::vector<std::string> csv;    // the lines after the header
        std::vector<std::string> hours;  // not looked at when empty
        std::vector<UsageProblem> problems;
    };
    const std::int64_t january15 = Utc(2024, 1, 15, 10, 0);
    // Sixty hours of three connections make a file of several pages; the program ends without writing, starts
    // again, and finds the file damaged when it next writes.
    const auto damaged = [&](const char* name, void (*damage)(const std::string& file)) {
        return Case{name, {}, january15, [damage](Scenario& s) {
                        for (std::uint64_t hour = 0; hour <= 60; ++hour)
                            s.Tick(3600, {A(hour * 10, hour), B(hour * 20, hour), C(hour, hour)});
                        s.Start(), damage(s.Database());
                        s.Tick(60, {A(700, 70)}), s.Tick(60, {A(800, 80)}), s.Exit();
                        EXPECT_TRUE(std::filesystem::exists(s.folder.File("vantor-usage.damaged-2024-01-17.db")));
                    }, {"2024-01-17,Wi-Fi,{A},100,10"}, {}, {UsageProblem::Damaged}};
    };
    const Case cases[] = {
        {"clocks go forward: a 23-hour day", {{0, -300}, {Utc(2024, 3, 10, 7, 0), -240}}, Utc(2024, 3, 10, 6, 10),
         [](Scenario& s) { s.Tick(0, {A(0, 0)}), s.Tick(1800, {A(100, 1000)}), s.Tick(1800, {A(300, 3000)}), s.Exit(); },
         {"2024-03-10,Wi-Fi,{A},300,3000"}, {"2024-03-10 01:00 -300 100/1000", "2024-03-10 03:00 -240 200/2000"}},
        {"clocks go back: a 25-hour day, then the next day", {{0, -240}, {Utc(2024, 11, 3, 6, 0), -300}},
         Utc(2024, 11, 3, 5, 10),
         [](Scenario& s) {
             s.Tick(0, {A(0, 0)}), s.Tick(1800, {A(100, 1)}), s.Tick(1800, {A(300, 3)});
             s.Tick(20 * 3600, {A(600, 6)}), s.Tick(3 * 3600, {A(1000, 10)}), s.Exit();
         },
         {"2024-11-03,Wi-Fi,{A},600,6", "2024-11-04,Wi-Fi,{A},400,4"},
         {"2024-11-03 01:00 -240 100/1", "2024-11-03 01:00 -300 200/2", "2024-11-03 21:00 -300 300/3",
          "2024-11-04 00:00 -300 400/4"}},
        {"a half-hour offset", {{0, 330}}, Utc(2024, 5, 1, 18, 20),
         [](Scenario& s) { s.Tick(0, {A(0, 0)}), s.Tick(540, {A(100, 1)}), s.Tick(120, {A(300, 3)}), s.Exit(); },
         {"2024-05-01,Wi-Fi,{A},100,1", "2024-05-02,Wi-Fi,{A},200,2"},
         {"2024-05-01 23:00 330 100/1", "2024-05-02 00:00 330 200/2"}},
        {"a restart in the same run counts the time away in the restart's hour", {}, january15,
         [](Scenario& s) {
             s.Tick(0, {A(1000, 10)}), s.Tick(60, {A(1500, 15)}), s.Tick(30, {A(1700, 17)});
             s.Start(), s.Pass(2 * 3600), s.Tick(0, {A(5000, 50)}), s.Exit();
         },
         {"2024-01-15,Wi-Fi,{A},4000,40"}, {"2024-01-15 10:00 0 500/5", "2024-01-15 12:00 0 3500/35"}},
        {"after a reboot counting starts from the new counters", {}, january15,
         [](Scenario& s) {
             s.Tick(0, {A(1000, 10)}), s.Tick(60, {A(1500, 15)}), s.Start();
             s.clock.uptimeMilliseconds = 90'000;
             s.Tick(600, {A(50, 1)}), s.Tick(60, {A(80, 2)}), s.Exit();
         },
         {"2024-01-15,Wi-Fi,{A},530,6"}},
        {"a counter that goes down restarted, also while the program was away", {}, january15,
         [](Scenario& s) {
             s.Tick(0, {A(1000, 5000)}), s.Tick(1, {A(1200, 100)}), s.Tick(1, {A(1300, 400)}), s.Exit();
             s.Start(), s.Tick(1, {A(50, 50)}), s.Tick(1, {A(80, 90)}), s.Exit();
         },
         {"2024-01-15,Wi-Fi,{A},330,340"}},
        {"the clock set wrong and put right", {}, january15,
         [](Scenario& s) {
             s.Tick(0, {A(0, 0)}), s.Tick(60, {A(100, 1)});
             s.clock.utc += 5 * 3600;
             s.Tick(60, {A(300, 3)});
             s.clock.utc -= 5 * 3600 + 86400;
             s.Tick(60, {A(600, 6)});
             s.clock.utc += 86400;
             s.Tick(60, {A(700, 7)}), s.Start(), s.Tick(60, {A(750, 8)}), s.Exit();
         },
         {"2024-01-14,Wi-Fi,{A},300,3", "2024-01-15,Wi-Fi,{A},450,5"},
         {"2024-01-14 10:00 0 300/3", "2024-01-15 10:00 0 250/3", "2024-01-15 15:00 0 200/2"}},
        {"a renamed adapter keeps its history, each connection its own", {}, january15,
         [](Scenario& s) {
             s.Tick(0, {A(0, 0), B(0, 0)}), s.Tick(60, {A(100, 1), B(50, 5)});
             s.Tick(60, {A(300, 3, "Home \"Wi-Fi\", 5 GHz")}), s.Exit();
         },
         {"2024-01-15,Ethernet,{B},50,5", "2024-01-15,\"Home \"\"Wi-Fi\"\", 5 GHz\",{A},300,3"}},
        damaged("a truncated file is set aside and a new one started", [](const std::string& file) {
            std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
        }),
        damaged("a file short of its last byte is set aside too, however little it lost", [](const std::string& file) {
            std::filesystem::resize_file(file, std::filesystem::file_size(file) - 1);
        }),
        damaged("a file of garbage is set aside too", [](const std::string& file) {
            std::fstream(file, std::ios::in | std::ios::out | std::ios::binary) << std::string(4096, 'Z');
        }),
        {"a read-only file keeps the counts in memory until it can be written", {}, january15,
         [](Scenario& s) {
             s.Tick(0, {A(0, 0)}), s.Tick(60, {A(100, 1)}), s.SetReadOnly(true);
             s.Tick(60, {A(300, 3)}), s.Tick(60, {A(400, 4)});
             s.Run([&] { EXPECT_EQ(s.history->TodayTotals("{A}"), (UsageTotals{400, 4})); });
             s.SetReadOnly(false), s.Tick(60, {A(500, 5)}), s.Exit();
         },
         {"2024-01-15,Wi-Fi,{A},500,5"}, {}, {UsageProblem::Unwritable}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Scenario s;
        if (!c.zone.empty()) s.clock.zone = c.zone;
        s.clock.utc = c.start;
        s.clock.uptimeMilliseconds = 3'600'000;
        s.Start();
        c.script(s);
        std::string expected = "\xEF\xBB\xBF" "Date,Connection,Id,Sent,Received\r\n";
        for (const std::string& line : c.csv) expected += line + "\r\n";
        EXPECT_EQ(ExportUsageCsv(s.folder, s.Database(), 0), expected);
        if (!c.hours.empty()) { EXPECT_EQ(s.Hours(), c.hours); }
        EXPECT_EQ(s.problems, c.problems);
    }
}

TEST(UsageHistory, ExportOfNoFileAndOfAFileThatIsNoHistory) {
    TempUsageFolder folder;
    const std::string path = folder.File("vantor-usage.db");
    EXPECT_EQ(ExportUsageCsv(folder, path, 0), "\xEF\xBB\xBF" "Date,Connection,Id,Sent,Received\r\n");
    std::ofstream(path) << std::string(4096, 'Z');
    EXPECT_EQ(ExportUsageCsv(folder, path, 0), std::nullopt);
}

}  // namespace
}  // namespace vantor
