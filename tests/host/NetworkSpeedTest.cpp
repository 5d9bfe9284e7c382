#include "components/NetworkSpeed/NetworkSpeed.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakeIfTable.h"

namespace vantor {
namespace {

using testing::FakeIfRow;
using testing::FakeIfTable;

constexpr std::uint32_t kGenFailure = 31;

FakeIfTable ThreeRows() {
    FakeIfTable table;
    table.rows = {{.descr = "lo", .type = 24, .mtu = 65536, .speed = 10'000'000, .inOctets = 100, .outOctets = 200},
                  {.descr = "eth0", .type = 6, .mtu = 1500, .speed = 100'000'000, .inOctets = 1000, .outOctets = 2000},
                  {.descr = "wlan0", .type = 71, .mtu = 1400, .speed = 54'000'000, .inOctets = 7, .outOctets = 9}};
    return table;
}

struct Snapshot {
    std::uint64_t out, in, totalOut, totalIn, speed;
    int mtu, type, count, interfaceNo;
    std::string name;
    std::vector<std::string> table;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const TNetworkSpeed& s) {
    return {s.OutPacket(), s.InPacket(), s.TotalOutPacket(), s.TotalInPacket(), s.Speed(), s.Mtu(),
            s.IType(),     s.AdapterCount(), s.InterfaceNo(), s.AdapterName(), s.AdapterTable()};
}

void WatchPosition(TNetworkSpeed& speed, int position) {
    speed.Watch(TWatchMode::wmInterface, {.Position = position});
    speed.Sample();
}

TEST(NetworkSpeedRefresh, SelectsTheRowByPositionAndFallsBackToRowOne) {
    struct Case {
        int requested, watched;
    };
    for (const Case c : {Case{0, 1}, Case{-4, 1}, Case{5, 1}, Case{4, 1}, Case{3, 3}, Case{2, 2}}) {
        FakeIfTable table = ThreeRows();
        TNetworkSpeed speed(nullptr, table);
        WatchPosition(speed, c.requested);
        EXPECT_EQ(speed.InterfaceNo(), c.watched) << "requested " << c.requested;
        EXPECT_EQ(speed.WatchIsFallback(), c.requested != c.watched);
        EXPECT_EQ(speed.AdapterName(), table.rows[c.watched - 1].descr);
        EXPECT_EQ(speed.Mtu(), static_cast<int>(table.rows[c.watched - 1].mtu));
        EXPECT_EQ(speed.IType(), static_cast<int>(table.rows[c.watched - 1].type));
        EXPECT_EQ(speed.AdapterTable(), (std::vector<std::string>{"lo", "eth0", "wlan0"}));
        EXPECT_EQ(speed.AdapterCount(), 3);
    }
}

TEST(NetworkSpeedRefresh, ProbesTheSizeThenFillsAndTakesTheBaseline) {
    FakeIfTable table = ThreeRows();
    TNetworkSpeed speed(nullptr, table);
    WatchPosition(speed, 2);

    const auto bytes = static_cast<std::uint32_t>(iftable::TableBytes(3));
    ASSERT_EQ(table.calls.size(), 2u);
    EXPECT_FALSE(table.calls[0].withBuffer);
    EXPECT_EQ(table.calls[0].offeredSize, 0u);
    for (const auto& call : table.calls) EXPECT_TRUE(call.order);
    EXPECT_TRUE(table.calls[1].withBuffer);
    EXPECT_EQ(table.calls[1].offeredSize, bytes);
    EXPECT_TRUE(speed.CountersRestarted());

    // The baseline takes the whole counters as the totals; nothing has moved yet.
    EXPECT_EQ(speed.OutPacket(), 0u);
    EXPECT_EQ(speed.InPacket(), 0u);
    EXPECT_EQ(speed.TotalOutPacket(), 2000u);
    EXPECT_EQ(speed.TotalInPacket(), 1000u);
    EXPECT_EQ(speed.Speed(), 100'000'000);
}

TEST(NetworkSpeedRefresh, BaselineOfHugeCountersMovesNothing) {
    FakeIfTable table;
    table.rows = {{.speed = 0xFFFF'FFFFu, .inOctets = 0x8000'0000u, .outOctets = 0x7FFF'FFFFu}};
    TNetworkSpeed speed(nullptr, table);
    WatchPosition(speed, 1);
    EXPECT_EQ(speed.InPacket(), 0u);
    EXPECT_EQ(speed.OutPacket(), 0u);
    EXPECT_EQ(speed.TotalInPacket(), 0x8000'0000u);
    EXPECT_EQ(speed.Speed(), 0xFFFF'FFFFu) << "the table's 32-bit speed reads unsigned";
}

TEST(NetworkSpeedRefresh, AnEmptyOrUnreadableTableIsReadAgainAtTheNextSampleUntilThePositionResolves) {
    for (const std::uint32_t bad : {0u, static_cast<std::uint32_t>(iftable::kMaxTableBytes + 1), 0xFFFF'FFFFu}) {
        FakeIfTable table;
        TNetworkSpeed speed(nullptr, table);
        WatchPosition(speed, 3);
        EXPECT_EQ(speed.AdapterCount(), 0);
        EXPECT_FALSE(speed.WatchedRow());

        table.reportedSize = bad;
        const auto calls = table.calls.size();
        speed.Sample();
        EXPECT_GT(table.calls.size(), calls) << "tried again";
        EXPECT_EQ(speed.OutPacket(), 0u);

        table = ThreeRows();
        speed.Sample();
        EXPECT_EQ(speed.InterfaceNo(), 3) << "the position waited for resolves once rows come";
        EXPECT_EQ(speed.AdapterName(), "wlan0");
        table.rows[2].outOctets += 700;
        speed.Sample();
        EXPECT_EQ(speed.OutPacket(), 700u);
    }
}

TEST(NetworkSpeedRefresh, AFailedReadShowsZeroAndKeepsTheLastGoodTable) {
    for (const std::uint32_t bad : {0xFFFF'FFFFu, std::uint32_t{0}}) {
        FakeIfTable table = ThreeRows();
        TNetworkSpeed speed(nullptr, table);
        WatchPosition(speed, 2);
        table.rows[1].outOctets += 300;
        speed.Sample();
        ASSERT_EQ(speed.OutPacket(), 300u);
        const Snapshot before = Take(speed);

        if (bad == 0) table.failures = {kGenFailure};
        else table.reportedSize = bad;
        table.rows[1].outOctets += 50;
        speed.Sample();
        Snapshot expected = before;
        expected.out = 0;
        EXPECT_EQ(Take(speed), expected) << "nothing but the figures changes";
        EXPECT_EQ(speed.WatchedRow()->Position, 2);
    }
}

TEST(NetworkSpeedRefresh, AcceptsTablesOfManyRows) {
    for (const std::size_t rows : {std::size_t{20}, std::size_t{21}, std::size_t{70}, std::size_t{300}}) {
        FakeIfTable table;
        table.rows.resize(rows);
        table.rows.back().descr = "last";
        table.rows.back().outOctets = 77;
        TNetworkSpeed speed(nullptr, table);
        WatchPosition(speed, static_cast<int>(rows));
        EXPECT_EQ(speed.AdapterCount(), static_cast<int>(rows));
        EXPECT_EQ(speed.AdapterName(), "last");
        table.rows.back().outOctets += 1500;
        speed.Sample();
        EXPECT_EQ(speed.OutPacket(), 1500u);
    }
}

class NetworkSpeedSample : public ::testing::Test {
protected:
    void SetUp() override {
        table.rows = {{.descr = "eth0", .inOctets = 10'000, .outOctets = 5'000}};
        WatchPosition(speed, 1);
    }
    void Move(std::uint32_t in, std::uint32_t out) {
        table.rows[0].inOctets = in;
        table.rows[0].outOctets = out;
        speed.Sample();
    }
    FakeIfTable table;
    TNetworkSpeed speed{nullptr, table};
};

TEST_F(NetworkSpeedSample, ReportsOnlyTheOctetsMovedSinceTheRefresh) {
    Move(10'300, 5'120);
    EXPECT_EQ(speed.InPacket(), 300u);
    EXPECT_EQ(speed.OutPacket(), 120u);
    EXPECT_EQ(speed.TotalInPacket(), 10'300u);
    EXPECT_EQ(speed.TotalOutPacket(), 5'120u);
    Move(10'300, 5'120);
    EXPECT_EQ(speed.InPacket(), 0u);
    EXPECT_EQ(speed.OutPacket(), 0u);
}

TEST_F(NetworkSpeedSample, CounterWrapGivesTheTrueDifference) {
    Move(4'294'967'000u, 4'294'967'000u);
    Move(1'000, 4'294'967'100u);
    EXPECT_EQ(speed.InPacket(), 1'296u);
    EXPECT_EQ(speed.OutPacket(), 100u);
}

TEST_F(NetworkSpeedSample, CounterGoingBackwardsGivesZeroThenCountsFromTheNewValue) {
    Move(10'000, 4'000);
    EXPECT_EQ(speed.OutPacket(), 0u);
    EXPECT_EQ(speed.TotalOutPacket(), 4'000u);
    EXPECT_TRUE(speed.CountersRestarted());
    Move(10'000, 4'250);
    EXPECT_EQ(speed.OutPacket(), 250u);
    EXPECT_FALSE(speed.CountersRestarted());
}

TEST_F(NetworkSpeedSample, TableThatGrewIsReadAgainInTheSameSample) {
    table.rows.push_back({.descr = "tun0"});
    table.rows.push_back({.descr = "tun1"});
    const auto callsBefore = table.calls.size();
    Move(10'400, 5'000);
    EXPECT_EQ(table.calls.size(), callsBefore + 2) << "one refused call, one retry";
    EXPECT_EQ(speed.InPacket(), 400u);

    const auto grown = static_cast<std::uint32_t>(iftable::TableBytes(3));
    Move(10'500, 5'000);
    EXPECT_EQ(table.calls.size(), callsBefore + 3) << "steady state: one call per sample";
    EXPECT_EQ(table.calls.back().offeredSize, grown);
    EXPECT_EQ(speed.InPacket(), 100u);
}

TEST_F(NetworkSpeedSample, RowThatVanishesAndReturnsReportsNoSpike) {
    Move(20'000, 9'000);
    const FakeIfRow watched = table.rows[0];
    table.rows.clear();
    speed.Sample();
    EXPECT_EQ(speed.InPacket(), 0u);
    EXPECT_EQ(speed.OutPacket(), 0u);
    EXPECT_EQ(speed.TotalInPacket(), 0u);
    EXPECT_EQ(speed.TotalOutPacket(), 0u);

    table.rows = {watched};
    Move(3'000'000'000u, 1'500'000'000u);
    EXPECT_EQ(speed.InPacket(), 0u) << "the first sample after the return sets the baseline";
    EXPECT_EQ(speed.OutPacket(), 0u);
    EXPECT_EQ(speed.TotalInPacket(), 3'000'000'000u);
    Move(3'000'004'096u, 1'500'000'512u);
    EXPECT_EQ(speed.InPacket(), 4'096u);
    EXPECT_EQ(speed.OutPacket(), 512u);
}

TEST(NetworkSpeedLifecycle, BeforeAWatchIsSetASampleListsTheTableAndWatchesNothing) {
    FakeIfTable table = ThreeRows();
    TNetworkSpeed speed(nullptr, table);
    EXPECT_EQ(speed.AdapterCount(), 0);
    speed.Sample();
    EXPECT_EQ(speed.AdapterCount(), 3);
    EXPECT_FALSE(speed.WatchedRow());
    EXPECT_EQ(speed.InterfaceNo(), 0);
    EXPECT_TRUE(speed.AdapterName().empty());
}

}  // namespace
}  // namespace vantor
