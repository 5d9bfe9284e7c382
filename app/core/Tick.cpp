#include "app/core/Tick.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/core/NumberFormat.h"
#include "components/NetworkSpeed/NetworkSpeed.h"
#include "framework/Unicode.h"

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

double KiloUnits(std::uint64_t bytes, std::uint32_t unitFactor) {
    return static_cast<double>(bytes) / 1024.0 * unitFactor;
}

constexpr std::uint64_t kLargestExactPercent = std::numeric_limits<std::uint64_t>::max() / 100;

// value × 100 div divisor; exact up to 1.8e17 bytes, close enough beyond, where it saturates anyway.
std::uint64_t PercentOf(std::uint64_t value, std::uint64_t divisor) {
    if (value <= kLargestExactPercent) return value * 100 / divisor;
    return static_cast<std::uint64_t>(std::min(static_cast<double>(value) * 100.0 / static_cast<double>(divisor),
                                               static_cast<double>(kInt32Max)));
}

double PercentRate(std::uint64_t value, std::uint64_t divisor) {
    return static_cast<double>(value) * 100.0 / static_cast<double>(divisor);
}

struct Direction {
    std::uint64_t current;
    std::uint64_t average;
    std::uint64_t peak;
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

    double rate = PercentRate(d.current, d.peak);
    if (rate > 100)
        row.Rate = "100%";
    else
        row.Rate = FormatFloat(kRatePattern, d.truncateRateLabel ? std::trunc(rate) : rate, locale);

    if (settings.GraphAverage && settings.FixedGauge) {
        row.ChartPoint = Saturated(PercentOf(d.average, GaugeBytes(d.gauge)));
    } else if (settings.GraphAverage) {
        row.ChartPoint = Saturated(PercentOf(d.average, d.peak));
    } else {
        // Plotted against the gauge, the current value also passes its share of the gauge to the tray.
        if (settings.FixedGauge) rate = PercentRate(d.current, GaugeBytes(d.gauge));
        row.ChartPoint = Truncated(rate);
    }
    row.TrayPercent = Truncated(rate);
    return row;
}

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

// The first line gives way to the others, shortened with "…", so that the figures are never cut.
std::string FitTip(std::string_view firstLine, std::string_view rest) {
    const std::size_t restUnits = Utf8ToUtf16(rest).size() + 2;
    std::u16string first = Utf8ToUtf16(firstLine);
    if (restUnits + first.size() <= kTipCharacters) return std::string(firstLine) + "\r\n" + std::string(rest);
    const std::size_t room = kTipCharacters > restUnits ? kTipCharacters - restUnits : 0;
    first.resize(room > 0 ? room - 1 : 0);
    // A character outside the basic plane is not cut in half.
    if (!first.empty() && first.back() >= 0xD800 && first.back() <= 0xDBFF) first.pop_back();
    if (room > 0) first += u'\u2026';
    return Utf16ToUtf8(first) + "\r\n" + std::string(rest);
}

std::string TipText(const CounterSample& sample, std::uint32_t unitFactor, const LocaleFormats& locale) {
    const double megabits = static_cast<double>(sample.Speed) / 1000000.0;
    const UiTexts& texts = TextsFor(locale.TextLanguage);
    const std::string_view subject = sample.AllConnections          ? texts.WatchAll
                                     : !sample.InterfaceName.empty() ? std::string_view(sample.InterfaceName)
                                                                     : texts.NoConnection;
    return FitTip(subject,
                  std::string(texts.TipSpeed) + FormatFloat(kLinkSpeedPattern, megabits, locale) + "\r\n" +
                      std::string(texts.TipSent) +
                      FormatFloat(kTotalPattern, KiloUnits(sample.TotalOutPacket, unitFactor), locale) + " KB\r\n" +
                      std::string(texts.TipReceived) +
                      FormatFloat(kTotalPattern, KiloUnits(sample.TotalInPacket, unitFactor), locale) + " KB" +
                      (sample.UsageLine.empty() ? "" : "\r\n" + sample.UsageLine));
}

}  // namespace

CounterSample ReadCounters(const TNetworkSpeed& source) {
    return {.OutPacket = source.OutPacket(),
            .InPacket = source.InPacket(),
            .TotalOutPacket = source.TotalOutPacket(),
            .TotalInPacket = source.TotalInPacket(),
            .Speed = source.Speed(),
            .AllConnections = source.WatchMode() == TWatchMode::wmAll,
            .InterfaceName = source.WatchedName()};
}

TickOutputs RunTick(MonitorState& state, const MonitorSettings& settings, const CounterSample& sample,
                    const LocaleFormats& locale) {
    if (sample.InPacket > state.MaxInPacket) state.MaxInPacket = sample.InPacket;
    if (sample.OutPacket > state.MaxOutPacket) state.MaxOutPacket = sample.OutPacket;

    state.SumOutPacket += sample.OutPacket;
    state.SumInPacket += sample.InPacket;
    std::uint64_t averageOut = 0;
    std::uint64_t averageIn = 0;
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

    if (state.LogCounted) {
        state.LogCounted->Sent = SaturatingSum(state.LogCounted->Sent, sample.OutPacket);
        state.LogCounted->Received = SaturatingSum(state.LogCounted->Received, sample.InPacket);
    }
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

ByteCounts LogLineCounts(const MonitorState& state) { return state.LogCounted.value_or(ByteCounts{}); }

void LogLineWritten(MonitorState& state) {
    state.LogCounted = ByteCounts{};
    ++state.LogTicks;
}

void ResetPeaks(MonitorState& state) {
    state.MaxInPacket = 0;
    state.MaxOutPacket = 0;
}

}  // namespace vantor
