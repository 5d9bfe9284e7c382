#pragma once
// The sampling tick as a function: from the tick state, the settings and one sample of the counter
// source it computes every text and number the main window shows, and advances the statistics.
//
// Calling order, once a second after NetworkSpeed1.Sample():
//   TickOutputs out = RunTick(state, settings, ReadCounters(NetworkSpeed1), locale);
//   Label1, Label3, Label5, Label7 := out.Label1, ...;  TyxTrend1.AddValue1(out.SendPoint);
//   Label2, Label4, Label6, Label8 := out.Label2, ...;  TyxTrend1.AddValue2(out.ReceivePoint);
//   TrayIcon1.TipHelp := out.TipHelp;
//   SetTrayImage(out.ReceivePercent, out.SendPercent);
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

// The five values of the counter source that a tick reads, as the counter source holds them.
struct CounterSample {
    std::uint32_t OutPacket = 0;       // bytes sent since the previous sample
    std::uint32_t InPacket = 0;        // bytes received since the previous sample
    std::uint32_t TotalOutPacket = 0;  // the interface's sent-bytes counter
    std::uint32_t TotalInPacket = 0;   // the interface's received-bytes counter
    std::int32_t Speed = 0;            // link speed in bit/s, the unsigned counter's bits as signed
};

CounterSample ReadCounters(const TNetworkSpeed& source);

struct TickOutputs {
    // Send row: current, average, maximum, rate; then the send point of the chart.
    std::string Label1, Label3, Label5, Label7;
    std::int32_t SendPoint = 0;
    // Receive row, likewise.
    std::string Label2, Label4, Label6, Label8;
    std::int32_t ReceivePoint = 0;
    std::string TipHelp;  // three lines joined by CR LF
    std::int32_t ReceivePercent = 0;
    std::int32_t SendPercent = 0;
    bool LogDue = false;  // LogTicks has been set to 0; write the log line, then call LogLineWritten
};

// What the figure labels show from the window's creation until the first tick.
inline constexpr std::string_view kInitialSpeedText = "0.0";
inline constexpr std::string_view kInitialRateText = "  0%";

// One tick. Peaks, sums, the averaging cycle and the log count-down in `state` are advanced.
TickOutputs RunTick(MonitorState& state, const MonitorSettings& settings, const CounterSample& sample,
                    const LocaleFormats& locale);

// Finishes the log count-down once the log line of a tick has been written.
void LogLineWritten(MonitorState& state, const CounterSample& sample);

// The peak reset of the menu command: receive first, then send. The next tick with traffic shows 100%.
void ResetPeaks(MonitorState& state);

}  // namespace vantor
