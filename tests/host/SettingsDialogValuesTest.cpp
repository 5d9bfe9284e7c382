// The settings dialog's values: filled from the settings and the counter source, the enable rules, and
// what OK applies.

#include "app/core/SettingsDialogValues.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakeIfTable.h"

namespace vantor {
namespace {

using testing::FakeIfTable;

struct SettingsDialogValuesFixture : ::testing::Test {
    FakeIfTable table;
    TNetworkSpeed networkSpeed{nullptr, table};
    MonitorSettings settings;

    void Watch(int interfaceNo) {
        table.rows = {{"lo"}, {"eth0"}, {"wlan0"}};
        networkSpeed.Watch(TWatchMode::wmInterface, {.Position = interfaceNo});
        networkSpeed.Sample();
    }
    static InterfaceItem Item(const char* text, int position) {
        return {text, {TWatchMode::wmInterface, {InterfaceIdentity{{}, text}, position, false}}};
    }
};

TEST_F(SettingsDialogValuesFixture, FillShowsTheSettingsAndTheWatchedInterface) {
    Watch(2);
    settings = {1234, 567, 2, true, true, false, "D:\\net.log", false, 300, true, false};
    const SettingsDialogValues values = FillSettingsDialog(settings, networkSpeed);
    EXPECT_EQ(values.Interfaces, (std::vector<InterfaceItem>{{"自動（使用中の接続）", {TWatchMode::wmRoute, {}}},
                                                             {"すべての接続", {TWatchMode::wmAll, {}}},
                                                             Item("lo", 1),
                                                             Item("eth0", 2),
                                                             Item("wlan0", 3)}));
    EXPECT_EQ(values.InterfaceIndex, 3);
    EXPECT_EQ(values.GaugeSend, "1234");
    EXPECT_EQ(values.GaugeReceive, "567");
    EXPECT_EQ(values.LogInterval, "300");
    EXPECT_EQ(values.LogPath, "D:\\net.log");
    EXPECT_FALSE(values.ShowAtStart);
    EXPECT_TRUE(values.FixedGauge);
    EXPECT_FALSE(values.GraphAverage);
    EXPECT_FALSE(values.LogEnabled);
    EXPECT_TRUE(values.BitUnits);
    EXPECT_TRUE(values.GaugeControlsEnabled);
    EXPECT_FALSE(values.LogControlsEnabled) << "logging off: place, interval, path and its button disabled";
}

TEST_F(SettingsDialogValuesFixture, SelectionIsTheWayOfWatchingAndTheRowTheCounterSourceWatches) {
    Watch(7);  // out of range: the counter source watches row 1
    EXPECT_EQ(FillSettingsDialog(settings, networkSpeed).InterfaceIndex, 2);
    settings.Watch = TWatchMode::wmRoute;
    EXPECT_EQ(FillSettingsDialog(settings, networkSpeed).InterfaceIndex, 0);
    settings.Watch = TWatchMode::wmAll;
    EXPECT_EQ(FillSettingsDialog(settings, networkSpeed).InterfaceIndex, 1);
    settings.Watch = TWatchMode::wmInterface;
    table.rows.clear();
    networkSpeed.Watch(TWatchMode::wmInterface, {.Position = 2});
    networkSpeed.Sample();
    EXPECT_EQ(FillSettingsDialog(settings, networkSpeed).InterfaceIndex, -1) << "an empty table";
}

TEST_F(SettingsDialogValuesFixture, EnableRulesFollowTheirCheckBoxes) {
    SettingsDialogValues values = FillSettingsDialog(settings, networkSpeed);
    ASSERT_FALSE(values.GaugeControlsEnabled);
    values.LogEnabled = true;
    LogEnabledClick(values);
    EXPECT_TRUE(values.LogControlsEnabled);
    EXPECT_FALSE(values.GaugeControlsEnabled);
    values.FixedGauge = true;
    FixedGaugeClick(values);
    EXPECT_TRUE(values.GaugeControlsEnabled);
    values.LogEnabled = false;
    LogEnabledClick(values);
    EXPECT_FALSE(values.LogControlsEnabled);
}

TEST_F(SettingsDialogValuesFixture, OkAppliesEveryValueRestartsThePeaksAndSchedulesALogLine) {
    Watch(1);
    MonitorState state{5000, 6000, 111, 222, 33, 17, ByteCounts{44, 55}};
    SettingsDialogValues values = FillSettingsDialog(settings, networkSpeed);
    values.InterfaceIndex = 4;
    values.ShowAtStart = false;
    values.FixedGauge = true;
    values.GaugeSend = "200";
    values.GaugeReceive = "300";
    values.GraphAverage = true;
    values.BitUnits = true;
    values.LogEnabled = true;
    values.LogPath = "E:\\traffic.log";
    values.LogInterval = "120";
    EXPECT_EQ(ApplySettingsDialog(values, settings, state), values.Interfaces[4].Choice);
    EXPECT_EQ(settings, (MonitorSettings{200, 300, 1, false, true, true, "E:\\traffic.log", true, 120, true, false}))
        << "the way of watching is left to WatchChosen";
    EXPECT_EQ(state, (MonitorState{0, 0, 111, 222, 33, 121, ByteCounts{44, 55}}))
        << "peaks zeroed, a line due at the next tick, sums, averaging count and the log's count kept";

    values.InterfaceIndex = -1;
    EXPECT_EQ(ApplySettingsDialog(values, settings, state), std::nullopt) << "nothing selected";
}

TEST_F(SettingsDialogValuesFixture, SpinValuesArePulledIntoTheirRangesWhenShownAndOnOk) {
    settings.GaugeSend = 0;
    settings.GaugeReceive = 250000;
    settings.LogInterval = 20000;
    SettingsDialogValues values = FillSettingsDialog(settings, networkSpeed);
    EXPECT_EQ(values.GaugeSend, "1");
    EXPECT_EQ(values.GaugeReceive, "100000");
    EXPECT_EQ(values.LogInterval, "10800");
    MonitorState state;
    ApplySettingsDialog(values, settings, state);
    EXPECT_EQ(settings.GaugeSend, 1);
    EXPECT_EQ(settings.GaugeReceive, 100000);
    EXPECT_EQ(settings.LogInterval, 10800);

    // Typed and confirmed with Enter, never pulled into range by the box itself.
    struct Case {
        const char* typed;
        std::int32_t gauge, interval;
    } typed[] = {
        {"0", 1, 1},           {"-5", 1, 1},         {"abc", 1, 1},        {"", 1, 1},
        {"42", 42, 42},        {"+7", 7, 7},         {" 15", 15, 15},      {"15 ", 1, 1},
        {"250000", 100000, 10800}, {"99999999999", 1, 1}, {"1.5", 1, 1},
        {"６０", 60, 60},        {"-５", 1, 1},
    };
    for (const Case& c : typed) {
        values.GaugeSend = values.GaugeReceive = values.LogInterval = c.typed;
        ApplySettingsDialog(values, settings, state);
        EXPECT_EQ(settings.GaugeSend, c.gauge) << '"' << c.typed << '"';
        EXPECT_EQ(settings.GaugeReceive, c.gauge) << '"' << c.typed << '"';
        EXPECT_EQ(settings.LogInterval, c.interval) << '"' << c.typed << '"';
        EXPECT_EQ(state.LogTicks, c.interval + 1);
    }
}

}  // namespace
}  // namespace vantor
