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
#include <cstdlib>
#include <filesystem>
#include <optional>
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

// The machine tools/wine/interfaces.sh route made, as seen from inside it: links 1 and 2 by their Linux
// names, and the far side's two addresses, 8 and 9 after link 1's own: the default route alone leads to
// the first, a host route over link 2 to the second.
struct RouteMachine {
    std::string prefix;
    std::array<std::string, 2> links;
    std::array<std::string, 2> distant;
    const std::string& Link(int number) const { return links.at(static_cast<std::size_t>(number - 1)); }
};

std::optional<RouteMachine> FindRouteMachine() {
    const char* prefix = std::getenv("VANTOR_VETH_PREFIX");
    if (!prefix) return std::nullopt;
    RouteMachine machine{prefix, {prefix + std::string("r1a"), prefix + std::string("r2a")}, {}};
    for (std::uint32_t i = 0; i < 2; ++i) {
        const auto address = testing::AddressAfter(machine.links[0], 8 + i);
        if (!address) return std::nullopt;
        machine.distant[i] = *address;
    }
    return machine;
}

struct LinkState {
    DWORD index = 0;
    bool up = false;
};

LinkState StateOfLink(const std::string& name) {
    ULONG size = 0;
    ::GetIfTable(nullptr, &size, FALSE);
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (::GetIfTable(table, &size, FALSE) != NO_ERROR) return {};
    for (DWORD i = 0; i < table->dwNumEntries; ++i)
        if (reinterpret_cast<const char*>(table->table[i].bDescr) == name)
            return {table->table[i].dwIndex, table->table[i].dwOperStatus == IF_OPER_STATUS_OPERATIONAL};
    return {};
}

// The interface the system would send to a public address by, as the program asks; 0 with no route.
DWORD RouteInterface() {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(0x01020304);
    DWORD index = 0;
    return ::GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&to), &index) == NO_ERROR ? index : 0;
}

// Moves the machine's default route onto link `number`, the other link going down when `only` and up
// otherwise, and waits until the system answers with the new route and links.
bool MoveRoute(const RouteMachine& machine, int number, bool only = false) {
    const char* source = std::getenv("VANTOR_SOURCE_DIR");
    if (!source) return false;
    const std::wstring command = L"/bin/bash \"" + win32::Widen(source) + L"/tools/wine/interfaces.sh\" route-move " +
                                 win32::Widen(machine.prefix) + L" " + std::to_wstring(number) + (only ? L" only" : L"");
    if (!testing::StartUnixProgram(command)) return false;
    return WaitUntil([&] {
        const LinkState route = StateOfLink(machine.Link(number));
        return route.up && RouteInterface() == route.index && StateOfLink(machine.Link(3 - number)).up != only;
    }, 10s);
}

// Sends 4 MB over link 2 at once, so that its counters lie far above link 1's.
bool Preload(const RouteMachine& machine) {
    const std::uint64_t before = InterfaceNamed(machine.links[1]).sent;
    testing::DatagramStream burst(machine.distant[1], 16 * 1024 * 1024);
    return WaitUntil([&] { return InterfaceNamed(machine.links[1]).sent >= before + 4 * 1024 * 1024; }, 10s);
}

// Whether the stream leaves by link `number` alone: that link's sent count grows by half a second's worth
// while the other's stays.
::testing::AssertionResult StreamLeavesBy(const RouteMachine& machine, int number) {
    const std::string &on = machine.Link(number), &off = machine.Link(3 - number);
    const std::uint64_t onBefore = InterfaceNamed(on).sent, offBefore = InterfaceNamed(off).sent;
    const bool grew = WaitUntil([&] { return InterfaceNamed(on).sent >= onBefore + kStream / 2; }, 5s);
    const std::uint64_t onAfter = InterfaceNamed(on).sent, offAfter = InterfaceNamed(off).sent;
    if (grew && offAfter == offBefore) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the stream does not leave by " << on << " alone: it sent "
                                         << onAfter - onBefore << " bytes meanwhile, " << off << " " << offAfter - offBefore;
}

// What the program shows as the check polls it: its figures, the highest current send figure seen and the
// send figures in the order they came (for the messages), and its traffic log, written at every sample
// (wait=0): the log's lines count the samples whether or not any figure changes, and each holds the bytes
// of its sample.
class Observed {
public:
    Observed(VantorProcess& vantor, std::filesystem::path log) : vantor_(vantor), log_(std::move(log)) {}

    // The log before the figures: a sample writes its line last.
    void Read() {
        ReadLog();
        const auto texts = vantor_.Figures();
        if (texts.size() != values_.size()) return;
        std::ranges::transform(texts, values_.begin(), FigureValue);
        highestSend_ = std::max(highestSend_, Send());
        if (trail_.empty() || trail_.back() != Send()) trail_.push_back(Send());
    }
    std::size_t Samples() const { return samples_; }
    double Send() const { return values_[Figure::SendCurrent]; }
    double Receive() const { return values_[Figure::ReceiveCurrent]; }
    double SendPeak() const { return values_[Figure::SendPeak]; }
    double ReceivePeak() const { return values_[Figure::ReceivePeak]; }
    double HighestSend() const { return highestSend_; }
    // The most bytes one log line counts as sent.
    std::uint64_t MostLogged() const { return mostLogged_; }
    std::string Trail() const {
        std::ostringstream out;
        out << "send figures seen:";
        for (const double figure : trail_) out << ' ' << figure;
        return out.str();
    }

private:
    // Each line ends "...,<sent>,<received>"; a read that catches the file while it is replaced is skipped.
    void ReadLog() {
        std::istringstream lines(ReadFileBytes(log_));
        std::size_t count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            const auto last = line.rfind(',');
            const auto sent = last == std::string::npos || last == 0 ? std::string::npos : line.rfind(',', last - 1);
            std::uint64_t bytes = 0;
            if (sent != std::string::npos) std::from_chars(line.data() + sent + 1, line.data() + last, bytes);
            mostLogged_ = std::max(mostLogged_, bytes);
        }
        samples_ = std::max(samples_, count);
    }

    VantorProcess& vantor_;
    std::filesystem::path log_;
    std::size_t samples_ = 0;
    std::uint64_t mostLogged_ = 0;
    std::array<double, 8> values_{};
    double highestSend_ = 0;
    std::vector<double> trail_;
};

// After a change the system already answers with, waits for the send figure to show `expected` KB/s from a
// sample after the change on: the samples it took, or none when the figure did not come back.
std::optional<std::size_t> SamplesUntilSendShows(Observed& program, double expected) {
    program.Read();
    const std::size_t before = program.Samples();
    const bool shown = WaitUntil([&] {
        program.Read();
        return program.Samples() > before && Near(program.Send(), expected);
    }, kTickLimit);
    return shown ? std::optional(program.Samples() - before) : std::nullopt;
}

// The peaks, every current send figure seen and every log line stay within a second's worth of `expected`
// KB/s, and nothing is received.
void ExpectNoSpike(const Observed& program, double expected, const char* step) {
    EXPECT_LE(program.SendPeak(), expected * kLateSample) << step << ": the send peak; " << program.Trail();
    EXPECT_LE(program.HighestSend(), expected * kLateSample) << step << ": a current send figure; " << program.Trail();
    EXPECT_LE(static_cast<double>(program.MostLogged()) / 1024, expected * kLateSample) << step << ": a log line";
    EXPECT_LT(program.ReceivePeak(), 1.0) << step << ": the receive peak";
}

// Each check starts from the machine's route on link 1, both links up and link 2's counters far above
// link 1's, with the program started on a settings file that asks for `watch`.
class RouteE2E : public ::testing::Test {
protected:
    void SetUp() override {
        machine_ = FindRouteMachine();
        if (!machine_)
            GTEST_SKIP() << "no route check machine here: tools/wine/interfaces.sh route makes it and the check "
                            "runs inside it (needs CAP_NET_ADMIN and network namespaces)";
        ASSERT_TRUE(MoveRoute(*machine_, 1)) << "the route on link 1 and both links up";
        ASSERT_TRUE(Preload(*machine_));
    }

    // The file also names link 2 as the interface last chosen, which the way of watching overrides.
    Observed Start(const std::string& watch) {
        const auto log = folder_.File(L"samples.log");
        WriteFileBytes(folder_.File(L"vantor20.ini"),
                       "[Interface]\r\nSelected=3\r\nDescription=" + machine_->Link(2) + "\r\nWatch=" + watch +
                           "\r\n[log]\r\nmode=1\r\nwait=0\r\npass=" + AnsiPath(log) + "\r\n");
        vantor_.emplace(folder_);
        const HWND form = vantor_->Form();
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
        return Observed(*vantor_, log);
    }

    std::optional<RouteMachine> machine_;
    TempFolder folder_;
    std::optional<VantorProcess> vantor_;
};

TEST_F(RouteE2E, AutomaticFollowsTheDefaultRouteBetweenLinksWithoutASpike) {
    Observed program = Start("route");
    testing::DatagramStream stream(machine_->distant[0], kStream);
    const double expected = ShownKilobytes(kStream);

    ASSERT_TRUE(StreamLeavesBy(*machine_, 1));
    EXPECT_TRUE(WaitUntil([&] { return program.Read(), Near(program.Send(), expected); }, kTickLimit))
        << "the stream over link 1 shows as send; " << program.Trail();
    EXPECT_LT(program.Receive(), 1.0);

    ASSERT_TRUE(MoveRoute(*machine_, 2));
    ASSERT_TRUE(StreamLeavesBy(*machine_, 2));
    auto samples = SamplesUntilSendShows(program, expected);
    ASSERT_TRUE(samples) << "the stream shows again after the route moved to link 2; " << program.Trail();
    EXPECT_LE(*samples, 2) << "samples after the route moved to link 2; " << program.Trail();
    ExpectNoSpike(program, expected, "link 1 to link 2");

    ASSERT_TRUE(MoveRoute(*machine_, 1, true)) << "the route back on link 1, link 2 down";
    ASSERT_TRUE(StreamLeavesBy(*machine_, 1));
    samples = SamplesUntilSendShows(program, expected);
    ASSERT_TRUE(samples) << "the stream shows again after link 2 went down; " << program.Trail();
    EXPECT_LE(*samples, 2) << "samples after link 2 went down; " << program.Trail();
    ExpectNoSpike(program, expected, "link 2 down, back on link 1");
    EXPECT_TRUE(stream.Flowing());
    ASSERT_TRUE(vantor_->Quit());
}

TEST_F(RouteE2E, AllConnectionsSumTheLinksAndStartAfreshWhenOneLeavesOrJoins) {
    Observed program = Start("all");
    // Loopback is no connection: were it counted, it would show in both rows.
    testing::LoopbackStream loopback(kStream);
    // One share by the default route over link 1, twice that by the host route over link 2.
    testing::DatagramStream overLink1(machine_->distant[0], kStream);
    std::optional<testing::DatagramStream> overLink2(std::in_place, machine_->distant[1], 2 * kStream);
    const double both = ShownKilobytes(3 * kStream), link1 = ShownKilobytes(kStream);

    EXPECT_TRUE(WaitUntil([&] { return program.Read(), Near(program.Send(), both); }, kTickLimit))
        << "the send figure is the sum of both links; " << program.Trail();
    EXPECT_LT(program.Receive(), 1.0) << "nothing is received over the links";

    overLink2.reset();
    ASSERT_TRUE(MoveRoute(*machine_, 1, true)) << "link 2 down";
    auto samples = SamplesUntilSendShows(program, link1);
    ASSERT_TRUE(samples) << "link 1 alone shows after link 2 left; " << program.Trail();
    EXPECT_LE(*samples, 2) << "samples after link 2 left; " << program.Trail();

    ASSERT_TRUE(MoveRoute(*machine_, 1)) << "link 2 up again";
    overLink2.emplace(machine_->distant[1], 2 * kStream);
    samples = SamplesUntilSendShows(program, both);
    ASSERT_TRUE(samples) << "the sum shows again after link 2 joined; " << program.Trail();
    EXPECT_LE(*samples, 2) << "samples after link 2 joined; " << program.Trail();
    ExpectNoSpike(program, both, "link 2 leaving and joining");
    EXPECT_TRUE(loopback.Flowing() && overLink1.Flowing() && overLink2->Flowing());
    ASSERT_TRUE(vantor_->Quit());
}

}  // namespace
}  // namespace vantor::e2e
