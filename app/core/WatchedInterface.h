#pragma once
// Which interface the monitor watches, kept between the settings and the counter source: chosen at start
// (by the settings file, or by the default route where the file names none), chosen in the settings
// dialog, and followed to its new position while the program runs.

#include "app/core/Settings.h"
#include "components/NetworkSpeed/NetworkSpeed.h"

namespace vantor {

// At start. `interfaceSelected`: the settings file names an interface. Where it names none, the
// interface of the default route is watched and becomes the setting; where the identity it holds is
// found at another position, "Selected" becomes that position; where neither the identity nor the
// position is found, the counter source falls back as it always did and the file's identity keys stay.
void StartWatching(TNetworkSpeed& source, MonitorSettings& settings, bool interfaceSelected);

// After OK in the settings dialog, which has put the chosen table position into SelectedInterface: the
// interface listed there is watched, wherever it stands in the table now.
void WatchChosenInterface(TNetworkSpeed& source, MonitorSettings& settings);

// After each sample: settings that name the watched interface follow it to its new position (and take
// its GUID where the system told it only now).
void FollowWatchedInterface(const TNetworkSpeed& source, MonitorSettings& settings);

}  // namespace vantor
