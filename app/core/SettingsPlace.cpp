#include "app/core/SettingsPlace.h"

#include "app/core/SettingsFile.h"

namespace vantor {

SettingsPlace ChooseSettingsPlace(SettingsFolders& folders, std::string_view executableDirectory) {
    const std::string besideExe = SettingsFilePath(executableDirectory);
    const std::string userData = folders.UserDataFolder();
    const bool besideWritable = folders.CanCreateFileIn(std::string(executableDirectory)) &&
                                (!folders.FileExists(besideExe) || folders.CanWriteFile(besideExe));
    if (userData.empty() || besideWritable)
        return {besideExe, besideExe, std::string(executableDirectory), false};
    const std::string folder = userData + std::string(kPerUserFolderName) + "\\";
    const std::string perUser = SettingsFilePath(folder);
    const bool shipped = !folders.FileExists(perUser) && folders.FileExists(besideExe);
    return {shipped ? besideExe : perUser, perUser, folder, true};
}

std::string PlaceLogPath(const SettingsPlace& place, std::string_view logPath) {
    if (logPath.empty()) return place.PerUser ? place.Folder + std::string(kDefaultLogFileName) : std::string();
    const bool relative = logPath.find(':') == std::string_view::npos && logPath.front() != '\\' &&
                          logPath.front() != '/';
    return relative ? place.Folder + std::string(logPath) : std::string(logPath);
}

}  // namespace vantor
