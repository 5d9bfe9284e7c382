#include "app/core/PropDialog.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace vantor {

std::int32_t ClampToRange(std::int64_t value, SpinRange range) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, range.Min, range.Max));
}

std::int32_t ReadSpinValue(std::string_view text, SpinRange range) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);  // from_chars takes '-' only
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return range.Min;
    return value;
}

PropDialogValues FillPropDialog(const MonitorSettings& settings, const TNetworkSpeed& networkSpeed) {
    PropDialogValues values;
    values.ComboBox1Items = networkSpeed.AdapterTable();
    const int index = networkSpeed.InterfaceNo() - 1;
    values.ComboBox1Index = index >= 0 && index < static_cast<int>(values.ComboBox1Items.size()) ? index : -1;
    values.SpinEdit1 = std::to_string(ClampToRange(settings.GaugeSend, GaugeRange));
    values.SpinEdit2 = std::to_string(ClampToRange(settings.GaugeRese, GaugeRange));
    values.CheckBox1 = settings.ShowAtStart;
    values.CheckBox2 = settings.FixedGauge;
    values.CheckBox3 = settings.GraphAverage;
    CheckBox2Click(values);
    values.CheckBox4 = settings.LogEnabled;
    CheckBox4Click(values);
    values.CheckBox5 = settings.BitUnits;
    values.Edit1 = settings.LogPath;
    values.SpinEdit3 = std::to_string(ClampToRange(settings.LogInterval, LogIntervalRange));
    return values;
}

void CheckBox2Click(PropDialogValues& values) { values.GaugeControlsEnabled = values.CheckBox2; }

void CheckBox4Click(PropDialogValues& values) { values.LogControlsEnabled = values.CheckBox4; }

std::int32_t ApplyPropDialog(const PropDialogValues& values, MonitorSettings& settings, MonitorState& state) {
    const auto spin = [](const std::string& text, SpinRange range) {
        return ClampToRange(ReadSpinValue(text, range), range);
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
