// The settings dialog's values: filled from the settings and the counter source, the enable rules, and
// what OK applies.

#include "app/core/PropDialog.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakeIfTable.h"

namespace vantor {
namespace {

using testing::FakeIfTable;

struct PropDialogFixture : ::testing::Test {
    FakeIfTable table;
    TNetworkSpeed networkSpeed{nullptr, table};
    MonitorSettings settings;

    void Watch(int interfaceNo) {
        table.rows = {{"lo"}, {"eth0"}, {"wlan0"}};
        networkSpeed.SetInterfaceNo(interfaceNo);
        ASSERT_TRUE(networkSpeed.RefreshTable());
    }
};

TEST_F(PropDialogFixture, FillShowsTheSettingsAndTheWatchedInterface) {
    Watch(2);
    settings = {1234, 567, 2, true, true, false, "D:\\net.log", false, 300, true, false};
    const PropDialogValues values = FillPropDialog(settings, networkSpeed);
    EXPECT_EQ(values.ComboBox1Items, (std::vector<std::string>{"lo", "eth0", "wlan0"}));
    EXPECT_EQ(values.ComboBox1Index, 1);
    EXPECT_EQ(values.SpinEdit1, "1234");
    EXPECT_EQ(values.SpinEdit2, "567");
    EXPECT_EQ(values.SpinEdit3, "300");
    EXPECT_EQ(values.Edit1, "D:\\net.log");
    EXPECT_FALSE(values.CheckBox1);
    EXPECT_TRUE(values.CheckBox2);
    EXPECT_FALSE(values.CheckBox3);
    EXPECT_FALSE(values.CheckBox4);
    EXPECT_TRUE(values.CheckBox5);
    EXPECT_TRUE(values.GaugeControlsEnabled);
    EXPECT_FALSE(values.LogControlsEnabled) << "logging off: place, interval, path and its button disabled";
}

TEST_F(PropDialogFixture, SelectionIsTheRowTheCounterSourceWatchesOrNone) {
    Watch(7);  // out of range: the counter source watches row 1
    EXPECT_EQ(FillPropDialog(settings, networkSpeed).ComboBox1Index, 0);
    networkSpeed.SetInterfaceNo(4);  // beyond the list, not re-read
    EXPECT_EQ(FillPropDialog(settings, networkSpeed).ComboBox1Index, -1);
    networkSpeed.SetInterfaceNo(0);
    EXPECT_EQ(FillPropDialog(settings, networkSpeed).ComboBox1Index, -1);
    table.rows.clear();
    ASSERT_TRUE(networkSpeed.RefreshTable());
    EXPECT_EQ(FillPropDialog(settings, networkSpeed).ComboBox1Index, -1) << "an empty table";
}

TEST_F(PropDialogFixture, EnableRulesFollowTheirCheckBoxes) {
    PropDialogValues values = FillPropDialog(settings, networkSpeed);
    ASSERT_FALSE(values.GaugeControlsEnabled);
    values.CheckBox4 = true;
    CheckBox4Click(values);
    EXPECT_TRUE(values.LogControlsEnabled);
    EXPECT_FALSE(values.GaugeControlsEnabled);
    values.CheckBox2 = true;
    CheckBox2Click(values);
    EXPECT_TRUE(values.GaugeControlsEnabled);
    values.CheckBox4 = false;
    CheckBox4Click(values);
    EXPECT_FALSE(values.LogControlsEnabled);
}

TEST_F(PropDialogFixture, OkAppliesEveryValueRestartsThePeaksAndSchedulesALogLine) {
    Watch(1);
    MonitorState state{5000, 6000, 111, 222, 33, 17, 44, 55};
    PropDialogValues values = FillPropDialog(settings, networkSpeed);
    values.ComboBox1Index = 2;
    values.CheckBox1 = false;
    values.CheckBox2 = true;
    values.SpinEdit1 = "200";
    values.SpinEdit2 = "300";
    values.CheckBox3 = true;
    values.CheckBox5 = true;
    values.CheckBox4 = true;
    values.Edit1 = "E:\\traffic.log";
    values.SpinEdit3 = "120";
    EXPECT_EQ(ApplyPropDialog(values, settings, state), 3);
    EXPECT_EQ(settings, (MonitorSettings{200, 300, 3, false, true, true, "E:\\traffic.log", true, 120, true, false}));
    EXPECT_EQ(state, (MonitorState{0, 0, 111, 222, 33, 121, 44, 55}))
        << "peaks zeroed, a line due at the next tick, sums, count and baselines kept";

    values.ComboBox1Index = -1;
    EXPECT_EQ(ApplyPropDialog(values, settings, state), 0) << "nothing selected";
    EXPECT_EQ(settings.SelectedInterface, 0);
}

TEST_F(PropDialogFixture, SpinValuesArePulledIntoTheirRangesWhenShownAndOnOk) {
    settings.GaugeSend = 0;
    settings.GaugeRese = 250000;
    settings.LogInterval = 20000;
    PropDialogValues values = FillPropDialog(settings, networkSpeed);
    EXPECT_EQ(values.SpinEdit1, "1");
    EXPECT_EQ(values.SpinEdit2, "100000");
    EXPECT_EQ(values.SpinEdit3, "10800");
    MonitorState state;
    ApplyPropDialog(values, settings, state);
    EXPECT_EQ(settings.GaugeSend, 1);
    EXPECT_EQ(settings.GaugeRese, 100000);
    EXPECT_EQ(settings.LogInterval, 10800);

    // Typed and confirmed with Enter, never pulled into range by the box itself.
    struct Case {
        const char* typed;
        std::int32_t gauge, interval;
    } typed[] = {
        {"0", 1, 1},           {"-5", 1, 1},         {"abc", 1, 1},        {"", 1, 1},
        {"42", 42, 42},        {"+7", 7, 7},         {" 15", 15, 15},      {"15 ", 1, 1},
        {"250000", 100000, 10800}, {"99999999999", 1, 1}, {"1.5", 1, 1},
    };
    for (const Case& c : typed) {
        values.SpinEdit1 = values.SpinEdit2 = values.SpinEdit3 = c.typed;
        ApplyPropDialog(values, settings, state);
        EXPECT_EQ(settings.GaugeSend, c.gauge) << '"' << c.typed << '"';
        EXPECT_EQ(settings.GaugeRese, c.gauge) << '"' << c.typed << '"';
        EXPECT_EQ(settings.LogInterval, c.interval) << '"' << c.typed << '"';
        EXPECT_EQ(state.LogTicks, c.interval + 1);
    }
}

}  // namespace
}  // namespace vantor
