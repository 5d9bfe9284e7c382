#include "app/core/SettingsPlace.h"

#include "app/core/SettingsFile.h"

namespace vantor {

SettingsPlace ChooseSettingsPlace(SettingsFolders& folders, std::string_view executableDirectory) {
    const std::string besideExe = SettingsFilePath(executableDirectory);
    const std::string userData = folders.UserDataFolder();
    if (userData.empty() || folders.CanCreateFileIn(std::string(executableDirectory)))
        return {besideExe, besideExe, std::string(executableDirectory), false};
    const std::string folder = userData + std::string(kPerUserFolderName) + "\\";
    const std::string perUser = SettingsFilePath(folder);
    const bool shipped = !folders.FileExists(perUser) && folders.FileExists(besideExe);
    return {shipped ? besideExe : perUser, perUser, folder, true};
}

std::string PlaceLogPath(const SettingsPlace& place, std::string_view logPath) {
    if (!place.PerUser || logPath.find_first_of("\\/:") != std::string_view::npos) return std::string(logPath);
    return place.Folder + std::string(logPath.empty() ? kDefaultLogFileName : logPath);
}

}  // namespace vantor
