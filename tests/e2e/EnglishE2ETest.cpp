// vantor.exe on an English Windows (ctest runs these with an English UI language): the menu, the settings
// dialog, the about box, the tip and an error box read in English, and the settings file's "Language"
// brings the Japanese face back.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <regex>

#include "tests/e2e/Driving.h"
#include "tests/e2e/RemoteMemory.h"
#include "tests/e2e/VantorProcess.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

// The program's tip once the first tick has written it: its second line starts with the speed's field name.
std::wstring TickedTip(const std::wstring& fieldName) {
    std::wstring found;
    WaitUntil([&] {
        for (const std::wstring& tip : TrayTipTexts())
            if (tip.find(L"\r\n" + fieldName) != std::wstring::npos) found = tip;
        return !found.empty();
    }, kTickLimit);
    return found;
}

TEST(EnglishE2E, TheMenuTheSettingsDialogTheAboutBoxAndTheTipReadInEnglish) {
    ASSERT_NE(PRIMARYLANGID(::GetUserDefaultUILanguage()), LANG_JAPANESE) << "ctest gives this check English";
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));

    ASSERT_TRUE(Click(CentreOf(form), 3));
    ExpectMenuAsTheSystemDrawsIt(vantor, kEnglishMenuCaptions, -1);

    const HWND about = OpenDialog(vantor, cmdAbout, L"About Vantor");
    ASSERT_NE(about, nullptr) << "the about box's caption";
    EXPECT_TRUE(TextOf(ChildrenOfClass(about, L"Edit").front()).starts_with(L"Vantor version 2.22\r\nhttp"));
    EXPECT_EQ(ChildrenOfClass(about, L"Button", L"Close").size(), 1u);
    ASSERT_TRUE(PressKeysUntil(about, L"Escape", [&] { return !::IsWindow(about); }));

    const HWND dialog = OpenDialog(vantor, cmdSettings, L"Interface settings");
    ASSERT_NE(dialog, nullptr) << "the dialog's caption";
    for (const wchar_t* text : {L"OK", L"Cancel", L"Show the window at start", L"Start with Windows",
                                L"Fixed chart maximum", L"Chart the average speeds", L"Show speeds in bits (Kbps)",
                                L"Write a log file", L"..."})
        EXPECT_EQ(ChildrenOfClass(dialog, L"Button", text).size(), 1u) << ::testing::PrintToString(std::wstring(text));
    for (const wchar_t* text : {L"Interface", L"Max send", L"Max receive", L"File", L"Interval (s)",
                                L"The log always counts bytes."})
        EXPECT_EQ(ChildrenOfClass(dialog, L"Static", text).size(), 1u) << ::testing::PrintToString(std::wstring(text));
    const HWND tabs = ChildrenOfClass(dialog, WC_TABCONTROLW).front();
    EXPECT_EQ(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    ASSERT_TRUE(PressKeysUntil(dialog, L"Escape", [&] { return !::IsWindow(dialog); }));

    const std::wstring tip = TickedTip(L"Speed: ");
    EXPECT_TRUE(std::regex_match(tip, std::wregex(L"[^\r\n]+\r\nSpeed: \\d\\d+\\.\\dMbps\r\nSent: [0-9,]+ KB\r\nReceived: [0-9,]+ KB"
                                              L"(?:\r\nToday ↑\\S+ ↓\\S+)?")))
        << ::testing::PrintToString(tip);
    ASSERT_TRUE(vantor.Quit());
}

TEST(EnglishE2E, AnErrorBoxSpeaksEnglishAndTheLanguageKeyBringsBackJapaneseAndStays) {
    TempFolder folder;
    const auto log = folder.File(L"missing") / L"traffic.log";
    const auto ini = folder.File(L"vantor20.ini");
    WriteFileBytes(ini, "[log]\r\nmode=1\r\nwait=60\r\npass=" + AnsiPath(log) + "\r\n");
    {
        VantorProcess vantor(folder);
        ASSERT_NE(vantor.Form(), nullptr);
        // The first tick's line fails, and so does the last one, at exit.
        for (const char* when : {"at the first tick", "at exit"}) {
            HWND box = nullptr;
            ASSERT_TRUE(WaitUntil([&] {
                const auto boxes = vantor.VisibleWindows(L"#32770", L"vantor");
                box = boxes.empty() ? nullptr : boxes.front();
                return box != nullptr;
            }, kTickLimit)) << when;
            const auto texts = ChildTexts(box);
            const std::wstring expected = L"Cannot create file " + log.wstring();
            EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << ::testing::PrintToString(texts);
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
            vantor.RequestQuit();
        }
        ASSERT_TRUE(vantor.WaitForExit(10s));
    }
    EXPECT_EQ(SettingsValues(ini).count("Window/Language"), 0u) << "the key never adds itself";

    WriteFileBytes(ini, "[Window]\r\nLanguage=ja\r\n");
    {
        VantorProcess vantor(folder);
        ASSERT_NE(vantor.Form(), nullptr);
        EXPECT_NE(TickedTip(L"速度:"), L"") << "the Japanese face, tip and all";
        ASSERT_TRUE(vantor.Quit());
    }
    EXPECT_EQ(SettingsValues(ini)["Window/Language"], "ja") << "written back, since it was there";
}

}  // namespace
}  // namespace vantor::e2e
