#include "app/core/SettingsDialogValues.h"

#include <string>

#include "framework/SpinValue.h"

namespace vantor {
namespace {

std::string Shown(std::int32_t value, SpinRange range) { return std::to_string(PullIntoRange(value, range.Min, range.Max)); }

// Where the system cannot tell, the row is listed.
bool WouldBePicked(const InterfaceRow& row) {
    return !row.Entry || (!row.Entry->FilterInterface && (row.Entry->HardwareInterface || row.Entry->Connected));
}

}  // namespace

std::string InterfaceItemText(const InterfaceRow& row, Language language) {
    if (!row.Entry) return row.Description;
    const InterfaceEntry& entry = *row.Entry;
    std::string text = entry.Description.empty() ? entry.Alias : entry.Description;
    if (!entry.Alias.empty() && entry.Alias != text) text = entry.Alias + " — " + text;
    if (!entry.Connected) text += TextsFor(language).NotConnected;
    return text;
}

SettingsDialogValues FillSettingsDialog(const MonitorSettings& settings, const TNetworkSpeed& networkSpeed,
                                        Language language) {
    SettingsDialogValues values;
    const std::vector<InterfaceRow>& rows = networkSpeed.Interfaces();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int position = static_cast<int>(i + 1);
        const bool watched = position == networkSpeed.InterfaceNo();
        if (!watched && !WouldBePicked(rows[i])) continue;
        if (watched) values.InterfaceIndex = static_cast<int>(values.Interfaces.size());
        values.Interfaces.push_back({InterfaceItemText(rows[i], language), position});
    }
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
    const bool selected = values.InterfaceIndex >= 0 && values.InterfaceIndex < static_cast<int>(values.Interfaces.size());
    settings.SelectedInterface = selected ? values.Interfaces[static_cast<std::size_t>(values.InterfaceIndex)].Position : 0;
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
