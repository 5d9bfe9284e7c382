// Binds the counter source to the system's interface table.

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstddef>

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
};

}  // namespace

IfTableReader& DefaultIfTableReader() {
    static GetIfTableReader reader;
    return reader;
}

}  // namespace vantor
