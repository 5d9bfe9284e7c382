#pragma once
// The sampling tick as a function: from the tick state, the settings and one sample of the counter
// source it computes every text and number the main window shows, and advances the statistics.
//
// Calling order, once a second after the counter source's Sample():
//   TickOutputs out = RunTick(state, settings, ReadCounters(counterSource), locale);
//   the send row's figures := out.Send...;     chart.AddValue1(out.Send.ChartPoint);
//   the receive row's figures := out.Receive...; chart.AddValue2(out.Receive.ChartPoint);
//   trayIcon.TipHelp := out.TipHelp;
//   SetTrayImage(out.Receive.TrayPercent, out.Send.TrayPercent);
//   if (out.LogDue) { WriteLogLine(LogLineCounts(state)); LogLineWritten(state); }
// When WriteLogLine throws, LogLineWritten is skipped: the count goes on and LogTicks stays 0, so the
// next attempt comes LogInterval + 1 ticks later and covers the missed interval too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/Locale.h"
#include "app/core/MonitorState.h"
#include "app/core/Settings.h"

namespace vantor {

class TNetworkSpeed;

// The values of the counter source that a tick reads, as the counter source holds them.
struct CounterSample {
    std::uint64_t OutPacket = 0;       // bytes sent since the previous sample
    std::uint64_t InPacket = 0;        // bytes received since the previous sample
    std::uint64_t TotalOutPacket = 0;  // the interface's sent-bytes counter
    std::uint64_t TotalInPacket = 0;   // the interface's received-bytes counter
    std::uint64_t Speed = 0;           // link speed in bit/s, 0 when unknown
    // What the tip's first line names: all connections, else the watched interface's friendly name,
    // else (empty) no connection.
    bool AllConnections = false;
    std::string InterfaceName;
    // The tip's last line, from the usage history; empty: none.
    std::string UsageLine;
};

CounterSample ReadCounters(const TNetworkSpeed& source);

// What one direction's row of the window shows, and where its value goes in the chart and the tray.
struct DirectionOutputs {
    std::string Current, Average, Peak, Rate;  // the row's four figures
    std::int32_t ChartPoint = 0;
    std::int32_t TrayPercent = 0;  // the whole percentage that picks this direction's tray colour

    bool operator==(const DirectionOutputs&) const = default;
};

struct TickOutputs {
    DirectionOutputs Send;
    DirectionOutputs Receive;
    std::string TipHelp;  // four or five lines joined by CR LF, at most kTipCharacters UTF-16 units
    bool LogDue = false;  // LogTicks has been set to 0; write the log line, then call LogLineWritten
};

// What the notification area's tip holds, in UTF-16 units.
inline constexpr std::size_t kTipCharacters = 127;

// What the figure labels show from the window's creation until the first tick.
inline constexpr std::string_view kInitialSpeedText = "0.0";
inline constexpr std::string_view kInitialRateText = "  0%";

// One tick. Peaks, sums, the averaging cycle, the log's count and its count-down in `state` are advanced.
TickOutputs RunTick(MonitorState& state, const MonitorSettings& settings, const CounterSample& sample,
                    const LocaleFormats& locale);

// What the next log line holds: the bytes counted since the last line, 0,0 for the run's first.
ByteCounts LogLineCounts(const MonitorState& state);
// Starts the count again and finishes the log count-down once a log line has been written.
void LogLineWritten(MonitorState& state);

// The peak reset of the menu command: receive first, then send. The next tick with traffic shows 100%.
void ResetPeaks(MonitorState& state);

}  // namespace vantor
