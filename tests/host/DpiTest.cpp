// Design units at 96 dpi put on a display of any density: the rounding of positions and sizes at the
// usual scales, and that edges which touch at 96 dpi still touch.

#include "framework/Dpi.h"

#include "app/core/MainChart.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr int kDpis[] = {96, 120, 144, 192};

TEST(Dpi, LengthsRoundToTheNearestPixelHalvesUpwards) {
    struct Case {
        std::int32_t design;
        std::int32_t at[4];  // at 96, 120, 144, 192
    } cases[] = {
        {0, {0, 0, 0, 0}},          {1, {1, 1, 2, 2}},         {3, {3, 4, 5, 6}},      {6, {6, 8, 9, 12}},
        {27, {27, 34, 41, 54}},     {45, {45, 56, 68, 90}},    {217, {217, 271, 326, 434}},
        {78, {78, 98, 117, 156}},   {-1, {-1, -1, -1, -2}},    {-3, {-3, -4, -4, -6}},
        {-200, {-200, -250, -300, -400}},
    };
    for (const Case& c : cases)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(ScaleToDpi(c.design, kDpis[i]), c.at[i]) << c.design << " at " << kDpis[i];
}

TEST(Dpi, RectanglesScaleByTheirEdgesSoNeighboursStillTouch) {
    // The chart over the band, and two figures side by side with a gap between them.
    const TRect chart{0, 0, kChartWidth, kChartHeight}, band{0, kChartHeight, kChartWidth, 2 * kChartHeight};
    const TRect current{27, 54, 72, 68}, average{80, 54, 125, 68}, receive{27, 65, 72, 79};
    for (int dpi : kDpis) {
        const TRect c = ScaleToDpi(chart, dpi), b = ScaleToDpi(band, dpi);
        EXPECT_EQ(c.Bottom, b.Top) << dpi;
        EXPECT_GT(ScaleToDpi(average, dpi).Left, ScaleToDpi(current, dpi).Right) << dpi;
        EXPECT_LT(ScaleToDpi(receive, dpi).Top, ScaleToDpi(current, dpi).Bottom) << "overlapping rows still overlap";
    }
    // A size is what lies between the scaled edges: 45 wide at 27 and at 80 need not be equally wide.
    EXPECT_EQ(ScaleToDpi(current, 144), (TRect{41, 81, 108, 102}));
    EXPECT_EQ(ScaleToDpi(average, 144), (TRect{120, 81, 188, 102}));
    for (int dpi : kDpis) EXPECT_EQ(ScaleToDpi(TPoint{6, -7}, dpi), (TPoint{ScaleToDpi(6, dpi), ScaleToDpi(-7, dpi)}));

    // Edges that meet at 96 dpi meet at every scale, anywhere: scaling is monotonic and exact at 96.
    for (int dpi : kDpis)
        for (std::int32_t edge = -300; edge <= 300; ++edge) {
            ASSERT_LE(ScaleToDpi(edge, dpi), ScaleToDpi(edge + 1, dpi)) << edge << " at " << dpi;
            ASSERT_LT(ScaleToDpi(edge, dpi), ScaleToDpi(edge + 1, dpi)) << "no design pixel vanishes when enlarging";
            if (dpi == kDesignDpi) { ASSERT_EQ(ScaleToDpi(edge, dpi), edge); }
        }
}

TEST(Dpi, FontHeightsKeepTheirSignAndStrokesTakeWholePixels) {
    EXPECT_EQ(ScaleFontHeight(-12, 96), -12);
    EXPECT_EQ(ScaleFontHeight(-12, 144), -18);
    EXPECT_EQ(ScaleFontHeight(-11, 144), -16) << "16.5 pixels round down: the text stays within its scaled label";
    EXPECT_EQ(ScaleFontHeight(11, 144), 16);
    EXPECT_EQ(ScaleFontHeight(-11, 120), -14);
    EXPECT_EQ(ScaleFontHeight(8, 120), 10);
    EXPECT_EQ(ScaleFontHeight(0, 192), 0);
    const int strokes[] = {1, 1, 1, 2};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(WholePixelScale(kDpis[i]), strokes[i]) << kDpis[i];
    EXPECT_EQ(WholePixelScale(72), 1) << "never thinner than one pixel";
}

}  // namespace
}  // namespace vantor
