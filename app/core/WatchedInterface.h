#pragma once
// What the monitor watches, kept between the settings and the counter source: chosen at start (by the
// settings file; a first start follows the connection in use), chosen in the settings dialog, followed
// to its new position while the program runs, and what the exit saves of it.

#include "app/core/Settings.h"
#include "components/NetworkSpeed/NetworkSpeed.h"

namespace vantor {

// One way to watch, as a line of the settings dialog's list offers it.
struct WatchChoice {
    TWatchMode Mode = TWatchMode::wmRoute;
    InterfaceChoice Interface;  // wmInterface: the interface the list showed

    bool operator==(const WatchChoice&) const = default;
};

// At start: watches what the settings ask for and takes the baseline. In wmInterface mode, where the
// identity the settings hold is found at another position, "Selected" becomes that position; where
// neither the identity nor the position is found, the counter source falls back as it always did and
// the file's identity keys stay.
void StartWatching(TNetworkSpeed& source, MonitorSettings& settings);

// After each sample: settings that name the followed interface follow it to its new position (and take
// its GUID where the system told it only now).
void FollowWatchedInterface(const TNetworkSpeed& source, MonitorSettings& settings);

// After OK in the settings dialog: watches the chosen line's way, by the identity of the interface the
// list showed, wherever it stands in the table now. False when that interface, newly chosen, is not in
// the table now: it is watched once it returns.
bool WatchChosen(TNetworkSpeed& source, MonitorSettings& settings, const WatchChoice& choice);

// The settings as the exit writes them: following the connection in use, "Selected" and the identity
// name the interface in use, where there is one, so that an older copy reading the file watches it too.
MonitorSettings SettingsForExit(const MonitorSettings& settings, const TNetworkSpeed& source);

}  // namespace vantor
