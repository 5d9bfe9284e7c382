#pragma once
// TNetworkSpeed: reads the system's interface table, watches one interface of it, and turns that
// interface's cumulative octet counters into per-sample differences. The interface is chosen by its
// 1-based position in the table (which the settings file stores), by its identity, or as the one that
// carries the default route; once chosen it is followed when rows before it come, go or reorder.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/NetworkSpeed/InterfaceIdentity.h"
#include "framework/Component.h"

namespace vantor {

// One interface as the version-2 call GetIfEntry2 describes it. Its status is not numbered as the
// interface table's rows number theirs: here it is read into flags.
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

// The seam to the system's interface table and the version-2 interface calls.
class IfTableReader {
public:
    virtual ~IfTableReader() = default;
    // Same contract as GetIfTable(table, size, order): with a buffer too small (or none) it stores the
    // needed size and answers kErrorInsufficientBuffer.
    virtual std::uint32_t GetIfTable(std::byte* buffer, std::uint32_t* size, bool order) = 0;
    // Turns a row's description bytes into UTF-8 text.
    virtual std::string DecodeDescription(const std::string& bytes) const { return bytes; }
    // GetIfEntry2 for the interface with this index, or with this LUID (which the system answers from
    // fewer lookups); nothing where the call fails.
    virtual std::optional<InterfaceEntry> GetIfEntry2(std::uint32_t interfaceIndex) = 0;
    virtual std::optional<InterfaceEntry> GetIfEntry2ForLuid(std::uint64_t luid) = 0;
    // The index of the interface that the route toward a public address leaves by; nothing is sent.
    virtual std::optional<std::uint32_t> BestInterfaceToward(TAddressFamily family) = 0;
};

// The reader bound to the operating system (defined by the platform layer).
IfTableReader& DefaultIfTableReader();

// One row of the interface table as the last RefreshTable read it.
struct InterfaceRow {
    std::uint32_t Index = 0;  // the interface index, which GetIfEntry2 takes
    std::uint32_t Type = 0;
    std::uint32_t OperStatus = 0;  // the table's own numbering
    std::uint32_t InOctets = 0;
    std::uint32_t OutOctets = 0;
    std::string Description;              // as AdapterTable lists it
    std::optional<InterfaceEntry> Entry;  // nothing where GetIfEntry2 failed for the row

    InterfaceIdentity Identity() const;
    bool Up() const;
};

class TNetworkSpeed : public TComponent {
public:
    explicit TNetworkSpeed(TComponent* owner, IfTableReader& reader = DefaultIfTableReader());

    int InterfaceNo() const noexcept { return interfaceNo_; }
    void SetInterfaceNo(int value) noexcept { interfaceNo_ = value; }
    // The interface the next RefreshTable looks for: when the row at InterfaceNo does not carry it but
    // another row does, that row is watched and InterfaceNo becomes its position. Where no row carries the
    // interface that is followed already, it goes on being followed while away.
    void SetInterfaceIdentity(std::optional<InterfaceIdentity> identity) { wantedIdentity_ = std::move(identity); }

    // Link speed in bit/s: the larger of the transmit and receive speeds, 0 when unknown.
    std::uint64_t Speed() const noexcept { return speed_; }
    const std::string& AdapterName() const noexcept { return adapterName_; }
    int Mtu() const noexcept { return mtu_; }
    std::uint64_t OutPacket() const noexcept { return outPacket_; }
    std::uint64_t InPacket() const noexcept { return inPacket_; }
    // The interface's counters: 64-bit where the system has them, else its 32-bit counters carried on
    // by each sample's difference, so that they never wrap.
    std::uint64_t TotalOutPacket() const noexcept { return totalOutPacket_; }
    std::uint64_t TotalInPacket() const noexcept { return totalInPacket_; }
    int IType() const noexcept { return iType_; }
    const std::vector<std::string>& AdapterTable() const noexcept { return adapterTable_; }
    int AdapterCount() const noexcept { return adapterCount_; }
    // Every row of the table at the last RefreshTable (or since the watched interface was found again
    // at another position), in table order.
    const std::vector<InterfaceRow>& Interfaces() const noexcept { return interfaces_; }
    // The identity of the watched interface; nothing when no row is watched.
    const std::optional<InterfaceIdentity>& WatchedIdentity() const noexcept { return watchedIdentity_; }
    // The last RefreshTable could not find what it was asked for (the identity, or a position in the
    // table) and watches the position, or row 1, instead.
    bool WatchIsFallback() const noexcept { return fallback_; }
    // The totals of the last Sample do not go on from the ones before: another interface is watched, or
    // the watched one went away or came back.
    bool CountersRestarted() const noexcept { return countersRestarted_; }

    // Re-reads the table, selects the row for the identity or InterfaceNo (row 1 when out of range) and
    // takes the baseline. False only when the system reports an impossible table size.
    bool RefreshTable();
    // Re-reads the table and watches the interface that carries the default route; where there is none,
    // the one that is up, not loopback, with the largest counters; failing that, row 1.
    bool RefreshTableOnDefaultInterface();
    // One sample of the watched interface; a failed read leaves every property as it was.
    void Sample();

private:
    struct Located {
        int position;
        std::uint32_t index;
        std::optional<InterfaceEntry> entry;
    };

    bool Refresh(bool onDefaultInterface);
    void SampleCounters(std::uint64_t& inDelta, std::uint64_t& outDelta);
    // One GetIfTable call into the table buffer; a table that has grown since is re-read once into
    // a larger buffer.
    std::uint32_t ReadTable();
    void ReadInterfaces();
    void TakeRowFields(int position);
    int PositionOfIndex(std::uint32_t index) const;
    int WatchedPositionOf(std::uint32_t index) const;
    int PositionOfIdentity(const InterfaceIdentity& wanted, int preferred) const;
    int DefaultPosition();
    std::optional<Located> LocateWatched();

    IfTableReader& reader_;

    int interfaceNo_ = 0;
    std::optional<InterfaceIdentity> wantedIdentity_;
    std::uint64_t speed_ = 0;
    std::string adapterName_;
    int mtu_ = 0;
    std::uint64_t outPacket_ = 0;
    std::uint64_t inPacket_ = 0;
    std::uint64_t totalOutPacket_ = 0;
    std::uint64_t totalInPacket_ = 0;
    int iType_ = 0;
    std::vector<std::string> adapterTable_;
    int adapterCount_ = 0;
    std::vector<InterfaceRow> interfaces_;
    std::optional<InterfaceIdentity> watchedIdentity_;
    bool fallback_ = false;

    std::vector<std::byte> table_;
    int selectedRow_ = 0;  // 1-based; 0 or less: none
    std::uint32_t lastResult_ = 0;
    // The watched interface: its index, and its LUID once the system has told it.
    std::uint32_t watchedIndex_ = 0;
    std::optional<std::uint64_t> watchedLuid_;
    bool watchedMissing_ = false;  // not in the table at the last sample
    bool baselinePending_ = true;  // the next good read starts the differences afresh
    bool restartPending_ = false;
    bool countersRestarted_ = false;
    // The counters at the last sample: the table's 32-bit ones, and the 64-bit ones where the system gave them.
    std::uint32_t previousIn_ = 0;
    std::uint32_t previousOut_ = 0;
    bool previous64Known_ = false;
    std::uint64_t previousIn64_ = 0;
    std::uint64_t previousOut64_ = 0;
    std::uint64_t lastInDelta_ = 0;
    std::uint64_t lastOutDelta_ = 0;
};

}  // namespace vantor
