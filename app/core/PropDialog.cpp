#include "app/core/PropDialog.h"

#include <string>

#include "framework/SpinValue.h"

namespace vantor {
namespace {

std::string Shown(std::int32_t value, SpinRange range) { return std::to_string(PullIntoRange(value, range.Min, range.Max)); }

}  // namespace

PropDialogValues FillPropDialog(const MonitorSettings& settings, const TNetworkSpeed& networkSpeed) {
    PropDialogValues values;
    values.ComboBox1Items = networkSpeed.AdapterTable();
    const int index = networkSpeed.InterfaceNo() - 1;
    values.ComboBox1Index = index >= 0 && index < static_cast<int>(values.ComboBox1Items.size()) ? index : -1;
    values.SpinEdit1 = Shown(settings.GaugeSend, GaugeRange);
    values.SpinEdit2 = Shown(settings.GaugeRese, GaugeRange);
    values.CheckBox1 = settings.ShowAtStart;
    values.CheckBox2 = settings.FixedGauge;
    values.CheckBox3 = settings.GraphAverage;
    CheckBox2Click(values);
    values.CheckBox4 = settings.LogEnabled;
    CheckBox4Click(values);
    values.CheckBox5 = settings.BitUnits;
    values.Edit1 = settings.LogPath;
    values.SpinEdit3 = Shown(settings.LogInterval, LogIntervalRange);
    return values;
}

void CheckBox2Click(PropDialogValues& values) { values.GaugeControlsEnabled = values.CheckBox2; }

void CheckBox4Click(PropDialogValues& values) { values.LogControlsEnabled = values.CheckBox4; }

std::int32_t ApplyPropDialog(const PropDialogValues& values, MonitorSettings& settings, MonitorState& state) {
    const auto spin = [](const std::string& text, SpinRange range) {
        return PullIntoRange(SpinValue(text, range.Min), range.Min, range.Max);
    };
    settings.GaugeSend = spin(values.SpinEdit1, GaugeRange);
    settings.GaugeRese = spin(values.SpinEdit2, GaugeRange);
    settings.SelectedInterface = values.ComboBox1Index >= 0 ? values.ComboBox1Index + 1 : 0;
    settings.ShowAtStart = values.CheckBox1;
    settings.FixedGauge = values.CheckBox2;
    settings.GraphAverage = values.CheckBox3;
    state.MaxOutPacket = 0;
    state.MaxInPacket = 0;
    settings.LogPath = values.Edit1;
    settings.LogEnabled = values.CheckBox4;
    settings.LogInterval = spin(values.SpinEdit3, LogIntervalRange);
    // One past the interval: the next tick writes a line at once.
    state.LogTicks = settings.LogInterval + 1;
    settings.BitUnits = values.CheckBox5;
    return settings.SelectedInterface;
}

}  // namespace vantor
