// Binds the counter source to the system's interface table.

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include "components/NetworkSpeed/NetworkSpeed.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

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
