#include "app/core/WatchedInterface.h"

#include <algorithm>

namespace vantor {

void StartWatching(TNetworkSpeed& source, MonitorSettings& settings) {
    source.Watch(settings.Watch, {settings.WatchedInterface, settings.SelectedInterface, true});
    source.Sample();
    FollowWatchedInterface(source, settings);
}

void FollowWatchedInterface(const TNetworkSpeed& source, MonitorSettings& settings) {
    if (settings.Watch != TWatchMode::wmInterface || source.WatchMode() != TWatchMode::wmInterface) return;
    if (source.WatchIsFallback()) {
        // Watching in place of what the file names: the file's keys stay as they are.
        settings.WatchedInterface.reset();
        return;
    }
    if (source.InterfaceNo() < 1 || !source.WatchedIdentity()) return;
    settings.SelectedInterface = source.InterfaceNo();
    settings.WatchedInterface = source.WatchedIdentity();
}

bool WatchChosen(TNetworkSpeed& source, MonitorSettings& settings, const WatchChoice& choice) {
    const bool watchedAlready = source.WatchMode() == TWatchMode::wmInterface && source.WatchedIdentity() &&
                                source.WatchedIdentity() == choice.Interface.Identity;
    settings.Watch = choice.Mode;
    source.Watch(choice.Mode, choice.Interface);
    if (choice.Mode != TWatchMode::wmInterface || !choice.Interface.Identity) return true;
    settings.SelectedInterface = choice.Interface.Position;
    settings.WatchedInterface = choice.Interface.Identity;
    if (watchedAlready) return true;
    const std::vector<InterfaceRow>& rows = source.Interfaces();
    return std::any_of(rows.begin(), rows.end(),
                       [&](const InterfaceRow& row) { return row.Carries(*choice.Interface.Identity); });
}

MonitorSettings SettingsForExit(const MonitorSettings& settings, const TNetworkSpeed& source) {
    MonitorSettings saved = settings;
    if (settings.Watch == TWatchMode::wmRoute && source.WatchMode() == TWatchMode::wmRoute)
        if (const InterfaceRow* row = source.WatchedRow()) {
            saved.SelectedInterface = row->Position;
            saved.WatchedInterface = row->Identity();
        }
    return saved;
}

}  // namespace vantor
