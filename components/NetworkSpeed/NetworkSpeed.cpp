#include "components/NetworkSpeed/NetworkSpeed.h"

#include <algorithm>

#include "components/NetworkSpeed/IfTable.h"

namespace vantor {

using namespace iftable;

namespace {

bool SizeAcceptable(std::uint32_t size) { return size >= 1 && size <= kMaxTableBytes; }

// Difference of two readings of a wrapping 32-bit counter; a counter that went backwards gives 0.
std::uint32_t CounterDelta(std::uint32_t current, std::uint32_t previous) {
    const auto delta = static_cast<std::int32_t>(current - previous);
    return delta < 0 ? 0 : static_cast<std::uint32_t>(delta);
}

}  // namespace

TNetworkSpeed::TNetworkSpeed(TComponent* owner, IfTableReader& reader) : TComponent(owner), reader_(reader) {}

std::uint32_t TNetworkSpeed::ReadTable() {
    std::fill(table_.begin(), table_.end(), std::byte{0});
    auto size = static_cast<std::uint32_t>(table_.size());
    std::uint32_t result = reader_.GetIfTable(table_.data(), &size, true);
    if (result == kErrorInsufficientBuffer && size > table_.size() && SizeAcceptable(size)) {
        table_.assign(size, std::byte{0});
        result = reader_.GetIfTable(table_.data(), &size, true);
    }
    return result;
}

bool TNetworkSpeed::RefreshTable() {
    table_.clear();
    table_.shrink_to_fit();
    selectedRow_ = 0;
    lastResult_ = 0;
    previousIn_ = 0;
    previousOut_ = 0;
    selectedRowMissing_ = false;

    std::uint32_t needed = 0;
    lastResult_ = reader_.GetIfTable(nullptr, &needed, true);
    if (!SizeAcceptable(needed)) return false;

    selectedRow_ = -1;
    table_.assign(needed, std::byte{0});
    lastResult_ = ReadTable();

    std::size_t rows = 0;
    if (lastResult_ == kNoError) {
        rows = RowCount(table_);
        if (interfaceNo_ > static_cast<long long>(rows) || interfaceNo_ < 1) interfaceNo_ = 1;
        if (rows == 0) {
            selectedRow_ = 0;
        } else {
            selectedRow_ = interfaceNo_;
            const std::size_t row = RowOffset(static_cast<std::size_t>(selectedRow_));
            adapterName_ = reader_.DecodeDescription(DescriptionBytes(table_, static_cast<std::size_t>(selectedRow_)));
            mtu_ = static_cast<int>(ReadU32(table_, row + kMtuOffset));
            speed_ = static_cast<std::int32_t>(ReadU32(table_, row + kSpeedOffset));
            iType_ = static_cast<int>(ReadU32(table_, row + kTypeOffset));
            SampleCounters(lastInDelta_, lastOutDelta_);
            totalInPacket_ = previousIn_;
            totalOutPacket_ = previousOut_;
        }
    } else {
        selectedRow_ = 0;
    }

    adapterTable_.clear();
    for (std::size_t row = 1; row <= rows; ++row)
        adapterTable_.push_back(reader_.DecodeDescription(DescriptionBytes(table_, row)));
    adapterCount_ = static_cast<int>(rows);
    return true;
}

void TNetworkSpeed::Sample() { SampleCounters(lastInDelta_, lastOutDelta_); }

void TNetworkSpeed::SampleCounters(std::uint32_t& inDelta, std::uint32_t& outDelta) {
    if (selectedRow_ <= 0) return;
    lastResult_ = ReadTable();
    if (lastResult_ != kNoError) return;

    const auto position = static_cast<std::size_t>(selectedRow_);
    const bool present = position <= RowCount(table_);
    const std::size_t row = RowOffset(position);
    const std::uint32_t received = present ? ReadU32(table_, row + kInOctetsOffset) : 0;
    const std::uint32_t sent = present ? ReadU32(table_, row + kOutOctetsOffset) : 0;

    if (!present || selectedRowMissing_) {
        // A row that vanished counts nothing; one that comes back starts from its current counters
        // instead of reporting its whole lifetime as one sample.
        outDelta = 0;
        inDelta = 0;
    } else {
        outDelta = CounterDelta(sent, previousOut_);
        inDelta = CounterDelta(received, previousIn_);
    }
    selectedRowMissing_ = !present;

    outPacket_ = outDelta;
    inPacket_ = inDelta;
    previousIn_ = received;
    previousOut_ = sent;
    totalInPacket_ = received;
    totalOutPacket_ = sent;
}

}  // namespace vantor
