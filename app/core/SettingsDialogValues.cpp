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

std::string InterfaceItemText(const InterfaceRow& row, Language language, bool away) {
    std::string text = row.Description;
    if (row.Entry) {
        const InterfaceEntry& entry = *row.Entry;
        text = entry.Description.empty() ? entry.Alias : entry.Description;
        if (!entry.Alias.empty() && entry.Alias != text) text = entry.Alias + " — " + text;
    }
    if (away || (row.Entry && !row.Entry->Connected)) text += TextsFor(language).NotConnected;
    return text;
}

SettingsDialogValues FillSettingsDialog(const MonitorSettings& settings, const TNetworkSpeed& networkSpeed,
                                        Language language) {
    SettingsDialogValues values;
    const UiTexts& texts = TextsFor(language);
    values.Interfaces = {{std::string(texts.WatchRoute), {TWatchMode::wmRoute, {}}},
                         {std::string(texts.WatchAll), {TWatchMode::wmAll, {}}}};
    const bool followsOne = settings.Watch == TWatchMode::wmInterface;
    const InterfaceRow* watched = followsOne ? networkSpeed.WatchedRow() : nullptr;
    const auto add = [&](const InterfaceRow& row, InterfaceChoice choice, bool away) {
        if (away || &row == watched) values.InterfaceIndex = static_cast<int>(values.Interfaces.size());
        values.Interfaces.push_back({InterfaceItemText(row, language, away), {TWatchMode::wmInterface, std::move(choice)}});
    };
    // A choice names the interface the list shows by its identity, so OK watches it wherever it stands then.
    for (const InterfaceRow& row : networkSpeed.Interfaces())
        if (&row == watched || WouldBePicked(row)) add(row, {row.Identity(), row.Position, false}, false);
    if (followsOne && !watched && networkSpeed.WatchedIdentity()) {
        // Away: still the one watched, waited for; OK keeps it.
        InterfaceRow away;
        if (const InterfaceRow* seen = networkSpeed.FollowedRow()) away = *seen;
        else away.Description = networkSpeed.WatchedIdentity()->Description;
        add(away, {networkSpeed.WatchedIdentity(), networkSpeed.InterfaceNo(), false}, true);
    }
    if (settings.Watch == TWatchMode::wmRoute) values.InterfaceIndex = 0;
    if (settings.Watch == TWatchMode::wmAll) values.InterfaceIndex = 1;
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

std::optional<WatchChoice> ApplySettingsDialog(const SettingsDialogValues& values, MonitorSettings& settings,
                                               MonitorState& state) {
    const auto spin = [](const std::string& text, SpinRange range) {
        return PullIntoRange(SpinValue(text, range.Min), range.Min, range.Max);
    };
    settings.GaugeSend = spin(values.GaugeSend, GaugeRange);
    settings.GaugeReceive = spin(values.GaugeReceive, GaugeRange);
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
    const bool selected = values.InterfaceIndex >= 0 && values.InterfaceIndex < static_cast<int>(values.Interfaces.size());
    if (!selected) return std::nullopt;
    return values.Interfaces[static_cast<std::size_t>(values.InterfaceIndex)].Choice;
}

}  // namespace vantor
