#include "app/core/WatchedInterface.h"

namespace vantor {
namespace {

void TakeWatchIntoSettings(const TNetworkSpeed& source, MonitorSettings& settings) {
    settings.SelectedInterface = source.InterfaceNo();
    settings.WatchedInterface = source.WatchedIdentity();
}

}  // namespace

void StartWatching(TNetworkSpeed& source, MonitorSettings& settings, bool interfaceSelected) {
    if (!interfaceSelected) {
        if (source.RefreshTableOnDefaultInterface()) TakeWatchIntoSettings(source, settings);
        return;
    }
    source.SetInterfaceNo(settings.SelectedInterface);
    source.SetInterfaceIdentity(settings.WatchedInterface);
    if (source.RefreshTable() && !source.WatchIsFallback())
        TakeWatchIntoSettings(source, settings);
    else
        settings.WatchedInterface.reset();
}

void WatchChosenInterface(TNetworkSpeed& source, MonitorSettings& settings) {
    const std::vector<InterfaceRow>& rows = source.Interfaces();
    const int position = settings.SelectedInterface;
    source.SetInterfaceNo(position);
    // The list shows the table of the last refresh; the identity finds its row in the table of now.
    if (position >= 1 && position <= static_cast<int>(rows.size()))
        source.SetInterfaceIdentity(rows[static_cast<std::size_t>(position - 1)].Identity());
    if (source.RefreshTable() && !source.WatchIsFallback()) TakeWatchIntoSettings(source, settings);
}

void FollowWatchedInterface(const TNetworkSpeed& source, MonitorSettings& settings) {
    if (!source.WatchIsFallback() && source.WatchedIdentity()) TakeWatchIntoSettings(source, settings);
}

}  // namespace vantor
