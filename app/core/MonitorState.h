#pragma once
// What the main window carries from one tick to the next. Everything starts at 0 when the window is
// created; none of it is stored in the settings file.

#include <cstdint>
#include <optional>

namespace vantor {

struct ByteCounts {
    std::uint64_t Sent = 0;
    std::uint64_t Received = 0;

    bool operator==(const ByteCounts&) const = default;
};

struct MonitorState {
    std::uint64_t MaxOutPacket = 0;  // largest send sample since start or the last peak reset
    std::uint64_t MaxInPacket = 0;
    std::uint64_t SumOutPacket = 0;  // running sums of the averaging cycle
    std::uint64_t SumInPacket = 0;
    std::uint32_t AverageCount = 0;  // ticks in the current averaging cycle
    std::int32_t LogTicks = 0;       // ticks counted toward the next log line
    // The bytes of the samples since the last log line; nothing before the run's first line, which
    // reads 0,0 and starts the count.
    std::optional<ByteCounts> LogCounted;

    bool operator==(const MonitorState&) const = default;
};

}  // namespace vantor
