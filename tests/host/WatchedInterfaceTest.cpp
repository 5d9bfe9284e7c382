// What the monitor watches, run as the main window runs it against a fake interface table: the settings
// file's keys at start, the table and the route at each tick (rows coming, going and reordering, the
// route moving, connections joining and leaving, counters past 32 bits or reset, failed reads), what each
// tick shows and logs, the dialog's list and choice, and the keys the exit writes.

#include "app/core/WatchedInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "app/core/SettingsDialogValues.h"
#include "app/core/SettingsFile.h"
#include "app/core/Tick.h"
#include "app/core/TrafficLog.h"
#include "tests/fakes/FakeIfTable.h"
#include "tests/fakes/FakeLogFiles.h"
#include "tests/fakes/FakeProfile.h"

namespace vantor {
namespace {

using testing::FakeIfRow;

// An interface the table can hold. Its LUID is its first index, and stays when the index changes.
struct Nic {
    const char* alias;
    const char* description;
    std::uint32_t index;
    std::uint32_t type = 6;
    bool hardware = true;
    bool filter = false;
};

const Nic kLoopback{"Loopback Pseudo-Interface 1", "Software Loopback Interface 1", 1, 24, false};
const Nic kEthernet{"Ethernet", "Intel(R) Ethernet Connection I219-V", 4};
const Nic kFilter{"Ethernet-WFP Native MAC Layer LightWeight Filter-0000",
                  "Intel(R) Ethernet Connection I219-V-WFP Native MAC Layer LightWeight Filter-0000", 5, 6, true, true};
const Nic kWifi{"Wi-Fi", "Intel(R) Wi-Fi 6 AX201 160MHz", 7};
const Nic kVpn{"VPN", "TAP-Windows Adapter V9", 9, 53, false};
const Nic kMiniport{"Local Area Connection* 1", "WAN Miniport (IP)", 11, 6, false};
const Nic kUsb{"Ethernet 2", "USB 10/100/1000 LAN", 14};
const Nic kLinux{"eth0", "eth0", 16};

constexpr std::uint64_t kUnknownSpeed = std::numeric_limits<std::uint64_t>::max();

// One row of the table at one moment.
struct R {
    const Nic* nic;
    std::uint64_t in = 0, out = 0;
    bool connected = true;
    std::uint64_t speed = 1'000'000'000;  // transmit
    std::uint64_t receiveSpeed = 0;       // 0: as the transmit speed
    bool versionTwo = true;               // false: GetIfEntry2 fails for the row
    std::uint32_t index = 0;              // 0: the interface's first index
};

std::string GuidOf(const Nic& nic) {
    char text[39];
    std::snprintf(text, sizeof(text), "{%08X-0000-0000-0000-00000000BEEF}", static_cast<unsigned>(nic.index));
    return text;
}

FakeIfRow Made(const R& r) {
    FakeIfRow row{.descr = r.nic->description,
                  .type = r.nic->type,
                  .speed = static_cast<std::uint32_t>(std::min<std::uint64_t>(r.speed, 0xFFFF'FFFFu)),
                  .inOctets = static_cast<std::uint32_t>(r.in),
                  .outOctets = static_cast<std::uint32_t>(r.out),
                  .index = r.index != 0 ? r.index : r.nic->index,
                  .operStatus = r.connected ? iftable::kOperStatusOperational : 2};
    if (r.versionTwo)
        row.entry = InterfaceEntry{.Luid = r.nic->index,
                                   .Guid = GuidOf(*r.nic),
                                   .Alias = r.nic->alias,
                                   .Description = r.nic->description,
                                   .InOctets = r.in,
                                   .OutOctets = r.out,
                                   .TransmitLinkSpeed = r.speed,
                                   .ReceiveLinkSpeed = r.receiveSpeed != 0 ? r.receiveSpeed : r.speed,
                                   .Up = r.connected,
                                   .Connected = r.connected,
                                   .FilterInterface = r.nic->filter,
                                   .HardwareInterface = r.nic->hardware};
    return row;
}

std::vector<FakeIfRow> Table(const std::vector<R>& rows) {
    std::vector<FakeIfRow> table;
    for (const R& r : rows) table.push_back(Made(r));
    return table;
}

struct TickCase {
    std::vector<R> table;
    int watched;  // InterfaceNo after the sample
    std::uint64_t sent, received;
    int route = -1;          // from this tick on, the index both families' routes leave by; 0: none; -1: as before
    bool readFails = false;  // GetIfTable fails for this tick's sample
};

using Keys = std::vector<std::pair<std::string, std::string>>;

struct WatchCase {
    const char* name;
    Keys file;  // the "Interface" keys of the settings file
    std::vector<R> start;
    std::optional<std::uint32_t> route, route6;  // the interface index each family's default route leaves by
    int startWatched;
    // Picked in the dialog, with OK: the item's place in the list (-1: OK on what it preselects). The
    // dialog opens after `chosenAfter` ticks and stays open over `openTicks` more.
    std::optional<int> chosenItem;
    std::size_t chosenAfter = 0;
    std::size_t openTicks = 0;
    std::vector<TickCase> ticks;
    std::vector<std::string> saved;  // the "Interface" keys but "flg" that the exit writes
    std::string tip;                 // of the last tick, where given
    std::string average;             // the send average of the last tick, where given
    std::vector<std::pair<std::string, int>> list;  // the dialog's texts and positions after the last tick, where given
    bool chosenPresent = true;        // the chosen interface was in the table at OK
    int failedReadsAtStart = 0;
    std::int32_t logInterval = 0;     // 0: a line every tick, each with its tick's bytes
    std::vector<std::pair<std::uint64_t, std::uint64_t>> log;  // the lines, where the interval is longer
};

std::vector<std::string> Saved(int selected, const Nic* nic = nullptr, std::string watch = "interface") {
    std::vector<std::string> keys{"Selected=" + std::to_string(selected)};
    if (nic) {
        keys.push_back("Guid=" + GuidOf(*nic));
        keys.push_back("Description=" + std::string(nic->description));
    }
    keys.push_back("Watch=" + watch);
    return keys;
}

Keys Identity(int selected, const Nic& nic) {
    return {{"Selected", std::to_string(selected)}, {"Guid", GuidOf(nic)}, {"Description", nic.description}};
}

// Ten gigabit per second sent for a whole averaging cycle.
std::vector<TickCase> TenGigabitsSent() {
    std::vector<TickCase> ticks;
    for (std::uint64_t tick = 1; tick <= 61; ++tick)
        ticks.push_back({{{&kLoopback}, {&kEthernet, 0, tick * 1'250'000'000, true, 10'000'000'000}}, 2, 1'250'000'000, 0});
    return ticks;
}

constexpr std::uint64_t k32 = 0x1'0000'0000;

const std::vector<WatchCase>& Cases() {
    static const std::vector<WatchCase> cases{
        // First start: no "Selected" in the file. It follows the connection in use and pins nothing.
        {.name = "first start: the default route's interface",
         .start = {{&kLoopback, 100, 100}, {&kEthernet, 50, 60}, {&kWifi, 10, 20}},
         .route = 7,
         .startWatched = 3,
         .ticks = {{{{&kLoopback, 100, 100}, {&kEthernet, 50, 60}, {&kWifi, 1010, 520}}, 3, 500, 1000}},
         .saved = Saved(3, &kWifi, "route")},
        {.name = "first start: the route found over IPv6 only",
         .start = {{&kLoopback}, {&kEthernet}, {&kWifi}},
         .route6 = 4,
         .startWatched = 2,
         .saved = Saved(2, &kEthernet, "route")},
        {.name = "first start before any route: nothing is watched or pinned, and the route is followed once it comes",
         .start = {{&kLoopback, 9'000'000'000, 9'000'000'000}, {&kEthernet, 300, 0}, {&kFilter, 900, 900},
                   {&kWifi, 5000, 5000, false}, {&kUsb, 0, 300}},
         .route = 99,
         .startWatched = 0,
         .ticks = {{{{&kLoopback, 9'000'000'500, 9'000'000'500}, {&kEthernet, 400, 100}, {&kWifi, 5000, 5000, false}}, 0, 0, 0},
                   {{{&kLoopback}, {&kEthernet, 400, 100}, {&kWifi, 5000, 5000}}, 3, 0, 0, 7},
                   {{{&kLoopback}, {&kEthernet, 400, 100}, {&kWifi, 5100, 5300}}, 3, 300, 100}},
         .saved = Saved(3, &kWifi, "route")},
        {.name = "first start with nothing up but loopback: no position is saved as chosen",
         .start = {{&kLoopback, 7, 7}, {&kWifi, 5000, 5000, false}},
         .startWatched = 0,
         .ticks = {{{{&kLoopback, 9, 9}, {&kWifi, 5000, 5000, false}}, 0, 0, 0}},
         .saved = Saved(1, nullptr, "route"),
         .tip = "接続なし\r\n速度:00.0Mbps\r\n送信:0 KB\r\n受信:0 KB"},
        {.name = "first start on an empty table",
         .startWatched = 0,
         .ticks = {{{}, 0, 0, 0}},
         .saved = Saved(1, nullptr, "route")},
        {.name = "first start while the table cannot be read: 0 until it can, never Selected=0",
         .start = {{&kLoopback}, {&kEthernet, 1000, 1000}},
         .route = 4,
         .startWatched = 0,
         .ticks = {{{{&kLoopback}, {&kEthernet, 1500, 1200}}, 0, 0, 0, -1, true},
                   {{{&kLoopback}, {&kEthernet, 1600, 1300}}, 2, 0, 0},
                   {{{&kLoopback}, {&kEthernet, 1700, 1500}}, 2, 200, 100}},
         .saved = Saved(2, &kEthernet, "route"),
         .failedReadsAtStart = 1},
        {.name = "an empty Selected is no choice either",
         .file = {{"Selected", ""}, {"Watch", "interface"}},
         .start = {{&kLoopback}, {&kEthernet}},
         .route = 4,
         .startWatched = 2,
         .saved = Saved(2, &kEthernet, "route")},

        // Following the connection in use.
        {.name = "the route moves from Ethernet to Wi-Fi, to none and back: 0 at each change, no spike, and the "
                 "exit names the interface in use",
         .file = {{"Selected", "3"}, {"Watch", "route"}},
         .start = {{&kLoopback}, {&kEthernet, 1000, 1000}, {&kWifi, 9'000'000'000, 9'000'000'000}},
         .route = 4,
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kEthernet, 3000, 1500}, {&kWifi, 9'000'000'000, 9'000'000'000}}, 2, 500, 2000},
                   {{{&kLoopback}, {&kEthernet, 3000, 1500}, {&kWifi, 9'000'001'000, 9'000'002'000}}, 3, 0, 0, 7},
                   {{{&kLoopback}, {&kEthernet, 3000, 1500}, {&kWifi, 9'000'001'500, 9'000'002'700}}, 3, 700, 500},
                   {{{&kLoopback}, {&kEthernet, 3000, 1500}, {&kWifi, 9'000'001'500, 9'000'002'700, false}}, 0, 0, 0, 0},
                   {{{&kLoopback}, {&kEthernet, 3000, 1500}, {&kWifi, 9'000'001'600, 9'000'003'700}}, 3, 0, 0, 7},
                   {{{&kLoopback}, {&kEthernet, 3000, 1500}, {&kWifi, 9'000'001'900, 9'000'003'800}}, 3, 100, 300}},
         .saved = Saved(3, &kWifi, "route"),
         .tip = "Wi-Fi\r\n速度:1000.0Mbps\r\n送信:8,789,066 KB\r\n受信:8,789,064 KB"},
        {.name = "no route at exit: the keys stay as read",
         .file = {{"Selected", "7"}, {"Guid", GuidOf(kUsb)}, {"Description", kUsb.description}, {"Watch", "ROUTE"}},
         .start = {{&kLoopback}, {&kEthernet}},
         .startWatched = 0,
         .ticks = {{{{&kLoopback, 50, 50}, {&kEthernet, 70, 70}}, 0, 0, 0}},
         .saved = Saved(7, &kUsb, "route")},

        // All connections: hardware, not a filter row, connected; a change in the set restarts the counts.
        {.name = "all connections: the sum of the links, not loopback, a filter row, a VPN or a link that is down",
         .file = {{"Selected", "2"}, {"Guid", GuidOf(kEthernet)}, {"Description", kEthernet.description}, {"Watch", "all"}},
         .start = {{&kLoopback, 5, 5}, {&kEthernet, 1000, 1000, true, 1'000'000'000}, {&kFilter, 1000, 1000},
                   {&kWifi, 4000, 4000, true, 300'000'000}, {&kVpn, 77, 77}, {&kUsb, 0, 0, false}},
         .startWatched = 0,
         .ticks = {{{{&kLoopback, 9000, 9000}, {&kEthernet, 1100, 1500, true, 1'000'000'000}, {&kFilter, 1100, 1500},
                     {&kWifi, 4030, 4020, true, 300'000'000}, {&kVpn, 700, 700}, {&kUsb, 0, 0, false}},
                    0, 520, 130}},
         .saved = Saved(2, &kEthernet, "all"),
         .tip = "すべての接続\r\n速度:1300.0Mbps\r\n送信:5 KB\r\n受信:5 KB"},
        {.name = "all connections: a link joins, then one leaves; each change restarts, no lifetime counter counts",
         .file = {{"Selected", "1"}, {"Watch", "all"}},
         .start = {{&kLoopback}, {&kEthernet, 1000, 1000}, {&kWifi, 50'000'000'000, 50'000'000'000, false}},
         .startWatched = 0,
         .ticks = {{{{&kLoopback}, {&kEthernet, 1200, 1100}, {&kWifi, 50'000'000'000, 50'000'000'000, false}}, 0, 100, 200},
                   {{{&kLoopback}, {&kEthernet, 1300, 1200}, {&kWifi, 50'000'000'000, 50'000'000'000}}, 0, 0, 0},
                   {{{&kLoopback}, {&kEthernet, 1400, 1500}, {&kWifi, 50'000'001'000, 50'000'000'100}}, 0, 400, 1100},
                   {{{&kLoopback}, {&kWifi, 50'000'002'000, 50'000'000'200}}, 0, 0, 0},
                   {{{&kLoopback}, {&kWifi, 50'000'002'000, 50'000'000'600}}, 0, 400, 0}},
         .saved = Saved(1, nullptr, "all")},

        // Identity at start.
        {.name = "a file without the identity watches Selected and gains its identity",
         .file = {{"Selected", "3"}},
         .start = {{&kLoopback}, {&kEthernet}, {&kWifi}},
         .route = 4,
         .startWatched = 3,
         .saved = Saved(3, &kWifi)},
        {.name = "the identity at Selected",
         .file = Identity(2, kEthernet),
         .start = {{&kLoopback}, {&kEthernet}, {&kWifi}},
         .startWatched = 2,
         .saved = Saved(2, &kEthernet)},
        {.name = "the identity found elsewhere: Selected becomes its position",
         .file = Identity(2, kWifi),
         .start = {{&kLoopback}, {&kEthernet}, {&kWifi}},
         .startWatched = 3,
         .saved = Saved(3, &kWifi)},
        {.name = "the identity found elsewhere while Selected is beyond the table",
         .file = Identity(9, kWifi),
         .start = {{&kLoopback}, {&kWifi}},
         .startWatched = 2,
         .saved = Saved(2, &kWifi)},
        {.name = "a GUID found nowhere: the description finds it",
         .file = {{"Selected", "1"}, {"Guid", "{0000BEEF-0000-0000-0000-000000000000}"}, {"Description", kWifi.description}},
         .start = {{&kLoopback}, {&kEthernet}, {&kWifi}},
         .startWatched = 3,
         .saved = Saved(3, &kWifi)},
        {.name = "a description the code page could not hold: the GUID alone finds it",
         .file = {{"Selected", "1"}, {"Guid", "{00000007-0000-0000-0000-00000000beef}"}, {"Description", "Wi-Fi ? AX201"}},
         .start = {{&kLoopback}, {&kEthernet}, {&kWifi}},
         .startWatched = 3,
         .saved = Saved(3, &kWifi)},
        {.name = "the identity found nowhere: Selected is watched and the keys stay",
         .file = Identity(2, kUsb),
         .start = {{&kLoopback}, {&kEthernet, 10, 10}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kEthernet, 110, 20}}, 2, 10, 100}},
         .saved = Saved(2)},
        {.name = "the identity found nowhere and Selected beyond the table: row 1, the keys stay",
         .file = Identity(9, kUsb),
         .start = {{&kLoopback}, {&kEthernet}},
         .startWatched = 1,
         .saved = Saved(9)},
        {.name = "a GUID that is not one: as without the identity",
         .file = {{"Selected", "2"}, {"Guid", "{7-is-not-a-guid}"}, {"Description", kWifi.description}},
         .start = {{&kLoopback}, {&kEthernet}, {&kWifi}},
         .startWatched = 2,
         .saved = Saved(2, &kEthernet)},
        {.name = "a 5,000-character description: as without the identity",
         .file = {{"Selected", "2"}, {"Guid", GuidOf(kWifi)}, {"Description", std::string(5000, 'n')}},
         .start = {{&kLoopback}, {&kEthernet}, {&kWifi}},
         .startWatched = 2,
         .saved = Saved(2, &kEthernet)},

        // Following it during the run.
        {.name = "rows appear before it: it is counted on where it stands now",
         .file = Identity(2, kEthernet),
         .start = {{&kLoopback}, {&kEthernet, 1000, 1000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kVpn}, {&kUsb, 50, 50}, {&kEthernet, 2000, 1500}}, 4, 500, 1000},
                   {{{&kLoopback}, {&kVpn}, {&kUsb, 90, 90}, {&kEthernet, 2600, 1900}}, 4, 400, 600}},
         .saved = Saved(4, &kEthernet)},
        {.name = "rows appear after it",
         .file = Identity(2, kEthernet),
         .start = {{&kLoopback}, {&kEthernet, 1000, 1000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kEthernet, 1300, 1200}, {&kVpn}, {&kUsb}}, 2, 200, 300}},
         .saved = Saved(2, &kEthernet)},
        {.name = "a row before it vanishes",
         .file = Identity(3, kEthernet),
         .start = {{&kLoopback}, {&kVpn, 5, 5}, {&kEthernet, 1000, 1000}},
         .startWatched = 3,
         .ticks = {{{{&kLoopback}, {&kEthernet, 1800, 1500}}, 2, 500, 800},
                   {{{&kLoopback}, {&kEthernet, 1900, 1600}}, 2, 100, 100}},
         .saved = Saved(2, &kEthernet)},
        {.name = "a row after it vanishes",
         .file = Identity(2, kEthernet),
         .start = {{&kLoopback}, {&kEthernet, 1000, 1000}, {&kVpn}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kEthernet, 1800, 1500}}, 2, 500, 800}},
         .saved = Saved(2, &kEthernet)},
        {.name = "a reorder: another interface takes an index below it",
         .file = Identity(2, kEthernet),
         .start = {{&kLoopback}, {&kEthernet, 1000, 1000}, {&kWifi, 5'000'000'000, 7'000'000'000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback},
                     {.nic = &kWifi, .in = 5'000'000'000, .out = 7'000'000'000, .index = 2},
                     {&kEthernet, 1100, 1050}},
                    3, 50, 100},
                   {{{&kLoopback},
                     {.nic = &kWifi, .in = 5'000'900'000, .out = 7'000'900'000, .index = 2},
                     {&kEthernet, 1200, 1250}},
                    3, 200, 100}},
         .saved = Saved(3, &kEthernet)},
        {.name = "it vanishes and returns: 0 while gone and at its return",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kUsb, 7000, 7000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}}, 2, 0, 0},
                   {{{&kLoopback}}, 2, 0, 0},
                   {{{&kLoopback}, {&kUsb, 3'000'000'000, 1'500'000'000}}, 2, 0, 0},
                   {{{&kLoopback}, {&kUsb, 3'000'004'096, 1'500'000'512}}, 2, 512, 4096}},
         .saved = Saved(2, &kUsb)},
        {.name = "another interface takes its position while it is gone and is not counted",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kUsb, 7000, 7000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kWifi, 9'000'000'000, 9'000'000'000}}, 2, 0, 0},
                   {{{&kLoopback}, {&kWifi, 9'000'005'000, 9'000'005'000}}, 2, 0, 0},
                   {{{&kLoopback}, {&kWifi, 9'000'009'000, 9'000'009'000}, {&kUsb, 7100, 7300}}, 3, 0, 0},
                   {{{&kLoopback}, {&kWifi, 9'000'019'000, 9'000'019'000}, {&kUsb, 7200, 7600}}, 3, 300, 100}},
         .saved = Saved(3, &kUsb)},
        {.name = "plugged in again under another index: found by its LUID",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kUsb, 7000, 7000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}}, 2, 0, 0},
                   {{{&kLoopback}, {.nic = &kUsb, .in = 7100, .out = 7200, .index = 20}}, 2, 0, 0},
                   {{{&kLoopback}, {.nic = &kUsb, .in = 7400, .out = 7300, .index = 20}}, 2, 100, 300}},
         .saved = Saved(2, &kUsb)},
        {.name = "its index now names another interface",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kUsb, 7000, 7000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {.nic = &kWifi, .in = 9'000'000'000, .out = 9'000'000'000, .index = 14}}, 2, 0, 0},
                   {{{&kLoopback}, {.nic = &kWifi, .in = 9'000'000'900, .out = 9'000'000'900, .index = 14}}, 2, 0, 0}},
         .saved = Saved(2, &kUsb)},
        {.name = "picked in the dialog after a log line, then followed",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kEthernet, 500, 500}, {&kWifi, 40, 40}},
         .startWatched = 2,
         .chosenItem = 4,
         .chosenAfter = 1,
         .ticks = {{{{&kLoopback}, {&kEthernet, 600, 700}, {&kWifi, 40, 40}}, 2, 200, 100},
                   {{{&kLoopback}, {&kEthernet, 650, 750}, {&kWifi, 90, 60}}, 3, 0, 0},
                   {{{&kLoopback}, {&kVpn}, {&kEthernet, 650, 750}, {&kWifi, 95, 70}}, 4, 10, 5}},
         .saved = Saved(4, &kWifi)},
        {.name = "OK in the dialog while it is away keeps waiting for it, not for what took its position",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kUsb, 7000, 7000}},
         .startWatched = 2,
         .chosenItem = -1,
         .chosenAfter = 1,
         .ticks = {{{{&kLoopback}, {&kWifi, 9'000'000'000, 9'000'000'000}}, 2, 0, 0},
                   {{{&kLoopback}, {&kWifi, 9'000'005'000, 9'000'005'000}}, 2, 0, 0},
                   {{{&kLoopback}, {&kWifi, 9'000'009'000, 9'000'009'000}, {&kUsb, 7100, 7300}}, 3, 0, 0},
                   {{{&kLoopback}, {&kWifi, 9'000'019'000, 9'000'019'000}, {&kUsb, 7200, 7600}}, 3, 300, 100}},
         .saved = Saved(3, &kUsb)},
        {.name = "OK after adapters changed while the dialog was open watches what the list showed",
         .file = Identity(2, kEthernet),
         .start = {{&kLoopback}, {&kEthernet, 100, 100}, {&kWifi, 500, 500}},
         .startWatched = 2,
         .chosenItem = 4,
         .chosenAfter = 1,
         .openTicks = 1,
         .ticks = {{{{&kLoopback}, {&kEthernet, 200, 150}, {&kWifi, 500, 500}}, 2, 50, 100},
                   {{{&kLoopback}, {&kUsb}, {&kEthernet, 300, 200}, {&kWifi, 600, 600}}, 3, 50, 100},
                   {{{&kLoopback}, {&kUsb}, {&kEthernet, 400, 300}, {&kWifi, 700, 650}}, 4, 0, 0},
                   {{{&kLoopback}, {&kUsb}, {&kEthernet, 400, 300}, {&kWifi, 800, 750}}, 4, 100, 100}},
         .saved = Saved(4, &kWifi)},
        {.name = "the list shows an adapter plugged in after start; picked as it vanished, it is reported and waited for",
         .file = Identity(2, kEthernet),
         .start = {{&kLoopback}, {&kEthernet}},
         .startWatched = 2,
         .chosenItem = 4,
         .chosenAfter = 1,
         .openTicks = 1,
         .ticks = {{{{&kLoopback}, {&kEthernet}, {&kUsb, 10, 10}}, 2, 0, 0},
                   {{{&kLoopback}, {&kEthernet}}, 2, 0, 0},
                   {{{&kLoopback}, {&kEthernet, 5000, 5000}}, 3, 0, 0},
                   {{{&kLoopback}, {&kEthernet, 6000, 6000}, {&kUsb, 20, 20}}, 3, 0, 0},
                   {{{&kLoopback}, {&kEthernet, 7000, 7000}, {&kUsb, 30, 50}}, 3, 30, 10}},
         .saved = Saved(3, &kUsb),
         .chosenPresent = false},

        // Counters that reset, readings that fail, a drop-out inside a log interval.
        {.name = "a counter reset from 50 GB restarts the count: no figure or log line holds the drop",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kEthernet, 50'000'000'000, 50'000'000'000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kEthernet, 50'000'000'000, 50'000'001'000}}, 2, 1000, 0},
                   {{{&kLoopback}, {&kEthernet, 500, 500}}, 2, 0, 0},
                   {{{&kLoopback}, {&kEthernet, 1000, 1524}}, 2, 1024, 500}},
         .saved = Saved(2, &kEthernet)},
        {.name = "a failed read shows 0, not the last figures, and the next counts from the last good one",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kEthernet, 1000, 1000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kEthernet, 1100, 1300}}, 2, 300, 100},
                   {{{&kLoopback}, {&kEthernet, 1150, 1400}}, 2, 0, 0, -1, true},
                   {{{&kLoopback}, {&kEthernet, 1200, 1600}}, 2, 300, 100}},
         .saved = Saved(2, &kEthernet)},
        {.name = "a short drop-out inside a log interval: the line holds every byte counted in it",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kUsb, 7000, 7000}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kUsb, 7000, 7000}}, 2, 0, 0},
                   {{{&kLoopback}, {&kUsb, 7000, 19000}}, 2, 12000, 0},
                   {{{&kLoopback}}, 2, 0, 0},
                   {{{&kLoopback}, {&kUsb, 7100, 20000}}, 2, 0, 0},
                   {{{&kLoopback}, {&kUsb, 7100, 30000}}, 2, 10000, 0},
                   {{{&kLoopback}, {&kUsb, 7100, 30000}}, 2, 0, 0},
                   {{{&kLoopback}, {&kUsb, 7200, 30000}}, 2, 0, 100}},
         .saved = Saved(2, &kUsb),
         .logInterval = 3,
         .log = {{0, 0}, {12000, 0}, {10000, 100}}},

        // 64 bits from counter to screen.
        {.name = "64-bit counters past 2^32, and past 2^31 in one second",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kEthernet, k32 - 296, k32 - 296}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {&kEthernet, k32 + 1204, k32 - 296 + 3'000'000'000}}, 2, 3'000'000'000, 1500},
                   {{{&kLoopback}, {&kEthernet, k32 + 1204, k32 - 296 + 6'000'000'000}}, 2, 3'000'000'000, 0}},
         .saved = Saved(2, &kEthernet),
         .tip = "Ethernet\r\n速度:1000.0Mbps\r\n送信:10,053,679 KB\r\n受信:4,194,305 KB"},
        {.name = "where GetIfEntry2 fails the table's 32-bit counters count, the total goes on past 2^32, and the "
                 "GUID is learnt once the call answers",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {.nic = &kEthernet, .in = k32 - 296, .out = 100, .versionTwo = false}},
         .startWatched = 2,
         .ticks = {{{{&kLoopback}, {.nic = &kEthernet, .in = k32 + 1000, .out = 100, .versionTwo = false}}, 2, 0, 1296},
                   {{{&kLoopback}, {&kEthernet, k32 + 1500, 100}}, 2, 0, 500}},
         .saved = Saved(2, &kEthernet),
         .tip = "Ethernet\r\n速度:1000.0Mbps\r\n送信:0 KB\r\n受信:4,194,305 KB"},
        {.name = "an average at 10 Gbit/s sustained",
         .file = {{"Selected", "2"}},
         .start = {{&kLoopback}, {&kEthernet, 0, 0, true, 10'000'000'000}},
         .startWatched = 2,
         .ticks = TenGigabitsSent(),
         .saved = Saved(2, &kEthernet),
         .tip = "Ethernet\r\n速度:10000.0Mbps\r\n送信:74,462,891 KB\r\n受信:0 KB",
         .average = "1,220,703.1"},
        {.name = "the tip at 2.5 Gbit/s",
         .file = {{"Selected", "1"}},
         .start = {{&kEthernet, 0, 0, true, 2'500'000'000}},
         .startWatched = 1,
         .ticks = {{{{&kEthernet, 2048, 1024, true, 2'500'000'000}}, 1, 1024, 2048}},
         .saved = Saved(1, &kEthernet),
         .tip = "Ethernet\r\n速度:2500.0Mbps\r\n送信:1 KB\r\n受信:2 KB"},
        {.name = "the tip at 25 Gbit/s",
         .file = {{"Selected", "1"}},
         .start = {{&kEthernet, 0, 0, true, 25'000'000'000}},
         .startWatched = 1,
         .ticks = {{{{&kEthernet, 0, 0, true, 25'000'000'000}}, 1, 0, 0}},
         .saved = Saved(1, &kEthernet),
         .tip = "Ethernet\r\n速度:25000.0Mbps\r\n送信:0 KB\r\n受信:0 KB"},
        {.name = "the tip at 10 Gbit/s received, the transmit speed unknown",
         .file = {{"Selected", "1"}},
         .start = {{&kEthernet}},
         .startWatched = 1,
         .ticks = {{{{&kEthernet, 0, 0, true, kUnknownSpeed, 10'000'000'000}}, 1, 0, 0}},
         .saved = Saved(1, &kEthernet),
         .tip = "Ethernet\r\n速度:10000.0Mbps\r\n送信:0 KB\r\n受信:0 KB"},
        {.name = "the tip at an unknown speed",
         .file = {{"Selected", "1"}},
         .start = {{&kEthernet}},
         .startWatched = 1,
         .ticks = {{{{&kEthernet, 0, 0, true, kUnknownSpeed}}, 1, 0, 0}},
         .saved = Saved(1, &kEthernet),
         .tip = "Ethernet\r\n速度:00.0Mbps\r\n送信:0 KB\r\n受信:0 KB"},

        // The dialog's list.
        {.name = "the list: no filter rows, none neither hardware nor connected, always the watched one",
         .file = Identity(5, kVpn),
         .start = {{&kLoopback}, {&kEthernet}, {&kFilter}, {&kWifi, 0, 0, false}, {&kVpn, 0, 0, false},
                   {&kMiniport, 0, 0, false}, {.nic = &kUsb, .versionTwo = false}, {&kLinux}},
         .startWatched = 5,
         .saved = Saved(5, &kVpn),
         .list = {{"自動（使用中の接続）", 0},
                  {"すべての接続", 0},
                  {"Loopback Pseudo-Interface 1 — Software Loopback Interface 1", 1},
                  {"Ethernet — Intel(R) Ethernet Connection I219-V", 2},
                  {"Wi-Fi — Intel(R) Wi-Fi 6 AX201 160MHz（未接続）", 4},
                  {"VPN — TAP-Windows Adapter V9（未接続）", 5},
                  {"USB 10/100/1000 LAN", 7},
                  {"eth0", 8}}},
    };
    return cases;
}

// Each log line's two figures.
std::vector<std::pair<std::uint64_t, std::uint64_t>> LoggedFigures(const std::string& log) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> figures;
    for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = log.substr(start, end - start);
        const std::size_t first = line.find(','), second = line.find(',', first + 1);
        figures.emplace_back(std::stoull(line.substr(first + 1, second - first - 1)), std::stoull(line.substr(second + 1)));
    }
    return figures;
}

TEST(WatchedInterface, FromTheFirstStartThroughAdapterAndRouteChangesAtAnyLinkSpeed) {
    for (const WatchCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        testing::FakeProfile profile;
        for (const auto& [key, value] : c.file) profile.Set("Interface", key, value);
        testing::FakeIfTable table;
        table.rows = Table(c.start);
        table.routeV4 = c.route;
        table.routeV6 = c.route6;
        for (int i = 0; i < c.failedReadsAtStart; ++i) table.failures.push_back(31);
        table.table2Fails = c.failedReadsAtStart > 0;
        TNetworkSpeed source(nullptr, table);
        const LoadedSettings loaded = LoadSettings(profile, "C:\\");
        MonitorSettings settings = loaded.Settings;
        MonitorState state = loaded.State;
        settings.LogEnabled = true;
        settings.LogInterval = c.logInterval;
        state.LogTicks = c.logInterval;
        testing::FakeLogFiles files;
        testing::FakeLogClock clock;
        TrafficLog log(files, clock);

        StartWatching(source, settings);
        EXPECT_EQ(source.InterfaceNo(), c.startWatched);

        std::vector<std::pair<std::uint64_t, std::uint64_t>> moved;
        TickOutputs out;
        SettingsDialogValues opened;
        for (std::size_t i = 0; i < c.ticks.size(); ++i) {
            if (c.chosenItem && i == c.chosenAfter) opened = FillSettingsDialog(settings, source);
            if (c.chosenItem && i == c.chosenAfter + c.openTicks) {
                if (*c.chosenItem >= 0) opened.InterfaceIndex = *c.chosenItem;
                const std::optional<WatchChoice> choice = ApplySettingsDialog(opened, settings, state);
                ASSERT_TRUE(choice);
                EXPECT_EQ(WatchChosen(source, settings, *choice), c.chosenPresent);
            }
            const TickCase& tick = c.ticks[i];
            table.rows = Table(tick.table);
            if (tick.route >= 0) {
                table.routeV4 = tick.route > 0 ? std::optional<std::uint32_t>(tick.route) : std::nullopt;
                table.routeV6.reset();
            }
            if (tick.readFails) table.failures = {31};
            table.table2Fails = tick.readFails;
            source.Sample();
            FollowWatchedInterface(source, settings);
            const CounterSample sample = ReadCounters(source);
            out = RunTick(state, settings, sample, {});
            if (out.LogDue) {
                log.WriteLogLine("C:\\vantor.log", LogLineCounts(state), {});
                LogLineWritten(state);
            }
            EXPECT_EQ(source.InterfaceNo(), tick.watched) << "tick " << i + 1;
            EXPECT_EQ(sample.OutPacket, tick.sent) << "tick " << i + 1;
            EXPECT_EQ(sample.InPacket, tick.received) << "tick " << i + 1;
            moved.emplace_back(tick.sent, tick.received);
        }
        // With a line every tick the first line only starts the count; every later one holds its tick's bytes.
        if (!moved.empty()) moved.front() = {0, 0};
        EXPECT_EQ(LoggedFigures(files.files["C:\\vantor.log"].bytes), c.logInterval == 0 ? moved : c.log);

        if (!c.tip.empty()) { EXPECT_EQ(out.TipHelp, c.tip); }
        if (!c.average.empty()) { EXPECT_EQ(out.Send.Average, c.average); }
        const SettingsDialogValues values = FillSettingsDialog(settings, source);
        std::vector<std::pair<std::string, int>> listed;
        for (const InterfaceItem& item : values.Interfaces) listed.emplace_back(item.Text, item.Choice.Interface.Position);
        if (!c.list.empty()) { EXPECT_EQ(listed, c.list); }
        if (values.InterfaceIndex >= 0 && settings.Watch == TWatchMode::wmInterface) {
            EXPECT_EQ(values.Interfaces[static_cast<std::size_t>(values.InterfaceIndex)].Choice.Interface.Position,
                      source.InterfaceNo())
                << "the dialog preselects the watched interface";
        }

        profile.calls.clear();
        SaveSettings(profile, SettingsForExit(settings, source), {});
        std::vector<std::string> saved;
        for (const std::string& call : profile.calls)
            if (call.starts_with("write Interface/") && !call.starts_with("write Interface/flg"))
                saved.push_back(call.substr(std::string_view("write Interface/").size()));
        EXPECT_EQ(saved, c.saved);
    }
}

TEST(WatchedInterface, ASampleReadsTheVersionTwoTableOnceThePositionsOnlyWhenTheInterfacesChange) {
    for (const TWatchMode mode : {TWatchMode::wmInterface, TWatchMode::wmAll, TWatchMode::wmRoute}) {
        testing::FakeIfTable table;
        table.rows = Table({{&kLoopback}, {&kEthernet}, {&kWifi}});
        table.routeV4 = kEthernet.index;
        TNetworkSpeed source(nullptr, table);
        source.Watch(mode, {.Position = 2});
        source.Sample();
        const auto sampleCalls = [&](const std::vector<R>& rows) {
            table.rows = Table(rows);
            const std::size_t before = table.calls.size();
            table.table2Calls = table.routeCalls = 0;
            source.Sample();
            EXPECT_EQ(table.table2Calls, 1) << "one GetIfTable2";
            EXPECT_EQ(table.routeCalls, mode == TWatchMode::wmRoute ? 1 : 0) << "one route lookup while following it";
            return table.calls.size() - before;
        };
        EXPECT_EQ(sampleCalls({{&kLoopback}, {&kEthernet, 5, 5}, {&kWifi}}), 0u) << "the same interfaces";
        EXPECT_EQ(sampleCalls({{&kLoopback}, {&kUsb}, {&kEthernet, 6, 6}, {&kWifi}}), 2u) << "one came: grown, read again";
        EXPECT_EQ(source.Interfaces()[2].Position, 3) << "Ethernet's new place";
        EXPECT_EQ(sampleCalls({{&kLoopback}, {&kUsb}, {&kEthernet, 7, 7}, {&kWifi}}), 0u);
    }
}

}  // namespace
}  // namespace vantor
