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
#include <cstdlib>
#include <map>
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
bool StreamLeavesBy(const RouteMachine& machine, int number) {
    const std::uint64_t on = InterfaceNamed(machine.Link(number)).sent, off = InterfaceNamed(machine.Link(3 - number)).sent;
    return WaitUntil([&] { return InterfaceNamed(machine.Link(number)).sent >= on + kStream / 2; }, 5s) &&
           InterfaceNamed(machine.Link(3 - number)).sent == off;
}

// The program's figures as the check polls them, with the highest current send figure seen and the send
// figures in the order they came, for the messages.
class PolledFigures {
public:
    explicit PolledFigures(VantorProcess& vantor) : vantor_(vantor) {}

    void Read() {
        const auto texts = vantor_.Figures();
        if (texts.size() != values_.size()) return;
        std::ranges::transform(texts, values_.begin(), FigureValue);
        highestSend_ = std::max(highestSend_, Send());
        if (trail_.empty() || trail_.back() != Send()) trail_.push_back(Send());
    }
    double Send() const { return values_[0]; }
    double Receive() const { return values_[1]; }
    double SendPeak() const { return values_[4]; }
    double ReceivePeak() const { return values_[5]; }
    double HighestSend() const { return highestSend_; }
    std::string Trail() const {
        std::ostringstream out;
        out << "send figures seen:";
        for (const double figure : trail_) out << ' ' << figure;
        return out.str();
    }

private:
    VantorProcess& vantor_;
    std::array<double, 8> values_{};
    double highestSend_ = 0;
    std::vector<double> trail_;
};

// After a change the system already answers with, waits for the send figure to show `expected` KB/s from a
// sample after the change on, counting the program's samples by its tip (each sample with the stream on
// what it watches changes it): the samples it took, or none when the figure did not come back.
std::optional<int> SamplesUntilSendShows(PolledFigures& figures, double expected) {
    TipTicks ticks;
    const bool shown = WaitUntil([&] {
        // The tip before the figures: a tick writes its figures first.
        ticks.Poll();
        figures.Read();
        return ticks.Seen() >= 1 && Near(figures.Send(), expected);
    }, kTickLimit);
    return shown ? std::optional<int>(ticks.Seen()) : std::nullopt;
}

// The peaks and every current send figure seen stay within a second of `expected` KB/s, received nothing.
void ExpectNoSpike(const PolledFigures& figures, double expected, const char* step) {
    EXPECT_LE(figures.SendPeak(), expected * kLateSample) << step << ": the send peak; " << figures.Trail();
    EXPECT_LE(figures.HighestSend(), expected * kLateSample) << step << ": a current send figure; " << figures.Trail();
    EXPECT_LT(figures.ReceivePeak(), 1.0) << step << ": the receive peak";
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

    VantorProcess& Start(const std::string& watch) {
        WriteFileBytes(folder_.File(L"vantor20.ini"), "[Interface]\r\nWatch=" + watch + "\r\n");
        vantor_.emplace(folder_);
        const HWND form = vantor_->Form();
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
        return *vantor_;
    }

    std::map<std::string, std::string> Saved() const { return IniValues(ReadFileBytes(folder_.File(L"vantor20.ini"))); }

    std::optional<RouteMachine> machine_;
    TempFolder folder_;
    std::optional<VantorProcess> vantor_;
};

TEST_F(RouteE2E, AutomaticFollowsTheDefaultRouteBetweenLinksWithoutASpike) {
    VantorProcess& vantor = Start("route");
    PolledFigures figures(vantor);
    testing::DatagramStream stream(machine_->distant[0], kStream);
    const double expected = ShownKilobytes(kStream);

    ASSERT_TRUE(StreamLeavesBy(*machine_, 1));
    EXPECT_TRUE(WaitUntil([&] { return figures.Read(), Near(figures.Send(), expected); }, kTickLimit))
        << "the stream over link 1 shows as send; " << figures.Trail();
    EXPECT_LT(figures.Receive(), 1.0);

    ASSERT_TRUE(MoveRoute(*machine_, 2));
    ASSERT_TRUE(StreamLeavesBy(*machine_, 2));
    auto samples = SamplesUntilSendShows(figures, expected);
    ASSERT_TRUE(samples) << "the stream shows again after the route moved to link 2; " << figures.Trail();
    EXPECT_LE(*samples, 2) << "samples after the route moved to link 2; " << figures.Trail();
    ExpectNoSpike(figures, expected, "link 1 to link 2");

    ASSERT_TRUE(MoveRoute(*machine_, 1, true)) << "the route back on link 1, link 2 down";
    ASSERT_TRUE(StreamLeavesBy(*machine_, 1));
    samples = SamplesUntilSendShows(figures, expected);
    ASSERT_TRUE(samples) << "the stream shows again after link 2 went down; " << figures.Trail();
    EXPECT_LE(*samples, 2) << "samples after link 2 went down; " << figures.Trail();
    ExpectNoSpike(figures, expected, "link 2 down, back on link 1");
    EXPECT_TRUE(stream.Flowing());
    ASSERT_TRUE(vantor.Quit());

    // What an older copy reading the file would watch: the interface in use at the exit.
    auto saved = Saved();
    EXPECT_EQ(saved["Interface/Watch"], "route");
    EXPECT_EQ(saved["Interface/Selected"], std::to_string(InterfaceNamed(machine_->links[0]).position));
    EXPECT_EQ(saved["Interface/Description"], machine_->links[0]);
}

TEST_F(RouteE2E, AllConnectionsSumTheLinksAndStartAfreshWhenOneLeavesOrJoins) {
    VantorProcess& vantor = Start("all");
    PolledFigures figures(vantor);
    // Loopback is no connection: were it counted, it would show in both rows.
    testing::LoopbackStream loopback(kStream);
    // One share by the default route over link 1, twice that by the host route over link 2.
    testing::DatagramStream overLink1(machine_->distant[0], kStream);
    std::optional<testing::DatagramStream> overLink2(std::in_place, machine_->distant[1], 2 * kStream);
    const double both = ShownKilobytes(3 * kStream), link1 = ShownKilobytes(kStream);

    EXPECT_TRUE(WaitUntil([&] { return figures.Read(), Near(figures.Send(), both); }, kTickLimit))
        << "the send figure is the sum of both links; " << figures.Trail();
    EXPECT_LT(figures.Receive(), 1.0) << "nothing is received over the links";

    overLink2.reset();
    ASSERT_TRUE(MoveRoute(*machine_, 1, true)) << "link 2 down";
    auto samples = SamplesUntilSendShows(figures, link1);
    ASSERT_TRUE(samples) << "link 1 alone shows after link 2 left; " << figures.Trail();
    EXPECT_LE(*samples, 2) << "samples after link 2 left; " << figures.Trail();

    ASSERT_TRUE(MoveRoute(*machine_, 1)) << "link 2 up again";
    overLink2.emplace(machine_->distant[1], 2 * kStream);
    samples = SamplesUntilSendShows(figures, both);
    ASSERT_TRUE(samples) << "the sum shows again after link 2 joined; " << figures.Trail();
    EXPECT_LE(*samples, 2) << "samples after link 2 joined; " << figures.Trail();
    ExpectNoSpike(figures, both, "link 2 leaving and joining");
    EXPECT_TRUE(loopback.Flowing() && overLink1.Flowing() && overLink2->Flowing());
    ASSERT_TRUE(vantor.Quit());
    EXPECT_EQ(Saved()["Interface/Watch"], "all");
}

}  // namespace
}  // namespace vantor::e2e
