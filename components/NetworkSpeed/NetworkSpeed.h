#pragma once
// TNetworkSpeed: reads the system's interface table, watches one row of it by its 1-based position,
// and turns that row's cumulative octet counters into per-sample differences.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Component.h"

namespace vantor {

// The seam to the system's interface table. Same contract as GetIfTable(table, size, order): with a
// buffer too small (or none) it stores the needed size and answers kErrorInsufficientBuffer.
class IfTableReader {
public:
    virtual ~IfTableReader() = default;
    virtual std::uint32_t GetIfTable(std::byte* buffer, std::uint32_t* size, bool order) = 0;
    // Turns a row's description bytes into UTF-8 text.
    virtual std::string DecodeDescription(const std::string& bytes) const { return bytes; }
};

// The reader bound to the operating system (defined by the platform layer).
IfTableReader& DefaultIfTableReader();

class TNetworkSpeed : public TComponent {
public:
    explicit TNetworkSpeed(TComponent* owner, IfTableReader& reader = DefaultIfTableReader());

    int InterfaceNo() const noexcept { return interfaceNo_; }
    void SetInterfaceNo(int value) noexcept { interfaceNo_ = value; }

    std::int32_t Speed() const noexcept { return speed_; }
    const std::string& AdapterName() const noexcept { return adapterName_; }
    int Mtu() const noexcept { return mtu_; }
    std::uint32_t OutPacket() const noexcept { return outPacket_; }
    std::uint32_t InPacket() const noexcept { return inPacket_; }
    std::uint32_t TotalOutPacket() const noexcept { return totalOutPacket_; }
    std::uint32_t TotalInPacket() const noexcept { return totalInPacket_; }
    int IType() const noexcept { return iType_; }
    const std::vector<std::string>& AdapterTable() const noexcept { return adapterTable_; }
    int AdapterCount() const noexcept { return adapterCount_; }

    // Re-reads the table, selects the row for InterfaceNo (row 1 when out of range) and takes the
    // baseline sample. False only when the system reports an impossible table size.
    bool RefreshTable();
    // One sample of the selected row; a failed read leaves every property as it was.
    void Sample();

private:
    void SampleCounters(std::uint32_t& inDelta, std::uint32_t& outDelta);
    // One GetIfTable call into the table buffer; a table that has grown since is re-read once into
    // a larger buffer.
    std::uint32_t ReadTable();

    IfTableReader& reader_;

    int interfaceNo_ = 0;
    std::int32_t speed_ = 0;
    std::string adapterName_;
    int mtu_ = 0;
    std::uint32_t outPacket_ = 0;
    std::uint32_t inPacket_ = 0;
    std::uint32_t totalOutPacket_ = 0;
    std::uint32_t totalInPacket_ = 0;
    int iType_ = 0;
    std::vector<std::string> adapterTable_;
    int adapterCount_ = 0;

    std::vector<std::byte> table_;
    int selectedRow_ = 0;  // 1-based; 0 or less: none
    std::uint32_t lastResult_ = 0;
    std::uint32_t previousIn_ = 0;
    std::uint32_t previousOut_ = 0;
    std::uint32_t lastInDelta_ = 0;
    std::uint32_t lastOutDelta_ = 0;
    bool selectedRowMissing_ = false;  // the selected position was beyond the table at the last sample
};

}  // namespace vantor
