#pragma once
// An interface table held in memory, answering like GetIfTable, GetIfTable2 and the route lookup, and
// recording how it was called.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/NetworkSpeed/IfTable.h"
#include "components/NetworkSpeed/NetworkSpeed.h"

namespace vantor::testing {

struct FakeIfRow {
    std::string descr = "eth0";
    std::uint32_t type = 6;
    std::uint32_t mtu = 1500;
    std::uint32_t speed = 100'000'000;
    std::uint32_t inOctets = 0;
    std::uint32_t outOctets = 0;
    std::uint32_t index = 0;  // the interface index; 0: the row's position
    std::uint32_t operStatus = iftable::kOperStatusOperational;
    std::optional<InterfaceEntry> entry;  // what GetIfTable2 has for the row; nothing: not there
};

struct IfTableCall {
    bool withBuffer;
    std::uint32_t offeredSize;
    bool order;
};

class FakeIfTable final : public IfTableReader {
public:
    std::vector<FakeIfRow> rows;
    std::optional<std::uint32_t> reportedSize;  // overrides the size the table claims to need
    std::vector<std::uint32_t> failures;        // result codes for the next calls that get a buffer
    std::vector<IfTableCall> calls;
    std::optional<std::uint32_t> routeV4, routeV6;  // the interface index each family's route leaves by
    bool table2Fails = false;
    int table2Calls = 0;
    int routeCalls = 0;

    std::uint32_t GetIfTable(std::byte* buffer, std::uint32_t* size, bool order) override {
        calls.push_back({buffer != nullptr, *size, order});
        const auto needed = reportedSize.value_or(static_cast<std::uint32_t>(iftable::TableBytes(rows.size())));
        if (buffer == nullptr || *size < needed) {
            *size = needed;
            return iftable::kErrorInsufficientBuffer;
        }
        if (!failures.empty()) {
            const std::uint32_t code = failures.front();
            failures.erase(failures.begin());
            return code;
        }
        std::span<std::byte> image(buffer, *size);
        iftable::WriteU32(image, 0, static_cast<std::uint32_t>(rows.size()));
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::size_t at = iftable::RowOffset(i + 1);
            iftable::WriteU32(image, at + iftable::kIndexOffset, IndexOf(i));
            iftable::WriteU32(image, at + iftable::kTypeOffset, rows[i].type);
            iftable::WriteU32(image, at + iftable::kMtuOffset, rows[i].mtu);
            iftable::WriteU32(image, at + iftable::kSpeedOffset, rows[i].speed);
            iftable::WriteU32(image, at + iftable::kOperStatusOffset, rows[i].operStatus);
            iftable::WriteU32(image, at + iftable::kInOctetsOffset, rows[i].inOctets);
            iftable::WriteU32(image, at + iftable::kOutOctetsOffset, rows[i].outOctets);
            for (std::size_t c = 0; c < rows[i].descr.size() && c < iftable::kDescriptionSize; ++c)
                image[at + iftable::kDescriptionOffset + c] = static_cast<std::byte>(rows[i].descr[c]);
        }
        return iftable::kNoError;
    }

    std::optional<std::vector<InterfaceEntry>> GetIfTable2() override {
        ++table2Calls;
        if (table2Fails) return std::nullopt;
        std::vector<InterfaceEntry> entries;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].entry) {
                entries.push_back(*rows[i].entry);
                entries.back().Index = IndexOf(i);
            }
        return entries;
    }

    std::optional<std::uint32_t> BestInterfaceToward(TAddressFamily family) override {
        ++routeCalls;
        return family == TAddressFamily::afIPv4 ? routeV4 : routeV6;
    }

private:
    std::uint32_t IndexOf(std::size_t i) const {
        return rows[i].index != 0 ? rows[i].index : static_cast<std::uint32_t>(i + 1);
    }
};

}  // namespace vantor::testing
