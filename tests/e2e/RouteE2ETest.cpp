// Following the connection in use, end to end: vantor.exe inside a network namespace of the check's own,
// joined to a far side by two links (tools/wine/interfaces.sh route). Its Wine session runs inside that
// namespace too, since Wine sees the interfaces and routes of the namespace its server started in. A steady
// stream of datagrams to a far address that only the default route leads to shows as send, whichever link
// the route leaves by, within two samples of a move and without a spike; all connections shows both links.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "framework/win32/Text.h"
#include "tests/e2e/Driving.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"
#include "tests/support/WineHost.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

// One stream's payload per second.
constexpr std::size_t kStream = 128 * 1024;
// The KB per second a figure shows for a stream: each 1400-byte datagram leaves with 42 bytes of UDP, IPv4
// and Ethernet headers.
double ShownKilobytes(std::size_t payloadPerSecond) {
    return static_cast<double>(payloadPerSecond) * 1442.0 / 1400.0 / 1024.0;
}
// A sample the timer delivers late holds more than a second's bytes. A figure taken from two links'
// counters, or from a link's whole count, lies megabytes off: each check first sends 4 MB over link 2.
constexpr double kLateSample = 1.25;
bool Near(double shown, double expected) { return shown >= expected * 0.75 && shown <= expected * kLateSample; }

// The index of an operational link by its Linux name; none when it is down or missing.
std::optional<DWORD> UpLink(const std::string& name) {
    ULONG size = 0;
    ::GetIfTable(nullptr, &size, FALSE);
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (::GetIfTable(table, &size, FALSE) != NO_ERROR) return std::nullopt;
    for (const MIB_IFROW& row : std::span(table->table, table->dwNumEntries))
        if (reinterpret_cast<const char*>(row.bDescr) == name && row.dwOperStatus == IF_OPER_STATUS_OPERATIONAL)
            return row.dwIndex;
    return std::nullopt;
}

// The interface the system would send to a public address by, as the program asks; 0 with no route.
DWORD RouteInterface() {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(0x01020304);
    DWORD index = 0;
    return ::GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&to), &index) == NO_ERROR ? index : 0;
}

// What the program shows as the check polls it: its figures, the highest current send figure seen and the
// send figures in the order they came (for the messages), and its traffic log, written at every sample
// (wait=0): the log's lines count the samples whether or not any figure changes, and each holds the bytes
// of its sample.
struct Observed {
    VantorProcess& vantor;
    std::filesystem::path log;
    std::size_t samples = 0;
    std::uint64_t mostLogged = 0;  // the most bytes one log line counts as sent
    std::array<double, 8> figures{};
    double highestSend = 0;
    std::string trail = "send figures seen:";

    // The log before the figures: a sample writes its line last. Each line ends "...,<sent>,<received>";
    // a read that catches the file while it is replaced is skipped.
    void Read() {
        std::istringstream lines(ReadFileBytes(log));
        std::size_t count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            const auto last = line.rfind(',');
            const auto sent = last == std::string::npos || last == 0 ? std::string::npos : line.rfind(',', last - 1);
            std::uint64_t bytes = 0;
            if (sent != std::string::npos) std::from_chars(line.data() + sent + 1, line.data() + last, bytes);
            mostLogged = std::max(mostLogged, bytes);
        }
        samples = std::max(samples, count);
        const auto texts = vantor.Figures();
        if (texts.size() != figures.size()) return;
        const double before = Send();
        std::ranges::transform(texts, figures.begin(), FigureValue);
        highestSend = std::max(highestSend, Send());
        if (Send() != before) trail += ' ' + std::to_string(std::lround(Send()));
    }
    double Send() const { return figures[Figure::SendCurrent]; }
    // Polls until the send figure shows `expected` KB/s.
    bool Shows(double expected) {
        return WaitUntil([&] { return Read(), Near(Send(), expected); }, kTickLimit);
    }
    // After a change the system already answers with: whether the send figure shows `expected` KB/s from a
    // sample after the change on, and within two samples.
    ::testing::AssertionResult ShowsAgainWithinTwoSamples(double expected) {
        Read();
        const std::size_t before = samples;
        if (!WaitUntil([&] { return Read(), samples > before && Near(Send(), expected); }, kTickLimit))
            return ::testing::AssertionFailure() << "the figure did not come back; " << trail;
        if (samples - before > 2) return ::testing::AssertionFailure() << samples - before << " samples; " << trail;
        return ::testing::AssertionSuccess();
    }
    // The peaks, every current send figure seen and every log line stay within a second's worth of
    // `expected` KB/s, and nothing is received.
    void ExpectNoSpike(double expected, const char* step) const {
        EXPECT_LE(figures[Figure::SendPeak], expected * kLateSample) << step << ": the send peak; " << trail;
        EXPECT_LE(highestSend, expected * kLateSample) << step << ": a current send figure; " << trail;
        EXPECT_LE(static_cast<double>(mostLogged) / 1024, expected * kLateSample) << step << ": a log line";
        EXPECT_LT(figures[Figure::ReceivePeak], 1.0) << step << ": the receive peak";
    }
};

// The machine tools/wine/interfaces.sh route made, as seen from inside it: links 1 and 2 by their Linux
// names, and the far side's two addresses, 8 and 9 after link 1's own: the default route alone leads to
// the first, a host route over link 2 to the second. Each check starts from the route on link 1, both
// links up and link 2's counters far above link 1's.
class RouteE2E : public ::testing::Test {
protected:
    void SetUp() override {
        const char* prefix = std::getenv("VANTOR_VETH_PREFIX");
        prefix_ = prefix ? prefix : "";
        links_ = {prefix_ + "r1a", prefix_ + "r2a"};
        const auto first = testing::AddressAfter(links_[0], 8), second = testing::AddressAfter(links_[0], 9);
        if (!prefix || !first || !second)
            GTEST_SKIP() << "no route check machine here: tools/wine/interfaces.sh route makes it and the check "
                            "runs inside it (needs CAP_NET_ADMIN and network namespaces)";
        distant_ = {*first, *second};
        ASSERT_TRUE(MoveRoute(1)) << "the route on link 1 and both links up";
        // 4 MB over link 2 at once, so that its counters lie far above link 1's.
        const std::uint64_t before = InterfaceNamed(links_[1]).sent;
        testing::DatagramStream burst(distant_[1], 16 * 1024 * 1024);
        ASSERT_TRUE(WaitUntil([&] { return InterfaceNamed(links_[1]).sent >= before + 4 * 1024 * 1024; }, 10s));
    }

    // Starts the program on a settings file that asks for `watch` and also names link 2 as the interface
    // last chosen, which the way of watching overrides.
    Observed Start(const std::string& watch) {
        const auto log = folder_.File(L"samples.log");
        WriteFileBytes(folder_.File(L"vantor20.ini"),
                       "[Interface]\r\nSelected=3\r\nDescription=" + Link(2) + "\r\nWatch=" + watch +
                           "\r\n[log]\r\nmode=1\r\nwait=0\r\npass=" + AnsiPath(log) + "\r\n");
        vantor_.emplace(folder_);
        const HWND form = vantor_->Form();
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
        return Observed{*vantor_, log};
    }

    const std::string& Link(int number) const { return links_.at(static_cast<std::size_t>(number - 1)); }

    // Moves the default route onto link `number`, the other link going down when `only` and up otherwise,
    // and waits until the system answers with the new route and links.
    bool MoveRoute(int number, bool only = false) {
        const char* source = std::getenv("VANTOR_SOURCE_DIR");
        if (!source) return false;
        const std::wstring command = L"/bin/bash \"" + win32::Widen(source) + L"/tools/wine/interfaces.sh\" route-move " +
                                     win32::Widen(prefix_) + L" " + std::to_wstring(number) + (only ? L" only" : L"");
        if (!testing::StartUnixProgram(command)) return false;
        return WaitUntil([&] {
            const auto route = UpLink(Link(number));
            return route && RouteInterface() == *route && UpLink(Link(3 - number)).has_value() != only;
        }, 10s);
    }

    // Whether the stream leaves by link `number` alone: that link's sent count grows by half a second's
    // worth while the other's stays.
    ::testing::AssertionResult StreamLeavesBy(int number) {
        const std::string &on = Link(number), &off = Link(3 - number);
        const std::uint64_t onBefore = InterfaceNamed(on).sent, offBefore = InterfaceNamed(off).sent;
        const bool grew = WaitUntil([&] { return InterfaceNamed(on).sent >= onBefore + kStream / 2; }, 5s);
        const std::uint64_t onAfter = InterfaceNamed(on).sent, offAfter = InterfaceNamed(off).sent;
        if (grew && offAfter == offBefore) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the stream does not leave by " << on << " alone: it sent "
                                             << onAfter - onBefore << " bytes meanwhile, " << off << " " << offAfter - offBefore;
    }

    std::string prefix_;
    std::array<std::string, 2> links_, distant_;
    TempFolder folder_;
    std::optional<VantorProcess> vantor_;
};

TEST_F(RouteE2E, AutomaticFollowsTheDefaultRouteBetweenLinksWithoutASpike) {
    Observed program = Start("route");
    testing::DatagramStream stream(distant_[0], kStream);
    const double expected = ShownKilobytes(kStream);

    ASSERT_TRUE(StreamLeavesBy(1));
    EXPECT_TRUE(program.Shows(expected)) << "the stream over link 1 shows as send; " << program.trail;
    EXPECT_LT(program.figures[Figure::ReceiveCurrent], 1.0);
    const struct {
        int link;
        bool only;
        const char* step;
    } moves[] = {{2, false, "link 1 to link 2"}, {1, true, "link 2 down, back on link 1"}};
    for (const auto& move : moves) {
        ASSERT_TRUE(MoveRoute(move.link, move.only)) << move.step;
        ASSERT_TRUE(StreamLeavesBy(move.link)) << move.step;
        ASSERT_TRUE(program.ShowsAgainWithinTwoSamples(expected)) << move.step;
        program.ExpectNoSpike(expected, move.step);
    }
    EXPECT_TRUE(stream.Flowing());
    ASSERT_TRUE(vantor_->Quit());
}

TEST_F(RouteE2E, AllConnectionsSumTheLinksAndStartAfreshWhenOneLeavesOrJoins) {
    Observed program = Start("all");
    // Loopback is no connection: were it counted, it would show in both rows.
    testing::LoopbackStream loopback(kStream);
    // One share by the default route over link 1, twice that by the host route over link 2.
    testing::DatagramStream overLink1(distant_[0], kStream);
    std::optional<testing::DatagramStream> overLink2(std::in_place, distant_[1], 2 * kStream);
    const double both = ShownKilobytes(3 * kStream);

    EXPECT_TRUE(program.Shows(both)) << "the send figure is the sum of both links; " << program.trail;
    EXPECT_LT(program.figures[Figure::ReceiveCurrent], 1.0) << "nothing is received over the links";

    overLink2.reset();
    ASSERT_TRUE(MoveRoute(1, true)) << "link 2 down";
    ASSERT_TRUE(program.ShowsAgainWithinTwoSamples(ShownKilobytes(kStream))) << "link 1 alone after link 2 left";

    ASSERT_TRUE(MoveRoute(1)) << "link 2 up again";
    overLink2.emplace(distant_[1], 2 * kStream);
    ASSERT_TRUE(program.ShowsAgainWithinTwoSamples(both)) << "the sum after link 2 joined";
    program.ExpectNoSpike(both, "link 2 leaving and joining");
    EXPECT_TRUE(loopback.Flowing() && overLink1.Flowing() && overLink2->Flowing());
    ASSERT_TRUE(vantor_->Quit());
}

}  // namespace
}  // namespace vantor::e2e
