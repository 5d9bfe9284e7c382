#include "components/NetworkSpeed/IfTable.h"

#include <algorithm>

namespace vantor::iftable {

std::uint32_t ReadU32(std::span<const std::byte> table, std::size_t offset) {
    if (offset > table.size() || table.size() - offset < 4) return 0;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<std::uint32_t>(table[offset + i]) << (8 * i);
    return value;
}

void WriteU32(std::span<std::byte> table, std::size_t offset, std::uint32_t value) {
    if (offset > table.size() || table.size() - offset < 4) return;
    for (std::size_t i = 0; i < 4; ++i) table[offset + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
}

std::size_t RowCount(std::span<const std::byte> table) {
    if (table.size() < kHeaderSize) return 0;
    const std::size_t fitting = (table.size() - kHeaderSize) / kRowSize;
    return std::min<std::size_t>(ReadU32(table, 0), fitting);
}

std::string DescriptionBytes(std::span<const std::byte> table, std::size_t row1Based) {
    std::string text;
    if (row1Based < 1 || row1Based > RowCount(table)) return text;
    const std::size_t start = RowOffset(row1Based) + kDescriptionOffset;
    for (std::size_t i = 0; i < kDescriptionSize; ++i) {
        const char c = static_cast<char>(table[start + i]);
        if (c == '\0') break;
        text.push_back(c);
    }
    return text;
}

}  // namespace vantor::iftable
