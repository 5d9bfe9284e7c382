#include "app/core/SettingsFile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

namespace vantor {
namespace {

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t bits = 0;
        const auto [end, error] = std::from_chars(text.data() + 2, text.data() + text.size(), bits, 16);
        if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
        return static_cast<std::int32_t>(bits);
    }
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Cuts UTF-8 text after `limit` characters, never inside one.
std::string CutToCharacters(std::string text, std::size_t limit) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == limit) {
            text.resize(i);
            break;
        }
    }
    return text;
}

std::int32_t ReadInteger(ProfileStore& profile, std::string_view section, std::string_view key,
                         std::int32_t defaultValue) {
    return ParseProfileInteger(CutToCharacters(profile.ReadString(section, key, ""), kMaxSettingCharacters),
                               defaultValue);
}

bool ReadBool(ProfileStore& profile, std::string_view section, std::string_view key, bool defaultValue) {
    return ReadInteger(profile, section, key, defaultValue ? 1 : 0) != 0;
}

std::string ReadText(ProfileStore& profile, std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
    return CutToCharacters(profile.ReadString(section, key, defaultValue), kMaxSettingCharacters);
}

// The value, or nothing when the key is absent: an absent key gives back either default, a present one its
// own value both times.
std::optional<std::string> ReadIfPresent(ProfileStore& profile, std::string_view section, std::string_view key) {
    std::string value = ReadText(profile, section, key, "");
    if (value.empty() && !ReadText(profile, section, key, "-").empty()) return std::nullopt;
    return value;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// "route" and "all", in any case; anything else, or no key, watches the chosen interface.
TWatchMode ParseWatchMode(std::string_view text) {
    if (EqualsIgnoringCase(text, kWatchRoute)) return TWatchMode::wmRoute;
    if (EqualsIgnoringCase(text, kWatchAll)) return TWatchMode::wmAll;
    return TWatchMode::wmInterface;
}

std::string_view WatchModeText(TWatchMode mode) {
    switch (mode) {
    case TWatchMode::wmRoute:
        return kWatchRoute;
    case TWatchMode::wmAll:
        return kWatchAll;
    case TWatchMode::wmInterface:
        break;
    }
    return kWatchInterface;
}

// A path the file's code page cannot hold would come back with '?' in it: such a file turns UTF-16.
template <typename Entries>
void MakeRoomForEveryCharacter(ProfileStore& profile, const Entries& entries, Language language) {
    const bool needed =
        std::any_of(entries.begin(), entries.end(), [&](const auto& entry) { return !profile.Holds(entry.value); });
    if (needed && !profile.MakeUnicode())
        throw std::runtime_error(WithPath(TextsFor(language).CannotWriteSettings, profile.FilePath()));
}

// "Usage": each key pulled into its range; a GUID that is none counts all connections.
std::optional<UsagePlan> ReadPlan(ProfileStore& profile) {
    const std::optional<std::string> startDay = ReadIfPresent(profile, "Usage", "StartDay");
    const std::optional<std::string> allowance = ReadIfPresent(profile, "Usage", "AllowanceMB");
    const std::optional<std::string> receiveOnly = ReadIfPresent(profile, "Usage", "ReceiveOnly");
    const std::optional<std::string> connection = ReadIfPresent(profile, "Usage", "Connection");
    if (!startDay && !allowance && !receiveOnly && !connection) return std::nullopt;
    const UsagePlan defaults;
    UsagePlan plan;
    plan.StartDay = std::clamp(ParseProfileInteger(startDay.value_or(""), defaults.StartDay), 1, kLastStartDay);
    plan.AllowanceMegabytes = std::max(ParseProfileInteger(allowance.value_or(""), defaults.AllowanceMegabytes), 0);
    plan.ReceiveOnly = ParseProfileInteger(receiveOnly.value_or(""), defaults.ReceiveOnly ? 1 : 0) != 0;
    plan.Connection = CanonicalGuid(connection.value_or("")).value_or("");
    return plan;
}

std::string IntegerText(std::int32_t value) { return std::to_string(value); }
std::string BoolText(bool value) { return value ? "1" : "0"; }

}  // namespace

std::string SettingsFilePath(std::string_view executableDirectory) {
    return std::string(executableDirectory) + std::string(kSettingsFileName);
}

std::int32_t ParseProfileInteger(std::string_view text, std::int32_t defaultValue) {
    return ParseInteger(text).value_or(defaultValue);
}

LoadedSettings LoadSettings(ProfileStore& profile, std::string_view logDirectory) {
    const MonitorSettings defaults;
    LoadedSettings loaded;
    MonitorSettings& s = loaded.Settings;
    s.GaugeSend = ReadInteger(profile, "Gauge", "Send", defaults.GaugeSend);
    s.GaugeReceive = ReadInteger(profile, "Gauge", "Rese", defaults.GaugeReceive);
    const std::string selected = ReadText(profile, "Interface", "Selected", "");
    loaded.InterfaceSelected = !selected.empty();
    s.SelectedInterface = ParseProfileInteger(selected, defaults.SelectedInterface);
    loaded.Position.X = ReadInteger(profile, "Window", "Left", kDefaultWindowPosition.X);
    loaded.Position.Y = ReadInteger(profile, "Window", "Top", kDefaultWindowPosition.Y);
    s.StayOnTop = ReadBool(profile, "Window", "Mode", defaults.StayOnTop);
    s.FixedGauge = ReadBool(profile, "Interface", "flg", defaults.FixedGauge);
    s.GraphAverage = ReadBool(profile, "Graph", "mode", defaults.GraphAverage);
    s.LogPath = ReadText(profile, "log", "pass", std::string(logDirectory) + std::string(kDefaultLogFileName));
    s.LogEnabled = ReadBool(profile, "log", "mode", defaults.LogEnabled);
    s.LogInterval = ReadInteger(profile, "log", "wait", defaults.LogInterval);
    s.BitUnits = ReadBool(profile, "Graph", "bps", defaults.BitUnits);
    s.ShowAtStart = ReadBool(profile, "Window", "main", defaults.ShowAtStart);
    const std::string guid = ReadText(profile, "Interface", "Guid", "");
    s.WatchedInterface = ParseInterfaceIdentity(guid, ReadText(profile, "Interface", "Description", ""));
    s.LanguageSetting = ReadIfPresent(profile, "Window", "Language");
    // A first start, with no interface named, follows the connection in use.
    s.Watch = ParseWatchMode(ReadText(profile, "Interface", "Watch", ""));
    if (!loaded.InterfaceSelected && s.Watch == TWatchMode::wmInterface) s.Watch = TWatchMode::wmRoute;
    s.Plan = ReadPlan(profile);
    loaded.State.LogTicks = s.LogInterval;
    return loaded;
}

void SaveSettings(ProfileStore& profile, const MonitorSettings& s, TPoint position, Language language) {
    struct Entry {
        std::string_view section;
        std::string_view key;
        std::string value;
    };
    std::vector<Entry> entries{{
        {"Gauge", "Send", IntegerText(s.GaugeSend)},
        {"Gauge", "Rese", IntegerText(s.GaugeReceive)},
        {"Interface", "Selected", IntegerText(s.SelectedInterface)},
        {"Window", "Left", IntegerText(position.X)},
        {"Window", "Top", IntegerText(position.Y)},
        {"Window", "Mode", BoolText(s.StayOnTop)},
        {"Interface", "flg", BoolText(s.FixedGauge)},
        {"Window", "main", BoolText(s.ShowAtStart)},
        {"Graph", "mode", BoolText(s.GraphAverage)},
        {"log", "mode", BoolText(s.LogEnabled)},
        {"log", "pass", s.LogPath},
        {"log", "wait", IntegerText(s.LogInterval)},
        {"Graph", "bps", BoolText(s.BitUnits)},
    }};
    if (s.LanguageSetting) entries.push_back({"Window", "Language", *s.LanguageSetting});
    if (s.WatchedInterface) {
        entries.push_back({"Interface", "Guid", s.WatchedInterface->Guid});
        entries.push_back({"Interface", "Description", s.WatchedInterface->Description});
    }
    entries.push_back({"Interface", "Watch", std::string(WatchModeText(s.Watch))});
    if (s.Plan) {
        entries.push_back({"Usage", "StartDay", IntegerText(s.Plan->StartDay)});
        entries.push_back({"Usage", "AllowanceMB", IntegerText(s.Plan->AllowanceMegabytes)});
        entries.push_back({"Usage", "ReceiveOnly", BoolText(s.Plan->ReceiveOnly)});
        entries.push_back({"Usage", "Connection", s.Plan->Connection});
    }
    MakeRoomForEveryCharacter(profile, entries, language);
    for (const Entry& entry : entries) {
        if (!profile.WriteString(entry.section, entry.key, entry.value)) {
            // What was written before the failing key still reaches the file.
            profile.Flush();
            throw std::runtime_error(WithPath(TextsFor(language).CannotWriteSettings, profile.FilePath()));
        }
    }
    profile.Flush();
}

TPoint CheckWindowPosition(TPoint saved, std::int32_t width, std::int32_t height, const DisplayLayout& display) {
    if (display.MonitorCount() == 1) {
        if (display.DesktopHeight() < saved.Y) saved.Y = kDefaultWindowPosition.Y;
        if (display.DesktopWidth() < saved.X) saved.X = kDefaultWindowPosition.X;
        return saved;
    }
    const auto farEdge = [](std::int32_t start, std::int32_t extent) {
        return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{start} + extent,
                                                                std::numeric_limits<std::int32_t>::max()));
    };
    if (!display.TouchesAnyMonitor({saved.X, saved.Y, farEdge(saved.X, width), farEdge(saved.Y, height)}))
        return kDefaultWindowPosition;
    return saved;
}

}  // namespace vantor
