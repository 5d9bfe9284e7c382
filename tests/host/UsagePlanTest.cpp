// The billing plan over the usage history: its periods, what it has used, the warnings that come once, the
// usage window's views and bars, and the amounts as shown and typed. SQLite runs for real, as in the
// history's own tests.

#include "app/core/UsagePlan.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "app/core/ByteAmount.h"
#include "app/core/UsageTick.h"
#include "app/core/UsageView.h"
#include "tests/fakes/FakeIfTable.h"
#include "tests/fakes/FakeUsageSystem.h"

namespace vantor {
namespace {

using namespace testing;

using Zone = std::vector<std::pair<std::int64_t, int>>;
const Zone kNewYork2024{{0, -300}, {Utc(2024, 3, 10, 7, 0), -240}, {Utc(2024, 11, 3, 6, 0), -300}};

TEST(BillingPeriod, HoldsTheLocalDateFromItsStartDayToTheDayBeforeItNextMonth) {
    const struct {
        const char* name;
        int startDay;
        Zone zone;
        std::int64_t utc;
        CivilDate first, last;
    } cases[] = {
        {"start day 1: the calendar month", 1, {{0, 0}}, Utc(2024, 1, 31, 12, 0), {2024, 1, 1}, {2024, 1, 31}},
        {"a start day of 28 in February", 28, {{0, 0}}, Utc(2023, 2, 28, 0, 0), {2023, 2, 28}, {2023, 3, 27}},
        {"the day before it", 28, {{0, 0}}, Utc(2023, 2, 27, 23, 59), {2023, 1, 28}, {2023, 2, 27}},
        {"a leap year's", 28, {{0, 0}}, Utc(2024, 3, 1, 0, 0), {2024, 2, 28}, {2024, 3, 27}},
        {"across a year end", 15, {{0, 0}}, Utc(2024, 1, 3, 0, 0), {2023, 12, 15}, {2024, 1, 14}},
        {"a start day of 31 reads as 28", 31, {{0, 0}}, Utc(2024, 1, 30, 0, 0), {2024, 1, 28}, {2024, 2, 27}},
        {"local 23:30 before the 23-hour day", 10, kNewYork2024, Utc(2024, 3, 10, 4, 30), {2024, 2, 10}, {2024, 3, 9}},
        {"local 00:30 of the 23-hour day", 10, kNewYork2024, Utc(2024, 3, 10, 5, 30), {2024, 3, 10}, {2024, 4, 9}},
        {"the 25th hour of a day", 4, kNewYork2024, Utc(2024, 11, 4, 4, 30), {2024, 10, 4}, {2024, 11, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UsageScenario s;
        s.clock.zone = c.zone;
        s.clock.utc = c.utc;
        s.Start();
        const std::int64_t today = s.history->Today();
        const BillingPeriod expected{DayOfDate(c.first), DayOfDate(c.last)};
        EXPECT_EQ(PeriodContaining(today, c.startDay), expected);
        const std::vector<BillingPeriod> periods = LastPeriods(today, c.startDay, 24);
        ASSERT_EQ(periods.size(), 24u);
        EXPECT_EQ(periods.back(), expected);
        for (std::size_t i = 1; i < periods.size(); ++i) EXPECT_EQ(periods[i].FirstDay, periods[i - 1].LastDay + 1);
    }
}

// A history with the plan's check beside it, restarted together as the program is.
struct PlanScenario : UsageScenario {
    UsagePlan plan{1, 10, false, ""};
    std::unique_ptr<PlanCheck> check;

    void Restart() { Start(), check = std::make_unique<PlanCheck>(*history, plan); }
    // One tick of connection A's counters, then the check: the share it warns of, or 0.
    int Traffic(std::int64_t seconds, std::uint64_t sent, std::uint64_t received) {
        Tick(seconds, {A(sent, received)});
        return check->Check().value_or(PlanWarning{}).Percent;
    }
};

TEST(PlanCheck, WarnsAt80And100PercentOncePerPeriodAcrossRestartsAndReArmsWhatAChangedPlanNoLongerReaches) {
    PlanScenario s;
    s.clock.zone = {{0, 540}};
    s.clock.utc = Utc(2024, 4, 29, 12, 0);  // 21:00 local, two days before the next period
    s.clock.uptimeMilliseconds = 3'600'000;
    s.Restart();
    struct Step {
        const char* what;
        std::int64_t seconds;
        std::uint64_t sent, received;  // connection A's counters
        std::uint64_t used;
        int warned;
        std::optional<UsagePlan> plan = std::nullopt;  // set before the tick
        bool restart = false;                          // after a crash, before the tick
    };
    const Step steps[] = {
        {"the first tick", 0, 0, 0, 0, 0},
        {"7 MB of 10", 1, 1'000'000, 6'000'000, 7'000'000, 0},
        {"8.5 MB", 1, 1'000'000, 7'500'000, 8'500'000, 80},
        {"9 MB", 1, 1'000'000, 8'000'000, 9'000'000, 0},
        {"after a restart", 60, 1'000'000, 8'000'000, 9'000'000, 0, std::nullopt, true},
        {"11 MB", 1, 2'000'000, 9'000'000, 11'000'000, 100},
        {"after another restart", 60, 2'000'000, 9'500'000, 11'500'000, 0, std::nullopt, true},
        {"a larger allowance re-arms both", 1, 2'000'000, 9'500'000, 11'500'000, 0, UsagePlan{1, 20, false, ""}},
        {"16.5 MB of 20", 1, 2'000'000, 14'500'000, 16'500'000, 80},
        {"a smaller allowance it passes", 1, 2'000'000, 14'500'000, 16'500'000, 100, UsagePlan{1, 15, false, ""}},
        {"received data only re-arms 100 %", 1, 2'000'000, 14'500'000, 14'500'000, 0, UsagePlan{1, 15, true, ""}},
        {"15.5 MB received", 1, 2'000'000, 15'500'000, 15'500'000, 100},
        {"no allowance", 1, 2'000'000, 40'000'000, 42'000'000, 0, UsagePlan{1, 0, false, ""}},
        {"1 MB in the next period", 27 * 3600, 2'000'000, 41'000'000, 1'000'000, 0, UsagePlan{1, 15, false, ""}},
        {"past both at once: 100 % only", 1, 2'000'000, 60'000'000, 20'000'000, 100},
        {"and nothing after", 1, 2'000'000, 61'000'000, 21'000'000, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.plan) {
            s.plan = *step.plan;
            s.check->SetPlan(s.plan);
        }
        if (step.restart) s.Restart();
        EXPECT_EQ(s.Traffic(step.seconds, step.sent, step.received), step.warned);
        ASSERT_TRUE(s.check->Use());
        EXPECT_EQ(s.check->Use()->Used, step.used);
    }
    const BillingPeriod may{DayOfDate({2024, 5, 1}), DayOfDate({2024, 5, 31})};
    EXPECT_EQ(s.check->Use(), (PlanUse{may, 21'000'000, 15'000'000, 31}));
    ASSERT_TRUE(s.check->WhenPassed(80));
    EXPECT_EQ(PassedLine(80, *s.check->WhenPassed(80), {}), "80 % に達した日時: 2024/05/01 00:02");
    EXPECT_EQ(s.problems, std::vector<UsageProblem>{});
}

TEST(PlanCheck, SaysWhatIsUsedAndHowManyDaysAreLeftInEachLanguage) {
    const LocaleFormats english{".", ",", "/", ":", Language::English}, japanese;
    const PlanUse use{{}, 8'500'000, 10'000'000, 2}, usedUp{{}, 10'999'999, 10'000'000, 1};
    EXPECT_EQ(PlanBalloon({80, use}, english),
              (BalloonText{"80 % of your allowance used", "8.5MB of 10MB used this period, 2 days left."}));
    EXPECT_EQ(PlanBalloon({100, usedUp}, english),
              (BalloonText{"Allowance used up", "11MB of 10MB used this period, 1 day left."}));
    EXPECT_EQ(PlanSummaryLine(usedUp, japanese), "今期 11MB / 10MB（109%）、残り 1 日");
    EXPECT_EQ(PassedLine(100, {Utc(2024, 4, 29, 23, 59), -300}, english), "100 % passed on 2024/04/29 18:59");
}

TEST(UsageTick, CountsTheHardwareAndTellsTodayOfWhatIsWatchedOrThePlanInTheTip) {
    const auto row = [](const char* guid, const char* alias, bool hardware, std::uint64_t sent) {
        return FakeIfRow{.descr = alias, .inOctets = 0, .outOctets = static_cast<std::uint32_t>(sent),
                         .entry = InterfaceEntry{.Guid = guid, .Alias = alias, .Description = alias, .OutOctets = sent,
                                                 .Up = true, .Connected = true, .HardwareInterface = hardware}};
    };
    FakeIfTable table;
    PlanScenario s;
    s.plan.AllowanceMegabytes = 0;
    s.Restart();
    TNetworkSpeed source(nullptr, table);
    const LocaleFormats english{".", ",", "/", ":", Language::English};
    for (std::uint64_t sent : {1'000'000u, 3'500'000u}) {
        table.rows = {row("{ETH}", "Ethernet", true, sent), row("{VPN}", "Tunnel", false, 2 * sent)};
        source.Sample();
        s.Tick(1, CountedConnections(source));
    }
    (void)s.check->Check();  // a plan without an allowance leaves today's line in the tip
    ASSERT_EQ(CountedConnections(source).size(), 1u) << "the tunnel's bytes are the link's again";
    const struct {
        TWatchMode mode;
        const char* watched;
        std::string line;
    } cases[] = {{TWatchMode::wmInterface, "Ethernet", "Today ↑2.5MB ↓0B"},
                 {TWatchMode::wmAll, "", "Today ↑2.5MB ↓0B"},
                 {TWatchMode::wmInterface, "Tunnel", ""}};
    for (const auto& c : cases) {
        source.Watch(c.mode, {.Identity = InterfaceIdentity{"", c.watched}});
        source.Sample();
        EXPECT_EQ(UsageTipLine(*s.history, *s.check, source, english), c.line) << c.watched;
    }
    s.check->SetPlan({1, 10, false, ""});
    (void)s.check->Check();
    EXPECT_EQ(UsageTipLine(*s.history, *s.check, source, english), "This period 2.5MB of 10MB");
}

TEST(UsageStore, AnOlderFileIsBroughtUpToDateAndANewerOneIsUsedAsItIs) {
    const std::pair<const char*, std::string> cases[] = {
        {"DROP TABLE plan_warning; PRAGMA user_version = 1", "2"},
        {"CREATE TABLE later(x); PRAGMA user_version = 3", "3"},
    };
    for (const auto& [leftBy, version] : cases) {
        SCOPED_TRACE(leftBy);
        PlanScenario s;
        s.clock.utc = Utc(2024, 4, 10, 12, 0);
        s.Restart();
        s.Traffic(0, 0, 0), s.Traffic(1, 0, 5'000'000), s.Exit();
        QueryRows(s.Database(), leftBy);
        s.Restart();
        EXPECT_EQ(s.Traffic(60, 0, 9'000'000), 80) << "the 5 MB kept, and a table to remember in";
        s.Restart();
        EXPECT_EQ(s.Traffic(60, 0, 9'000'000), 0);
        EXPECT_EQ(QueryRows(s.Database(), "PRAGMA user_version"), std::vector<std::string>{version});
    }
}

TEST(UsageView, ScalesToRoundGridlinesAndStacksTheBarsOnWholePixelsAtEachDensity) {
    const std::pair<std::uint64_t, BarScale> scales[] = {
        {0, {200'000, 5}},  {1, {1, 1}},     {7, {2, 4}},
        {1000, {200, 5}},   {1001, {500, 3}}, {8'500'000'000, {2'000'000'000, 5}},
        {10'000'000'001, {5'000'000'000, 3}},
    };
    for (const auto& [largest, scale] : scales) EXPECT_EQ(ScaleFor(largest), scale) << largest;

    UsageView view;
    view.Slots = 4;
    for (const UsageTotals totals : {UsageTotals{250, 500}, UsageTotals{}, UsageTotals{400, 1600}})
        view.Rows.push_back({{}, "", "", totals});
    view.Allowance = 1000;
    view.Scale = ScaleFor(2000);
    // The plot {10, 20, 110, 120} at 96 dpi, {15, 30, 165, 180} at 144: four slots, the fourth left empty.
    const struct {
        int dpi;
        std::vector<BarRects> bars;
        std::vector<std::int32_t> gridlines;
        std::int32_t allowance;
    } cases[] = {
        {96, {{{13, 95, 32, 120}, {13, 82, 32, 95}}, {{38, 120, 57, 120}, {38, 120, 57, 120}},
              {{63, 40, 82, 120}, {63, 20, 82, 40}}}, {95, 70, 45, 20}, 70},
        {144, {{{20, 142, 48, 180}, {20, 124, 48, 142}}, {{57, 180, 85, 180}, {57, 180, 85, 180}},
               {{95, 60, 123, 180}, {95, 30, 123, 60}}}, {142, 105, 67, 30}, 105},
    };
    for (const auto& c : cases) {
        const BarChart chart = LayoutBars(view, {10, 20, 110, 120}, c.dpi, {});
        EXPECT_EQ(chart.Bars, c.bars) << c.dpi;
        std::vector<std::int32_t> gridlines;
        for (const Gridline& line : chart.Gridlines) gridlines.push_back(line.Y);
        EXPECT_EQ(gridlines, c.gridlines) << c.dpi;
        EXPECT_EQ(chart.AllowanceY, c.allowance) << c.dpi;
        EXPECT_EQ(chart.Gridlines.back().Label, "2KB");
    }
}

TEST(UsageView, BuildsEitherViewOfFiveYearsOfHourlyHistoryWithinItsTimeAndExportsWhatItShows) {
    UsageScenario s;
    s.clock.utc = Utc(2024, 6, 15, 0, 0);
    std::vector<StoredConnection> connections;
    std::map<HourKey, UsageTotals> hours;
    const std::pair<ConnectionCounters, UsageTotals> everyHour[] = {
        {A(0, 0), {1000, 2000}}, {B(0, 0), {10, 20}}, {C(0, 0), {1, 2}}};
    for (const auto& [c, totals] : everyHour) {
        connections.push_back({c.Guid, c.Alias, c.Description, std::nullopt, std::nullopt});
        for (std::int64_t hour = s.clock.utc - 5 * 365 * 86400; hour < s.clock.utc; hour += 3600)
            hours[{c.Guid, hour, 0}] = totals;
    }
    ASSERT_EQ(UsageStore(s.Database(), UsageStore::Access::Write, 0).Write(connections, hours, {}), StoreStatus::Ok);
    s.Start();
    const std::int64_t today = s.history->Today();
    const UsagePlan plan{1, 50'000, false, ""};
    using Clock = std::chrono::steady_clock;
    using Milliseconds = std::chrono::duration<double, std::milli>;
    // The best of three rounds: the machine's other work is no part of the window's cost.
    Milliseconds openTime = Milliseconds::max(), switchTime = Milliseconds::max();
    UsageView days, periods;
    for (int round = 0; round < 3; ++round) {
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(s.history->Connections().size(), 3u);
        days = BuildUsageView(*s.history, UsageViewKind::PeriodDays, std::nullopt, plan, today, {});
        const Clock::time_point opened = Clock::now();
        periods = BuildUsageView(*s.history, UsageViewKind::Periods, "{B}", plan, today, {});
        openTime = std::min<Milliseconds>(openTime, opened - start);
        switchTime = std::min<Milliseconds>(switchTime, Clock::now() - opened);
    }
    std::printf("five years of hours, three connections: the window's data in %.1f ms, the periods view in %.1f ms\n",
                openTime.count(), switchTime.count());
    EXPECT_LT(openTime.count(), 200);
    EXPECT_LT(switchTime.count(), 200);
    ASSERT_EQ(days.Rows.size(), 15u) << "June 1 to today, June 15";
    EXPECT_EQ(days.Slots, 30);
    EXPECT_EQ(days.Rows[0].Label + " " + days.Rows[0].AxisLabel + " " + days.Rows[0].Total, "2024/06/01 1 72.79 KB");
    EXPECT_EQ(days.Sum.Totals, (UsageTotals{14 * 24 * 1011, 14 * 24 * 2022})) << "today has nothing yet";
    ASSERT_EQ(periods.Rows.size(), 24u);
    EXPECT_EQ(periods.Rows[0].Label + " " + periods.Rows[0].AxisLabel, "2022/07/01～2022/07/31 7/1");
    EXPECT_EQ(periods.Rows[0].Totals, (UsageTotals{31 * 24 * 10, 31 * 24 * 20}));
    EXPECT_EQ(periods.Rows[23].Totals, (UsageTotals{14 * 24 * 10, 14 * 24 * 20}));
    EXPECT_EQ(periods.Scale, (BarScale{10'000'000'000, 5})) << "the 50 GB allowance fits";
    const std::string csv = UsageViewCsv(periods);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n", 40)),
              "\xEF\xBB\xBF" "Date,Connection,Id,Sent,Received\r\n2022-07-01,Ethernet,{B},7440,14880");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 24) << "only the chosen connection";
}

TEST(ByteAmount, ShowsDecimalUnitsAsTheyFitAndReadsTheAllowanceAsTyped) {
    const LocaleFormats german{",", ".", "/", ":", Language::English}, dot;
    const std::tuple<std::uint64_t, ByteStyle, const LocaleFormats*, std::string> shown[] = {
        {0, ByteStyle::Short, &dot, "0B"},           {999, ByteStyle::Short, &dot, "999B"},
        {1000, ByteStyle::Short, &dot, "1KB"},       {999'949, ByteStyle::Short, &dot, "999.9KB"},
        {999'950, ByteStyle::Short, &dot, "1MB"},    {8'500'000, ByteStyle::Short, &dot, "8.5MB"},
        {512, ByteStyle::Table, &dot, "512 B"},      {1'234'567'890, ByteStyle::Table, &dot, "1.23 GB"},
        {12'345'678'901'234, ByteStyle::Short, &german, "12.345,7GB"},
    };
    for (const auto& [bytes, style, locale, text] : shown) EXPECT_EQ(FormatBytes(bytes, style, *locale), text) << bytes;

    constexpr auto MB = AllowanceUnit::Megabytes;
    constexpr auto GB = AllowanceUnit::Gigabytes;
    const std::tuple<std::string, AllowanceUnit, const LocaleFormats*, std::optional<std::int32_t>> typed[] = {
        {"1.5", GB, &dot, 1500},     {" 10 ", MB, &dot, 10},         {"1,000", MB, &dot, 1000},
        {"2.0005", GB, &dot, 2001},  {"0.0004", GB, &dot, 1},        {"0", MB, &dot, 0},
        {"１０", GB, &dot, 10'000},  {"99999999999", GB, &dot, kMaxAllowanceMegabytes},
        {"1,5", GB, &german, 1500},  {"1.000", MB, &german, 1000},   {"1.5", GB, &german, std::nullopt},
        {"", MB, &dot, std::nullopt}, {"1.2.3", GB, &dot, std::nullopt}, {"-5", MB, &dot, std::nullopt},
    };
    for (const auto& [text, unit, locale, megabytes] : typed)
        EXPECT_EQ(AllowanceFromEntry(text, unit, *locale), megabytes) << text;
    EXPECT_EQ(EntryOfAllowance(2345, german), (AllowanceEntry{"2,345", GB}));
    EXPECT_EQ(EntryOfAllowance(999, dot), (AllowanceEntry{"999", MB}));
}

}  // namespace
}  // namespace vantor
