#pragma once
// Painting of a TTyxTrend: background, grid, the two series in the chart's style, and the value texts,
// onto any Canvas at the chart's own size.

#include "components/TyxTrend/Canvas.h"
#include "components/TyxTrend/TyxTrend.h"

namespace vantor {

// The canvas must be fresh: a black pen one pixel wide, as a new bitmap's is. Nothing is drawn for a
// chart without area.
void PaintTrend(const TTyxTrend& chart, Canvas& canvas);

}  // namespace vantor
