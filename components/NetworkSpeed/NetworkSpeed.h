#pragma once
// TNetworkSpeed: reads the system's interface table once per sample and turns the cumulative octet
// counters of what it watches into per-sample differences. It watches one interface (chosen by its
// identity or its 1-based position in the table, which the settings file stores, and followed wherever
// it moves), the interface the default route leaves by (checked at every sample), or the sum of every
// connection.
//
// Which sample restarts the counts: the one that takes a baseline. That is the first sample after a
// watch was set, one that measures other interfaces than the sample before it (the route moved, a
// connection joined or left, the watched interface went or came back) and one where a counter went
// down (a driver reset). Such a sample shows 0, and the next counts from there; no lifetime counter is
// ever counted as traffic.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/NetworkSpeed/InterfaceIdentity.h"
#include "components/NetworkSpeed/WatchMode.h"
#include "framework/Component.h"

namespace vantor {

// One interface as the version-2 interface table describes it. Its status is not numbered as the
// version-1 table's rows number theirs: here it is read into flags.
struct InterfaceEntry {
    std::uint32_t Index = 0;  // the interface index it has now
    std::uint64_t Luid = 0;
    std::string Guid;         // as in InterfaceIdentity; empty when the system has none
    std::string Alias;        // the friendly name ("Wi-Fi"), UTF-8
    std::string Description;  // UTF-8
    std::uint64_t InOctets = 0;
    std::uint64_t OutOctets = 0;
    std::uint64_t TransmitLinkSpeed = 0;  // bit/s; all bits set: unknown
    std::uint64_t ReceiveLinkSpeed = 0;
    bool Up = false;                 // operationally up
    bool Connected = false;          // the medium is connected
    bool FilterInterface = false;    // a filter driver's row over an adapter
    bool HardwareInterface = false;

    bool operator==(const InterfaceEntry&) const = default;
};

enum class TAddressFamily { afIPv4, afIPv6 };

// The seam to the system's interface tables and routes.
class IfTableReader {
public:
    virtual ~IfTableReader() = default;
    // Same contract as GetIfTable(table, size, order): with a buffer too small (or none) it stores the
    // needed size and answers kErrorInsufficientBuffer.
    virtual std::uint32_t GetIfTable(std::byte* buffer, std::uint32_t* size, bool order) = 0;
    // Turns a row's description bytes into UTF-8 text.
    virtual std::string DecodeDescription(const std::string& bytes) const { return bytes; }
    // Every interface as the version-2 table (GetIfTable2) has it; nothing where the call fails.
    virtual std::optional<std::vector<InterfaceEntry>> GetIfTable2() = 0;
    // The index of the interface that the route toward a public address leaves by; nothing is sent.
    virtual std::optional<std::uint32_t> BestInterfaceToward(TAddressFamily family) = 0;
};

// The reader bound to the operating system (defined by the platform layer).
IfTableReader& DefaultIfTableReader();

// One row of the interface table as a sample read it.
struct InterfaceRow {
    int Position = 0;         // 1-based place in the table, which "Selected" stores
    std::uint32_t Index = 0;  // the interface index
    std::uint32_t Type = 0;
    std::uint32_t Mtu = 0;
    std::uint32_t Speed = 0;       // the table's 32-bit link speed
    std::uint32_t OperStatus = 0;  // the table's own numbering
    std::uint32_t InOctets = 0;
    std::uint32_t OutOctets = 0;
    std::string Description;              // as AdapterTable lists it
    std::optional<InterfaceEntry> Entry;  // nothing where the version-2 table does not have the row

    InterfaceIdentity Identity() const;
    bool Up() const;
    // The friendly name where the system gives one, else the description.
    std::string Name() const;
    // By the identity's GUID where it has one, else by its description.
    bool Carries(const InterfaceIdentity& identity) const;
    // Counted in "all connections": hardware, not a filter driver's row, connected. Loopback, tunnels,
    // VPN and virtual adapters are not hardware, so no byte is counted twice.
    bool CountsInAllConnections() const;
};

// The interface to watch in wmInterface mode, as the settings file or a list the user saw names it.
struct InterfaceChoice {
    std::optional<InterfaceIdentity> Identity;  // found by its GUID, else by its description
    int Position = 0;                           // 1-based
    // Where no row carries the identity: true, the row at Position (row 1 when that is out of range)
    // is watched instead, as the settings file always asked; false, the interface is waited for.
    bool OrPosition = true;

    bool operator==(const InterfaceChoice&) const = default;
};

class TNetworkSpeed : public TComponent {
public:
    explicit TNetworkSpeed(TComponent* owner, IfTableReader& reader = DefaultIfTableReader());

    // What the next Sample resolves against the table it reads and watches from then on; that sample
    // takes the baseline. An interface choice that no row of a readable table resolves (an empty table)
    // is tried again at the sample after.
    void Watch(TWatchMode mode, InterfaceChoice choice = {});
    TWatchMode WatchMode() const noexcept { return mode_; }

    // Reads the table once (the version-2 table, and the table of positions where the interfaces
    // changed): the snapshot the dialog lists until the next sample, and the bytes of what is watched
    // since the previous sample. A failed read shows 0, keeps the baseline and the totals, and the next
    // sample reads again.
    void Sample();

    // Every row of the table at the last sample that read it, in table order.
    const std::vector<InterfaceRow>& Interfaces() const noexcept { return rows_; }
    // The rows' descriptions, in table order.
    const std::vector<std::string>& AdapterTable() const noexcept { return adapterTable_; }
    int AdapterCount() const noexcept { return static_cast<int>(rows_.size()); }
    // The row measured at the last sample in wmInterface and wmRoute modes; nothing in wmAll mode, while
    // the interface is away, without a route, or before the first sample.
    const InterfaceRow* WatchedRow() const;
    // wmInterface: the position of the followed interface (where it was last seen while it is away);
    // wmRoute: the route's row, 0 without one; wmAll: 0.
    int InterfaceNo() const noexcept;
    // The identity of the followed interface (wmInterface), or of the route's interface (wmRoute).
    std::optional<InterfaceIdentity> WatchedIdentity() const;
    // The followed interface as it was last seen, also while it is away (wmInterface).
    const InterfaceRow* FollowedRow() const noexcept;
    // The followed interface's friendly name, also while it is away (wmInterface); the route's
    // interface's (wmRoute); empty otherwise.
    std::string WatchedName() const;
    // The followed interface was not the one asked for: the settings file's identity was found nowhere
    // and its position was taken instead, or that position lay beyond the table and row 1 was taken.
    bool WatchIsFallback() const noexcept { return followed_.fallback; }
    // The last sample took a new baseline: its differences are 0 and its totals do not go on from the
    // sample before.
    bool CountersRestarted() const noexcept { return countersRestarted_; }

    // Link speed in bit/s: the larger of the transmit and receive speeds, summed over all connections;
    // 0 when unknown.
    std::uint64_t Speed() const noexcept { return speed_; }
    const std::string& AdapterName() const noexcept { return adapterName_; }
    int Mtu() const noexcept { return mtu_; }
    int IType() const noexcept { return iType_; }
    std::uint64_t OutPacket() const noexcept { return outPacket_; }
    std::uint64_t InPacket() const noexcept { return inPacket_; }
    // The counters of what is watched, summed over all connections: 64-bit where the system has them,
    // else the table's 32-bit counters carried on by each sample's difference, so that they never wrap.
    std::uint64_t TotalOutPacket() const noexcept { return totalOutPacket_; }
    std::uint64_t TotalInPacket() const noexcept { return totalInPacket_; }

private:
    // One measured interface at one sample.
    struct MemberCounters {
        std::uint64_t luid = 0;  // 0: the system did not tell
        std::uint32_t index = 0;
        std::uint32_t in32 = 0, out32 = 0;
        std::optional<std::uint64_t> in64, out64;
        std::uint64_t totalIn = 0, totalOut = 0;

        // A LUID that the system told for one of the two samples only does not tell them apart.
        bool SameInterface(const MemberCounters& other) const {
            return index == other.index && (luid == 0 || other.luid == 0 || luid == other.luid);
        }
    };
    // The interface wmInterface mode follows: how it was last found, and where.
    struct Followed {
        std::optional<InterfaceIdentity> identity;
        std::optional<std::uint64_t> luid;
        std::optional<std::uint32_t> index;
        int position = 0;
        std::optional<InterfaceRow> lastSeen;
        bool fallback = false;
    };

    [[nodiscard]] bool ReadTable();
    void ReadRows(const std::optional<std::vector<InterfaceEntry>>& entries);
    void TakeEntries(const std::optional<std::vector<InterfaceEntry>>& entries);
    // The table itself must be read: never read yet, or the version-2 table is missing, empty or lists
    // other interfaces than the table's rows.
    bool TableNeeded(const std::optional<std::vector<InterfaceEntry>>& entries) const;
    bool Resolve(const InterfaceChoice& choice);
    const InterfaceRow* FindFollowed() const;
    const InterfaceRow* FindRouteRow();
    std::vector<const InterfaceRow*> Measured();
    void Count(const std::vector<const InterfaceRow*>& measured);
    void TakeRowFields(const InterfaceRow* row);

    IfTableReader& reader_;

    TWatchMode mode_ = TWatchMode::wmInterface;
    std::optional<InterfaceChoice> pendingChoice_;  // resolved by the next sample that reads a table
    bool baselinePending_ = true;
    Followed followed_;
    std::optional<std::size_t> watchedRow_;  // into rows_

    std::vector<std::byte> table_;
    bool tableRead_ = false;
    std::vector<InterfaceRow> rows_;
    std::vector<std::string> adapterTable_;
    // The measured interfaces' counters at the previous sample; nothing: no baseline.
    std::optional<std::vector<MemberCounters>> baseline_;
    bool countersRestarted_ = false;

    std::uint64_t speed_ = 0;
    std::string adapterName_;
    int mtu_ = 0;
    int iType_ = 0;
    std::uint64_t outPacket_ = 0;
    std::uint64_t inPacket_ = 0;
    std::uint64_t totalOutPacket_ = 0;
    std::uint64_t totalInPacket_ = 0;
};

}  // namespace vantor
