// Painting against a recording canvas: the coordinates and colours each style hands to the canvas.
// Expected numbers are worked out by hand from the chart's geometry (margin 3, step (W - 6) / D).

#include "components/TyxTrend/TrendPainter.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>

#include "app/core/MainChart.h"
#include "tests/fakes/RecordingCanvas.h"

namespace vantor {
namespace {

using fakes::CanvasCall;
using fakes::Draw;
using fakes::RecordingCanvas;
using Coords = std::vector<int>;

constexpr TColor kViolet = 0xFF0080;
constexpr TColor kGrid = 0xE0E0E0;

// The mini window's chart, at its size.
void ConfigureAsMainWindow(TTyxTrend& chart) {
    chart.SetBounds(0, 0, kChartWidth, kChartHeight);
    ConfigureMainChart(chart);
}

// A chart 40 high with four slots holding 0, 50, 100 and 25 in series 1 and 10, 80, 40, 25 in series 2.
void ConfigureSmall(TTyxTrend& chart, int width, TTrendStyle style, TTrendOptions options = {}) {
    chart.SetBounds(0, 0, width, 40);
    chart.SetDivisions(4);
    chart.SetStyle(style);
    chart.SetOptions(options);
    for (int value : {0, 50, 100, 25}) chart.AddValue1(value);
    for (int value : {10, 80, 40, 25}) chart.AddValue2(value);
}

RecordingCanvas Paint(const TTyxTrend& chart) {
    RecordingCanvas canvas;
    PaintTrend(chart, canvas);
    return canvas;
}

std::vector<Coords> CoordsOf(const std::vector<CanvasCall>& calls) {
    std::vector<Coords> coords;
    for (const CanvasCall& call : calls) coords.push_back(call.coords);
    return coords;
}

TEST(TrendPainter, WorkedExampleBackgroundAndGrid) {
    TTyxTrend chart(nullptr);
    ConfigureAsMainWindow(chart);
    const RecordingCanvas canvas = Paint(chart);

    ASSERT_FALSE(canvas.calls.empty());
    EXPECT_EQ(canvas.calls[0].kind, Draw::FillRect);
    EXPECT_EQ(canvas.calls[0].coords, (Coords{0, 0, kChartWidth, kChartHeight}));
    EXPECT_EQ(canvas.calls[0].brush, clWhite);

    std::vector<Coords> expected;
    for (int x = 210; x >= 10; x -= 10) expected.push_back({x, 0, x, 39});
    for (int y = 36; y >= 4; y -= 4) expected.push_back({0, y, 219, y});
    EXPECT_EQ(CoordsOf(canvas.Of(Draw::Polyline)), expected);
    for (const CanvasCall& line : canvas.Of(Draw::Polyline)) {
        EXPECT_EQ(line.pen, kGrid);
        EXPECT_EQ(line.penWidth, 1);
    }
}

TEST(TrendPainter, AtAnotherDensityMarginsGridStepsTextsAndDepthScaleButLinesStayOnePixel) {
    TTyxTrend chart(nullptr);
    ConfigureAsMainWindow(chart);
    chart.SetBounds(0, 0, 330, 60);  // the mini window's chart at 144 dpi
    chart.SetDpi(144);
    chart.AddValue1(100);
    RecordingCanvas canvas = Paint(chart);
    std::vector<Coords> grid;
    for (int x = 315; x >= 15; x -= 15) grid.push_back({x, 0, x, 59});
    for (int y = 54; y >= 6; y -= 6) grid.push_back({0, y, 329, y});
    EXPECT_EQ(CoordsOf(canvas.Of(Draw::Polyline)), grid) << "still ten percent apart, from the right edge";
    for (const CanvasCall& line : canvas.Of(Draw::Polyline)) EXPECT_EQ(line.penWidth, 1);
    // Margin 5, step 3.2, half 1: slot 0 at x 6, slot 99 (100) at Round(5 + 316.8 + 1) and 5 from the top.
    EXPECT_EQ(canvas.Of(Draw::MoveTo)[0].coords, (Coords{6, 55}));
    EXPECT_EQ(canvas.Of(Draw::LineTo)[98].coords, (Coords{323, 5}));

    TTyxTrend boxes(nullptr);
    ConfigureSmall(boxes, 46, TTrendStyle::ts3D);
    boxes.SetDpi(144);  // margin 5, depth 15, step (46 - 10 - 15) / 4
    canvas = Paint(boxes);
    const auto faces = canvas.Of(Draw::Polygon);
    ASSERT_GE(faces.size(), 2u);
    EXPECT_EQ(faces[1].coords, (Coords{10, 35, 25, 20, 25, 20, 10, 35})) << "the first box's side face, 15 deep";
    EXPECT_EQ(faces[1].fontHeight, 12);
}

TEST(TrendPainter, WorkedExampleLinesPlaceSamplesAndValues) {
    TTyxTrend chart(nullptr);
    ConfigureAsMainWindow(chart);
    // Series 1 ends ... 0, 50, 100 in slots 97..99; series 2 is 100 all along.
    for (int value : {0, 50, 100}) chart.AddValue1(value);
    for (int i = 0; i < 100; ++i) chart.AddValue2(100);
    const RecordingCanvas canvas = Paint(chart);

    const auto moves = canvas.Of(Draw::MoveTo);
    const auto lines = canvas.Of(Draw::LineTo);
    ASSERT_EQ(moves.size(), 2u);
    ASSERT_EQ(lines.size(), 198u);
    EXPECT_EQ(moves[0].coords, (Coords{4, 37}));
    EXPECT_EQ(moves[0].pen, kViolet);
    EXPECT_EQ(moves[0].brush, clBtnFace) << "the panel's brush until a style sets one";
    // x = Round(4 + 2.14 i)
    const struct {
        int i, x, y;
    } series1[] = {{1, 6, 37}, {2, 8, 37}, {3, 10, 37}, {7, 19, 37}, {50, 111, 37}, {97, 212, 37}, {98, 214, 20}, {99, 216, 3}};
    for (const auto& point : series1)
        EXPECT_EQ(lines[static_cast<std::size_t>(point.i - 1)].coords, (Coords{point.x, point.y})) << "slot " << point.i;

    EXPECT_EQ(moves[1].coords, (Coords{4, 3}));
    EXPECT_EQ(moves[1].pen, clRed);
    EXPECT_EQ(moves[1].brush, clRed);
    EXPECT_EQ(lines[99 + 98].coords, (Coords{216, 3}));
    EXPECT_EQ(lines[99 + 98].pen, clRed) << "series 2 is drawn after, and over, series 1";

    chart.SetOptions({TTrendOption::toValues});
    const RecordingCanvas single = Paint(chart);
    EXPECT_EQ(single.Of(Draw::MoveTo).size(), 1u) << "series 2 only with toTwin";
    EXPECT_TRUE(single.Of(Draw::TextOut).empty()) << "no values in the line style";
}

TEST(TrendPainter, AFreshChartPaintsFlatBarsAlongTheBottom) {
    TTyxTrend chart(nullptr);  // 185 x 41, 20 bars
    const RecordingCanvas canvas = Paint(chart);
    const auto bars = canvas.Of(Draw::Rectangle);
    ASSERT_EQ(bars.size(), 20u);
    for (const CanvasCall& bar : bars) {
        EXPECT_EQ(bar.coords[1], 38);
        EXPECT_EQ(bar.coords[3], 38);
    }
}

TEST(TrendPainter, BarsWithAndWithoutValues) {
    TTyxTrend chart(nullptr);
    ConfigureSmall(chart, 26, TTrendStyle::tsBar, {TTrendOption::toTwin});  // step 5, half 2
    RecordingCanvas canvas = Paint(chart);
    EXPECT_EQ(CoordsOf(canvas.Of(Draw::Rectangle)),
              (std::vector<Coords>{{3, 37, 8, 37}, {8, 37, 13, 20}, {13, 37, 18, 3}, {18, 37, 23, 29}}));
    for (const CanvasCall& bar : canvas.Of(Draw::Rectangle)) {
        EXPECT_EQ(bar.brush, clBlue);
        EXPECT_EQ(bar.pen, clSilver) << "the outline keeps the grid's pen";
        EXPECT_EQ(bar.fontName, "Arial");
        EXPECT_EQ(bar.fontHeight, 8);
    }
    EXPECT_TRUE(canvas.Of(Draw::TextOut).empty());

    // With values the bars scale into 8 pixels less, each number centred above its bar.
    chart.SetOptions({TTrendOption::toValues});
    canvas = Paint(chart);
    EXPECT_EQ(CoordsOf(canvas.Of(Draw::Rectangle)),
              (std::vector<Coords>{{3, 37, 8, 37}, {8, 37, 13, 24}, {13, 37, 18, 11}, {18, 37, 23, 31}}));
    const auto texts = canvas.Of(Draw::TextOut);
    EXPECT_EQ(CoordsOf(texts), (std::vector<Coords>{{3, 29}, {5, 16}, {8, 3}, {15, 23}}));
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[2].text, "100");
    EXPECT_EQ(texts[2].brush, clWhite);

    chart.SetGridStyle(TGridStyle::gsNone);
    canvas = Paint(chart);
    EXPECT_TRUE(canvas.Of(Draw::Polyline).empty());
    for (const CanvasCall& bar : canvas.Of(Draw::Rectangle)) EXPECT_EQ(bar.pen, clBlack);
    EXPECT_EQ(canvas.penColorChanges, 0) << "the bar style never sets the pen";
}

TEST(TrendPainter, HalfStepsRoundToTheEvenNeighbour) {
    TTyxTrend chart(nullptr);
    ConfigureSmall(chart, 16, TTrendStyle::tsBar, {TTrendOption::toValues});  // step 2.5, half 1
    const RecordingCanvas canvas = Paint(chart);
    const auto bars = canvas.Of(Draw::Rectangle);
    ASSERT_EQ(bars.size(), 4u);
    const int lefts[] = {3, 6, 8, 10}, rights[] = {6, 8, 10, 12};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(bars[i].coords[0], lefts[i]) << i;
        EXPECT_EQ(bars[i].coords[2], rights[i]) << i;
    }
    EXPECT_EQ(canvas.Of(Draw::TextOut)[1].coords[0], 6 + 1 - 5);

    TTyxTrend filled(nullptr);
    ConfigureSmall(filled, 26, TTrendStyle::tsFilled);  // band starts at Round(5.5), Round(10.5), Round(15.5)
    const auto bands = Paint(filled).Of(Draw::Polygon);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0].coords[0], 6);
    EXPECT_EQ(bands[1].coords[0], 10);
    EXPECT_EQ(bands[2].coords[0], 16);
}

TEST(TrendPainter, ScatterSquares) {
    TTyxTrend chart(nullptr);
    ConfigureSmall(chart, 26, TTrendStyle::tsScatter, {TTrendOption::toValues});  // r = Round(1.25) = 1
    RecordingCanvas canvas = Paint(chart);
    EXPECT_EQ(CoordsOf(canvas.Of(Draw::Rectangle)),
              (std::vector<Coords>{{4, 37, 6, 35}, {9, 21, 11, 19}, {14, 5, 16, 3}, {19, 29, 21, 27}}));
    EXPECT_TRUE(canvas.Of(Draw::TextOut).empty()) << "no values in the scatter style";

    chart.SetOptions({TTrendOption::toTwin});
    canvas = Paint(chart);
    const auto squares = canvas.Of(Draw::Rectangle);
    ASSERT_EQ(squares.size(), 8u);
    EXPECT_EQ(squares[2].coords, (Coords{9, 21, 11, 19}));
    EXPECT_EQ(squares[2].pen, clBlue);
    EXPECT_EQ(squares[3].coords, (Coords{9, 12, 11, 10})) << "series 2's 80 right after series 1's 50";
    EXPECT_EQ(squares[3].pen, clAqua);
    EXPECT_EQ(squares[3].brush, clAqua);

    TTyxTrend wide(nullptr);
    ConfigureSmall(wide, 46, TTrendStyle::tsScatter);  // step 10, r = Round(2.5) = 2
    EXPECT_EQ(Paint(wide).Of(Draw::Rectangle)[0].coords, (Coords{5, 37, 9, 33}));

    TTyxTrend narrow(nullptr);
    narrow.SetBounds(0, 0, 106, 40);
    narrow.SetDivisions(100);
    narrow.SetStyle(TTrendStyle::tsScatter);  // step 1, Round(0.25) = 0, kept at 1
    const auto tiny = Paint(narrow).Of(Draw::Rectangle);
    ASSERT_EQ(tiny.size(), 100u);
    EXPECT_EQ(tiny[0].coords, (Coords{4, 37, 6, 35}));
    EXPECT_EQ(tiny[99].coords, (Coords{103, 37, 105, 35}));
}

TEST(TrendPainter, BoxesWithFacesShadedFromTheGraphColour) {
    TTyxTrend chart(nullptr);
    ConfigureSmall(chart, 36, TTrendStyle::ts3D);  // step (36 - 6 - 10) / 4 = 5, half 2
    chart.SetGraphColor(0xFF0000);
    RecordingCanvas canvas = Paint(chart);
    auto faces = canvas.Of(Draw::Polygon);
    ASSERT_EQ(faces.size(), 12u);
    EXPECT_EQ(faces[3].coords, (Coords{8, 37, 13, 37, 13, 25, 8, 25}));   // front of slot 1
    EXPECT_EQ(faces[4].coords, (Coords{13, 37, 23, 27, 23, 15, 13, 25}));  // its side
    EXPECT_EQ(faces[5].coords, (Coords{13, 25, 23, 15, 18, 15, 8, 25}));   // its top
    EXPECT_EQ(faces[3].brush, 0xFF0000u);
    EXPECT_EQ(faces[4].brush, 0xC30000u);
    EXPECT_EQ(faces[4].pen, 0xC30000u);
    EXPECT_EQ(faces[5].brush, 0xFF3C3Cu);
    EXPECT_EQ(faces[9].coords, (Coords{18, 37, 23, 37, 23, 31, 18, 31}));  // slot 3 runs to Round(3 + 4 x 5)
    for (const CanvasCall& face : faces) EXPECT_NE(face.brush, clAqua) << "ColorBase plays no part";

    // With both series each box spans between the two values; the number is their difference.
    chart.SetOptions({TTrendOption::toTwin, TTrendOption::toValues});
    canvas = Paint(chart);
    faces = canvas.Of(Draw::Polygon);
    ASSERT_EQ(faces.size(), 12u);
    EXPECT_EQ(faces[3].coords, (Coords{8, 25, 13, 25, 13, 18, 8, 18}));  // 50 and 80: from 15 up to 22
    const auto texts = canvas.Of(Draw::TextOut);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1].text, "30");
    EXPECT_EQ(texts[1].coords, (Coords{5, 10}));
    EXPECT_EQ(texts[3].text, "0");
    EXPECT_EQ(texts[1].brush, clWhite);

    chart.SetOptions({TTrendOption::toValues});
    const auto single = Paint(chart).Of(Draw::TextOut);
    EXPECT_EQ(single[2].text, "100");
    EXPECT_EQ(single[2].coords, (Coords{8, 5}));
}

TEST(TrendPainter, FilledBandsCloseOnTheLastSampleAndIgnoreOptions) {
    TTyxTrend chart(nullptr);
    ConfigureSmall(chart, 26, TTrendStyle::tsFilled);
    const RecordingCanvas plain = Paint(chart);
    const std::vector<Coords> bands{{6, 37, 11, 37, 11, 20, 6, 37},
                                    {10, 37, 15, 37, 15, 3, 10, 20},
                                    {16, 37, 21, 37, 21, 29, 16, 3}};
    EXPECT_EQ(CoordsOf(plain.Of(Draw::Polygon)), bands);
    for (const CanvasCall& band : plain.Of(Draw::Polygon)) {
        EXPECT_EQ(band.pen, clBlue);
        EXPECT_EQ(band.brush, clBlue);
    }
    chart.SetOptions({TTrendOption::toTwin, TTrendOption::toValues});
    const RecordingCanvas twin = Paint(chart);
    EXPECT_EQ(CoordsOf(twin.Of(Draw::Polygon)), bands);
    EXPECT_TRUE(twin.Of(Draw::TextOut).empty());
}

struct GridCase {
    const char* what;
    TGridStyle style;
    int minVal, maxVal, xStep, yStep;
    std::vector<int> xs;  // vertical lines
    std::vector<int> ys;  // horizontal lines
};

TEST(TrendPainter, GridStylesAndSteps) {
    const GridCase cases[] = {
        {"none", TGridStyle::gsNone, 0, 100, 10, 10, {}, {}},
        {"vertical only", TGridStyle::gsXGrid, 0, 100, 20, 10, {40, 20}, {}},
        {"horizontal only", TGridStyle::gsYGrid, 0, 100, 10, 25, {}, {30, 20, 10}},
        {"x step as wide as the control", TGridStyle::gsXGrid, 0, 100, 60, 10, {}, {}},
        {"y step at MaxVal", TGridStyle::gsYGrid, 0, 40, 10, 40, {}, {}},
        {"symmetric range", TGridStyle::gsYGrid, -50, 50, 10, 25, {}, {30, 20, 10}},
        // 0, 40 and 80 of -5..100: 4%, 42% and 80% of 40 pixels.
        {"negative MinVal keeps 0", TGridStyle::gsYGrid, -5, 100, 10, 40, {}, {38, 23, 8}},
        {"every value", TGridStyle::gsYGrid, 0, 4, 10, 1, {}, {30, 20, 10}},
    };
    for (const GridCase& test : cases) {
        TTyxTrend chart(nullptr);
        chart.SetBounds(0, 0, 60, 40);
        chart.SetGridStyle(test.style);
        chart.SetMinVal(test.minVal);
        chart.SetMaxVal(test.maxVal);
        chart.SetGridXstep(test.xStep);
        chart.SetGridYstep(test.yStep);
        std::vector<int> xs, ys;
        for (const CanvasCall& line : Paint(chart).Of(Draw::Polyline)) {
            if (line.coords[0] == line.coords[2]) {
                xs.push_back(line.coords[0]);
                EXPECT_EQ(line.coords[1], 0);
                EXPECT_EQ(line.coords[3], 39);
            } else {
                ys.push_back(line.coords[1]);
                EXPECT_EQ(line.coords[0], 0);
                EXPECT_EQ(line.coords[2], 59);
            }
        }
        EXPECT_EQ(xs, test.xs) << test.what;
        EXPECT_EQ(ys, test.ys) << test.what;
    }
}

TEST(TrendPainter, AHugeRangeDrawsOneGridLinePerPercentage) {
    TTyxTrend chart(nullptr);
    chart.SetBounds(0, 0, 60, 40);
    chart.SetGridStyle(TGridStyle::gsYGrid);
    chart.SetMaxVal(2'000'000'000);
    chart.SetGridYstep(40);
    const auto lines = Paint(chart).Of(Draw::Polyline);
    ASSERT_EQ(lines.size(), 100u);
    EXPECT_EQ(lines[0].coords[1], 40) << "multiples below 1% sit on the bottom edge";
    EXPECT_EQ(lines[5].coords[1], 38) << "5% of 40 rounds from 2.0";
    EXPECT_EQ(lines[99].coords[1], 40 - 40);
}

TEST(TrendPainter, ValuesFarFromTheRangeKeepTheirPlace) {
    TTyxTrend chart(nullptr);
    ConfigureAsMainWindow(chart);
    chart.SetOptions({});
    chart.SetMinVal(-2'000'000'000);
    chart.SetMaxVal(2'000'000'000);
    for (int value : {-2'000'000'000, 0, 2'000'000'000}) chart.AddValue1(value);
    auto lines = Paint(chart).Of(Draw::LineTo);
    EXPECT_EQ(lines[96].coords[1], 37);
    EXPECT_EQ(lines[97].coords[1], 20);
    EXPECT_EQ(lines[98].coords[1], 3);

    // Stored samples beyond a range narrowed by hand are drawn beyond the plot area.
    chart.SetMinVal(0);
    chart.SetMaxVal(100);
    chart.AddValue1(100);
    chart.SetMaxVal(50);
    lines = Paint(chart).Of(Draw::LineTo);
    EXPECT_EQ(lines[98].coords[1], 40 - (34 * 100 / 50 + 3));
    EXPECT_EQ(lines[97].coords[1], -(1 << 27)) << "2'000'000'000 is held at the edge of what GDI accepts";
    EXPECT_EQ(lines[95].coords[1], 1 << 27);
}

TEST(TrendPainter, NothingIsDrawnWithoutArea) {
    TTyxTrend chart(nullptr);
    chart.SetBounds(0, 0, 0, 40);
    EXPECT_TRUE(Paint(chart).calls.empty());
    chart.SetBounds(0, 0, 40, -1);
    EXPECT_TRUE(Paint(chart).calls.empty());
}

}  // namespace
}  // namespace vantor
