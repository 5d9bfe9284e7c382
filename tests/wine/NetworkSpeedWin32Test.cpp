// The counter source against the real GetIfTable.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "components/NetworkSpeed/IfTable.h"
#include "components/NetworkSpeed/NetworkSpeed.h"

namespace vantor {
namespace {

static_assert(sizeof(MIB_IFROW) == iftable::kRowSize);
static_assert(offsetof(MIB_IFTABLE, table) == iftable::kHeaderSize);
static_assert(offsetof(MIB_IFROW, dwType) == iftable::kTypeOffset);
static_assert(offsetof(MIB_IFROW, dwMtu) == iftable::kMtuOffset);
static_assert(offsetof(MIB_IFROW, dwSpeed) == iftable::kSpeedOffset);
static_assert(offsetof(MIB_IFROW, dwInOctets) == iftable::kInOctetsOffset);
static_assert(offsetof(MIB_IFROW, dwOutOctets) == iftable::kOutOctetsOffset);
static_assert(offsetof(MIB_IFROW, bDescr) == iftable::kDescrOffset);

class Winsock {
public:
    Winsock() { started_ = ::WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
    ~Winsock() {
        if (started_) ::WSACleanup();
    }
    bool Started() const { return started_; }

private:
    WSADATA data_{};
    bool started_ = false;
};

struct Socket {
    SOCKET s = INVALID_SOCKET;
    explicit Socket(SOCKET value) : s(value) {}
    ~Socket() {
        if (s != INVALID_SOCKET) ::closesocket(s);
    }
};

// Moves `bytes` from a client to a server over 127.0.0.1 and returns how many the server received.
std::size_t TransferOverLoopback(std::size_t bytes) {
    Socket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (::bind(listener.s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener.s, 1) != 0 ||
        ::getsockname(listener.s, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;

    std::thread client([address, bytes] {
        Socket out(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        if (::connect(out.s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) return;
        const std::vector<char> chunk(64 * 1024, 'v');
        for (std::size_t sent = 0; sent < bytes;) {
            const int n = ::send(out.s, chunk.data(), static_cast<int>(std::min(chunk.size(), bytes - sent)), 0);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
        ::shutdown(out.s, SD_SEND);
    });
    std::size_t received = 0;
    {
        Socket in(::accept(listener.s, nullptr, nullptr));
        std::vector<char> buffer(64 * 1024);
        for (int n; (n = ::recv(in.s, buffer.data(), static_cast<int>(buffer.size()), 0)) > 0;)
            received += static_cast<std::size_t>(n);
    }
    client.join();
    return received;
}

int RowOf(const TNetworkSpeed& speed, const std::string& name) {
    const auto& rows = speed.AdapterTable();
    const auto it = std::find(rows.begin(), rows.end(), name);
    return it == rows.end() ? 0 : static_cast<int>(it - rows.begin()) + 1;
}

TEST(NetworkSpeedWin32, LoopbackTransferShowsUpInTheLoopbackRow) {
    Winsock winsock;
    ASSERT_TRUE(winsock.Started());
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
    ASSERT_EQ(TransferOverLoopback(kBytes), kBytes);
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
