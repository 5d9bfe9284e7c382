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
//   if (out.LogDue) { WriteLogLine(); LogLineWritten(state, sample); }
// When WriteLogLine throws, LogLineWritten is skipped: the baselines stay where they were and LogTicks
// stays 0, so the next attempt comes LogInterval + 1 ticks later and covers the missed interval too.

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
    bool Restarted = false;            // the totals do not go on from the last sample's
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
    std::string TipHelp;  // three lines joined by CR LF
    bool LogDue = false;  // LogTicks has been set to 0; write the log line, then call LogLineWritten
};

// What the figure labels show from the window's creation until the first tick.
inline constexpr std::string_view kInitialSpeedText = "0.0";
inline constexpr std::string_view kInitialRateText = "  0%";

// One tick. Peaks, sums, the averaging cycle and the log count-down in `state` are advanced; after a
// restart of the counters the log's baselines that are set move to the new totals less this sample's bytes.
TickOutputs RunTick(MonitorState& state, const MonitorSettings& settings, const CounterSample& sample,
                    const LocaleFormats& locale);

// Finishes the log count-down once the log line of a tick has been written.
void LogLineWritten(MonitorState& state, const CounterSample& sample);

// The peak reset of the menu command: receive first, then send. The next tick with traffic shows 100%.
void ResetPeaks(MonitorState& state);

}  // namespace vantor
