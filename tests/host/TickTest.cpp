#include "app/core/Tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "components/NetworkSpeed/NetworkSpeed.h"
#include "framework/Unicode.h"
#include "tests/fakes/FakeIfTable.h"

namespace vantor {
namespace {

CounterSample Traffic(std::uint32_t out, std::uint32_t in) {
    return {.OutPacket = out, .InPacket = in, .TotalOutPacket = 0, .TotalInPacket = 0, .Speed = 100'000'000};
}

// The chart point that GraphAverage with a 1 KB gauge gives: it shows the average to the byte.
std::int32_t AveragePointAgainstOneKilobyte(std::uint32_t average) {
    return static_cast<std::int32_t>(std::uint64_t{average} * 100 / 1024);
}

TEST(Tick, FirstTickWithoutTrafficShowsZeroEverywhere) {
    MonitorState state;
    const TickOutputs out = RunTick(state, {}, Traffic(0, 0), {});
    for (const std::string* label : {&out.Send.Current, &out.Receive.Current, &out.Send.Average, &out.Receive.Average, &out.Send.Peak, &out.Receive.Peak})
        EXPECT_EQ(*label, "0.0");
    EXPECT_EQ(out.Send.Rate, "0%");
    EXPECT_EQ(out.Receive.Rate, "0%");
    EXPECT_EQ(out.Send.ChartPoint, 0);
    EXPECT_EQ(out.Receive.ChartPoint, 0);
    EXPECT_EQ(out.Receive.TrayPercent, 0);
    EXPECT_EQ(out.Send.TrayPercent, 0);
    EXPECT_EQ(state.MaxOutPacket, 0u);
    EXPECT_EQ(state.MaxInPacket, 0u);
    EXPECT_EQ(state.AverageCount, 1u);
    EXPECT_FALSE(out.LogDue);
}

TEST(Tick, AveragesOverSixtyOneTicksThenCarriesTheFoldedSum) {
    MonitorSettings settings;
    settings.GraphAverage = true;
    settings.FixedGauge = true;
    settings.GaugeSend = 1;
    settings.GaugeReceive = 1;
    MonitorState state;
    std::vector<std::int32_t> sendPoints, receivePoints;
    std::vector<std::string> averageLabels;
    for (int tick = 1; tick <= 122; ++tick) {
        const TickOutputs out = RunTick(state, settings, Traffic(6000, 6000), {});
        sendPoints.push_back(out.Send.ChartPoint);
        receivePoints.push_back(out.Receive.ChartPoint);
        averageLabels.push_back(out.Send.Average);
    }
    const auto at = [&](int tick) { return sendPoints[static_cast<std::size_t>(tick - 1)]; };
    for (int tick = 1; tick <= 61; ++tick) EXPECT_EQ(at(tick), AveragePointAgainstOneKilobyte(6000)) << tick;
    EXPECT_EQ(at(62), AveragePointAgainstOneKilobyte(6200));
    EXPECT_EQ(at(63), AveragePointAgainstOneKilobyte(6100));
    EXPECT_EQ(at(122), AveragePointAgainstOneKilobyte(6003));
    EXPECT_EQ(receivePoints, sendPoints);
    EXPECT_EQ(averageLabels[61], "6.1");  // 6200 / 1024
    EXPECT_EQ(averageLabels[62], "6.0");  // 6100 / 1024
    EXPECT_EQ(state.AverageCount, 61u);
    EXPECT_EQ(state.SumOutPacket, 366200u);
}

TEST(Tick, SumsGoPastFourGigabytesAndStillAverage) {
    MonitorState state;
    state.SumOutPacket = 0xFFFF'FF00u;
    state.AverageCount = 1;
    const TickOutputs out = RunTick(state, {}, Traffic(0x200, 0), {});
    EXPECT_EQ(state.SumOutPacket, 0x1'0000'0100u);
    EXPECT_EQ(out.Send.Average, "2,097,152.1");  // 0x1'0000'0100 / 2 bytes in KB
}

TEST(Tick, ShowsFiguresInKilobytesOrKilobits) {
    struct Case {
        std::uint32_t bytes;
        bool bits;
        const char* text;
    };
    for (const Case c : {Case{1536, false, "1.5"}, Case{1536, true, "12.0"}, Case{1234567, false, "1,205.6"},
                         Case{1234567, true, "9,645.1"}, Case{256, false, "0.3"}, Case{4294967295u, true, "33,554,432.0"}}) {
        MonitorSettings settings;
        settings.BitUnits = c.bits;
        MonitorState state;
        const TickOutputs out = RunTick(state, settings, Traffic(c.bytes, c.bytes), {});
        EXPECT_EQ(out.Send.Current, c.text) << c.bytes << (c.bits ? " bits" : " bytes");
        EXPECT_EQ(out.Send.Average, c.text);
        EXPECT_EQ(out.Send.Peak, c.text);
        EXPECT_EQ(out.Receive.Current, c.text);
        EXPECT_EQ(out.Receive.Average, c.text);
        EXPECT_EQ(out.Receive.Peak, c.text);
    }
}

// One direction's rate, chart point and tray percentage, tried on the send and on the receive row.
struct RateCase {
    const char* name;
    std::uint32_t current;
    std::uint32_t peak;
    bool graphAverage;
    bool fixedGauge;
    std::int32_t gauge;
    const char* sendLabel;
    const char* receiveLabel;
    std::int32_t point;
    std::int32_t trayPercent;
};

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

const RateCase kRateCases[] = {
    {"current against the peak", 300, 400, false, false, 10, "75%", "75%", 75, 75},
    {"current against a 1 KB gauge", 300, 400, false, true, 1, "75%", "75%", 29, 29},
    {"average against the peak", 300, 400, true, false, 10, "75%", "75%", 75, 75},
    {"average against a 1 KB gauge", 300, 400, true, true, 1, "75%", "75%", 29, 75},
    {"half of a large peak", 50'000'000, 100'000'000, false, false, 10, "50%", "50%", 50, 50},
    {"99.9 percent", 999, 1000, false, false, 10, "100%", "99%", 99, 99},
    {"99.5 percent", 995, 1000, false, false, 10, "100%", "99%", 99, 99},
    {"99.4 percent", 994, 1000, false, false, 10, "99%", "99%", 99, 99},
    {"beyond the gauge", 30'000, 40'000, false, true, 10, "75%", "75%", 292, 292},
    {"gauge of 0 counts as 1 KB", 300, 400, false, true, 0, "75%", "75%", 29, 29},
    {"negative gauge counts as 1 KB", 300, 400, true, true, -7, "75%", "75%", 29, 75},
    {"largest gauge", 4'000'000'000u, 4'000'000'000u, true, true, kIntMax, "100%", "100%", 0, 100},
    {"largest gauge, current", 4'000'000'000u, 4'000'000'000u, false, true, kIntMax, "100%", "100%", 0, 0},
};

TEST(Tick, RatesPointsAndTrayPercentagesOfBothRows) {
    for (const RateCase& c : kRateCases) {
        MonitorSettings settings;
        settings.GraphAverage = c.graphAverage;
        settings.FixedGauge = c.fixedGauge;
        settings.GaugeSend = c.gauge;
        settings.GaugeReceive = c.gauge;

        MonitorState sendState;
        sendState.MaxOutPacket = c.peak;
        const TickOutputs send = RunTick(sendState, settings, Traffic(c.current, 0), {});
        EXPECT_EQ(send.Send.Rate, c.sendLabel) << c.name;
        EXPECT_EQ(send.Send.ChartPoint, c.point) << c.name;
        EXPECT_EQ(send.Send.TrayPercent, c.trayPercent) << c.name;
        EXPECT_EQ(send.Receive.Rate, "0%") << c.name;
        EXPECT_EQ(send.Receive.ChartPoint, 0) << c.name;
        EXPECT_EQ(send.Receive.TrayPercent, 0) << c.name;

        MonitorState receiveState;
        receiveState.MaxInPacket = c.peak;
        const TickOutputs receive = RunTick(receiveState, settings, Traffic(0, c.current), {});
        EXPECT_EQ(receive.Receive.Rate, c.receiveLabel) << c.name;
        EXPECT_EQ(receive.Receive.ChartPoint, c.point) << c.name;
        EXPECT_EQ(receive.Receive.TrayPercent, c.trayPercent) << c.name;
        EXPECT_EQ(receive.Send.Rate, "0%") << c.name;
        EXPECT_EQ(receive.Send.TrayPercent, 0) << c.name;
    }
}

TEST(Tick, TheGaugeOfOneRowDoesNotScaleTheOther) {
    MonitorSettings settings;
    settings.FixedGauge = true;
    settings.GaugeSend = 1;
    settings.GaugeReceive = 100;
    MonitorState state;
    const TickOutputs out = RunTick(state, settings, Traffic(512, 51200), {});
    EXPECT_EQ(out.Send.ChartPoint, 50);
    EXPECT_EQ(out.Receive.ChartPoint, 50);
}

TEST(Tick, AfterAPeakResetTheNextTrafficIsTheNewPeak) {
    MonitorState state;
    (void)RunTick(state, {}, Traffic(5000, 8000), {});
    ResetPeaks(state);
    EXPECT_EQ(state.MaxOutPacket, 0u);
    EXPECT_EQ(state.MaxInPacket, 0u);
    EXPECT_EQ(state.SumOutPacket, 5000u);  // the averaging cycle goes on
    EXPECT_EQ(state.AverageCount, 1u);

    const TickOutputs out = RunTick(state, {}, Traffic(1000, 0), {});
    EXPECT_EQ(state.MaxOutPacket, 1000u);
    EXPECT_EQ(out.Send.Peak, "1.0");
    EXPECT_EQ(out.Send.Rate, "100%");
    EXPECT_EQ(out.Send.ChartPoint, 100);
    EXPECT_EQ(out.Send.TrayPercent, 100);
    EXPECT_EQ(out.Receive.Peak, "0.0");
    EXPECT_EQ(out.Receive.Rate, "0%");
    EXPECT_EQ(out.Receive.TrayPercent, 0);
}

TEST(Tick, AverageAboveTheResetPeakPlotsAboveTheTopAndSaturates) {
    MonitorSettings settings;
    settings.GraphAverage = true;
    MonitorState state;
    for (int i = 0; i < 10; ++i) (void)RunTick(state, settings, Traffic(10000, 0), {});
    ResetPeaks(state);
    TickOutputs out = RunTick(state, settings, Traffic(1000, 0), {});
    EXPECT_EQ(out.Send.ChartPoint, 918);  // average 101000 div 11 = 9181 against a peak of 1000
    EXPECT_EQ(out.Send.Rate, "100%");
    EXPECT_EQ(out.Send.TrayPercent, 100);

    // An average many times a tiny new peak stays the largest point instead of wrapping around.
    MonitorState huge;
    (void)RunTick(huge, settings, Traffic(3'000'000'000u, 0), {});
    ResetPeaks(huge);
    out = RunTick(huge, settings, Traffic(1, 0), {});
    EXPECT_EQ(out.Send.ChartPoint, kIntMax);
}

TEST(Tick, TipNamesWhatItShowsThenTheLinkSpeedAndTotalsWithinItsRoom) {
    struct Case {
        std::uint64_t speed, totalOut, totalIn;
        bool bits;
        std::string name;
        bool all;
        std::string tip;
    };
    const std::string longName(150, 'n');
    const std::string japaneseName = "イーサネット 2 (USB 10/100/1000 LAN アダプター) ローカル エリア接続の名前をとても長く付けたもの"
                                     "さらにもっと長く、通知領域の吹き出しには収まらないほど長く続ける名前🌐🌐🌐";
    const Case cases[] = {
        {100'000'000, 10485760, 1048576000, false, "Ethernet", false,
         "Ethernet\r\n速度:100.0Mbps\r\n送信:10,240 KB\r\n受信:1,024,000 KB"},
        {100'000'000, 10485760, 1048576000, true, "Wi-Fi", false, "Wi-Fi\r\n速度:100.0Mbps\r\n送信:81,920 KB\r\n受信:8,192,000 KB"},
        {2'500'000'000u, 0, 512, false, "", true, "すべての接続\r\n速度:2500.0Mbps\r\n送信:0 KB\r\n受信:1 KB"},
        {4'294'967'295u, 4'294'967'295u, 1535, false, "", false, "接続なし\r\n速度:4295.0Mbps\r\n送信:4,194,304 KB\r\n受信:1 KB"},
        {2'000'000, 0, 0, false, "eth0", false, "eth0\r\n速度:02.0Mbps\r\n送信:0 KB\r\n受信:0 KB"},
        {25'000'000'000u, 5'000'000'000'000u, 4'294'967'296u, false, longName, false,
         std::string(72, 'n') + "…\r\n速度:25000.0Mbps\r\n送信:4,882,812,500 KB\r\n受信:4,194,304 KB"},
    };
    for (const Case& c : cases) {
        MonitorSettings settings;
        settings.BitUnits = c.bits;
        MonitorState state;
        const CounterSample sample{.TotalOutPacket = c.totalOut, .TotalInPacket = c.totalIn, .Speed = c.speed,
                                   .AllConnections = c.all, .InterfaceName = c.name};
        EXPECT_EQ(RunTick(state, settings, sample, {}).TipHelp, c.tip);
    }
    // Cut to the room the notification area has, never inside a character, the figures and usage whole.
    const CounterSample sample{.TotalOutPacket = 5'000'000'000'000u, .Speed = 1, .InterfaceName = japaneseName,
                               .UsageLine = "今期 8.1GB / 10GB"};
    MonitorState state;
    const std::string tip = RunTick(state, {}, sample, {}).TipHelp;
    EXPECT_EQ(Utf8ToUtf16(tip).size(), kTipCharacters);
    EXPECT_TRUE(tip.ends_with("\r\n送信:4,882,812,500 KB\r\n受信:0 KB\r\n今期 8.1GB / 10GB")) << tip;
    EXPECT_EQ(Utf8ToUtf16(tip).find(u'\uFFFD'), std::u16string::npos);
}

TEST(Tick, UsesTheLocaleSeparatorsAndLanguage) {
    LocaleFormats locale;
    locale.DecimalSeparator = ",";
    locale.ThousandSeparator = ".";
    MonitorState state;
    const CounterSample sample{.OutPacket = 1234567, .InPacket = 1536, .TotalOutPacket = 1048576000,
                               .TotalInPacket = 0, .Speed = 2'000'000};
    const TickOutputs out = RunTick(state, {}, sample, locale);
    EXPECT_EQ(out.Send.Current, "1.205,6");
    EXPECT_EQ(out.Receive.Current, "1,5");
    EXPECT_EQ(out.TipHelp, "接続なし\r\n速度:02,0Mbps\r\n送信:1.024.000 KB\r\n受信:0 KB");
    locale.TextLanguage = Language::English;
    EXPECT_EQ(RunTick(state, {}, sample, locale).TipHelp,
              "No connection\r\nSpeed: 02,0Mbps\r\nSent: 1.024.000 KB\r\nReceived: 0 KB");
}

TEST(Tick, ReadsALinkFasterThanTwoGigabitsFromTheCounterSource) {
    testing::FakeIfTable table;
    table.rows = {{.speed = 2'500'000'000u, .inOctets = 2048, .outOctets = 1024}};
    TNetworkSpeed source(nullptr, table);
    source.Watch(TWatchMode::wmInterface, {.Position = 1});
    source.Sample();
    table.rows[0].outOctets += 3072;
    source.Sample();
    const CounterSample sample = ReadCounters(source);
    EXPECT_EQ(sample.OutPacket, 3072u);
    EXPECT_EQ(sample.TotalOutPacket, 4096u);
    EXPECT_EQ(sample.TotalInPacket, 2048u);
    MonitorState state;
    EXPECT_EQ(RunTick(state, {}, sample, {}).TipHelp, "eth0\r\n速度:2500.0Mbps\r\n送信:4 KB\r\n受信:2 KB");
}

// Runs ticks as the main window does and returns the ticks on which a log line was written. `failing`
// lists the ticks whose log writer throws.
std::vector<int> LoggedTicks(MonitorState& state, const MonitorSettings& settings, int ticks,
                             const std::vector<int>& failing = {}) {
    std::vector<int> logged;
    for (int tick = 1; tick <= ticks; ++tick) {
        const CounterSample sample{.OutPacket = 1000, .InPacket = 7};
        if (!RunTick(state, settings, sample, {}).LogDue) continue;
        if (std::find(failing.begin(), failing.end(), tick) != failing.end()) continue;
        logged.push_back(tick);
        LogLineWritten(state);
    }
    return logged;
}

TEST(TickLog, WritesAtOnceThenEveryInterval) {
    MonitorSettings settings;
    settings.LogEnabled = true;
    settings.LogInterval = 60;
    MonitorState state;
    state.LogTicks = 60;  // as after loading the settings
    EXPECT_EQ(LoggedTicks(state, settings, 125), (std::vector<int>{1, 61, 121}));
    EXPECT_EQ(state.LogCounted, (ByteCounts{4000, 28})) << "the bytes of the four ticks since the last line";
    EXPECT_EQ(state.LogTicks, 5);

    state.LogTicks = 61;  // as after OK in the settings dialog
    EXPECT_EQ(LoggedTicks(state, settings, 62), (std::vector<int>{1, 61}));
}

TEST(TickLog, StandsStillWhileLoggingIsOff) {
    MonitorSettings settings;
    settings.LogInterval = 1;
    MonitorState state;
    state.LogTicks = 5;
    EXPECT_TRUE(LoggedTicks(state, settings, 10).empty());
    EXPECT_EQ(state.LogTicks, 5);
}

TEST(TickLog, AnIntervalOfZeroOrLessLogsEveryTick) {
    for (const std::int32_t interval : {0, -3}) {
        MonitorSettings settings;
        settings.LogEnabled = true;
        settings.LogInterval = interval;
        MonitorState state;
        EXPECT_EQ(LoggedTicks(state, settings, 4), (std::vector<int>{1, 2, 3, 4})) << interval;
    }
}

TEST(TickLog, AFailedLineKeepsCountingAndRetriesAfterIntervalPlusOne) {
    MonitorSettings settings;
    settings.LogEnabled = true;
    settings.LogInterval = 3;
    MonitorState state;
    state.LogTicks = 3;
    EXPECT_EQ(LogLineCounts(state), ByteCounts{}) << "the run's first line reads 0,0";
    state.LogCounted = ByteCounts{11, 12};
    EXPECT_EQ(LoggedTicks(state, settings, 1, {1}), std::vector<int>{});
    EXPECT_EQ(state.LogTicks, 0);
    EXPECT_EQ(LogLineCounts(state), (ByteCounts{1011, 19}));

    MonitorState retry;
    retry.LogTicks = 3;
    EXPECT_EQ(LoggedTicks(retry, settings, 10, {1}), (std::vector<int>{5, 8}));
}

}  // namespace
}  // namespace vantor
