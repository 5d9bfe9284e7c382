#include "app/core/SettingsDialogValues.h"

#include <string>

#include "framework/SpinValue.h"

namespace vantor {
namespace {

std::string Shown(std::int32_t value, SpinRange range) { return std::to_string(PullIntoRange(value, range.Min, range.Max)); }

}  // namespace

SettingsDialogValues FillSettingsDialog(const MonitorSettings& settings, const TNetworkSpeed& networkSpeed) {
    SettingsDialogValues values;
    values.InterfaceNames = networkSpeed.AdapterTable();
    // Compared before subtracting: a stored number may be the lowest integer.
    const int interfaceNo = networkSpeed.InterfaceNo();
    const bool listed = interfaceNo >= 1 && static_cast<std::size_t>(interfaceNo) <= values.InterfaceNames.size();
    values.InterfaceIndex = listed ? interfaceNo - 1 : -1;
    values.GaugeSend = Shown(settings.GaugeSend, GaugeRange);
    values.GaugeReceive = Shown(settings.GaugeReceive, GaugeRange);
    values.ShowAtStart = settings.ShowAtStart;
    values.FixedGauge = settings.FixedGauge;
    values.GraphAverage = settings.GraphAverage;
    FixedGaugeClick(values);
    values.LogEnabled = settings.LogEnabled;
    LogEnabledClick(values);
    values.BitUnits = settings.BitUnits;
    values.LogPath = settings.LogPath;
    values.LogInterval = Shown(settings.LogInterval, LogIntervalRange);
    return values;
}

void FixedGaugeClick(SettingsDialogValues& values) { values.GaugeControlsEnabled = values.FixedGauge; }

void LogEnabledClick(SettingsDialogValues& values) { values.LogControlsEnabled = values.LogEnabled; }

std::int32_t ApplySettingsDialog(const SettingsDialogValues& values, MonitorSettings& settings, MonitorState& state) {
    const auto spin = [](const std::string& text, SpinRange range) {
        return PullIntoRange(SpinValue(text, range.Min), range.Min, range.Max);
    };
    settings.GaugeSend = spin(values.GaugeSend, GaugeRange);
    settings.GaugeReceive = spin(values.GaugeReceive, GaugeRange);
    settings.SelectedInterface = values.InterfaceIndex >= 0 ? values.InterfaceIndex + 1 : 0;
    settings.ShowAtStart = values.ShowAtStart;
    settings.FixedGauge = values.FixedGauge;
    settings.GraphAverage = values.GraphAverage;
    state.MaxOutPacket = 0;
    state.MaxInPacket = 0;
    settings.LogPath = values.LogPath;
    settings.LogEnabled = values.LogEnabled;
    settings.LogInterval = spin(values.LogInterval, LogIntervalRange);
    // One past the interval: the next tick writes a line at once.
    state.LogTicks = settings.LogInterval + 1;
    settings.BitUnits = values.BitUnits;
    return settings.SelectedInterface;
}

}  // namespace vantor
