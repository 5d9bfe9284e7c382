// The traffic log of vantor.exe as the file a user finds: its lines, their timing and endings, and what
// a path that cannot be written does.

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "tests/e2e/Driving.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

std::string LogSettings(const std::filesystem::path& log, int interval) {
    // Row 1, the loopback interface, carries the checks' traffic.
    return "[Interface]\r\nSelected=1\r\n[log]\r\nmode=1\r\nwait=" + std::to_string(interval) + "\r\npass=" +
           AnsiPath(log) + "\r\n";
}

using testing::CrLfLines;
using testing::LineCount;

struct LogLine {
    std::tm time{};
    long long sent = 0, received = 0;
};
std::optional<LogLine> ParseLine(const std::string& line) {
    std::smatch parts;
    if (!std::regex_match(line, parts, std::regex(R"((\d{4})/(\d{2})/(\d{2}) (\d{2}):(\d{2}):(\d{2}),(\d+),(\d+))")))
        return std::nullopt;
    LogLine parsed;
    parsed.time.tm_year = std::stoi(parts[1]) - 1900;
    parsed.time.tm_mon = std::stoi(parts[2]) - 1;
    parsed.time.tm_mday = std::stoi(parts[3]);
    parsed.time.tm_hour = std::stoi(parts[4]);
    parsed.time.tm_min = std::stoi(parts[5]);
    parsed.time.tm_sec = std::stoi(parts[6]);
    parsed.sent = std::stoll(parts[7]);
    parsed.received = std::stoll(parts[8]);
    return parsed;
}

long long SecondsOf(std::tm time) { return static_cast<long long>(std::mktime(&time)); }

std::tm LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::tm t{};
    t.tm_year = now.wYear - 1900, t.tm_mon = now.wMonth - 1, t.tm_mday = now.wDay;
    t.tm_hour = now.wHour, t.tm_min = now.wMinute, t.tm_sec = now.wSecond;
    return t;
}

// The standard error boxes the program shows.
std::vector<HWND> ErrorBoxes(const VantorProcess& vantor) { return vantor.VisibleWindows(L"#32770", L"vantor"); }

std::wstring BoxText(HWND box) {
    for (HWND text : ChildrenOfClass(box, L"Static"))
        if (const std::wstring shown = TextOf(text); !shown.empty()) return shown;
    return {};
}

// Presses the box's button with the pointer: a key would go to whichever box had the focus last.
bool ClickOk(HWND box) {
    const auto buttons = ChildrenOfClass(box, L"Button");
    return !buttons.empty() && Click(CentreOf(buttons.front()));
}

TEST(TrafficLogE2E, LinesFollowTheIntervalAsTimeStampSentReceivedWithCrLf) {
    TempFolder folder;
    const auto log = folder.File(L"traffic.log");
    WriteFileBytes(folder.File(L"vantor20.ini"), LogSettings(log, 2));
    testing::LoopbackStream traffic(256 * 1024);
    const std::tm started = LocalNow();
    VantorProcess vantor(folder);
    ASSERT_NE(vantor.Form(), nullptr);

    // At which tick each line appears: the stream changes the tip at every tick, and a reading of the file
    // counts only when no tick came while it was read.
    TipTicks ticks;
    std::vector<int> appeared;
    ASSERT_TRUE(WaitUntil([&] {
        ticks.Poll();
        const int tick = ticks.Seen();
        const std::size_t lines = LineCount(log);
        if (ticks.Poll()) return false;
        while (appeared.size() < lines) appeared.push_back(tick);
        return appeared.size() >= 4;
    }, 4 * kTickLimit)) << "four lines: " << ReadFileBytes(log);
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(appeared[i] - appeared[i - 1], 2) << "a line every second tick, not every tick: line " << i;
    ASSERT_TRUE(vantor.Quit());

    const std::string text = ReadFileBytes(log);
    ASSERT_TRUE(text.ends_with("\r\n"));
    const std::vector<std::string> lines = CrLfLines(text);
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), lines.size()) << "no lone LF";
    ASSERT_EQ(lines.size(), 5u) << "four while running and the last one at exit";
    std::vector<LogLine> parsed;
    for (const std::string& line : lines) {
        const auto one = ParseLine(line);
        ASSERT_TRUE(one) << "yyyy/MM/dd hh:mm:ss,sent,received: " << line;
        parsed.push_back(*one);
    }
    EXPECT_EQ(parsed[0].sent, 0) << "the first line only sets the baselines";
    EXPECT_EQ(parsed[0].received, 0);
    EXPECT_LE(std::abs(SecondsOf(parsed[0].time) - SecondsOf(started)), 5) << "local time of writing";
    for (std::size_t i = 1; i < 4; ++i) {
        SCOPED_TRACE(lines[i]);
        const long long gap = SecondsOf(parsed[i].time) - SecondsOf(parsed[i - 1].time);
        EXPECT_GE(gap, 1);
        EXPECT_LE(gap, 3);
        // Two ticks of the stream, in bytes: not kilobytes, not the interface's total.
        EXPECT_GT(parsed[i].sent, 300 * 1024);
        EXPECT_LT(parsed[i].sent, 16 * 1024 * 1024);
        EXPECT_GT(parsed[i].received, 300 * 1024);
    }
}

TEST(TrafficLogE2E, AFileWithLfEndingsGetsCrLfAtTheNextLine) {
    TempFolder folder;
    const auto log = folder.File(L"traffic.log");
    WriteFileBytes(log, "2004/03/07 09:05:03,1234567,89012\nkept as it was,1,2\n");
    WriteFileBytes(folder.File(L"vantor20.ini"), LogSettings(log, 60));
    VantorProcess vantor(folder);
    ASSERT_TRUE(WaitUntil([&] { return LineCount(log) == 3; }, kTickLimit));
    ASSERT_TRUE(vantor.Quit());
    const std::string text = ReadFileBytes(log);
    const std::string before = "2004/03/07 09:05:03,1234567,89012\r\nkept as it was,1,2\r\n";
    ASSERT_TRUE(text.starts_with(before)) << text;
    const std::vector<std::string> lines = CrLfLines(text);
    ASSERT_EQ(lines.size(), 4u) << "the old two, the first tick's and the one at exit";
    EXPECT_TRUE(ParseLine(lines[2]));
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), lines.size()) << "no lone LF";
}

TEST(TrafficLogE2E, APathInAMissingFolderShowsTheCreateErrorOnceWhileItsBoxIsOpenAndWritesNothing) {
    TempFolder folder;
    const auto missing = folder.File(L"missing");
    const auto log = missing / L"traffic.log";
    WriteFileBytes(folder.File(L"vantor20.ini"), LogSettings(log, 1));
    // Makes each tick change the tip, so that the checks can count ticks.
    const testing::LoopbackStream trickle(64 * 1024);
    VantorProcess vantor(folder);
    ASSERT_NE(vantor.Form(), nullptr);

    const std::wstring expected = L"ファイル " + log.wstring() + L" を作成できません";
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        const auto boxes = ErrorBoxes(vantor);
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr;
    }, kTickLimit)) << "the first tick's line fails";
    EXPECT_EQ(BoxText(box), expected);
    // Ticks go on behind the open box and try again every second tick; their failures are not stacked on it.
    ASSERT_TRUE(TipTicks().WaitFor(3));
    EXPECT_EQ(ErrorBoxes(vantor).size(), 1u) << "one box while it is open";
    EXPECT_FALSE(std::filesystem::exists(missing)) << "nothing is written, no folder made";

    // Closed, the next failing attempt shows its own box.
    ASSERT_TRUE(ClickOk(box));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    HWND next = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        const auto boxes = ErrorBoxes(vantor);
        next = boxes.empty() ? nullptr : boxes.front();
        return next != nullptr;
    }, kTickLimit)) << "a later attempt fails again and says so";
    EXPECT_EQ(BoxText(next), expected);

    // Asked to end with the box open: the program still saves, then shows the last line's error too.
    vantor.RequestQuit();
    HWND atExit = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        const auto boxes = ErrorBoxes(vantor);
        atExit = boxes.empty() || boxes.front() == next ? nullptr : boxes.front();
        return atExit != nullptr;
    }, 5s)) << "the last line's error is shown at exit";
    EXPECT_EQ(BoxText(atExit), expected);
    EXPECT_NE(ReadFileBytes(folder.File(L"vantor20.ini")).find("[log]"), std::string::npos) << "already saved";
    ASSERT_TRUE(ClickOk(atExit));
    EXPECT_TRUE(vantor.WaitForExit(5s)) << "and ends once it is closed";
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(TrafficLogE2E, WhileTheErrorBoxOfAProgramInTheBackgroundIsOpenTheWindowsMenuOnlyBringsTheBoxForward) {
    TempFolder folder;
    // A failed line is tried again six ticks later: time to put the program in the background in between.
    WriteFileBytes(folder.File(L"vantor20.ini"), LogSettings(folder.File(L"missing") / L"traffic.log", 5));
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    HWND box = nullptr;
    const auto boxShown = [&] {
        const auto boxes = ErrorBoxes(vantor);
        box = boxes.empty() ? nullptr : boxes.front();
        return box != nullptr;
    };
    ASSERT_TRUE(WaitUntil(boxShown, kTickLimit));
    // With the taskbar in front and the box closed, the program has no active window; the next box then
    // belongs to the hidden application window, and the mini window stays enabled behind it.
    const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    ::SetForegroundWindow(taskbar);
    ASSERT_TRUE(WaitUntil([&] {
        GUITHREADINFO info{sizeof info};
        return ::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info) && !info.hwndActive;
    }));
    ASSERT_TRUE(WaitUntil(boxShown, kTickLimit));
    ASSERT_TRUE(::IsWindowEnabled(form));

    ASSERT_TRUE(Click(CentreOf(form), 3));
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; })) << "the box comes to the front";
    // The pointer's next press comes after the right button's release (a key may overtake it): a menu opened
    // by the release would take the press.
    ASSERT_TRUE(ClickOk(box));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); })) << "the press reaches the box";
    EXPECT_TRUE(vantor.VisibleWindows(L"#32768").empty()) << "no menu";
    // The line written at exit fails too, and says so.
    vantor.RequestQuit();
    ASSERT_TRUE(WaitUntil(boxShown));
    ASSERT_TRUE(ClickOk(box));
    EXPECT_TRUE(vantor.WaitForExit(5s));
}

}  // namespace
}  // namespace vantor::e2e
