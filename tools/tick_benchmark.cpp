// The cost of one sampling tick: statistics, the eight label texts, the chart points and the tip.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "app/core/NumberFormat.h"
#include "app/core/Tick.h"

namespace {

// Traffic that changes every tick, so peaks, averages and every text keep moving.
vantor::CounterSample Sample(std::uint32_t tick) {
    const std::uint32_t out = (tick * 2654435761u) % 12'000'000u;
    const std::uint32_t in = (tick * 40503u + 77u) % 90'000'000u;
    return {.OutPacket = out, .InPacket = in, .TotalOutPacket = tick * 6'000'000u, .TotalInPacket = tick * 45'000'000u,
            .Speed = 1'000'000'000};
}

void RunTicks(benchmark::State& loop, const vantor::MonitorSettings& settings) {
    vantor::MonitorState state;
    const vantor::LocaleFormats locale;
    std::uint32_t tick = 0;
    for (auto _ : loop) {
        const vantor::CounterSample sample = Sample(++tick);
        vantor::TickOutputs out = vantor::RunTick(state, settings, sample, locale);
        if (out.LogDue) vantor::LogLineWritten(state);
        benchmark::DoNotOptimize(out);
    }
}

void BM_TickDefaults(benchmark::State& loop) { RunTicks(loop, {}); }

void BM_TickAveragesAgainstGaugesInBits(benchmark::State& loop) {
    vantor::MonitorSettings settings;
    settings.GraphAverage = true;
    settings.FixedGauge = true;
    settings.BitUnits = true;
    settings.LogEnabled = true;
    settings.LogInterval = 10;
    RunTicks(loop, settings);
}

void BM_FormatSpeedFigure(benchmark::State& loop) {
    const vantor::LocaleFormats locale;
    double value = 1234567.0 / 1024;
    for (auto _ : loop) {
        benchmark::DoNotOptimize(vantor::FormatFloat(vantor::kSpeedPattern, value, locale));
        value += 0.37;
    }
}

}  // namespace

BENCHMARK(BM_TickDefaults);
BENCHMARK(BM_TickAveragesAgainstGaugesInBits);
BENCHMARK(BM_FormatSpeedFigure);
BENCHMARK_MAIN();
