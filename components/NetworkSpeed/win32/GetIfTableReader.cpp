// Binds the counter source to the system's interface tables and its route lookup.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <vector>

#include "components/NetworkSpeed/IfTable.h"
#include "components/NetworkSpeed/NetworkSpeed.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

static_assert(iftable::kNoError == NO_ERROR);
static_assert(iftable::kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(offsetof(MIB_IFTABLE, table) == iftable::kHeaderSize);
static_assert(sizeof(MIB_IFROW) == iftable::kRowSize);
static_assert(offsetof(MIB_IFROW, dwType) == iftable::kTypeOffset);
static_assert(offsetof(MIB_IFROW, dwMtu) == iftable::kMtuOffset);
static_assert(offsetof(MIB_IFROW, dwSpeed) == iftable::kSpeedOffset);
static_assert(offsetof(MIB_IFROW, dwInOctets) == iftable::kInOctetsOffset);
static_assert(offsetof(MIB_IFROW, dwOutOctets) == iftable::kOutOctetsOffset);
static_assert(offsetof(MIB_IFROW, bDescr) == iftable::kDescriptionOffset);
static_assert(sizeof(MIB_IFROW::bDescr) == iftable::kDescriptionSize);
static_assert(offsetof(MIB_IFROW, dwIndex) == iftable::kIndexOffset);
static_assert(offsetof(MIB_IFROW, dwOperStatus) == iftable::kOperStatusOffset);
static_assert(IF_OPER_STATUS_CONNECTED == iftable::kOperStatusConnected);
static_assert(IF_OPER_STATUS_OPERATIONAL == iftable::kOperStatusOperational);
static_assert(IF_TYPE_SOFTWARE_LOOPBACK == iftable::kSoftwareLoopbackType);

std::string GuidText(const GUID& guid) {
    if (guid == GUID{}) return {};
    char text[39];
    std::snprintf(text, sizeof(text), "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

InterfaceEntry EntryOf(const MIB_IF_ROW2& row) {
    InterfaceEntry entry;
    entry.Index = row.InterfaceIndex;
    entry.Luid = row.InterfaceLuid.Value;
    entry.Guid = GuidText(row.InterfaceGuid);
    entry.Alias = win32::Narrow(row.Alias);
    entry.Description = win32::Narrow(row.Description);
    entry.InOctets = row.InOctets;
    entry.OutOctets = row.OutOctets;
    entry.TransmitLinkSpeed = row.TransmitLinkSpeed;
    entry.ReceiveLinkSpeed = row.ReceiveLinkSpeed;
    entry.Up = row.OperStatus == IfOperStatusUp;
    entry.Connected = row.MediaConnectState == MediaConnectStateConnected;
    entry.FilterInterface = row.InterfaceAndOperStatusFlags.FilterInterface != FALSE;
    entry.HardwareInterface = row.InterfaceAndOperStatusFlags.HardwareInterface != FALSE;
    return entry;
}

struct MibTableFree {
    void operator()(MIB_IF_TABLE2* table) const { ::FreeMibTable(table); }
};

class GetIfTableReader final : public IfTableReader {
public:
    std::uint32_t GetIfTable(std::byte* buffer, std::uint32_t* size, bool order) override {
        ULONG bytes = *size;
        const DWORD result = ::GetIfTable(reinterpret_cast<PMIB_IFTABLE>(buffer), &bytes, order ? TRUE : FALSE);
        *size = bytes;
        return result;
    }
    // Descriptions come in the system's ANSI code page.
    std::string DecodeDescription(const std::string& bytes) const override { return win32::AnsiToUtf8(bytes); }

    std::optional<std::vector<InterfaceEntry>> GetIfTable2() override {
        MIB_IF_TABLE2* raw = nullptr;
        if (::GetIfTable2(&raw) != NO_ERROR) return std::nullopt;
        const std::unique_ptr<MIB_IF_TABLE2, MibTableFree> table(raw);
        std::vector<InterfaceEntry> entries;
        entries.reserve(table->NumEntries);
        for (ULONG i = 0; i < table->NumEntries; ++i) entries.push_back(EntryOf(table->Table[i]));
        return entries;
    }

    std::optional<std::uint32_t> BestInterfaceToward(TAddressFamily family) override {
        // Any public address does: only the route to it is looked up.
        sockaddr_storage address{};
        if (family == TAddressFamily::afIPv4) {
            auto& v4 = reinterpret_cast<sockaddr_in&>(address);
            v4.sin_family = AF_INET;
            // 1.2.3.4 byte by byte: htonl would import ws2_32 for one call.
            v4.sin_addr.S_un.S_un_b = {1, 2, 3, 4};
        } else {
            auto& v6 = reinterpret_cast<sockaddr_in6&>(address);
            v6.sin6_family = AF_INET6;
            v6.sin6_addr.s6_addr[0] = 0x20;
            v6.sin6_addr.s6_addr[15] = 1;
        }
        DWORD index = 0;
        if (::GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&address), &index) != NO_ERROR || index == 0)
            return std::nullopt;
        return index;
    }
};

}  // namespace

IfTableReader& DefaultIfTableReader() {
    static GetIfTableReader reader;
    return reader;
}

}  // namespace vantor
