// The shell layer of the tray icon: record building, text limits, the add/modify/delete policy with its
// retries, the shell version arithmetic, and the routing of messages to the icons' hidden windows.

#include "components/TrShlApi/TrShlApi.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Unicode.h"
#include "tests/fakes/FakeTrayShell.h"

namespace vantor {
namespace {

using testing::FakeTrayShell;
constexpr auto kAdd = NotifyAction::kAdd;
constexpr auto kModify = NotifyAction::kModify;
constexpr auto kDelete = NotifyAction::kDelete;
const IconRef kIcon = reinterpret_cast<IconRef>(0x77);

std::u16string TipOf(const NotifyIconRecord& record) { return std::u16string(record.szTip.data()); }

// --- Record and texts

TEST(TaskTrayIconRecord, AddFillsTheRecordForTheShellVersion) {
    struct Case {
        const char* name;
        std::optional<DllVersion> dll;
        NotifyIconLayout layout;
        std::uint32_t state;
    };
    const Case cases[] = {
        {"shell 6.0", DllVersion{true, true, 6, 0}, NotifyIconLayout::kVersion2, 2},
        {"shell 5.0", DllVersion{true, true, 5, 0}, NotifyIconLayout::kVersion2, 2},
        {"shell 4.72", DllVersion{true, true, 4, 72}, NotifyIconLayout::kVersion1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTrayShell shell;
        shell.dllVersion = c.dll;
        TTaskTrayIcon icon(shell);
        icon.SetBalloonIcon(TBalloonIconType::bitWarning);
        icon.SetIcon(kIcon);
        ASSERT_TRUE(icon.AddIcon());
        ASSERT_EQ(shell.notifyCalls.size(), 1u);
        const NotifyIconRecord& sent = shell.notifyCalls[0].record;
        EXPECT_EQ(sent.layout, c.layout);
        EXPECT_EQ(sent.hWnd, shell.createdWindows.at(0));
        EXPECT_EQ(sent.uID, 1u);
        EXPECT_EQ(sent.uFlags, 7u) << "message, icon and tip; never the balloon";
        EXPECT_EQ(sent.uCallbackMessage, 1224u);
        EXPECT_EQ(sent.hIcon, kIcon);
        EXPECT_EQ(sent.dwState, c.state);
        EXPECT_EQ(sent.dwStateMask, 0u);
        // The balloon icon is cleared by an add on the newer shell only.
        EXPECT_EQ(icon.BalloonIcon(), c.state ? TBalloonIconType::bitNone : TBalloonIconType::bitWarning);
    }
}

TEST(TaskTrayIconRecord, TipKeepsJapaneseAndIsCutToTheShellsLimit) {
    const std::string japanese = "インタフェース\r\n送信 1,234 KB";
    const std::string longText(200, 'x');
    struct Case {
        const char* name;
        std::optional<DllVersion> dll;
        std::string text;
        std::u16string expected;
    };
    const Case cases[] = {
        {"new shell keeps the line break", DllVersion{true, true, 6, 0}, japanese, Utf8ToUtf16(japanese)},
        {"old shell shows one line", DllVersion{true, true, 4, 72}, japanese, u"インタフェース 送信 1,234 KB"},
        {"new shell cuts at 127", DllVersion{true, true, 5, 0}, longText, std::u16string(127, u'x')},
        {"old shell cuts at 63", DllVersion{true, true, 4, 0}, longText, std::u16string(63, u'x')},
        {"empty tip", DllVersion{true, true, 6, 0}, "", u""},
        {"a lone CR stays on the old shell", DllVersion{true, true, 4, 0}, "a\rb\r\n", u"a\rb "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTrayShell shell;
        shell.dllVersion = c.dll;
        TTaskTrayIcon icon(shell);
        icon.SetTip(c.text);
        EXPECT_EQ(TipOf(icon.IconData()), c.expected);
        EXPECT_EQ(icon.Tip(), Utf16ToUtf8(c.expected));
    }
}

TEST(TaskTrayIconRecord, CutsNeverSplitACharacterAndBalloonFieldsKeepTheirLimits) {
    FakeTrayShell shell;
    TTaskTrayIcon icon(shell);
    // 126 units, then a character outside the basic plane (two units) that does not fit.
    icon.SetTip(std::string(126, 'a') + "\xF0\x9F\x93\xB6");
    EXPECT_EQ(TipOf(icon.IconData()), std::u16string(126, u'a'));

    icon.SetBalloonText(std::string(300, 'b'));
    icon.SetBalloonTitle(std::string(100, 'c'));
    EXPECT_EQ(icon.BalloonText(), std::string(255, 'b'));
    EXPECT_EQ(icon.BalloonTitle(), std::string(63, 'c'));
    icon.SetBalloonTimeOut(-5);
    EXPECT_EQ(icon.BalloonTimeOut(), -5);
    icon.SetBalloonIcon(static_cast<TBalloonIconType>(9));
    EXPECT_EQ(icon.BalloonIcon(), TBalloonIconType::bitNone);
    icon.SetBalloonIcon(TBalloonIconType::bitError);
    EXPECT_EQ(icon.IconData().dwInfoFlags, 3u);
}

// --- Add, modify, delete

TEST(TaskTrayIconPolicy, AddWithoutAnIconSendsNothing) {
    FakeTrayShell shell;
    TTaskTrayIcon icon(shell);
    EXPECT_FALSE(icon.AddIcon());
    EXPECT_FALSE(icon.Added());
    EXPECT_TRUE(shell.notifyCalls.empty());
    EXPECT_FALSE(icon.ModifyIcon()) << "a modify of an icon never added adds it, and fails the same way";
}

TEST(TaskTrayIconPolicy, AddRetriesOnlyWhileTheShellTimesOutOneCallATimerTickNeverWaiting) {
    struct Case {
        const char* name;
        std::vector<FakeTrayShell::NotifyAnswer> answers;
        bool added;
        std::vector<NotifyAction> actions;
    };
    const FakeTrayShell::NotifyAnswer ok{true, 0}, timeout{false, kErrorTimeout}, refused{false, 5};
    const Case cases[] = {
        {"at once", {ok}, true, {kAdd}},
        {"refused: no retry", {refused}, false, {kAdd}},
        {"time-out, then the modify finds the icon", {timeout, ok}, true, {kAdd, kModify}},
        {"time-out, modify fails, re-add succeeds", {timeout, timeout, ok}, true, {kAdd, kModify, kAdd}},
        {"time-out, then refused", {timeout, timeout, refused}, false, {kAdd, kModify, kAdd}},
        {"time-outs to the end: six retries",
         std::vector<FakeTrayShell::NotifyAnswer>(13, timeout),
         false,
         {kAdd, kModify, kAdd, kModify, kAdd, kModify, kAdd, kModify, kAdd, kModify, kAdd, kModify, kAdd}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTrayShell shell;
        shell.notifyAnswers.assign(c.answers.begin(), c.answers.end());
        TTaskTrayIcon icon(shell);
        icon.SetIcon(kIcon);
        EXPECT_EQ(icon.AddIcon(), c.actions.size() == 1 && c.added);
        EXPECT_EQ(shell.notifyCalls.size(), 1u) << "the GUI thread made one call and went on";
        EXPECT_EQ(shell.now, 0u) << "and never waited";
        for (std::size_t tick = 1; tick < c.actions.size(); ++tick) {
            EXPECT_FALSE(icon.AddIcon()) << "an add while a retry is pending only updates the record";
            EXPECT_FALSE(icon.ModifyIcon());
            shell.Advance(1999);
            EXPECT_EQ(shell.notifyCalls.size(), tick);
            shell.Advance(1);
            EXPECT_EQ(shell.notifyCalls.size(), tick + 1) << "one call a tick, two seconds apart";
        }
        shell.Advance(60000);
        EXPECT_EQ(icon.Added(), c.added);
        EXPECT_EQ(shell.Actions(), c.actions);
        EXPECT_FALSE(icon.AddRetryPending());
        EXPECT_TRUE(shell.timers.empty()) << "the retry timer is gone";
    }
}

TEST(TaskTrayIconPolicy, ADeleteEndsAPendingRetryAndAClickTimerIsNoRetry) {
    FakeTrayShell shell;
    shell.notifyAnswers = {{false, kErrorTimeout}};
    TTaskTrayIcon icon(shell);
    icon.SetIcon(kIcon);
    EXPECT_FALSE(icon.AddIcon());
    ASSERT_TRUE(icon.AddRetryPending());
    shell.Route(icon.Handle(), wm::kTimer, kClickTimerId, 0);
    EXPECT_EQ(shell.notifyCalls.size(), 1u);
    EXPECT_TRUE(icon.DeleteIcon());
    shell.Advance(60000);
    EXPECT_EQ(shell.Actions(), std::vector{kAdd}) << "a hidden icon does not come back";
    EXPECT_TRUE(shell.timers.empty());
}

TEST(TaskTrayIconPolicy, ModifyTakesATimeOutAsSuccessAndReAddsAfterARefusal) {
    FakeTrayShell shell;
    TTaskTrayIcon icon(shell);
    icon.SetIcon(kIcon);
    ASSERT_TRUE(icon.AddIcon());

    shell.notifyAnswers = {{false, kErrorTimeout}};
    EXPECT_TRUE(icon.ModifyIcon());
    EXPECT_TRUE(icon.Added());

    shell.notifyCalls.clear();
    shell.notifyAnswers = {{false, 5}, {true, 0}};
    EXPECT_TRUE(icon.ModifyIcon());
    EXPECT_EQ(shell.Actions(), (std::vector{kModify, kAdd}));

    shell.notifyCalls.clear();
    shell.notifyAnswers = {{false, 5}, {false, 5}};
    EXPECT_FALSE(icon.ModifyIcon());
    EXPECT_FALSE(icon.Added()) << "the next change tries to add it again";

    icon.SetIcon(nullptr);
    shell.notifyCalls.clear();
    EXPECT_FALSE(icon.ModifyIcon());
    EXPECT_TRUE(shell.notifyCalls.empty());
}

TEST(TaskTrayIconPolicy, DeleteReportsTheShellsAnswerButAlwaysForgetsTheIcon) {
    FakeTrayShell shell;
    TTaskTrayIcon icon(shell);
    EXPECT_TRUE(icon.DeleteIcon()) << "nothing to delete";
    EXPECT_TRUE(shell.notifyCalls.empty());

    icon.SetIcon(kIcon);
    ASSERT_TRUE(icon.AddIcon());
    shell.notifyAnswers = {{false, 5}};
    EXPECT_FALSE(icon.DeleteIcon());
    EXPECT_FALSE(icon.Added());
    EXPECT_EQ(shell.Actions().back(), kDelete);
}

// --- Shell version

TEST(ShellVersion, FileVersionTextsParse) {
    struct Case {
        const char* text;
        std::uint32_t version;
    };
    const Case cases[] = {
        {"5.00.2920.0000", 0x00050000}, {"4.72.3110.1", 0x00040048}, {"6.0.2900.6242", 0x00060000},
        {"10.0.19041.1", 0x000A0000},   {"6.1", 0x00060001},         {"", 0},
        {"x.1", 0},                     {"6", 0},                    {"6.", 0},
        {"6.a", 0},                     {"70000.1", 0},              {"6.1b", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseFileVersion(c.text), c.version) << '"' << c.text << '"';
}

TEST(ShellVersion, DllGetVersionWinsAndTheFileVersionIsTheFallback) {
    struct Case {
        const char* name;
        std::optional<DllVersion> dll;
        bool hasVersionInfo;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"export answers", DllVersion{true, true, 6, 1}, true, 0x00060001},
        {"no export: file version", DllVersion{false, false, 0, 0}, true, 0x00060000},
        {"export fails: file version", DllVersion{true, false, 9, 9}, true, 0x00060000},
        {"library missing: file version", std::nullopt, true, 0x00060000},
        {"nothing known", std::nullopt, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTrayShell shell;
        shell.dllVersion = c.dll;
        shell.hasVersionInfo = c.hasVersionInfo;
        EXPECT_EQ(GetShellVersion(shell), c.expected);
    }
}

TEST(ShellVersion, FileVersionIsReadFromTheSystemDirectoryUnderItsTranslation) {
    FakeTrayShell shell;
    shell.translation = 0x03A40411;  // Japanese, code page 932
    shell.versionStrings = {{"\\\\StringFileInfo\\\\041103A4\\\\FileVersion", "4.72.3110.1"}};
    EXPECT_EQ(GetShellFileVersion(shell), 0x00040048u);
    EXPECT_EQ(shell.versionQueries,
              (std::vector<std::string>{"C:\\windows\\system32\\shell32.dll", "\\\\VarFileInfo\\\\Translation",
                                        "\\\\StringFileInfo\\\\041103A4\\\\FileVersion"}));
    shell.translation.reset();
    EXPECT_EQ(GetShellFileVersion(shell), 0u);
}

TEST(ShellVersion, AFailedProbeSelectsTheOldRecord) {
    FakeTrayShell shell;
    shell.dllVersion.reset();
    shell.hasVersionInfo = false;
    TTaskTrayIcon icon(shell);
    EXPECT_EQ(icon.ShellVersion(), 0u);
    icon.SetTip(std::string(100, 'z'));
    EXPECT_EQ(icon.Tip().size(), 63u);
}

// --- Registry and routing

TEST(TrayRouting, RegistryLivesWhileIconsDoAndOwnsTheWindowClass) {
    FakeTrayShell shell;
    ASSERT_EQ(TrayIconRegistry(), nullptr);
    {
        TTaskTrayIcon first(shell);
        TTaskTrayIcon second(shell);
        ASSERT_NE(TrayIconRegistry(), nullptr);
        EXPECT_EQ(TrayIconRegistry()->Items(), (std::vector<TTaskTrayIcon*>{&first, &second}));
        EXPECT_EQ(shell.classRegistrations, 1);
    }
    EXPECT_EQ(TrayIconRegistry(), nullptr);
    EXPECT_EQ(shell.classUnregistrations, 1);
    TTaskTrayIcon later(shell);
    EXPECT_EQ(shell.classRegistrations, 2) << "a new icon registers the class again";
    UnregisterTrayIcon(later);  // an icon that is no longer listed is ignored on its way out
}

TEST(TrayRouting, EachMessageReachesOnlyTheIconWhoseWindowGotIt) {
    FakeTrayShell shell;
    TTaskTrayIcon first(shell), second(shell);
    std::vector<std::uint32_t> firstGot, secondGot;
    first.OnMessage = [&](TMessage& m) { firstGot.push_back(m.Msg); m.Result = 11; };
    second.OnMessage = [&](TMessage& m) { secondGot.push_back(m.Msg); m.Result = 22; };
    const WindowHandle firstWindow = first.GetHandle(), secondWindow = second.GetHandle();
    ASSERT_NE(firstWindow, secondWindow);

    EXPECT_EQ(shell.Route(secondWindow, 0x500, 0, 0), 22);
    EXPECT_EQ(shell.Route(firstWindow, 0x501, 0, 0), 11);
    EXPECT_EQ(firstGot, std::vector<std::uint32_t>{0x501});
    EXPECT_EQ(secondGot, std::vector<std::uint32_t>{0x500});

    TMessage stray{0x502, 0, 0, 0};
    EXPECT_FALSE(RouteTrayMessage(testing::FakeHandle(0x9999), stray)) << "default processing for strangers";

    second.OnMessage = nullptr;
    shell.defaultResult = 33;
    EXPECT_EQ(shell.Route(secondWindow, 0x503, 0, 0), 33) << "without a handler the default answers";
}

TEST(TrayRouting, TaskbarCreatedAddsAgainOnlyTheIconsThatWereShown) {
    FakeTrayShell shell;
    TTaskTrayIcon shown(shell), hidden(shell);
    shown.SetIcon(kIcon);
    hidden.SetIcon(kIcon);
    ASSERT_TRUE(shown.AddIcon());
    (void)hidden.GetHandle();
    shell.notifyCalls.clear();

    shell.Route(shown.Handle(), FakeTrayShell::kTaskbarCreated, 0, 0);
    shell.Route(hidden.Handle(), FakeTrayShell::kTaskbarCreated, 0, 0);
    ASSERT_EQ(shell.notifyCalls.size(), 1u);
    EXPECT_EQ(shell.notifyCalls[0].action, kAdd);
    EXPECT_EQ(shell.notifyCalls[0].record.hWnd, shown.Handle());
    EXPECT_TRUE(shown.Added());
    EXPECT_FALSE(hidden.Added());
}

TEST(TrayRouting, DestructionDeletesTheIconThenDestroysItsWindow) {
    FakeTrayShell shell;
    WindowHandle window = nullptr;
    {
        TTaskTrayIcon icon(shell);
        icon.SetIcon(kIcon);
        ASSERT_TRUE(icon.AddIcon());
        window = icon.Handle();
    }
    EXPECT_EQ(shell.Actions(), (std::vector{kAdd, kDelete}));
    EXPECT_EQ(shell.destroyedWindows, std::vector<WindowHandle>{window});
    EXPECT_EQ(shell.classUnregistrations, 1);
}

TEST(TrayRouting, WithoutAWindowTheRecordCarriesNone) {
    FakeTrayShell shell;
    shell.windowCreationFails = true;
    shell.notifyAnswers = {{false, 87}};
    TTaskTrayIcon icon(shell);
    icon.SetIcon(kIcon);
    EXPECT_FALSE(icon.AddIcon());
    EXPECT_EQ(shell.notifyCalls.at(0).record.hWnd, nullptr);
}

}  // namespace
}  // namespace vantor
