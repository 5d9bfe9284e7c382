#pragma once
// How the mini window's trend chart is set up: its size, 100 divisions of line traces, send in violet over
// receive in red, on a light grey grid. The window and the tests that check its pixels share this.

#include "components/TyxTrend/TyxTrend.h"

namespace vantor {

// Its size in the window, in design units (pixels at 96 dpi); the background band below it is as large.
inline constexpr int kChartWidth = 220;
inline constexpr int kChartHeight = 40;

inline constexpr TColor kSendTraceColor = 0xFF0080;
inline constexpr TColor kChartGridColor = 0xE0E0E0;

inline void ConfigureMainChart(TTyxTrend& chart) {
    chart.SetDivisions(100);
    chart.SetOptions(TTrendOptions{TTrendOption::toTwin});
    chart.SetStyle(TTrendStyle::tsLine);
    chart.SetColorBase(clRed);
    chart.SetGridColor(kChartGridColor);
    chart.SetGraphColor(kSendTraceColor);
}

}  // namespace vantor
