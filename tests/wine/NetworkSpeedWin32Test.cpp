// The counter source against the real GetIfTable.

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "components/NetworkSpeed/NetworkSpeed.h"
#include "tests/support/Loopback.h"

namespace vantor {
namespace {

int RowOf(const TNetworkSpeed& speed, const std::string& name) {
    const auto& rows = speed.AdapterTable();
    const auto it = std::find(rows.begin(), rows.end(), name);
    return it == rows.end() ? 0 : static_cast<int>(it - rows.begin()) + 1;
}

TEST(NetworkSpeedWin32, LoopbackTransferShowsUpInTheLoopbackRow) {
    TNetworkSpeed speed(nullptr);
    ASSERT_TRUE(speed.RefreshTable());
    const int loopback = RowOf(speed, "lo");
    ASSERT_GT(loopback, 0) << "no row named lo in the interface table";
    speed.SetInterfaceNo(loopback);
    ASSERT_TRUE(speed.RefreshTable());
    EXPECT_EQ(speed.InterfaceNo(), loopback);
    EXPECT_EQ(speed.AdapterName(), "lo");
    EXPECT_EQ(speed.IType(), 24) << "software loopback";

    constexpr std::size_t kBytes = 6 * 1024 * 1024;
    speed.Sample();
    ASSERT_EQ(testing::TransferOverLoopback(kBytes), kBytes);
    speed.Sample();

    // Every byte leaves and enters through lo; TCP headers and acknowledgements add a little.
    const auto upper = static_cast<std::uint32_t>(kBytes + kBytes / 10);
    EXPECT_GE(speed.OutPacket(), kBytes);
    EXPECT_LE(speed.OutPacket(), upper);
    EXPECT_GE(speed.InPacket(), kBytes);
    EXPECT_LE(speed.InPacket(), upper);
    EXPECT_GE(speed.TotalOutPacket() - speed.OutPacket(), 0u);

    speed.Sample();
    EXPECT_LT(speed.OutPacket(), kBytes / 10) << "the next sample counts only what moved since";
}

TEST(NetworkSpeedWin32, ManyRowsAreAllListedAndTheLastCanBeWatched) {
    TNetworkSpeed speed(nullptr);
    ASSERT_TRUE(speed.RefreshTable());
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

    speed.SetInterfaceNo(speed.AdapterCount());
    ASSERT_TRUE(speed.RefreshTable());
    EXPECT_EQ(speed.InterfaceNo(), speed.AdapterCount());
    EXPECT_EQ(speed.AdapterName(), speed.AdapterTable().back());
    speed.Sample();
    EXPECT_EQ(speed.OutPacket(), 0u) << "a new veth with no peer traffic";
}

}  // namespace
}  // namespace vantor
