#pragma once
// The interface table image that the system's GetIfTable fills: a 32-bit row count followed by
// fixed-size rows. Only the offsets the counter source reads are named here.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vantor::iftable {

inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;

inline constexpr std::size_t kHeaderSize = 4;
inline constexpr std::size_t kRowSize = 860;

inline constexpr std::size_t kIndexOffset = 512;
inline constexpr std::size_t kTypeOffset = 516;
inline constexpr std::size_t kMtuOffset = 520;
inline constexpr std::size_t kSpeedOffset = 524;
inline constexpr std::size_t kOperStatusOffset = 544;
inline constexpr std::size_t kInOctetsOffset = 552;
inline constexpr std::size_t kOutOctetsOffset = 576;
inline constexpr std::size_t kDescriptionOffset = 604;
inline constexpr std::size_t kDescriptionSize = 256;

// The row's operational status as this table numbers it: these two mean up.
inline constexpr std::uint32_t kOperStatusConnected = 4;
inline constexpr std::uint32_t kOperStatusOperational = 5;
inline constexpr std::uint32_t kSoftwareLoopbackType = 24;

// Largest table accepted: far more rows than any machine reports, small enough to refuse a corrupt size.
inline constexpr std::size_t kMaxRows = 65536;
inline constexpr std::size_t kMaxTableBytes = kHeaderSize + kMaxRows * kRowSize;

constexpr std::size_t TableBytes(std::size_t rows) { return kHeaderSize + rows * kRowSize; }
constexpr std::size_t RowOffset(std::size_t row1Based) { return kHeaderSize + (row1Based - 1) * kRowSize; }

// Reads a little-endian 32-bit field; a field outside the image reads as 0.
std::uint32_t ReadU32(std::span<const std::byte> table, std::size_t offset);
void WriteU32(std::span<std::byte> table, std::size_t offset, std::uint32_t value);

// Number of rows that are both announced by the header and present in the image.
std::size_t RowCount(std::span<const std::byte> table);

// The raw bytes of a row's description up to its first NUL.
std::string DescriptionBytes(std::span<const std::byte> table, std::size_t row1Based);

}  // namespace vantor::iftable
