// The program as a Japanese user runs it: the system's ANSI code page is 932, so the settings file and the
// traffic log, which are ANSI text, hold Japanese paths as Shift-JIS bytes.

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "framework/win32/Text.h"
#include "tests/e2e/VantorProcess.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

TEST(JapaneseCodePageE2E, AJapaneseLogPathSurvivesTheSettingsFileAndTheLogIsWrittenThere) {
    if (::GetACP() != 932)
        GTEST_SKIP() << "runs as a Japanese user only (ctest starts it with LANG=ja_JP.UTF-8); code page is "
                     << ::GetACP();
    TempFolder folder;
    const auto logFolder = folder.Path() / L"通信ログ";
    std::filesystem::create_directories(logFolder);
    const auto logFile = logFolder / L"vantor.log";
    const std::string ansiLogPath = win32::Utf8ToAnsi(win32::Narrow(logFile.wstring()));
    ASSERT_EQ(win32::AnsiToUtf8(ansiLogPath), win32::Narrow(logFile.wstring())) << "code page 932 holds the path";
    const auto ini = folder.File(L"vantor20.ini");
    WriteFileBytes(ini, "[log]\r\nmode=1\r\npass=" + ansiLogPath + "\r\nwait=60\r\n");
    {
        VantorProcess vantor(folder);
        ASSERT_NE(vantor.Form(), nullptr);
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(logFile); }, kTickLimit))
            << "the first tick writes a line into the Japanese folder";
        ASSERT_TRUE(vantor.Quit());
    }
    const std::string settings = ReadFileBytes(ini);
    EXPECT_NE(settings.find("pass=" + ansiLogPath + "\r\n"), std::string::npos) << "saved back as the same bytes";
    // The first line of a run reads 0,0; the one at exit covers the ticks since.
    const std::regex lines(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d,0,0\r\n\d{4}/\d\d/\d\d \d\d:\d\d:\d\d,\d+,\d+\r\n)");
    EXPECT_TRUE(std::regex_match(ReadFileBytes(logFile), lines)) << ReadFileBytes(logFile);
}

}  // namespace
}  // namespace vantor::e2e
