// How vantor.exe starts as a program of the user's Windows: its settings in the user's folder where its
// own cannot be written, one program however often it is started, and its entry among the programs that
// start with Windows.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "framework/win32/Text.h"
#include "tests/e2e/Driving.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/WineHost.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr wchar_t kSettingsCaption[] = L"インタフェース設定";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

bool CanAddFileTo(const fs::path& folder) {
    // A new name each time: a probe made just before the folder was sealed stays there, and opening that one
    // again would still succeed.
    static int probes = 0;
    const fs::path probe = folder / (L"probe-" + std::to_wstring(++probes) + L".tmp");
    const HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

// A folder that no account may add a file to while this lives, root included: immutable for Linux.
class SealedFolder {
public:
    explicit SealedFolder(fs::path folder) : folder_(std::move(folder)), unix_(testing::UnixPathOf(folder_)) {
        testing::StartUnixProgram(L"/usr/bin/chattr +i \"" + win32::Widen(unix_) + L"\"");
        sealed_ = WaitUntil([&] { return !CanAddFileTo(folder_); }, 10s);
    }
    ~SealedFolder() {
        testing::StartUnixProgram(L"/usr/bin/chattr -i \"" + win32::Widen(unix_) + L"\"");
        WaitUntil([&] { return CanAddFileTo(folder_); }, 10s);
    }
    SealedFolder(const SealedFolder&) = delete;
    SealedFolder& operator=(const SealedFolder&) = delete;
    bool Sealed() const noexcept { return sealed_; }

private:
    fs::path folder_;
    std::string unix_;
    bool sealed_ = false;
};

// The user's own settings folder, %APPDATA%\Vantor, gone before and after a check: this prefix's user is
// the same for every check.
class UserSettings {
public:
    UserSettings() {
        wchar_t appData[MAX_PATH] = L"";
        ::GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
        folder_ = fs::path(appData) / L"Vantor";
        Remove();
    }
    ~UserSettings() { Remove(); }
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;
    const fs::path& Folder() const noexcept { return folder_; }
    fs::path File() const { return folder_ / L"vantor20.ini"; }

private:
    void Remove() const {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path folder_;
};

// The files the program and the check put in `folder`: a probe that met the seal while it closed stays.
std::size_t FilesIn(const fs::path& folder) {
    return static_cast<std::size_t>(std::ranges::count_if(fs::directory_iterator(folder), [](const auto& entry) {
        return !entry.path().filename().wstring().starts_with(L"probe-");
    }));
}

TEST(SettingsPlaceE2E, FromAFolderOrAFileThatCannotBeWrittenTheSettingsGoToTheUsersFolderAndAreReadBackFromThere) {
    for (const bool sealFolder : {true, false}) {
        SCOPED_TRACE(sealFolder ? "a folder no file can be added to" : "a read-only settings file");
        const UserSettings user;
        TempFolder folder;
        const fs::path exe = folder.File(L"vantor.exe");
        ASSERT_TRUE(::CopyFileW(PathFromEnvironment("VANTOR_EXE").c_str(), exe.c_str(), FALSE));
        WriteFileBytes(folder.File(L"vantor20.ini"), "[Gauge]\r\nSend=25\r\n[Window]\r\nLeft=300\r\n");
        std::optional<SealedFolder> sealed;
        std::optional<testing::UnwritableFile> readOnly;
        const bool unwritable = sealFolder ? sealed.emplace(folder.Path()).Sealed()
                                           : readOnly.emplace(folder.File(L"vantor20.ini")).Locked();
        if (!unwritable) GTEST_SKIP() << "chattr +i cannot make a file or folder immutable on this file system";
        {
            VantorProcess vantor(exe);
            const HWND form = vantor.Form();
            ASSERT_TRUE(WaitUntil([&] { return form && ::IsWindowVisible(form); }));
            EXPECT_EQ(StateOf(form).rect.left, 300) << "the settings shipped beside the exe are read";
            ::SetWindowPos(form, nullptr, 340, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            vantor.RequestQuit();
            ASSERT_TRUE(vantor.WaitForExit(10s)) << "no error box holds the exit";
        }
        auto saved = SettingsValues(user.File());
        EXPECT_EQ(saved["Gauge/Send"], "25");
        EXPECT_EQ(saved["Window/Left"], "340");
        EXPECT_EQ(saved["log/pass"], AnsiPath(user.Folder() / L"vantor.log")) << "the default log follows the settings";
        {
            VantorProcess vantor(exe);
            const HWND form = vantor.Form();
            ASSERT_TRUE(WaitUntil([&] { return form && ::IsWindowVisible(form); }));
            EXPECT_EQ(StateOf(form).rect.left, 340) << "read back from the user's folder";
            ASSERT_TRUE(vantor.Quit());
        }
        EXPECT_EQ(FilesIn(folder.Path()), 2u) << "beside the exe nothing was left";
    }
}

TEST(SettingsPlaceE2E, AFolderInCyrillicComesBackIntactFromTheSettingsFileAndTheLogGoesThere) {
    if (::GetACP() != 1252) GTEST_SKIP() << "written for code page 1252, not " << ::GetACP();
    TempFolder folder;
    const fs::path own = folder.File(L"Программа"), exe = own / L"vantor.exe", settings = own / L"vantor20.ini";
    fs::create_directory(own);
    ASSERT_TRUE(::CopyFileW(PathFromEnvironment("VANTOR_EXE").c_str(), exe.c_str(), FALSE));
    WriteFileBytes(settings, "[Window]\r\nmain=0\r\n[log]\r\nmode=1\r\nwait=1\r\n");
    const std::wstring log = (own / L"vantor.log").wstring();
    for (int start = 1; start <= 2; ++start) {
        VantorProcess vantor(exe);
        EXPECT_TRUE(WaitUntil([&] { return fs::exists(log); }, kTickLimit)) << "the log, after start " << start;
        ASSERT_TRUE(vantor.Quit()) << "no error box holds the exit after start " << start;
        const std::string bytes = ReadFileBytes(settings);
        ASSERT_TRUE(bytes.starts_with("\xFF\xFE")) << start;
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
        EXPECT_NE(text.find(L"\r\npass=" + log + L"\r\n"), std::wstring::npos) << start;
        fs::remove(log);
    }
}

TEST(SecondStartE2E, EndsAtOnceAndTheRunningOneShowsItsWindowOrBringsItsOpenDialogForward) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Window]\r\nmain=0\r\n");
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitUntil([] { return FindTrayPicture().has_value(); })) << "running, with its window hidden";
    ASSERT_FALSE(::IsWindowVisible(form));
    const TempFolder another;  // made now: two made in one moment get one name
    {
        VantorProcess second(another);
        EXPECT_TRUE(second.WaitForExit(10s)) << "another copy started by the same user ends";
    }
    EXPECT_TRUE(vantor.Running());
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) && ::GetForegroundWindow() == form; }))
        << "the running one's window is shown in front";
    EXPECT_EQ(FilesIn(another.Path()), 1u) << "the second start touched no file: only its exe is there";

    ASSERT_TRUE(Click(CentreOf(form), 3));
    ASSERT_TRUE(PickMenuCommand(vantor, cmdSettings));
    const HWND dialog = vantor.WaitForWindow(L"TModalForm", kSettingsCaption);
    ASSERT_NE(dialog, nullptr);
    const HWND elsewhere = ::CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                            nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(elsewhere);
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == elsewhere; }));
    {
        VantorProcess third(another);
        EXPECT_TRUE(third.WaitForExit(10s));
    }
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == dialog; })) << "the open dialog comes forward";
    ::DestroyWindow(elsewhere);
    ASSERT_TRUE(PressKeysUntil(dialog, L"Escape", [&] { return !::IsWindow(dialog); }));
    ASSERT_TRUE(vantor.Quit());
}

// The program's startup entry, removed before and after a check: left behind, it would start the program
// at the prefix's next boot.
class StartupEntry {
public:
    StartupEntry() { Remove(); }
    ~StartupEntry() { Remove(); }
    StartupEntry(const StartupEntry&) = delete;
    StartupEntry& operator=(const StartupEntry&) = delete;

    std::optional<std::wstring> Run() const {
        wchar_t command[1024] = L"";
        DWORD size = sizeof(command);
        if (::RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Vantor", RRF_RT_REG_SZ, nullptr, command, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return command;
    }
    DWORD RunType() const {
        DWORD type = REG_NONE;
        ::RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Vantor", RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
        return type;
    }
    void SetRun(const std::wstring& command, DWORD type = REG_SZ) const {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Vantor", type, command.c_str(),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    // The startup list's switch, as the system writes it: 2 enabled, 3 disabled, then a time.
    void SetApproval(BYTE state) const {
        const BYTE bytes[12] = {state};
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Vantor", REG_BINARY, bytes, sizeof(bytes));
    }
    int Approval() const {
        BYTE bytes[12] = {};
        DWORD size = sizeof(bytes);
        if (::RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, L"Vantor", RRF_RT_REG_BINARY, nullptr, bytes, &size) !=
            ERROR_SUCCESS)
            return -1;
        return bytes[0];
    }

private:
    static void Remove() {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Vantor");
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Vantor");
    }
};

struct StartupBox {
    HWND dialog = nullptr, box = nullptr, ok = nullptr;
    bool Ticked() const { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
};

StartupBox OpenSettings(VantorProcess& vantor) {
    StartupBox opened;
    opened.dialog = OpenDialogWithKeyboard(vantor, cmdSettings, kSettingsCaption);
    if (!opened.dialog) return {};
    const auto boxes = ChildrenOfClass(opened.dialog, L"Button", L"Windows の起動時に実行する");
    const auto ok = ChildrenOfClass(opened.dialog, L"Button", L"OK");
    if (boxes.empty() || ok.empty()) return {};
    opened.box = boxes.front();
    opened.ok = ok.front();
    return opened;
}

// Ticks or unticks the box with the pointer, then presses OK.
bool ToggleAndConfirm(const StartupBox& opened) {
    const bool was = opened.Ticked();
    return Click(CentreOf(opened.box)) && WaitUntil([&] { return opened.Ticked() != was; }) &&
           Click(CentreOf(opened.ok)) && WaitUntil([&] { return !::IsWindow(opened.dialog); });
}

TEST(StartWithWindowsE2E, TheBoxChangesTheEntryOnlyWhenItChangedAndFollowsTheRegistryAndTheStartupList) {
    const StartupEntry entry;
    TempFolder folder;
    VantorProcess vantor(folder);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(vantor.Form()) != FALSE; }));
    const std::wstring quoted = L"\"" + folder.File(L"vantor.exe").wstring() + L"\"";
    const auto namesThisExe = [&] { return entry.Run() && _wcsicmp(entry.Run()->c_str(), quoted.c_str()) == 0; };
    {
        const StartupBox opened = OpenSettings(vantor);
        ASSERT_NE(opened.box, nullptr);
        EXPECT_FALSE(opened.Ticked()) << "no entry";
        ASSERT_TRUE(ToggleAndConfirm(opened));
    }
    EXPECT_TRUE(namesThisExe()) << "ticked: the exe's quoted path; the entry holds "
                                << ::testing::PrintToString(entry.Run().value_or(L"nothing"));

    entry.SetApproval(3);
    {
        const StartupBox opened = OpenSettings(vantor);
        ASSERT_NE(opened.box, nullptr);
        EXPECT_FALSE(opened.Ticked()) << "disabled in the startup list";
        ASSERT_TRUE(PressKeysUntil(opened.dialog, L"Return", [&] { return !::IsWindow(opened.dialog); })) << "OK, unchanged";
    }
    EXPECT_TRUE(namesThisExe()) << "an unchanged box writes nothing";
    EXPECT_EQ(entry.Approval(), 3);

    entry.SetApproval(2);
    {
        const StartupBox opened = OpenSettings(vantor);
        ASSERT_NE(opened.box, nullptr);
        EXPECT_TRUE(opened.Ticked()) << "enabled again";
        ASSERT_TRUE(ToggleAndConfirm(opened));
    }
    EXPECT_EQ(entry.Run(), std::nullopt) << "unticked: removed";

    entry.SetRun(L"\"C:\\elsewhere\\vantor.exe\"");
    {
        const StartupBox opened = OpenSettings(vantor);
        ASSERT_NE(opened.box, nullptr);
        EXPECT_FALSE(opened.Ticked()) << "another copy's entry";
        ASSERT_TRUE(PressKeysUntil(opened.dialog, L"Return", [&] { return !::IsWindow(opened.dialog); }));
    }
    EXPECT_EQ(entry.Run(), L"\"C:\\elsewhere\\vantor.exe\"") << "is left as it was";

    entry.SetRun(L"\"%TEMP%\\" + folder.Path().filename().wstring() + L"\\vantor.exe\" /min", REG_EXPAND_SZ);
    for (const int approval : {2, 3}) {
        entry.SetApproval(static_cast<BYTE>(approval));
        const StartupBox opened = OpenSettings(vantor);
        ASSERT_NE(opened.box, nullptr);
        EXPECT_EQ(opened.Ticked(), approval == 2) << "an expandable entry of ours, expanded";
        if (approval == 3) ASSERT_TRUE(ToggleAndConfirm(opened));
        else ASSERT_TRUE(PressKeysUntil(opened.dialog, L"Return", [&] { return !::IsWindow(opened.dialog); }));
    }
    EXPECT_TRUE(namesThisExe());
    EXPECT_EQ(entry.RunType(), static_cast<DWORD>(REG_EXPAND_SZ)) << "written back as the type it was";
    ASSERT_TRUE(vantor.Quit());
}

}  // namespace
}  // namespace vantor::e2e
