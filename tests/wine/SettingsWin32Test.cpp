// The settings file against the real private-profile functions, and the desktop's monitors.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/core/SettingsFile.h"
#include "app/win32/PrivateProfile.h"
#include "framework/win32/Text.h"

#include "tests/support/Files.h"
#include "tests/support/WineHost.h"

namespace vantor::win32 {
namespace {

namespace fs = std::filesystem;

// A Japanese name: where the code page lacks it, the settings file turns UTF-16.
struct TempFolder : ::vantor::testing::TempFolder {
    TempFolder() : ::vantor::testing::TempFolder(L"vantor-設定-") {}
};

using ::vantor::testing::ReadFileBytes;
using ::vantor::testing::SettingsText;
using ::vantor::testing::WriteFileBytes;

std::vector<std::string> NonEmptyLines(const std::string& text) {
    std::vector<std::string> lines = ::vantor::testing::CrLfLines(text);
    std::erase(lines, "");
    return lines;
}

// Passes every call on to the real file and counts the writes.
class CountingProfile final : public ProfileStore {
public:
    explicit CountingProfile(ProfileStore& inner) : inner_(inner) {}
    int writes = 0;
    const std::string& FilePath() const override { return inner_.FilePath(); }
    std::string ReadString(std::string_view s, std::string_view k, std::string_view d) override {
        return inner_.ReadString(s, k, d);
    }
    bool WriteString(std::string_view s, std::string_view k, std::string_view v) override {
        ++writes;
        return inner_.WriteString(s, k, v);
    }
    void Flush() override { inner_.Flush(); }
    bool Holds(std::string_view text) override { return inner_.Holds(text); }
    bool MakeUnicode() override { return inner_.MakeUnicode(); }

private:
    ProfileStore& inner_;
};

TEST(SettingsFileWin32, ANewFileHoldsEveryKeyWithItsDefault) {
    TempFolder folder;
    const std::string iniPath = SettingsFilePath(folder.Directory());
    PrivateProfile profile(iniPath);
    const LoadedSettings loaded = LoadSettings(profile, folder.Directory());
    ASSERT_FALSE(fs::exists(folder.File(L"vantor20.ini")));
    SaveSettings(profile, loaded.Settings, loaded.Position);

    // The folder's name holds Japanese: where the code page lacks it, the file is UTF-16.
    const std::string logPath = folder.Directory() + "vantor.log";
    EXPECT_EQ(NonEmptyLines(SettingsText(folder.File(L"vantor20.ini"))),
              (std::vector<std::string>{"[Gauge]", "Send=10", "Rese=10", "[Interface]", "Selected=1", "flg=0",
                                        "Watch=route", "[Window]", "Left=200", "Top=200", "Mode=0", "main=1", "[Graph]", "mode=0",
                                        "bps=0", "[log]", "mode=0", "pass=" + logPath, "wait=60"}));
}

TEST(SettingsFileWin32, AnExistingFileKeepsItsCommentsAndOtherKeys) {
    TempFolder folder;
    const fs::path file = folder.File(L"vantor20.ini");
    WriteFileBytes(file, "; kept by hand\r\n[Gauge]\r\nSend=5\r\nOther=keep\r\n\r\n[Extra]\r\nfoo=bar\r\n");

    MonitorSettings settings;
    settings.GaugeSend = 250;
    settings.LogPath = "D:\\logs\\net.log";
    settings.LogInterval = 10800;
    PrivateProfile profile(SettingsFilePath(folder.Directory()));
    SaveSettings(profile, settings, {-1500, 30});

    const std::vector<std::string> lines = NonEmptyLines(ReadFileBytes(file));
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
              (std::vector<std::string>{"; kept by hand", "[Gauge]", "Send=250", "Other=keep", "Rese=10"}));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "foo=bar"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "[Extra]") + 1, std::find(lines.begin(), lines.end(), "foo=bar"));

    const LoadedSettings loaded = LoadSettings(profile, folder.Directory());
    EXPECT_EQ(loaded.Settings, settings);
    EXPECT_EQ(loaded.Position, (TPoint{-1500, 30}));
}

TEST(SettingsFileWin32, ReadsValuesAsTheFileHoldsThem) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"),
               "[log]\r\nwait=0x3C\r\n[gauge]\r\nSEND=abc\r\nRese = 40 \r\n[Window]\r\nmain=2\r\nMode=\r\nTop=-20\r\n");
    PrivateProfile profile(SettingsFilePath(folder.Directory()));
    const LoadedSettings loaded = LoadSettings(profile, folder.Directory());
    EXPECT_EQ(loaded.Settings.LogInterval, 60);
    EXPECT_EQ(loaded.State.LogTicks, 60);
    EXPECT_EQ(loaded.Settings.GaugeSend, 10);
    EXPECT_EQ(loaded.Settings.GaugeReceive, 40);
    EXPECT_TRUE(loaded.Settings.ShowAtStart);
    EXPECT_FALSE(loaded.Settings.StayOnTop);
    EXPECT_EQ(loaded.Position, (TPoint{200, -20}));
}

// Saves the defaults through a counting profile; returns the writes tried and the error's message.
std::pair<int, std::string> SaveExpectingFailure(const std::string& iniPath) {
    PrivateProfile real(iniPath);
    CountingProfile profile(real);
    try {
        SaveSettings(profile, MonitorSettings{}, {});
    } catch (const std::runtime_error& error) {
        return {profile.writes, error.what()};
    }
    return {profile.writes, "(no error)"};
}

TEST(SettingsFileWin32, AReadOnlyFileStopsTheSaveAtTheFirstKey) {
    TempFolder folder;
    const fs::path file = folder.File(L"vantor20.ini");
    const std::string original = "[Gauge]\r\nSend=5\r\n";
    WriteFileBytes(file, original);
    // Read-only for Windows, and immutable for Linux, since under Wine an administrator writes read-only files.
    const testing::UnwritableFile readOnly(file);
    if (!readOnly.Locked()) GTEST_SKIP() << "chattr +i cannot make a file immutable on this file system";

    const std::string iniPath = SettingsFilePath(folder.Directory());
    const auto [writes, message] = SaveExpectingFailure(iniPath);
    EXPECT_EQ(message, iniPath + " に書き込めません");
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(ReadFileBytes(file), original);
}

TEST(SettingsFileWin32, AFileLockedByAnotherProgramStopsTheSaveAtTheFirstKey) {
    TempFolder folder;
    const fs::path file = folder.File(L"vantor20.ini");
    const std::string original = "[Gauge]\r\nSend=5\r\n";
    WriteFileBytes(file, original);
    const HANDLE lock = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    const std::string iniPath = SettingsFilePath(folder.Directory());
    const auto [writes, message] = SaveExpectingFailure(iniPath);
    ::CloseHandle(lock);
    EXPECT_EQ(message, iniPath + " に書き込めません");
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(ReadFileBytes(file), original);
}

TEST(SettingsFileWin32, APathCodePage1252CannotHoldTurnsTheFileUnicodeAndAnyOtherLeavesItByteForByte) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the cases are written for code page 1252, not " << ::GetACP();
    TempFolder folder;
    const fs::path file = folder.File(L"vantor20.ini");
    PrivateProfile profile(SettingsFilePath(folder.Directory()));
    WriteFileBytes(file, "; kept by hand\r\n[Gauge]\r\nSend=5\r\nOther=keep\r\n");
    MonitorSettings settings;
    settings.LogPath = "C:\\Users\\José\\vantor.log";
    SaveSettings(profile, settings, {});
    const std::string ansi = ReadFileBytes(file);
    SaveSettings(profile, settings, {});
    EXPECT_EQ(ReadFileBytes(file), ansi) << "what the code page holds is stored as before, byte for byte";
    EXPECT_NE(ansi.find("pass=C:\\Users\\Jos\xE9\\vantor.log"), std::string::npos);
    for (const char* path : {"C:\\Users\\Дмитрий\\vantor.log", "C:\\Users\\Łukasz\\vantor.log", "D:\\ログ\\net.log"}) {
        settings.LogPath = path;
        SaveSettings(profile, settings, {});
        ASSERT_TRUE(ReadFileBytes(file).starts_with("\xFF\xFE")) << path;
        const std::string text = SettingsText(file);
        EXPECT_TRUE(text.starts_with("; kept by hand\r\n[Gauge]\r\nSend=10\r\nOther=keep\r\n")) << text;
        EXPECT_NE(text.find(std::string("pass=") + path), std::string::npos) << text;
        EXPECT_EQ(LoadSettings(profile, folder.Directory()).Settings.LogPath, path);
    }
}

TEST(SettingsFileWin32, AReadOnlySettingsFileCannotBeWritten) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Gauge]\r\nSend=5\r\n");
    SystemSettingsFolders folders;
    EXPECT_TRUE(folders.CanWriteFile(SettingsFilePath(folder.Directory())));
    ASSERT_TRUE(::SetFileAttributesW(folder.File(L"vantor20.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(folders.CanWriteFile(SettingsFilePath(folder.Directory())));
}

TEST(DisplayLayoutWin32, AgreesWithTheMonitorsTheSystemLists) {
    std::vector<RECT> monitors;
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT rect, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<RECT>*>(data)->push_back(*rect);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    ASSERT_FALSE(monitors.empty());
    RECT desktop = monitors.front();
    for (const RECT& m : monitors) ::UnionRect(&desktop, &desktop, &m);

    const SystemDisplayLayout display;
    EXPECT_EQ(display.MonitorCount(), static_cast<int>(monitors.size()));
    EXPECT_EQ(display.DesktopWidth(), desktop.right - desktop.left);
    EXPECT_EQ(display.DesktopHeight(), desktop.bottom - desktop.top);

    const RECT& first = monitors.front();
    EXPECT_TRUE(display.TouchesAnyMonitor({first.left, first.top, first.left + 10, first.top + 10}));
    EXPECT_TRUE(display.TouchesAnyMonitor({desktop.right - 1, first.top, desktop.right + 200, first.top + 80}));
    EXPECT_FALSE(display.TouchesAnyMonitor({desktop.right, first.top, desktop.right + 200, first.top + 80}));
    EXPECT_FALSE(
        display.TouchesAnyMonitor({desktop.left - 300, desktop.bottom + 5, desktop.left - 77, desktop.bottom + 89}));

    // Started on a monitor that is not there, the window comes back to (200, 200).
    const TPoint away{desktop.right + 4000, desktop.bottom + 4000};
    const TPoint started = CheckWindowPosition(away, 223, 84, display);
    EXPECT_TRUE(display.TouchesAnyMonitor({started.X, started.Y, started.X + 223, started.Y + 84}));
}

}  // namespace
}  // namespace vantor::win32
