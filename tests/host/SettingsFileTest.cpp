#include "app/core/SettingsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/core/SettingsPlace.h"
#include "tests/fakes/FakeProfile.h"

namespace vantor {
namespace {

using testing::FakeProfile;

constexpr std::string_view kDirectory = "C:\\Program Files\\Vantor\\";

const std::vector<std::string> kReadOrder = {
    "read Gauge/Send", "read Gauge/Rese", "read Interface/Selected", "read Window/Left", "read Window/Top",
    "read Window/Mode", "read Interface/flg", "read Graph/mode", "read log/pass", "read log/mode",
    "read log/wait", "read Graph/bps", "read Window/main", "read Interface/Guid", "read Interface/Description",
    // Absent, the language key gives back both defaults it is asked with.
    "read Window/Language", "read Window/Language", "read Interface/Watch", "read Usage/StartDay",
    "read Usage/StartDay", "read Usage/AllowanceMB", "read Usage/AllowanceMB", "read Usage/ReceiveOnly",
    "read Usage/ReceiveOnly", "read Usage/Connection", "read Usage/Connection"};

TEST(SettingsLoad, WithoutAFileReadsEveryKeyInOrderAndTakesTheDefaults) {
    FakeProfile profile;
    const LoadedSettings loaded = LoadSettings(profile, kDirectory);
    EXPECT_EQ(profile.calls, kReadOrder);

    const MonitorSettings& s = loaded.Settings;
    EXPECT_EQ(s.GaugeSend, 10);
    EXPECT_EQ(s.GaugeReceive, 10);
    EXPECT_EQ(s.SelectedInterface, 1);
    EXPECT_EQ(loaded.Position, (TPoint{200, 200}));
    EXPECT_FALSE(s.StayOnTop);
    EXPECT_FALSE(s.FixedGauge);
    EXPECT_FALSE(s.GraphAverage);
    EXPECT_EQ(s.LogPath, "C:\\Program Files\\Vantor\\vantor.log");
    EXPECT_FALSE(s.LogEnabled);
    EXPECT_EQ(s.LogInterval, 60);
    EXPECT_FALSE(s.BitUnits);
    EXPECT_TRUE(s.ShowAtStart);
    EXPECT_EQ(s.Watch, TWatchMode::wmRoute) << "a first start follows the connection in use";
    EXPECT_EQ(s.Plan, std::nullopt) << "no plan, and so no section written";

    MonitorState expectedState;
    expectedState.LogTicks = 60;
    EXPECT_EQ(loaded.State, expectedState);
    EXPECT_EQ(SettingsFilePath(kDirectory), "C:\\Program Files\\Vantor\\vantor20.ini");
}

TEST(SettingsLoad, ReadsWhatTheFileHolds) {
    struct Case {
        const char* section;
        const char* key;
        const char* text;
        bool (*holds)(const LoadedSettings&);
    };
    const Case cases[] = {
        {"log", "wait", "0x3C", [](const LoadedSettings& l) { return l.Settings.LogInterval == 60 && l.State.LogTicks == 60; }},
        {"log", "wait", "5", [](const LoadedSettings& l) { return l.Settings.LogInterval == 5 && l.State.LogTicks == 5; }},
        {"Gauge", "Send", "abc", [](const LoadedSettings& l) { return l.Settings.GaugeSend == 10; }},
        {"Gauge", "Send", "0", [](const LoadedSettings& l) { return l.Settings.GaugeSend == 0; }},
        {"Window", "main", "2", [](const LoadedSettings& l) { return l.Settings.ShowAtStart; }},
        {"Window", "main", "yes", [](const LoadedSettings& l) { return l.Settings.ShowAtStart; }},
        {"Window", "Mode", "", [](const LoadedSettings& l) { return !l.Settings.StayOnTop; }},
        {"Window", "Mode", "-1", [](const LoadedSettings& l) { return l.Settings.StayOnTop; }},
        {"Window", "Left", "-1500", [](const LoadedSettings& l) { return l.Position == TPoint{-1500, 200}; }},
        {"log", "pass", "", [](const LoadedSettings& l) { return l.Settings.LogPath.empty(); }},
        {"Window", "Language", "en", [](const LoadedSettings& l) { return l.Settings.LanguageSetting == "en"; }},
        {"Window", "Language", "", [](const LoadedSettings& l) { return l.Settings.LanguageSetting == ""; }},
        {"Usage", "StartDay", "31", [](const LoadedSettings& l) { return l.Settings.Plan->StartDay == 28; }},
        {"Usage", "AllowanceMB", "", [](const LoadedSettings& l) { return l.Settings.Plan == UsagePlan{}; }},
        {"Usage", "AllowanceMB", "-5", [](const LoadedSettings& l) { return l.Settings.Plan == UsagePlan{}; }},
        {"Usage", "Connection", "{8d4e2a31-06b7-4c3c-9e0a-5b1f2c7d9e11}", [](const LoadedSettings& l) {
             return l.Settings.Plan->Connection == "{8D4E2A31-06B7-4C3C-9E0A-5B1F2C7D9E11}";
         }},
        {"Usage", "Connection", "Wi-Fi", [](const LoadedSettings& l) { return l.Settings.Plan == UsagePlan{}; }},
    };
    for (const Case& c : cases) {
        FakeProfile profile;
        profile.Set(c.section, c.key, c.text);
        EXPECT_TRUE(c.holds(LoadSettings(profile, kDirectory))) << c.section << "/" << c.key << "=" << c.text;
    }
}

TEST(SettingsLoad, WatchNamesTheWayOfWatchingAndAnythingElseTheInterface) {
    const std::pair<std::optional<std::string>, TWatchMode> cases[] = {
        {"route", TWatchMode::wmRoute},         {"ALL", TWatchMode::wmAll},
        {"interface", TWatchMode::wmInterface}, {"everything", TWatchMode::wmInterface},
        {"", TWatchMode::wmInterface},          {std::nullopt, TWatchMode::wmInterface},
    };
    for (const auto& [text, mode] : cases) {
        FakeProfile profile;
        if (text) profile.Set("Interface", "Watch", *text);
        const TWatchMode firstStart = mode == TWatchMode::wmAll ? mode : TWatchMode::wmRoute;
        EXPECT_EQ(LoadSettings(profile, kDirectory).Settings.Watch, firstStart) << "no Selected: " << text.value_or("(no key)");
        profile.Set("Interface", "Selected", "2");
        EXPECT_EQ(LoadSettings(profile, kDirectory).Settings.Watch, mode) << text.value_or("(no key)");
    }
}

TEST(SettingsLoad, CutsLongValuesAfter2047Characters) {
    FakeProfile profile;
    profile.Set("log", "pass", std::string(3000, 'a'));
    EXPECT_EQ(LoadSettings(profile, kDirectory).Settings.LogPath, std::string(2047, 'a'));

    std::string japanese;
    for (int i = 0; i < 2100; ++i) japanese += "ログ";
    profile.Set("log", "pass", japanese);
    EXPECT_EQ(LoadSettings(profile, kDirectory).Settings.LogPath, japanese.substr(0, 2047 * 3));  // 3 bytes each

    profile.Set("log", "wait", std::string(2047, '0') + "99");
    EXPECT_EQ(LoadSettings(profile, kDirectory).Settings.LogInterval, 0);
}

TEST(SettingsParse, IntegersAreSignedDecimalOrHexadecimal) {
    struct Case {
        std::string_view text;
        std::int32_t value;
    };
    constexpr std::int32_t kDefault = 77;
    const Case cases[] = {
        {"60", 60},           {"-60", -60},          {"+60", 60},          {"007", 7},
        {"0x3C", 60},         {"0X3c", 60},          {"0x0", 0},           {"0xFFFFFFFF", -1},
        {"0x7FFFFFFF", std::numeric_limits<std::int32_t>::max()},             {"0x00000000010", 16},
        {"2147483647", std::numeric_limits<std::int32_t>::max()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"2147483648", kDefault}, {"-2147483649", kDefault}, {"0x100000000", kDefault},
        {"", kDefault},       {"0x", kDefault},      {"0X", kDefault},     {"abc", kDefault},
        {"12abc", kDefault},  {" 12", kDefault},     {"12 ", kDefault},    {"1.5", kDefault},
        {"+", kDefault},      {"-", kDefault},       {"+-5", kDefault},    {"0x-5", kDefault},
        {"0x+5", kDefault},   {"-0x5", kDefault},    {"0xG", kDefault},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseProfileInteger(c.text, kDefault), c.value) << '"' << c.text << '"';
}

MonitorSettings Unusual() {
    MonitorSettings s;
    s.GaugeSend = 250;
    s.GaugeReceive = -3;
    s.SelectedInterface = 7;
    s.StayOnTop = true;
    s.FixedGauge = true;
    s.GraphAverage = false;
    s.LogPath = "D:\\ログ\\net.log";
    s.LogEnabled = true;
    s.LogInterval = 10800;
    s.BitUnits = true;
    s.ShowAtStart = false;
    s.WatchedInterface = InterfaceIdentity{"{8D4E2A31-06B7-4C3C-9E0A-5B1F2C7D9E11}", "イーサネット アダプター"};
    s.LanguageSetting = "JA";
    s.Watch = TWatchMode::wmAll;
    s.Plan = UsagePlan{15, 50'000, true, "{8D4E2A31-06B7-4C3C-9E0A-5B1F2C7D9E11}"};
    return s;
}

TEST(SettingsSave, WritesThirteenKeysInOrderThenTheLanguageTheInterfaceIdentityWatchAndThePlanThenFlushes) {
    FakeProfile profile;
    SaveSettings(profile, Unusual(), {-1500, 30});
    EXPECT_EQ(profile.calls, (std::vector<std::string>{
                                 "write Gauge/Send=250", "write Gauge/Rese=-3", "write Interface/Selected=7",
                                 "write Window/Left=-1500", "write Window/Top=30", "write Window/Mode=1",
                                 "write Interface/flg=1", "write Window/main=0", "write Graph/mode=0",
                                 "write log/mode=1", "write log/pass=D:\\ログ\\net.log", "write log/wait=10800",
                                 "write Graph/bps=1", "write Window/Language=JA",
                                 "write Interface/Guid={8D4E2A31-06B7-4C3C-9E0A-5B1F2C7D9E11}",
                                 "write Interface/Description=イーサネット アダプター",
                                 "write Interface/Watch=all", "write Usage/StartDay=15",
                                 "write Usage/AllowanceMB=50000", "write Usage/ReceiveOnly=1",
                                 "write Usage/Connection={8D4E2A31-06B7-4C3C-9E0A-5B1F2C7D9E11}", "flush"}));
}

TEST(SettingsSave, ANewFileGetsItsSectionsAndKeysInWriteOrder) {
    FakeProfile profile;
    SaveSettings(profile, LoadSettings(profile, kDirectory).Settings, kDefaultWindowPosition);
    std::vector<std::string> layout;
    for (const auto& section : profile.sections) {
        layout.push_back("[" + section.name + "]");
        for (const auto& [key, value] : section.keys) layout.push_back(key + "=" + value);
    }
    EXPECT_EQ(layout, (std::vector<std::string>{"[Gauge]", "Send=10", "Rese=10", "[Interface]", "Selected=1", "flg=0",
                                                "Watch=route", "[Window]", "Left=200", "Top=200", "Mode=0", "main=1", "[Graph]",
                                                "mode=0", "bps=0", "[log]", "mode=0",
                                                "pass=C:\\Program Files\\Vantor\\vantor.log", "wait=60"}));
}

TEST(SettingsSave, WhatIsSavedLoadsBackUnchanged) {
    FakeProfile profile;
    SaveSettings(profile, Unusual(), {-1500, 30});
    const LoadedSettings loaded = LoadSettings(profile, kDirectory);
    EXPECT_EQ(loaded.Settings, Unusual());
    EXPECT_EQ(loaded.Position, (TPoint{-1500, 30}));
}

TEST(SettingsSave, AFailedWriteStopsAtThatKeyAndNamesTheFile) {
    for (const std::size_t failing : {std::size_t{0}, std::size_t{5}, std::size_t{12}}) {
        FakeProfile profile;
        profile.failingWrite = failing;
        try {
            SaveSettings(profile, Unusual(), {});
            ADD_FAILURE() << "the save went on past write " << failing;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "C:\\Vantor\\vantor20.ini に書き込めません");
        }
        ASSERT_EQ(profile.calls.size(), failing + 2) << failing;  // the writes up to the failing one, a flush
        EXPECT_EQ(profile.calls.back(), "flush");
        std::size_t stored = 0;
        for (const auto& section : profile.sections) stored += section.keys.size();
        EXPECT_EQ(stored, failing);
    }
    FakeProfile profile;
    profile.failingWrite = 3;
    try {
        SaveSettings(profile, Unusual(), {}, Language::English);
        ADD_FAILURE() << "the save went on";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot write to C:\\Vantor\\vantor20.ini") << "in the program's language";
    }
}

TEST(SettingsSave, AValueTheCodePageCannotHoldTurnsTheFileUnicodeFirstAndComesBackIntact) {
    const std::pair<const char*, bool> cases[] = {
        {"C:\\Users\\ami\\vantor.log", false},   {"C:\\Users\\José\\vantor.log", false},  // code page 1252 holds these
        {"C:\\Users\\Дмитрий\\vantor.log", true}, {"D:\\ログ\\net.log", true},
        {"C:\\Users\\Łukasz\\vantor.log", true},  // a best fit (L) is no fit
    };
    for (const auto& [path, unicode] : cases) {
        FakeProfile profile;
        profile.codePageEnd = 0x100;
        MonitorSettings settings = Unusual();
        settings.LogPath = path;
        settings.WatchedInterface->Description = "Ethernet";
        SaveSettings(profile, settings, {-1500, 30});
        EXPECT_EQ(profile.calls.front(), unicode ? "unicode" : "write Gauge/Send=250") << path;
        EXPECT_EQ(LoadSettings(profile, kDirectory).Settings, settings) << path;
    }
    FakeProfile refusing;
    refusing.codePageEnd = 0x80;
    refusing.unicodeFails = true;
    EXPECT_THROW(SaveSettings(refusing, Unusual(), {}), std::runtime_error);
    EXPECT_EQ(refusing.calls, std::vector<std::string>{"unicode"}) << "nothing is written broken";
}

// A desktop of monitor rectangles (left, top, right, bottom).
class FakeDisplay final : public DisplayLayout {
public:
    FakeDisplay(std::vector<TRect> screens, std::int32_t desktopWidth, std::int32_t desktopHeight)
        : monitors(std::move(screens)), width(desktopWidth), height(desktopHeight) {}

    std::vector<TRect> monitors;
    std::int32_t width;
    std::int32_t height;
    mutable std::vector<TRect> asked;

    int MonitorCount() const override { return static_cast<int>(monitors.size()); }
    std::int32_t DesktopWidth() const override { return width; }
    std::int32_t DesktopHeight() const override { return height; }
    bool TouchesAnyMonitor(const TRect& r) const override {
        asked.push_back(r);
        for (const TRect& m : monitors)
            if (r.Left < m.Right && m.Left < r.Right && r.Top < m.Bottom && m.Top < r.Bottom) return true;
        return false;
    }
};

TEST(WindowPositionCheck, KeepsTheWindowWhereItCanBeSeen) {
    const FakeDisplay one({{0, 0, 1024, 768}}, 1024, 768);
    //  +-------------+---------------+
    //  | -1920..0    | 0..1024       |
    //  | left        | primary       |
    //  +-------------+---------------+
    const FakeDisplay two({{0, 0, 1024, 768}, {-1920, 0, 0, 1080}}, 2944, 1080);
    const FakeDisplay wide({{0, 0, 1024, 768}, {1024, 0, 6144, 1440}}, 6144, 1440);
    const FakeDisplay none({}, 0, 0);
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    struct Case {
        const char* name;
        const FakeDisplay* display;
        TPoint saved, started;
    };
    const Case cases[] = {
        {"below the only desktop", &one, {100, 800}, {100, 200}},
        {"on the bottom edge", &one, {100, 768}, {100, 768}},
        {"right of the only desktop", &one, {1025, 100}, {200, 100}},
        {"on the right edge", &one, {1024, 100}, {1024, 100}},
        {"beyond both edges", &one, {5000, 5000}, {200, 200}},
        {"left of the only desktop", &one, {-5000, -40}, {-5000, -40}},
        {"on a wide second monitor", &wide, {5000, 1000}, {5000, 1000}},
        {"on a monitor to the left", &two, {-1500, 300}, {-1500, 300}},
        {"partly on a monitor", &two, {-100, -50}, {-100, -50}},
        {"where a monitor was unplugged", &two, {5000, 5000}, {200, 200}},
        {"below the left monitor's bottom", &two, {-1500, 1080}, {200, 200}},
        {"at the end of the coordinates", &two, {kMax, kMax}, {200, 200}},
        {"with no monitor reported", &none, {300, 300}, {200, 200}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckWindowPosition(c.saved, 223, 84, *c.display), c.started) << c.name;
}

TEST(WindowPositionCheck, AsksAboutTheWholeWindowRectangle) {
    const FakeDisplay two({{0, 0, 1024, 768}, {-1920, 0, 0, 1080}}, 2944, 1080);
    (void)CheckWindowPosition({-230, 700}, 223, 84, two);
    ASSERT_EQ(two.asked.size(), 1u);
    EXPECT_EQ(two.asked[0], (TRect{-230, 700, -7, 784}));
}

// A machine where the executable's folder can or cannot be written, and these files exist (some read-only).
class FakeFolders final : public SettingsFolders {
public:
    bool exeFolderWritable = true;
    std::string userData = "C:\\Users\\ami\\AppData\\Roaming\\";
    std::vector<std::string> files;
    std::vector<std::string> readOnly;

    bool CanCreateFileIn(const std::string&) override { return exeFolderWritable; }
    bool FileExists(const std::string& path) override {
        return std::find(files.begin(), files.end(), path) != files.end();
    }
    bool CanWriteFile(const std::string& path) override {
        return std::find(readOnly.begin(), readOnly.end(), path) == readOnly.end();
    }
    std::string UserDataFolder() override { return userData; }
};

TEST(SettingsPlace, BesideTheExecutableWhereAFileCanBeMadeThereElseInTheUsersFolder) {
    const std::string beside = "C:\\Program Files\\Vantor\\vantor20.ini";
    const std::string user = "C:\\Users\\ami\\AppData\\Roaming\\Vantor\\vantor20.ini";
    struct Case {
        bool writable;
        const char* userData;
        std::vector<std::string> files;
        std::string read, save;
        const char* what;
        std::vector<std::string> readOnly = {};
    };
    const Case cases[] = {
        {true, "C:\\Users\\ami\\AppData\\Roaming\\", {user}, beside, beside, "writable: beside the exe, as always"},
        {false, "C:\\Users\\ami\\AppData\\Roaming\\", {}, user, user, "nothing yet: a fresh per-user file"},
        {false, "C:\\Users\\ami\\AppData\\Roaming\\", {beside}, beside, user, "shipped settings read once"},
        {false, "C:\\Users\\ami\\AppData\\Roaming\\", {beside, user}, user, user, "the user's file from then on"},
        {false, "", {beside}, beside, beside, "no user folder known: beside the exe, whatever comes of it"},
        {true, "C:\\Users\\ami\\AppData\\Roaming\\", {beside}, beside, user, "read-only file: read once", {beside}},
        {true, "C:\\Users\\ami\\AppData\\Roaming\\", {beside, user}, user, user, "read-only file, then the user's",
         {beside}},
    };
    for (const Case& c : cases) {
        FakeFolders folders;
        folders.exeFolderWritable = c.writable;
        folders.userData = c.userData;
        folders.files = c.files;
        folders.readOnly = c.readOnly;
        const SettingsPlace place = ChooseSettingsPlace(folders, kDirectory);
        EXPECT_EQ(place.ReadPath, c.read) << c.what;
        EXPECT_EQ(place.SavePath, c.save) << c.what;
        EXPECT_EQ(place.PerUser, c.save == user) << c.what;
        EXPECT_EQ(place.Folder, c.save.substr(0, c.save.rfind('\\') + 1)) << c.what;
    }
}

TEST(SettingsPlace, ARelativeLogPathIsTakenFromTheSettingsFolderWhereverThatIs) {
    FakeFolders folders;
    folders.exeFolderWritable = false;
    const SettingsPlace perUser = ChooseSettingsPlace(folders, kDirectory);
    FakeProfile noFile;
    const LoadedSettings loaded = LoadSettings(noFile, perUser.Folder);
    EXPECT_EQ(loaded.Settings.LogPath, "C:\\Users\\ami\\AppData\\Roaming\\Vantor\\vantor.log") << "no key";
    folders.exeFolderWritable = true;
    const SettingsPlace beside = ChooseSettingsPlace(folders, kDirectory);
    EXPECT_EQ(PlaceLogPath(perUser, ""), perUser.Folder + "vantor.log");
    EXPECT_EQ(PlaceLogPath(beside, ""), "");
    const std::pair<std::string, bool> cases[] = {
        {"net.log", true}, {"logs\\net.log", true}, {"logs/net.log", true}, {"D:\\logs\\net.log", false},
        {"\\\\server\\share\\net.log", false}, {"\\logs\\net.log", false}, {"D:net.log", false},
    };
    for (const auto& [stored, relative] : cases)
        for (const SettingsPlace* place : {&perUser, &beside})
            EXPECT_EQ(PlaceLogPath(*place, stored), relative ? place->Folder + stored : stored) << stored;
}

}  // namespace
}  // namespace vantor
