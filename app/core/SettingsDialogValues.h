#pragma once
// The settings dialog's values without its window: filled from the settings and the counter source when
// it opens, the enable rules of its two check boxes, and what OK applies.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/MonitorState.h"
#include "app/core/Settings.h"
#include "app/core/Texts.h"
#include "app/core/WatchedInterface.h"
#include "components/NetworkSpeed/NetworkSpeed.h"

namespace vantor {

struct SpinRange {
    std::int32_t Min;
    std::int32_t Max;
};

inline constexpr SpinRange GaugeRange{1, 100000};
inline constexpr SpinRange LogIntervalRange{1, 10800};

// One entry of the interface list: its text, and the way of watching it stands for.
struct InterfaceItem {
    std::string Text;
    WatchChoice Choice;

    bool operator==(const InterfaceItem&) const = default;
};

// What the dialog's controls hold, named after the settings they edit. Spin boxes hold their text,
// since a typed value may be anything.
struct SettingsDialogValues {
    // "Automatic" and "all connections", then the interfaces a person would pick, in table order: no
    // filter drivers' rows, none that is neither hardware nor connected, but always the watched one
    // (also while it is away).
    std::vector<InterfaceItem> Interfaces;
    int InterfaceIndex = -1;  // the selected item; -1: nothing selected
    bool ShowAtStart = false;
    bool StartWithWindows = false;  // what the system's startup list says, not a setting of ours
    bool FixedGauge = false;
    std::string GaugeSend;
    std::string GaugeReceive;
    bool GraphAverage = false;
    bool BitUnits = false;
    bool LogEnabled = false;
    std::string LogPath;
    std::string LogInterval;
    bool GaugeControlsEnabled = false;  // the two gauges with their captions and units
    bool LogControlsEnabled = false;    // path, browse button, interval and their captions (not the unit note)

    bool operator==(const SettingsDialogValues&) const = default;
};

// The list shows the counter source's table of its last sample. The interface list's texts are in
// `language`; StartWithWindows is left for the caller to fill.
SettingsDialogValues FillSettingsDialog(const MonitorSettings& settings, const TNetworkSpeed& networkSpeed,
                                        Language language = Language::Japanese);

// A list item's text: the friendly name before the description where they differ, and a mark on an
// interface that is not connected (or not there).
std::string InterfaceItemText(const InterfaceRow& row, Language language = Language::Japanese, bool away = false);

// The enable rules, run when the check box is clicked and once when the dialog is filled.
void FixedGaugeClick(SettingsDialogValues& values);
void LogEnabledClick(SettingsDialogValues& values);

// OK: writes the dialog's values into the settings, restarts the peaks and schedules a log line for the
// next tick. Spin values are pulled into their ranges, so no 0 gauge or interval gets through. Returns
// the selected item's way of watching (nothing when no item is selected), which the caller then watches
// (WatchChosen).
std::optional<WatchChoice> ApplySettingsDialog(const SettingsDialogValues& values, MonitorSettings& settings,
                                               MonitorState& state);

}  // namespace vantor
