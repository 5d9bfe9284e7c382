#include "components/NetworkSpeed/NetworkSpeed.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <utility>

#include "components/NetworkSpeed/IfTable.h"

namespace vantor {

using namespace iftable;

namespace {

constexpr std::uint64_t kAllBits = std::numeric_limits<std::uint64_t>::max();

bool SizeAcceptable(std::uint32_t size) { return size >= 1 && size <= kMaxTableBytes; }

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) { return a > kAllBits - b ? kAllBits : a + b; }

std::uint64_t LinkSpeed(const InterfaceRow& row) {
    if (!row.Entry) return row.Speed;
    const auto known = [](std::uint64_t speed) { return speed == kAllBits ? 0 : speed; };
    return std::max(known(row.Entry->TransmitLinkSpeed), known(row.Entry->ReceiveLinkSpeed));
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

std::string InterfaceRow::Name() const {
    if (Entry && !Entry->Alias.empty()) return Entry->Alias;
    return Identity().Description;
}

bool InterfaceRow::Carries(const InterfaceIdentity& identity) const {
    if (!identity.Guid.empty()) return Entry && Entry->Guid == identity.Guid;
    return !identity.Description.empty() && Identity().Description == identity.Description;
}

bool InterfaceRow::CountsInAllConnections() const {
    return Entry && Entry->HardwareInterface && !Entry->FilterInterface && Entry->Connected;
}

TNetworkSpeed::TNetworkSpeed(TComponent* owner, IfTableReader& reader) : TComponent(owner), reader_(reader) {}

void TNetworkSpeed::Watch(TWatchMode mode, InterfaceChoice choice) {
    // Asked again for what it watches already, the counts go on.
    const bool sameInterface = choice.Identity && choice.Identity == followed_.identity && !followed_.fallback;
    if (mode == mode_ && !pendingChoice_ && !baselinePending_ && (mode != TWatchMode::wmInterface || sameInterface))
        return;
    mode_ = mode;
    baselinePending_ = true;
    watchedRow_.reset();
    followed_ = {};
    pendingChoice_.reset();
    if (mode == TWatchMode::wmInterface) {
        followed_.identity = choice.Identity;
        followed_.position = choice.Position;
        pendingChoice_ = std::move(choice);
    }
}

const InterfaceRow* TNetworkSpeed::WatchedRow() const { return watchedRow_ ? &rows_[*watchedRow_] : nullptr; }

int TNetworkSpeed::InterfaceNo() const noexcept {
    switch (mode_) {
    case TWatchMode::wmInterface:
        return followed_.position;
    case TWatchMode::wmRoute:
        return watchedRow_ ? rows_[*watchedRow_].Position : 0;
    case TWatchMode::wmAll:
        break;
    }
    return 0;
}

std::optional<InterfaceIdentity> TNetworkSpeed::WatchedIdentity() const {
    if (mode_ == TWatchMode::wmInterface) return followed_.identity;
    if (const InterfaceRow* row = WatchedRow()) return row->Identity();
    return std::nullopt;
}

const InterfaceRow* TNetworkSpeed::FollowedRow() const noexcept {
    return mode_ == TWatchMode::wmInterface && followed_.lastSeen ? &*followed_.lastSeen : nullptr;
}

std::string TNetworkSpeed::WatchedName() const {
    if (const InterfaceRow* row = WatchedRow()) return row->Name();
    if (mode_ != TWatchMode::wmInterface) return {};
    if (const InterfaceRow* row = FollowedRow()) return row->Name();
    return followed_.identity ? followed_.identity->Description : std::string();
}

bool TNetworkSpeed::ReadTable() {
    if (table_.empty()) {
        std::uint32_t needed = 0;
        (void)reader_.GetIfTable(nullptr, &needed, true);
        if (!SizeAcceptable(needed)) return false;
        table_.assign(needed, std::byte{0});
    }
    std::fill(table_.begin(), table_.end(), std::byte{0});
    auto size = static_cast<std::uint32_t>(table_.size());
    std::uint32_t result = reader_.GetIfTable(table_.data(), &size, true);
    // A table that has grown since is read again, once, into a larger buffer.
    if (result == kErrorInsufficientBuffer && size > table_.size() && SizeAcceptable(size)) {
        table_.assign(size, std::byte{0});
        result = reader_.GetIfTable(table_.data(), &size, true);
    }
    return result == kNoError;
}

void TNetworkSpeed::ReadRows(const std::optional<std::vector<InterfaceEntry>>& entries) {
    const std::size_t count = RowCount(table_);
    rows_.clear();
    rows_.reserve(count);
    adapterTable_.clear();
    for (std::size_t position = 1; position <= count; ++position) {
        const std::size_t at = RowOffset(position);
        InterfaceRow row;
        row.Position = static_cast<int>(position);
        row.Index = ReadU32(table_, at + kIndexOffset);
        row.Type = ReadU32(table_, at + kTypeOffset);
        row.Mtu = ReadU32(table_, at + kMtuOffset);
        row.Speed = ReadU32(table_, at + kSpeedOffset);
        row.OperStatus = ReadU32(table_, at + kOperStatusOffset);
        row.InOctets = ReadU32(table_, at + kInOctetsOffset);
        row.OutOctets = ReadU32(table_, at + kOutOctetsOffset);
        row.Description = reader_.DecodeDescription(DescriptionBytes(table_, position));
        adapterTable_.push_back(row.Description);
        rows_.push_back(std::move(row));
    }
    TakeEntries(entries);
}

void TNetworkSpeed::TakeEntries(const std::optional<std::vector<InterfaceEntry>>& entries) {
    std::unordered_map<std::uint32_t, const InterfaceEntry*> entryOfIndex;
    if (entries)
        for (const InterfaceEntry& entry : *entries) entryOfIndex.emplace(entry.Index, &entry);
    for (InterfaceRow& row : rows_) {
        const auto found = entryOfIndex.find(row.Index);
        row.Entry.reset();
        if (found == entryOfIndex.end()) continue;
        row.Entry = *found->second;
        // The table's 32-bit counters are the low halves of these: they stay in step without a table read.
        row.InOctets = static_cast<std::uint32_t>(row.Entry->InOctets);
        row.OutOctets = static_cast<std::uint32_t>(row.Entry->OutOctets);
    }
}

bool TNetworkSpeed::TableNeeded(const std::optional<std::vector<InterfaceEntry>>& entries) const {
    if (!tableRead_ || !entries || entries->empty() || entries->size() != rows_.size()) return true;
    std::vector<std::uint32_t> listed, described;
    for (const InterfaceRow& row : rows_) listed.push_back(row.Index);
    for (const InterfaceEntry& entry : *entries) described.push_back(entry.Index);
    std::sort(listed.begin(), listed.end());
    std::sort(described.begin(), described.end());
    return listed != described;
}

bool TNetworkSpeed::Resolve(const InterfaceChoice& choice) {
    const auto rows = static_cast<int>(rows_.size());
    const bool inRange = choice.Position >= 1 && choice.Position <= rows;
    const auto follow = [&](int position, bool fallback) {
        const InterfaceRow& row = rows_[static_cast<std::size_t>(position - 1)];
        followed_ = {.identity = row.Identity(), .position = position, .fallback = fallback};
        return true;
    };
    if (choice.Identity) {
        const auto find = [&](auto carries) {
            if (inRange && carries(rows_[static_cast<std::size_t>(choice.Position - 1)])) return choice.Position;
            const auto it = std::find_if(rows_.begin(), rows_.end(), carries);
            return it == rows_.end() ? 0 : it->Position;
        };
        // The GUID decides; the description only where no row carries the GUID (a description that the
        // settings file's code page could not hold matches nothing, which leaves the GUID alone).
        int found = find([&](const InterfaceRow& row) { return row.Carries(*choice.Identity); });
        if (found == 0 && !choice.Identity->Guid.empty())
            found = find([&](const InterfaceRow& row) {
                return row.Carries({{}, choice.Identity->Description});
            });
        if (found != 0) return follow(found, false);
        if (!choice.OrPosition) {
            // Waited for by its identity alone; it keeps its place in the settings meanwhile.
            followed_ = {.identity = choice.Identity, .position = choice.Position};
            return true;
        }
    }
    if (rows == 0) return false;
    return follow(inRange ? choice.Position : 1, !inRange || choice.Identity);
}

const InterfaceRow* TNetworkSpeed::FindFollowed() const {
    const Followed& f = followed_;
    const auto carries = [&](const InterfaceRow& row) {
        // The LUID names the interface under whatever index it has now; without one the index does, as
        // long as the system does not say the row is another interface.
        if (f.luid && row.Entry) return row.Entry->Luid == *f.luid;
        if (f.index)
            return row.Index == *f.index &&
                   (!row.Entry || !f.identity || f.identity->Guid.empty() || row.Entry->Guid == f.identity->Guid);
        return f.identity && row.Carries(*f.identity);
    };
    const int last = f.position;
    if (last >= 1 && last <= static_cast<int>(rows_.size()) && carries(rows_[static_cast<std::size_t>(last - 1)]))
        return &rows_[static_cast<std::size_t>(last - 1)];
    const auto it = std::find_if(rows_.begin(), rows_.end(), carries);
    return it == rows_.end() ? nullptr : &*it;
}

const InterfaceRow* TNetworkSpeed::FindRouteRow() {
    for (const TAddressFamily family : {TAddressFamily::afIPv4, TAddressFamily::afIPv6}) {
        const std::optional<std::uint32_t> index = reader_.BestInterfaceToward(family);
        if (!index) continue;
        const auto it = std::find_if(rows_.begin(), rows_.end(), [&](const InterfaceRow& row) { return row.Index == *index; });
        if (it != rows_.end()) return &*it;
    }
    return nullptr;
}

std::vector<const InterfaceRow*> TNetworkSpeed::Measured() {
    watchedRow_.reset();
    std::vector<const InterfaceRow*> measured;
    const InterfaceRow* watched = nullptr;
    switch (mode_) {
    case TWatchMode::wmAll:
        for (const InterfaceRow& row : rows_)
            if (row.CountsInAllConnections()) measured.push_back(&row);
        break;
    case TWatchMode::wmRoute:
        watched = FindRouteRow();
        break;
    case TWatchMode::wmInterface:
        if (pendingChoice_) break;
        watched = FindFollowed();
        if (watched) {
            Followed& f = followed_;
            f.position = watched->Position;
            f.index = watched->Index;
            if (watched->Entry) f.luid = watched->Entry->Luid;
            // The GUID is learnt once the system tells it.
            if (!f.identity || (f.identity->Guid.empty() && watched->Entry)) f.identity = watched->Identity();
            f.lastSeen = *watched;
        }
        break;
    }
    if (watched) {
        watchedRow_ = static_cast<std::size_t>(watched - rows_.data());
        measured.push_back(watched);
    }
    TakeRowFields(watched);
    return measured;
}

void TNetworkSpeed::TakeRowFields(const InterfaceRow* row) {
    adapterName_ = row ? row->Description : std::string();
    mtu_ = row ? static_cast<int>(row->Mtu) : 0;
    iType_ = row ? static_cast<int>(row->Type) : 0;
}

void TNetworkSpeed::Count(const std::vector<const InterfaceRow*>& measured) {
    std::vector<MemberCounters> now;
    now.reserve(measured.size());
    std::uint64_t speed = 0;
    for (const InterfaceRow* row : measured) {
        MemberCounters member{.luid = row->Entry ? row->Entry->Luid : 0,
                              .index = row->Index,
                              .in32 = row->InOctets,
                              .out32 = row->OutOctets};
        if (row->Entry) {
            member.in64 = row->Entry->InOctets;
            member.out64 = row->Entry->OutOctets;
        }
        now.push_back(member);
        speed = SaturatingSum(speed, LinkSpeed(*row));
    }

    bool restart = baselinePending_ || !baseline_ || baseline_->size() != now.size();
    std::uint64_t inDelta = 0, outDelta = 0;
    for (std::size_t i = 0; i < now.size() && !restart; ++i) {
        const MemberCounters& before = (*baseline_)[i];
        MemberCounters& member = now[i];
        if (!member.SameInterface(before)) {
            restart = true;
            break;
        }
        // One direction's step: 64-bit counters never wrap, so one that went down was reset; the table's
        // 32-bit ones go forward as long as the difference reads as a positive signed number.
        const auto step = [&](std::optional<std::uint64_t> now64, std::optional<std::uint64_t> before64,
                              std::uint32_t now32, std::uint32_t before32, std::uint64_t beforeTotal,
                              std::uint64_t& total, std::uint64_t& delta) {
            std::uint64_t moved = 0;
            if (now64 && before64) {
                if (*now64 < *before64) return false;
                moved = *now64 - *before64;
            } else {
                const auto forward = static_cast<std::int32_t>(now32 - before32);
                if (forward < 0) return false;
                moved = static_cast<std::uint64_t>(forward);
            }
            total = now64 ? *now64 : beforeTotal + moved;
            delta = SaturatingSum(delta, moved);
            return true;
        };
        if (!step(member.in64, before.in64, member.in32, before.in32, before.totalIn, member.totalIn, inDelta) ||
            !step(member.out64, before.out64, member.out32, before.out32, before.totalOut, member.totalOut, outDelta))
            restart = true;
    }
    if (restart) {
        inDelta = outDelta = 0;
        for (MemberCounters& member : now) {
            member.totalIn = member.in64.value_or(member.in32);
            member.totalOut = member.out64.value_or(member.out32);
        }
    }

    std::uint64_t totalIn = 0, totalOut = 0;
    for (const MemberCounters& member : now) {
        totalIn = SaturatingSum(totalIn, member.totalIn);
        totalOut = SaturatingSum(totalOut, member.totalOut);
    }
    countersRestarted_ = restart;
    baselinePending_ = false;
    baseline_ = std::move(now);
    inPacket_ = inDelta;
    outPacket_ = outDelta;
    totalInPacket_ = totalIn;
    totalOutPacket_ = totalOut;
    speed_ = speed;
}

void TNetworkSpeed::Sample() {
    countersRestarted_ = false;
    const std::optional<std::vector<InterfaceEntry>> entries = reader_.GetIfTable2();
    // The table comes sorted by interface index, so its positions stand as long as the same interfaces
    // are there: it is read again only when they change, or where the version-2 table does not describe
    // every row.
    if (!TableNeeded(entries)) {
        TakeEntries(entries);
    } else if (ReadTable()) {
        tableRead_ = true;
        ReadRows(entries);
    } else {
        inPacket_ = outPacket_ = 0;
        return;
    }
    if (pendingChoice_ && Resolve(*pendingChoice_)) pendingChoice_.reset();
    Count(Measured());
}

}  // namespace vantor
