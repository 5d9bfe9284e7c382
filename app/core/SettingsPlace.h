#pragma once
// Where the settings file lives. Beside the executable when files can be made there and a settings file
// there can be written (the program carried in a folder of its own); otherwise in the user's
// application-data folder, read from there once it exists, until then from a file shipped beside the
// executable.

#include <string>
#include <string_view>

namespace vantor {

// What the choice asks the system. Paths are UTF-8; folders end with their separator.
class SettingsFolders {
public:
    virtual ~SettingsFolders() = default;
    // Whether a file can be made in `folder`: one is made and removed again.
    virtual bool CanCreateFileIn(const std::string& folder) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // Whether the existing file at `path` can be written: not marked read-only and open to writing.
    virtual bool CanWriteFile(const std::string& path) = 0;
    // The user's roaming application-data folder, or "" where the system names none.
    virtual std::string UserDataFolder() = 0;
};

struct SettingsPlace {
    std::string ReadPath;   // the file the settings are read from at start
    std::string SavePath;   // the file they are written to at exit
    std::string Folder;     // the folder of SavePath, where a default log goes too
    bool PerUser = false;   // the exe's folder or settings file cannot be written: the user's folder serves

    bool operator==(const SettingsPlace&) const = default;
};

inline constexpr std::string_view kPerUserFolderName = "Vantor";

SettingsPlace ChooseSettingsPlace(SettingsFolders& folders, std::string_view executableDirectory);

// The log path to use: a relative path (no drive, no leading separator) is taken from the settings file's
// folder, whoever started the program; in the user's folder an empty one names "vantor.log" there. Full,
// drive-relative ("D:net.log") and rooted ("\logs\net.log") paths, and an empty one beside the
// executable, stay as they are.
std::string PlaceLogPath(const SettingsPlace& place, std::string_view logPath);

}  // namespace vantor
