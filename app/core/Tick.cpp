#include "app/core/Tick.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/core/NumberFormat.h"
#include "components/NetworkSpeed/NetworkSpeed.h"

namespace vantor {
namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// Chart points and tray percentages are signed 32-bit; a huge ratio (tiny peak or gauge after a reset)
// saturates instead of wrapping into a negative or small number.
std::int32_t Saturated(std::uint64_t value) {
    return static_cast<std::int32_t>(std::min<std::uint64_t>(value, kInt32Max));
}

std::int32_t Truncated(double rate) {
    return static_cast<std::int32_t>(std::min(std::trunc(rate), static_cast<double>(kInt32Max)));
}

// A gauge of 0 or less can come from a hand-edited settings file; it counts as 1 KB.
std::uint64_t GaugeBytes(std::int32_t gaugeKilobytes) {
    return static_cast<std::uint64_t>(std::max<std::int32_t>(gaugeKilobytes, 1)) * 1024u;
}

double KiloUnits(std::uint32_t bytes, std::uint32_t unitFactor) {
    return static_cast<double>(bytes) / 1024.0 * unitFactor;
}

std::uint64_t Percent(std::uint32_t value) { return static_cast<std::uint64_t>(value) * 100u; }

struct Direction {
    std::uint32_t current;
    std::uint32_t average;
    std::uint32_t peak;
    std::int32_t gauge;
    bool truncateRateLabel;  // the receive row truncates its rate before formatting, the send row rounds
};

DirectionOutputs ComputeRow(const Direction& d, const MonitorSettings& settings, std::uint32_t unitFactor,
                            const LocaleFormats& locale) {
    DirectionOutputs row;
    row.Current = FormatFloat(kSpeedPattern, KiloUnits(d.current, unitFactor), locale);
    row.Average = FormatFloat(kSpeedPattern, KiloUnits(d.average, unitFactor), locale);
    row.Peak = FormatFloat(kSpeedPattern, KiloUnits(d.peak, unitFactor), locale);
    if (d.peak == 0) {
        row.Rate = "0%";
        return row;
    }

    double rate = static_cast<double>(Percent(d.current)) / d.peak;
    if (rate > 100)
        row.Rate = "100%";
    else
        row.Rate = FormatFloat(kRatePattern, d.truncateRateLabel ? std::trunc(rate) : rate, locale);

    if (settings.GraphAverage && settings.FixedGauge) {
        row.ChartPoint = Saturated(Percent(d.average) / GaugeBytes(d.gauge));
    } else if (settings.GraphAverage) {
        row.ChartPoint = Saturated(Percent(d.average) / d.peak);
    } else {
        // Plotted against the gauge, the current value also passes its share of the gauge to the tray.
        if (settings.FixedGauge) rate = static_cast<double>(Percent(d.current)) / static_cast<double>(GaugeBytes(d.gauge));
        row.ChartPoint = Truncated(rate);
    }
    row.TrayPercent = Truncated(rate);
    return row;
}

std::string TipText(const CounterSample& sample, std::uint32_t unitFactor, const LocaleFormats& locale) {
    // The link speed is an unsigned counter: a 2.5 Gbit/s link does not turn negative.
    const double megabits = static_cast<double>(static_cast<std::uint32_t>(sample.Speed)) / 1000000.0;
    return "速度:" + FormatFloat(kLinkSpeedPattern, megabits, locale) + "\r\n" +
           "送信:" + FormatFloat(kTotalPattern, KiloUnits(sample.TotalOutPacket, unitFactor), locale) + " KB\r\n" +
           "受信:" + FormatFloat(kTotalPattern, KiloUnits(sample.TotalInPacket, unitFactor), locale) + " KB";
}

}  // namespace

CounterSample ReadCounters(const TNetworkSpeed& source) {
    return {.OutPacket = source.OutPacket(),
            .InPacket = source.InPacket(),
            .TotalOutPacket = source.TotalOutPacket(),
            .TotalInPacket = source.TotalInPacket(),
            .Speed = source.Speed()};
}

TickOutputs RunTick(MonitorState& state, const MonitorSettings& settings, const CounterSample& sample,
                    const LocaleFormats& locale) {
    if (sample.InPacket > state.MaxInPacket) state.MaxInPacket = sample.InPacket;
    if (sample.OutPacket > state.MaxOutPacket) state.MaxOutPacket = sample.OutPacket;

    state.SumOutPacket += sample.OutPacket;
    state.SumInPacket += sample.InPacket;
    std::uint32_t averageOut = 0;
    std::uint32_t averageIn = 0;
    if (state.AverageCount <= 60) {
        averageOut = state.SumOutPacket / (state.AverageCount + 1);
        averageIn = state.SumInPacket / (state.AverageCount + 1);
    } else {
        // Fold the cycle into one carried value that counts as a single sample of the next cycle.
        state.AverageCount = 0;
        state.SumOutPacket /= 60;
        state.SumInPacket /= 60;
        averageOut = state.SumOutPacket;
        averageIn = state.SumInPacket;
    }
    ++state.AverageCount;

    const std::uint32_t unitFactor = settings.BitUnits ? 8 : 1;
    TickOutputs out;
    out.Send = ComputeRow({sample.OutPacket, averageOut, state.MaxOutPacket, settings.GaugeSend, false}, settings,
                          unitFactor, locale);
    out.Receive = ComputeRow({sample.InPacket, averageIn, state.MaxInPacket, settings.GaugeReceive, true}, settings,
                             unitFactor, locale);
    out.TipHelp = TipText(sample, unitFactor, locale);

    if (settings.LogEnabled) {
        if (state.LogTicks >= settings.LogInterval) {
            state.LogTicks = 0;
            out.LogDue = true;
        } else {
            ++state.LogTicks;
        }
    }
    return out;
}

void LogLineWritten(MonitorState& state, const CounterSample& sample) {
    state.LogBaseOut = sample.TotalOutPacket;
    state.LogBaseIn = sample.TotalInPacket;
    ++state.LogTicks;
}

void ResetPeaks(MonitorState& state) {
    state.MaxInPacket = 0;
    state.MaxOutPacket = 0;
}

}  // namespace vantor
