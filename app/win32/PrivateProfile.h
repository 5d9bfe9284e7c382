#pragma once
// The settings file's seams bound to Windows: the private-profile functions, the folders the file may
// live in, and the desktop's monitors.

#include <string>

#include "app/core/SettingsFile.h"
#include "app/core/SettingsPlace.h"

namespace vantor::win32 {

// One INI file through GetPrivateProfileStringW / WritePrivateProfileStringW. Windows writes a file it
// creates in the ANSI code page, where characters outside that code page would come back as '?', and
// keeps a file that begins with a UTF-16LE byte-order mark in UTF-16.
class PrivateProfile final : public ProfileStore {
public:
    explicit PrivateProfile(std::string path);

    const std::string& FilePath() const override { return path_; }
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) override;
    [[nodiscard]] bool WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    void Flush() override;
    bool Holds(std::string_view text) override;
    [[nodiscard]] bool MakeUnicode() override;

private:
    bool Unicode() const;

    std::string path_;
    std::wstring widePath_;
};

// A probe file made and removed again, the file's attribute and a write open, the roaming
// application-data folder from the shell.
class SystemSettingsFolders final : public SettingsFolders {
public:
    bool CanCreateFileIn(const std::string& folder) override;
    bool FileExists(const std::string& path) override;
    bool CanWriteFile(const std::string& path) override;
    std::string UserDataFolder() override;
};

// Makes the folder the settings are saved in, where it is the user's and not there yet. A failure shows
// when the save then fails.
void PrepareSettingsFolder(const SettingsPlace& place);

// Monitor count and desktop size from GetSystemMetrics, monitors from MonitorFromRect.
class SystemDisplayLayout final : public DisplayLayout {
public:
    int MonitorCount() const override;
    std::int32_t DesktopWidth() const override;
    std::int32_t DesktopHeight() const override;
    bool TouchesAnyMonitor(const TRect& rect) const override;
};

}  // namespace vantor::win32
