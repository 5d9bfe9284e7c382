// The mini window and its settings file, as a user meets them: vantor.exe started in a folder of its own.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <sstream>
#include <thread>

#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

const std::vector<std::wstring> kBeforeFirstTick{L"0.0", L"0.0", L"0.0", L"0.0", L"0.0", L"0.0", L"  0%", L"  0%"};

// The sections of an INI file with their keys and values, in file order.
using IniKeys = std::vector<std::pair<std::string, std::string>>;
std::vector<std::pair<std::string, IniKeys>> ParseIni(const std::string& text) {
    std::vector<std::pair<std::string, IniKeys>> sections;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (const auto eq = line.find('='); eq != std::string::npos && !sections.empty()) {
            sections.back().second.push_back({line.substr(0, eq), line.substr(eq + 1)});
        }
    }
    return sections;
}

std::string Ansi(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size - 1));
    return out;
}

TEST(MiniWindowE2E, StartsWithoutSettingsAsAFramedCaptionlessWindowOwnedByAHiddenOne) {
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] { return vantor.Figures() == kBeforeFirstTick; }, 900ms))
        << "before the first tick the figures read 0.0 and \"  0%\"";

    const WindowState state = StateOf(form);
    EXPECT_EQ(state.rect.left, 200);
    EXPECT_EQ(state.rect.top, 200);
    EXPECT_EQ(state.client.right, 217);
    EXPECT_EQ(state.client.bottom, 78);
    EXPECT_TRUE(state.style & WS_POPUP);
    EXPECT_TRUE(state.style & WS_THICKFRAME) << "a sizing frame";
    EXPECT_NE(state.style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION)) << "no caption";
    EXPECT_FALSE(state.style & WS_SYSMENU);
    EXPECT_FALSE(state.exStyle & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    // An owned window has no taskbar button; the owner, which would carry one, stays hidden.
    ASSERT_NE(state.owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(state.owner));
    EXPECT_EQ(StateOf(state.owner).exStyle & WS_EX_APPWINDOW, 0u);
    ASSERT_TRUE(vantor.Quit());
}

TEST(MiniWindowE2E, FiguresFollowLoopbackTraffic) {
    TempFolder folder;
    VantorProcess vantor(folder);
    ASSERT_NE(vantor.Form(), nullptr);
    std::atomic<bool> stop = false;
    std::thread traffic([&] {
        while (!stop) testing::TransferOverLoopback(2 * 1024 * 1024);
    });
    // Row 1 of the interface table is the loopback interface under Wine.
    const bool moved = WaitUntil([&] {
        const auto figures = vantor.Figures();
        return figures.size() == 8 && figures[0] != L"0.0" && figures[1] != L"0.0" && figures[6] != L"  0%";
    }, 6s);
    stop = true;
    traffic.join();
    EXPECT_TRUE(moved) << "the current send and receive figures changed with the traffic";
    const auto figures = vantor.Figures();
    ASSERT_EQ(figures.size(), 8u);
    EXPECT_NE(figures[4], L"0.0") << "the peak rose";
    EXPECT_EQ(figures[6].back(), L'%');
    ASSERT_TRUE(vantor.Quit());
}

TEST(MiniWindowE2E, ClosingWritesANewSettingsFileWithEveryKeyInOrder) {
    TempFolder folder;
    {
        VantorProcess vantor(folder);
        ASSERT_NE(vantor.Form(), nullptr);
        ASSERT_TRUE(vantor.Quit());
    }
    const auto sections = ParseIni(ReadFileBytes(folder.File(L"vantor20.ini")));
    const std::string logPath = Ansi(folder.Path().wstring() + L"\\vantor.log");
    const std::vector<std::pair<std::string, IniKeys>> expected{
        {"Gauge", {{"Send", "10"}, {"Rese", "10"}}},
        {"Interface", {{"Selected", "1"}, {"flg", "0"}}},
        {"Window", {{"Left", "200"}, {"Top", "200"}, {"Mode", "0"}, {"main", "1"}}},
        {"Graph", {{"mode", "0"}, {"bps", "0"}}},
        {"log", {{"mode", "0"}, {"pass", logPath}, {"wait", "60"}}}};
    EXPECT_EQ(sections, expected);
}

TEST(MiniWindowE2E, OddSettingsStartAsTheyRead) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"),
                   "[Gauge]\r\nSend=abc\r\n[Window]\r\nTop=5000\r\nMode=\r\nmain=2\r\n[log]\r\nwait=0x3C\r\n");
    {
        VantorProcess vantor(folder);
        const HWND form = vantor.Form();
        ASSERT_NE(form, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; })) << "main=2 reads as shown";
        const WindowState state = StateOf(form);
        EXPECT_EQ(state.rect.top, 200) << "a Top below the only screen falls back to 200";
        EXPECT_EQ(state.rect.left, 200);
        EXPECT_FALSE(state.exStyle & WS_EX_TOPMOST) << "an empty Mode reads as off";
        ASSERT_TRUE(vantor.Quit());
    }
    std::map<std::string, std::string> keys;
    for (const auto& [section, values] : ParseIni(ReadFileBytes(folder.File(L"vantor20.ini"))))
        for (const auto& [key, value] : values) keys[section + "/" + key] = value;
    EXPECT_EQ(keys["Gauge/Send"], "10");
    EXPECT_EQ(keys["log/wait"], "60");
    EXPECT_EQ(keys["Window/main"], "1");
    EXPECT_EQ(keys["Window/Mode"], "0");
    EXPECT_EQ(keys["Window/Top"], "200");
}

TEST(MiniWindowE2E, ModeOneStartsTopmostAndMainZeroStartsHidden) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Window]\r\nMode=1\r\nmain=0\r\n");
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return vantor.Figures() == kBeforeFirstTick; }, 900ms));
    Pause(1500ms);
    EXPECT_FALSE(::IsWindowVisible(form)) << "main=0: only the tray icon shows";
    EXPECT_TRUE(StateOf(form).exStyle & WS_EX_TOPMOST) << "Mode=1: in the topmost band from the start";
    ASSERT_TRUE(vantor.Quit());
}

}  // namespace
}  // namespace vantor::e2e
