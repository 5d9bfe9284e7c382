// The usage history and the billing plan end to end, inside the route check's machine, whose link 1 carries
// datagrams to a far side that never answers: a copy killed while the bytes flow loses none of them, the
// export runs beside the next copy, a damaged history is set aside and told of once, and the plan's two
// warnings come once each, also across a restart. Balloons are read where the shell shows them: as balloon
// tooltips on the desktop.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "framework/win32/Text.h"
#include "tests/e2e/Driving.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"
#include "tests/support/WineHost.h"

namespace vantor::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The balloons on the desktop, each counted once per showing: one that was not showing at the last
// reading counts as shown.
struct Balloons {
    std::set<std::wstring> showing;
    std::vector<std::wstring> shown;

    // Polls until `count` balloons have shown, or `limit` passed.
    bool WaitFor(std::size_t count, std::chrono::milliseconds limit) {
        return WaitUntil([&] {
            std::set<std::wstring> now;
            ::EnumWindows([](HWND window, LPARAM found) {
                if (ClassOf(window) == TOOLTIPS_CLASSW && ::IsWindowVisible(window) &&
                    (::GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON))
                    reinterpret_cast<std::set<std::wstring>*>(found)->insert(TextOf(window));
                return TRUE;
            }, reinterpret_cast<LPARAM>(&now));
            std::ranges::copy_if(now, std::back_inserter(shown), [&](const auto& text) { return !showing.contains(text); });
            showing = std::move(now);
            return shown.size() >= count;
        }, limit);
    }
    // Polls for `span`: how many have shown in all.
    std::size_t CountAfter(std::chrono::milliseconds span) { return WaitFor(SIZE_MAX, span), shown.size(); }
    std::string Describe() const {
        std::string all = "balloons shown:";
        for (const std::wstring& text : shown) all += " [" + win32::Narrow(text) + "]";
        return all;
    }
};

// The bytes a CSV of the history says were sent, over every day and connection.
std::uint64_t SentInCsv(const std::string& csv) {
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);  // the header
    std::uint64_t sent = 0;
    while (std::getline(lines, line)) {
        const auto received = line.rfind(',');
        const auto at = line.rfind(',', received - 1);
        sent += std::stoull(line.substr(at + 1, received - at - 1));
    }
    return sent;
}

class UsageE2E : public ::testing::Test {
protected:
    void SetUp() override {
        const char* prefix = std::getenv("VANTOR_VETH_PREFIX");
        const auto distant = prefix ? testing::AddressAfter(link_ = prefix + std::string("r1a"), 8) : std::nullopt;
        if (!distant)
            GTEST_SKIP() << "no route check machine here: tools/wine/interfaces.sh route makes it (needs CAP_NET_ADMIN)";
        far_ = *distant;
        exe_ = folder_.File(L"vantor.exe");
        ASSERT_TRUE(::CopyFileW(PathFromEnvironment("VANTOR_EXE").c_str(), exe_.c_str(), FALSE));
    }

    // Starts the copy on a settings file that watches all connections, and waits for its history's first write.
    void Start(const std::string& settings = "") {
        WriteFileBytes(folder_.File(L"vantor20.ini"), "[Interface]\r\nWatch=all\r\n" + settings);
        vantor_.emplace(exe_);
        const HWND form = vantor_->Form();
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(folder_.File(L"vantor-usage.db")); }, kTickLimit));
    }
    std::uint64_t Sent() const { return InterfaceNamed(link_).sent; }
    // Sends over link 1 until it has sent `bytes` more.
    bool Send(std::uint64_t bytes) {
        const std::uint64_t before = Sent();
        testing::DatagramStream stream(far_, 2 * 1024 * 1024);
        return WaitUntil([&] { return Sent() >= before + bytes; }, 20s);
    }

    TempFolder folder_;
    fs::path exe_;
    std::string link_, far_;
    std::optional<VantorProcess> vantor_;
};

TEST_F(UsageE2E, AKillWhileBytesFlowLosesNoneAndTheExportRunsBesideTheNextCopy) {
    Start();
    Pause(1500ms);
    const std::uint64_t before = Sent();
    {
        testing::DatagramStream stream(far_, 512 * 1024);
        Pause(4s);
        // Killed as the system kills, with no chance to write.
        const std::wstring leaf = folder_.Path().filename().wstring();
        ASSERT_TRUE(testing::StartUnixProgram(L"/usr/bin/pkill -KILL -f " + leaf));
        ASSERT_TRUE(vantor_->WaitForExit(10s));
        Pause(2s);
        ASSERT_TRUE(stream.Flowing());
    }
    Pause(500ms);
    const std::uint64_t sent = Sent() - before;
    ASSERT_GT(sent, 2'000'000u);

    Start();
    Pause(1500ms);
    const testing::Launched run(testing::Quoted(exe_) + L" --usage-csv usage.csv", {.folder = folder_.Path()});
    ASSERT_TRUE(run.WaitForExit(60s));
    ASSERT_EQ(run.ExitCode().value_or(~0u), 0u) << "beside the running copy";
    const std::uint64_t exported = SentInCsv(ReadFileBytes(folder_.File(L"usage.csv")));
    EXPECT_GE(exported, sent) << "bytes sent over " << link_;
    EXPECT_LE(exported, sent + sent / 20);
    ASSERT_TRUE(vantor_->Quit());
}

TEST_F(UsageE2E, ADamagedHistoryIsSetAsideTheFiguresGoOnAndTheUserIsToldOnce) {
    Start();
    ASSERT_TRUE(vantor_->Quit());
    const fs::path database = folder_.File(L"vantor-usage.db");
    const std::string bytes = ReadFileBytes(database);
    ASSERT_GT(bytes.size(), 1u);
    std::random_device random;
    const std::size_t cut = std::uniform_int_distribution<std::size_t>(1, bytes.size() - 1)(random);
    WriteFileBytes(database, bytes.substr(0, cut));

    Balloons balloons;
    testing::DatagramStream stream(far_, 256 * 1024);
    Start();
    EXPECT_TRUE(WaitUntil([&] { return FigureValue(vantor_->Figures().at(0)) > 100; }, kTickLimit))
        << "the send figure shows the stream; the file was cut at " << cut << " of " << bytes.size();
    EXPECT_TRUE(balloons.WaitFor(1, 20s)) << "cut at " << cut << " of " << bytes.size();
    ASSERT_EQ(balloons.CountAfter(5s), 1u) << balloons.Describe();
    EXPECT_NE(balloons.shown[0].find(L"vantor-usage.damaged-"), std::wstring::npos) << balloons.Describe();
    EXPECT_EQ(std::ranges::count_if(fs::directory_iterator(folder_.Path()), [](const fs::directory_entry& entry) {
        return entry.path().filename().wstring().starts_with(L"vantor-usage.damaged-");
    }), 1);
    EXPECT_TRUE(stream.Flowing());
    ASSERT_TRUE(vantor_->Quit());
}

TEST_F(UsageE2E, ThePlanWarnsAt80And100PercentOnceEachAndNotAgainAfterARestart) {
    const std::string plan = "[Usage]\r\nStartDay=1\r\nAllowanceMB=10\r\nReceiveOnly=0\r\n";
    Balloons balloons;
    Start(plan);
    ASSERT_TRUE(Send(8'500'000));
    ASSERT_TRUE(balloons.WaitFor(1, 20s)) << "at 80 %: " << balloons.Describe();
    ASSERT_TRUE(Send(3'500'000));
    ASSERT_TRUE(balloons.WaitFor(2, 40s)) << "at 100 %: " << balloons.Describe();
    EXPECT_EQ(balloons.CountAfter(3s), 2u) << balloons.Describe();
    ASSERT_TRUE(vantor_->Quit());

    Start(plan);
    ASSERT_TRUE(Send(100'000));
    EXPECT_EQ(balloons.CountAfter(8s), 2u) << "after the restart: " << balloons.Describe();
    ASSERT_TRUE(vantor_->Quit());
}

}  // namespace
}  // namespace vantor::e2e
