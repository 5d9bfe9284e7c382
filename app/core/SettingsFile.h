#pragma once
// The settings file: the thirteen keys the monitor keeps between runs, then the two that identify the
// watched interface and the one that says what is watched, then the billing plan's section, read once when
// the main window is created and written once when it is destroyed, and the check that puts the window back
// on screen.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/MonitorState.h"
#include "app/core/Settings.h"
#include "app/core/Texts.h"
#include "framework/Geometry.h"

namespace vantor {

// The seam to one private-profile (INI) file. Texts are UTF-8.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    virtual const std::string& FilePath() const = 0;
    // The value of section/key, or `defaultValue` when the file, section or key is missing.
    virtual std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) = 0;
    [[nodiscard]] virtual bool WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
    // Makes the writes so far reach the file.
    virtual void Flush() = 0;
    // Whether the file, as it is stored now, gives `text` back unchanged: a UTF-16 file always does, one in
    // the ANSI code page when each character converts there and back with no substitute.
    virtual bool Holds(std::string_view text) = 0;
    // Stores the file as UTF-16LE with a byte-order mark from now on, every line kept as it was.
    [[nodiscard]] virtual bool MakeUnicode() = 0;
};

// Where the monitor finds the desktop, in screen pixels.
class DisplayLayout {
public:
    virtual ~DisplayLayout() = default;
    virtual int MonitorCount() const = 0;
    virtual std::int32_t DesktopWidth() const = 0;
    virtual std::int32_t DesktopHeight() const = 0;
    virtual bool TouchesAnyMonitor(const TRect& rect) const = 0;
};

inline constexpr std::string_view kSettingsFileName = "vantor20.ini";
inline constexpr std::string_view kDefaultLogFileName = "vantor.log";
inline constexpr TPoint kDefaultWindowPosition{200, 200};
inline constexpr std::size_t kMaxSettingCharacters = 2047;
// "Interface"/"Watch": what the monitor measures.
inline constexpr std::string_view kWatchRoute = "route";
inline constexpr std::string_view kWatchAll = "all";
inline constexpr std::string_view kWatchInterface = "interface";

struct LoadedSettings {
    MonitorSettings Settings;  // WatchedInterface: the identity the file holds, where it holds a sound one
    bool InterfaceSelected = true;  // the file names an interface ("Selected" is there and not empty)
    MonitorState State;  // all zero, except LogTicks = LogInterval so that the first tick logs at once
    TPoint Position = kDefaultWindowPosition;  // the window's top-left corner
};

// `executableDirectory` ends with its path separator.
std::string SettingsFilePath(std::string_view executableDirectory);

// Reads the keys in their fixed order, then "Window"/"Language"; anything missing or unreadable takes its
// default. A missing "pass" names "vantor.log" in `logDirectory` (with its separator). Without "Selected"
// (a first start) the monitor follows the connection in use, unless "Watch" names all connections. Then
// "Usage": a start day out of 1..28 is pulled to the nearer end (31 reads as 28), a negative allowance reads
// as none, a connection that is no GUID as all connections.
LoadedSettings LoadSettings(ProfileStore& profile, std::string_view logDirectory);

// Writes all thirteen keys, changed or not, then the language key where the file had one, then the
// watched interface's identity where the settings hold one, then "Watch", then the plan's four keys where the
// settings hold a plan, then flushes. A file that cannot hold one of the values becomes UTF-16 first; one that
// can stays as it is. A write that fails throws std::runtime_error "<file> に書き込めません" (in `language`)
// and leaves the later keys unwritten.
void SaveSettings(ProfileStore& profile, const MonitorSettings& settings, TPoint position,
                  Language language = Language::Japanese);

// Signed decimal, or hexadecimal after "0x"/"0X" (up to 32 bits, read as two's complement); anything else,
// including text out of the signed 32-bit range, gives `defaultValue`.
std::int32_t ParseProfileInteger(std::string_view text, std::int32_t defaultValue);

// Puts a saved window position back where it can be seen. With one monitor a position beyond the
// desktop's width or height falls back to 200; with several, a window that would touch no monitor at all
// (its monitor unplugged since) starts at (200, 200).
TPoint CheckWindowPosition(TPoint saved, std::int32_t width, std::int32_t height, const DisplayLayout& display);

}  // namespace vantor
