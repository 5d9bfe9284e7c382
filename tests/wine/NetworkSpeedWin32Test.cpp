// The counter source against the real GetIfTable.

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "components/NetworkSpeed/NetworkSpeed.h"
#include "framework/win32/Text.h"
#include "tests/support/Loopback.h"
#include "tests/support/Polling.h"
#include "tests/support/WineHost.h"

namespace vantor {
namespace {

int RowOf(const TNetworkSpeed& speed, const std::string& name) {
    const auto& rows = speed.AdapterTable();
    const auto it = std::find(rows.begin(), rows.end(), name);
    return it == rows.end() ? 0 : static_cast<int>(it - rows.begin()) + 1;
}

void WatchPosition(TNetworkSpeed& speed, int position) {
    speed.Watch(TWatchMode::wmInterface, {.Position = position});
    speed.Sample();
}

// The loopback row's position, read with a sample of its own.
int LoopbackRow(TNetworkSpeed& speed) {
    speed.Sample();
    return RowOf(speed, "lo");
}

TEST(NetworkSpeedWin32, LoopbackTransferShowsUpInTheLoopbackRow) {
    TNetworkSpeed speed(nullptr);
    const int loopback = LoopbackRow(speed);
    ASSERT_GT(loopback, 0) << "no row named lo in the interface table";
    WatchPosition(speed, loopback);
    EXPECT_EQ(speed.InterfaceNo(), loopback);
    EXPECT_EQ(speed.AdapterName(), "lo");
    EXPECT_EQ(speed.IType(), 24) << "software loopback";

    constexpr std::size_t kBytes = 6 * 1024 * 1024;
    speed.Sample();
    const std::uint64_t sentBefore = speed.TotalOutPacket(), receivedBefore = speed.TotalInPacket();
    ASSERT_EQ(testing::TransferOverLoopback(kBytes), kBytes);
    speed.Sample();

    // Every byte leaves and enters through lo; TCP headers and acknowledgements add a little.
    const auto upper = static_cast<std::uint32_t>(kBytes + kBytes / 10);
    EXPECT_GE(speed.OutPacket(), kBytes);
    EXPECT_LE(speed.OutPacket(), upper);
    EXPECT_GE(speed.InPacket(), kBytes);
    EXPECT_LE(speed.InPacket(), upper);
    EXPECT_EQ(speed.TotalOutPacket() - sentBefore, speed.OutPacket()) << "a sample's bytes are the totals' step";
    EXPECT_EQ(speed.TotalInPacket() - receivedBefore, speed.InPacket());

    speed.Sample();
    EXPECT_LT(speed.OutPacket(), kBytes / 10) << "the next sample counts only what moved since";
}

// The system's table without the version-2 answers, so the counter source keeps to the 32-bit rule.
class TableOnly final : public IfTableReader {
public:
    std::uint32_t GetIfTable(std::byte* buffer, std::uint32_t* size, bool order) override {
        return system_.GetIfTable(buffer, size, order);
    }
    std::string DecodeDescription(const std::string& bytes) const override { return system_.DecodeDescription(bytes); }
    std::optional<std::vector<InterfaceEntry>> GetIfTable2() override { return std::nullopt; }
    std::optional<std::uint32_t> BestInterfaceToward(TAddressFamily) override { return std::nullopt; }

private:
    IfTableReader& system_ = DefaultIfTableReader();
};

TEST(NetworkSpeedWin32, LoopbackDifferencesOfTheSixtyFourBitPathAgreeWithTheThirtyTwoBitPath) {
    TableOnly tableOnly;
    TNetworkSpeed wide(nullptr), narrow(nullptr, tableOnly);
    const int loopback = LoopbackRow(wide);
    ASSERT_GT(loopback, 0);
    ASSERT_TRUE(wide.Interfaces()[static_cast<std::size_t>(loopback - 1)].Entry) << "GetIfTable2 has lo";
    for (TNetworkSpeed* speed : {&wide, &narrow}) WatchPosition(*speed, loopback);

    constexpr std::size_t kBytes = 6 * 1024 * 1024;
    // The narrow samples fall inside the wide ones, so the wide path sees the same bytes and what other
    // programs sent over lo in between.
    wide.Sample();
    narrow.Sample();
    ASSERT_EQ(testing::TransferOverLoopback(kBytes), kBytes);
    narrow.Sample();
    wide.Sample();
    for (const TNetworkSpeed* speed : {&wide, &narrow}) {
        EXPECT_GE(speed->OutPacket(), kBytes);
        EXPECT_GE(speed->InPacket(), kBytes);
    }
    EXPECT_GE(wide.OutPacket(), narrow.OutPacket());
    EXPECT_LE(wide.OutPacket() - narrow.OutPacket(), kBytes / 20);
    EXPECT_GE(wide.InPacket(), narrow.InPacket());
    EXPECT_LE(wide.InPacket() - narrow.InPacket(), kBytes / 20);
    EXPECT_FALSE(wide.CountersRestarted());
}

TEST(NetworkSpeedWin32, FollowingTheRouteWatchesTheInterfaceLinuxNamesForTheDefaultRoute) {
    const std::string route = testing::DefaultRouteInterface();
    if (route.empty()) GTEST_SKIP() << "this machine has no IPv4 default route (/proc/net/route)";
    TNetworkSpeed speed(nullptr);
    speed.Watch(TWatchMode::wmRoute);
    speed.Sample();
    EXPECT_EQ(speed.AdapterName(), route);
    const std::optional<std::uint32_t> index = DefaultIfTableReader().BestInterfaceToward(TAddressFamily::afIPv4);
    ASSERT_TRUE(index) << "GetBestInterfaceEx answers for IPv4";
    ASSERT_NE(speed.WatchedRow(), nullptr);
    EXPECT_EQ(*index, speed.WatchedRow()->Index);
}

TEST(NetworkSpeedWin32, AllConnectionsLeaveLoopbackOut) {
    TNetworkSpeed speed(nullptr);
    const int loopback = LoopbackRow(speed);
    ASSERT_GT(loopback, 0);
    const InterfaceRow& row = speed.Interfaces()[static_cast<std::size_t>(loopback - 1)];
    ASSERT_TRUE(row.Entry);
    EXPECT_FALSE(row.Entry->HardwareInterface) << "loopback is no hardware";
    EXPECT_FALSE(row.CountsInAllConnections());

    speed.Watch(TWatchMode::wmAll);
    speed.Sample();
    constexpr std::size_t kBytes = 6 * 1024 * 1024;
    ASSERT_EQ(testing::TransferOverLoopback(kBytes), kBytes);
    speed.Sample();
    EXPECT_LT(speed.OutPacket(), kBytes / 2) << "the loopback transfer is not in the sum";
    EXPECT_FALSE(speed.CountersRestarted());
}

TEST(NetworkSpeedWin32, ARowAppendedDuringTheRunLeavesTheWatchUnchanged) {
    const char* prefix = std::getenv("VANTOR_VETH_PREFIX");
    const char* source = std::getenv("VANTOR_SOURCE_DIR");
    ASSERT_NE(prefix, nullptr);
    ASSERT_NE(source, nullptr);
    TNetworkSpeed speed(nullptr);
    const int loopback = LoopbackRow(speed);
    ASSERT_GT(loopback, 0);
    WatchPosition(speed, loopback);
    const int rowsBefore = speed.AdapterCount();

    // One veth pair named after this build (interfaces.sh), removed again below and by the test run's end.
    const std::wstring script = L"/bin/bash " + win32::Widen(source) + L"/tools/wine/interfaces.sh ";
    const std::wstring pair = win32::Widen(prefix) + L"9";
    ASSERT_TRUE(testing::StartUnixProgram(script + L"up " + pair + L" 1"));
    const auto more = [&] {
        TNetworkSpeed probe(nullptr);
        probe.Sample();
        return probe.AdapterCount() > rowsBefore;
    };
    if (!testing::WaitUntil(more)) {
        testing::StartUnixProgram(script + L"down " + pair);
        GTEST_SKIP() << "no row was appended: tools/wine/interfaces.sh could not add a veth pair here (needs CAP_NET_ADMIN)";
    }

    constexpr std::size_t kBytes = 2 * 1024 * 1024;
    speed.Sample();
    ASSERT_EQ(testing::TransferOverLoopback(kBytes), kBytes);
    speed.Sample();
    testing::StartUnixProgram(script + L"down " + pair);
    EXPECT_EQ(speed.InterfaceNo(), loopback);
    EXPECT_EQ(speed.AdapterName(), "lo");
    EXPECT_FALSE(speed.CountersRestarted());
    EXPECT_GE(speed.OutPacket(), kBytes) << "the loopback traffic, no more than a second's worth";
    EXPECT_LE(speed.OutPacket(), kBytes * 4);
}

TEST(NetworkSpeedWin32, ManyRowsAreAllListedAndTheLastCanBeWatched) {
    TNetworkSpeed speed(nullptr);
    speed.Sample();
    if (speed.AdapterCount() <= 20)
        GTEST_SKIP() << "the interface table has only " << speed.AdapterCount()
                     << " rows: tools/wine/interfaces.sh could not add veth interfaces here (needs CAP_NET_ADMIN)";

    ULONG size = 0;
    ASSERT_EQ(::GetIfTable(nullptr, &size, TRUE), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<std::byte> raw(size);
    ASSERT_EQ(::GetIfTable(reinterpret_cast<PMIB_IFTABLE>(raw.data()), &size, TRUE), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(static_cast<DWORD>(speed.AdapterCount()), reinterpret_cast<PMIB_IFTABLE>(raw.data())->dwNumEntries);

    const char* prefix = std::getenv("VANTOR_VETH_PREFIX");
    ASSERT_NE(prefix, nullptr);
    const auto veths = std::count_if(speed.AdapterTable().begin(), speed.AdapterTable().end(),
                                     [&](const std::string& name) { return name.rfind(prefix, 0) == 0; });
    EXPECT_GE(veths, 24) << "the twelve veth pairs the fixture made";

    WatchPosition(speed, speed.AdapterCount());
    EXPECT_EQ(speed.InterfaceNo(), speed.AdapterCount());
    EXPECT_EQ(speed.AdapterName(), speed.AdapterTable().back());
    speed.Sample();
    EXPECT_EQ(speed.OutPacket(), 0u) << "a new veth with no peer traffic";
}

}  // namespace
}  // namespace vantor
