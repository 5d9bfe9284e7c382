#pragma once
// What the main window carries from one tick to the next. Everything starts at 0 when the window is
// created; none of it is stored in the settings file.

#include <cstdint>

namespace vantor {

struct MonitorState {
    std::uint64_t MaxOutPacket = 0;  // largest send sample since start or the last peak reset
    std::uint64_t MaxInPacket = 0;
    std::uint64_t SumOutPacket = 0;  // running sums of the averaging cycle
    std::uint64_t SumInPacket = 0;
    std::uint32_t AverageCount = 0;  // ticks in the current averaging cycle
    std::int32_t LogTicks = 0;       // ticks counted toward the next log line
    std::uint64_t LogBaseOut = 0;    // totals at the last log line; 0: not yet set
    std::uint64_t LogBaseIn = 0;

    bool operator==(const MonitorState&) const = default;
};

}  // namespace vantor
