#include "components/NetworkSpeed/NetworkSpeed.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "components/NetworkSpeed/IfTable.h"

namespace vantor {

using namespace iftable;

namespace {

constexpr std::uint64_t kAllBits = std::numeric_limits<std::uint64_t>::max();

bool SizeAcceptable(std::uint32_t size) { return size >= 1 && size <= kMaxTableBytes; }

std::uint64_t LinkSpeed(const InterfaceEntry& entry) {
    const auto known = [](std::uint64_t speed) { return speed == kAllBits ? 0 : speed; };
    return std::max(known(entry.TransmitLinkSpeed), known(entry.ReceiveLinkSpeed));
}

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) { return a > kAllBits - b ? kAllBits : a + b; }

// One direction's difference and total from the table's wrapping 32-bit counter: forward as long as the
// difference reads as a positive signed number (so a wrap counts right), else the counter went backwards
// (the interface was reset), which counts nothing and starts the total again from the counter.
struct Step32 {
    std::uint64_t delta;
    std::uint64_t total;
};
Step32 CounterStep(std::uint32_t current, std::uint32_t previous, std::uint64_t total) {
    const auto forward = static_cast<std::int32_t>(current - previous);
    if (forward < 0) return {0, current};
    return {static_cast<std::uint64_t>(forward), total + static_cast<std::uint64_t>(forward)};
}

// A 64-bit counter does not wrap: one that went backwards was reset.
std::uint64_t CounterDelta64(std::uint64_t current, std::uint64_t previous) {
    return current >= previous ? current - previous : 0;
}

}  // namespace

InterfaceIdentity InterfaceRow::Identity() const {
    if (Entry) return {Entry->Guid, Entry->Description};
    return {{}, Description};
}

bool InterfaceRow::Up() const {
    if (Entry) return Entry->Up;
    return OperStatus == kOperStatusConnected || OperStatus == kOperStatusOperational;
}

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

bool TNetworkSpeed::RefreshTable() { return Refresh(false); }

bool TNetworkSpeed::RefreshTableOnDefaultInterface() { return Refresh(true); }

bool TNetworkSpeed::Refresh(bool onDefaultInterface) {
    const bool wasFollowing = selectedRow_ > 0;
    const bool wasWatching = wasFollowing && !watchedMissing_;
    const std::uint32_t indexBefore = watchedIndex_;
    const std::optional<std::uint64_t> luidBefore = watchedLuid_;
    const std::optional<InterfaceIdentity> identityBefore = watchedIdentity_;
    const std::optional<InterfaceIdentity> wanted = std::exchange(wantedIdentity_, std::nullopt);

    table_.clear();
    table_.shrink_to_fit();
    selectedRow_ = 0;
    watchedIdentity_.reset();
    fallback_ = true;
    lastResult_ = 0;

    std::uint32_t needed = 0;
    lastResult_ = reader_.GetIfTable(nullptr, &needed, true);
    if (!SizeAcceptable(needed)) return false;

    selectedRow_ = -1;
    table_.assign(needed, std::byte{0});
    lastResult_ = ReadTable();
    interfaces_.clear();
    adapterTable_.clear();
    adapterCount_ = 0;
    if (lastResult_ == kNoError) {
        ReadInterfaces();
        const int rows = adapterCount_;
        const bool inRange = interfaceNo_ >= 1 && interfaceNo_ <= rows;
        int position = inRange ? interfaceNo_ : 1;
        fallback_ = !inRange;
        if (onDefaultInterface) {
            position = DefaultPosition();
            fallback_ = false;
        } else if (wanted) {
            const int found = PositionOfIdentity(*wanted, inRange ? interfaceNo_ : 0);
            if (found == 0 && wasFollowing && wanted == identityBefore) {
                // Asked again for the interface it follows while that one is away: it goes on waiting for it.
                selectedRow_ = std::max(interfaceNo_, 1);
                watchedIdentity_ = identityBefore;
                if (!watchedMissing_) restartPending_ = true;
                watchedMissing_ = true;
                baselinePending_ = true;
                fallback_ = false;
                return true;
            }
            fallback_ = found == 0;
            if (found != 0) position = found;
        }
        interfaceNo_ = position;
        if (rows > 0) {
            selectedRow_ = position;
            TakeRowFields(position);
            const InterfaceRow& row = interfaces_[static_cast<std::size_t>(position - 1)];
            const std::optional<std::uint64_t> luid =
                row.Entry ? std::optional<std::uint64_t>(row.Entry->Luid) : std::nullopt;
            // Refreshed onto the interface it watched already, the counters go on; another one starts afresh.
            const bool sameInterface = wasWatching && row.Index == indexBefore && (!luid || !luidBefore || luid == luidBefore);
            if (!sameInterface) {
                baselinePending_ = true;
                restartPending_ = true;
            }
            watchedIdentity_ = row.Identity();
            watchedIndex_ = row.Index;
            watchedLuid_ = luid;
            watchedMissing_ = false;
            SampleCounters(lastInDelta_, lastOutDelta_);
        }
    }
    if (selectedRow_ < 0) selectedRow_ = 0;
    return true;
}

void TNetworkSpeed::ReadInterfaces() {
    const std::size_t rows = RowCount(table_);
    interfaces_.clear();
    interfaces_.reserve(rows);
    adapterTable_.clear();
    for (std::size_t position = 1; position <= rows; ++position) {
        const std::size_t at = RowOffset(position);
        InterfaceRow row;
        row.Index = ReadU32(table_, at + kIndexOffset);
        row.Type = ReadU32(table_, at + kTypeOffset);
        row.OperStatus = ReadU32(table_, at + kOperStatusOffset);
        row.InOctets = ReadU32(table_, at + kInOctetsOffset);
        row.OutOctets = ReadU32(table_, at + kOutOctetsOffset);
        row.Description = reader_.DecodeDescription(DescriptionBytes(table_, position));
        row.Entry = reader_.GetIfEntry2(row.Index);
        adapterTable_.push_back(row.Description);
        interfaces_.push_back(std::move(row));
    }
    adapterCount_ = static_cast<int>(rows);
}

void TNetworkSpeed::TakeRowFields(int position) {
    const InterfaceRow& row = interfaces_[static_cast<std::size_t>(position - 1)];
    const std::size_t at = RowOffset(static_cast<std::size_t>(position));
    adapterName_ = row.Description;
    mtu_ = static_cast<int>(ReadU32(table_, at + kMtuOffset));
    speed_ = row.Entry ? LinkSpeed(*row.Entry) : ReadU32(table_, at + kSpeedOffset);
    iType_ = static_cast<int>(row.Type);
}

int TNetworkSpeed::PositionOfIndex(std::uint32_t index) const {
    const std::size_t rows = RowCount(table_);
    for (std::size_t position = 1; position <= rows; ++position)
        if (ReadU32(table_, RowOffset(position) + kIndexOffset) == index) return static_cast<int>(position);
    return 0;
}

int TNetworkSpeed::PositionOfIdentity(const InterfaceIdentity& wanted, int preferred) const {
    const auto find = [&](auto carries) {
        if (preferred > 0 && carries(interfaces_[static_cast<std::size_t>(preferred - 1)])) return preferred;
        for (std::size_t i = 0; i < interfaces_.size(); ++i)
            if (carries(interfaces_[i])) return static_cast<int>(i + 1);
        return 0;
    };
    // The GUID decides; the description only where no row carries the GUID (a description that the
    // settings file's code page could not hold matches nothing, which leaves the GUID alone).
    const int byGuid = find([&](const InterfaceRow& row) {
        return !wanted.Guid.empty() && row.Entry && row.Entry->Guid == wanted.Guid;
    });
    if (byGuid != 0) return byGuid;
    return find([&](const InterfaceRow& row) {
        return !wanted.Description.empty() && row.Identity().Description == wanted.Description;
    });
}

int TNetworkSpeed::DefaultPosition() {
    for (const TAddressFamily family : {TAddressFamily::afIPv4, TAddressFamily::afIPv6})
        if (const std::optional<std::uint32_t> index = reader_.BestInterfaceToward(family))
            if (const int position = PositionOfIndex(*index)) return position;
    int busiest = 0;
    std::uint64_t most = 0;
    for (std::size_t i = 0; i < interfaces_.size(); ++i) {
        const InterfaceRow& row = interfaces_[i];
        if (!row.Up() || row.Type == kSoftwareLoopbackType || (row.Entry && row.Entry->FilterInterface)) continue;
        const std::uint64_t octets = row.Entry ? SaturatingSum(row.Entry->InOctets, row.Entry->OutOctets)
                                               : std::uint64_t{row.InOctets} + row.OutOctets;
        if (busiest == 0 || octets > most) {
            busiest = static_cast<int>(i + 1);
            most = octets;
        }
    }
    return busiest != 0 ? busiest : 1;
}

int TNetworkSpeed::WatchedPositionOf(std::uint32_t index) const {
    const auto rows = static_cast<int>(RowCount(table_));
    if (selectedRow_ <= rows && ReadU32(table_, RowOffset(static_cast<std::size_t>(selectedRow_)) + kIndexOffset) == index)
        return selectedRow_;
    return PositionOfIndex(index);
}

std::optional<TNetworkSpeed::Located> TNetworkSpeed::LocateWatched() {
    // The LUID names the interface wherever it is, under whatever index it has now.
    if (watchedLuid_) {
        if (std::optional<InterfaceEntry> entry = reader_.GetIfEntry2ForLuid(*watchedLuid_)) {
            const int position = WatchedPositionOf(entry->Index);
            if (position == 0) return std::nullopt;
            const std::uint32_t index = entry->Index;
            return Located{position, index, std::move(entry)};
        }
    }
    // Without a LUID, or without an answer for it, the index is all there is to go by.
    const int position = WatchedPositionOf(watchedIndex_);
    if (position == 0) return std::nullopt;
    std::optional<InterfaceEntry> entry = reader_.GetIfEntry2(watchedIndex_);
    if (entry && watchedLuid_ && entry->Luid != *watchedLuid_) return std::nullopt;
    return Located{position, watchedIndex_, std::move(entry)};
}

void TNetworkSpeed::Sample() {
    SampleCounters(lastInDelta_, lastOutDelta_);
    countersRestarted_ = std::exchange(restartPending_, false);
}

void TNetworkSpeed::SampleCounters(std::uint64_t& inDelta, std::uint64_t& outDelta) {
    if (selectedRow_ <= 0) return;
    lastResult_ = ReadTable();
    if (lastResult_ != kNoError) return;

    const std::optional<Located> found = LocateWatched();
    if (!found) {
        // Gone: nothing counts until it comes back, and then only what moves after its return.
        if (!watchedMissing_) restartPending_ = true;
        watchedMissing_ = true;
        baselinePending_ = true;
        inDelta = outDelta = 0;
        inPacket_ = outPacket_ = 0;
        totalInPacket_ = totalOutPacket_ = 0;
        return;
    }
    if (watchedMissing_ || found->position != selectedRow_ || found->index != watchedIndex_) {
        // Found again, at another position or back after it was gone: its counters are a new start.
        restartPending_ = true;
        baselinePending_ = true;
        watchedMissing_ = false;
        watchedIndex_ = found->index;
        if (found->position != selectedRow_) {
            selectedRow_ = interfaceNo_ = found->position;
            ReadInterfaces();
            TakeRowFields(selectedRow_);
        }
    }
    const InterfaceEntry* entry = found->entry ? &*found->entry : nullptr;
    if (entry) {
        watchedLuid_ = entry->Luid;
        if (watchedIdentity_ && watchedIdentity_->Guid.empty()) watchedIdentity_ = InterfaceIdentity{entry->Guid, entry->Description};
    }

    const std::size_t row = RowOffset(static_cast<std::size_t>(selectedRow_));
    const std::uint32_t received = ReadU32(table_, row + kInOctetsOffset);
    const std::uint32_t sent = ReadU32(table_, row + kOutOctetsOffset);
    speed_ = entry ? LinkSpeed(*entry) : ReadU32(table_, row + kSpeedOffset);

    if (baselinePending_) {
        inDelta = outDelta = 0;
        totalInPacket_ = entry ? entry->InOctets : received;
        totalOutPacket_ = entry ? entry->OutOctets : sent;
        baselinePending_ = false;
    } else if (entry && previous64Known_) {
        inDelta = CounterDelta64(entry->InOctets, previousIn64_);
        outDelta = CounterDelta64(entry->OutOctets, previousOut64_);
        totalInPacket_ = entry->InOctets;
        totalOutPacket_ = entry->OutOctets;
    } else {
        // Where the version-2 call failed for this sample or the last one, the table's counters count.
        const Step32 in = CounterStep(received, previousIn_, totalInPacket_);
        const Step32 out = CounterStep(sent, previousOut_, totalOutPacket_);
        inDelta = in.delta;
        outDelta = out.delta;
        totalInPacket_ = in.total;
        totalOutPacket_ = out.total;
        if (entry) {
            // Back on the 64-bit counters: a total that does not go on from the carried one restarts.
            if (entry->InOctets != totalInPacket_ || entry->OutOctets != totalOutPacket_) restartPending_ = true;
            totalInPacket_ = entry->InOctets;
            totalOutPacket_ = entry->OutOctets;
        }
    }
    previousIn_ = received;
    previousOut_ = sent;
    previous64Known_ = entry != nullptr;
    previousIn64_ = entry ? entry->InOctets : 0;
    previousOut64_ = entry ? entry->OutOctets : 0;
    inPacket_ = inDelta;
    outPacket_ = outDelta;
}

}  // namespace vantor
