#include "components/TyxTrend/TrendPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/Dpi.h"

namespace vantor {

namespace {

// Design lengths at 96 dpi, scaled to the chart's density.
constexpr int kDesignMargin = 3;
constexpr int kDesignFontHeight = 8;
constexpr std::string_view kFontName = "Arial";
// Coordinates are worked out in 64 bits and handed on within what GDI accepts; anything this far out
// is clipped away by the bitmap's edges either way.
constexpr std::int64_t kFarOut = std::int64_t{1} << 27;

int Coordinate(std::int64_t value) { return static_cast<int>(std::clamp(value, -kFarOut, kFarOut)); }

TPoint Point(std::int64_t x, std::int64_t y) { return {Coordinate(x), Coordinate(y)}; }

// Nearest integer, halves to the even neighbour, whatever the floating-point environment says.
std::int64_t Round(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
    return static_cast<std::int64_t>(std::clamp(rounded, -9.0e15, 9.0e15));
}

class Painter {
public:
    Painter(const TTyxTrend& chart, Canvas& canvas)
        : chart_(chart),
          canvas_(canvas),
          w_(chart.Width()),
          h_(chart.Height()),
          dpi_(chart.Dpi()),
          margin_(ScaleToDpi(kDesignMargin, dpi_)),
          fontHeight_(ScaleToDpi(kDesignFontHeight, dpi_)),
          d_(chart.Divisions()),
          min_(chart.MinVal()),
          range_(std::int64_t{chart.MaxVal()} - chart.MinVal()),
          series1_(chart.Series1()),
          series2_(chart.Series2()) {}

    void Paint() {
        canvas_.SetBrushColor(chart_.BackGroundColor());
        canvas_.FillRect({0, 0, Coordinate(w_), Coordinate(h_)});
        canvas_.SetPenWidth(1);
        if (chart_.GridStyle() != TGridStyle::gsNone) PaintGrid();

        step_ = static_cast<double>(w_ - 2 * margin_) / d_;
        // Starts from the panel's own brush; every style sets the colour before it fills anything.
        canvas_.SetBrushColor(chart_.Color());
        switch (chart_.Style()) {
        case TTrendStyle::tsBar: PaintBars(); break;
        case TTrendStyle::tsLine: PaintLines(); break;
        case TTrendStyle::tsScatter: PaintScatter(); break;
        case TTrendStyle::ts3D: PaintBoxes(); break;
        case TTrendStyle::tsFilled: PaintFilled(); break;
        }
    }

private:
    // Height above the bottom edge of value v on a scale `span` pixels tall; truncates toward zero.
    std::int64_t S(std::int32_t v, std::int64_t span) const { return (std::int64_t{v} - min_) * span / range_; }
    std::int64_t Half() const { return Round(step_) / 2; }
    bool Has(TTrendOption option) const { return chart_.Options().Contains(option); }
    std::int64_t TextWidth(const std::string& text) const { return canvas_.TextExtent(text).width; }

    void PaintGrid() {
        canvas_.SetPenColor(chart_.GridColor());
        const TGridStyle grid = chart_.GridStyle();
        if (grid == TGridStyle::gsXGrid || grid == TGridStyle::gsFull) {
            // Counted from the right edge, so the newest sample always sits against the same line; each
            // line's distance from it is scaled, so they keep their places at any density.
            for (std::int32_t steps = chart_.GridXstep();; steps += chart_.GridXstep()) {
                const std::int64_t x = ScaleToDpi(steps, dpi_);
                if (x > w_ - 1) break;
                canvas_.Polyline(Point(w_ - x, 0), Point(w_ - x, h_ - 1));
            }
        }
        if (grid == TGridStyle::gsYGrid || grid == TGridStyle::gsFull) PaintHorizontalGrid();
    }

    // One line for each multiple v of GridYstep strictly inside the range, at its whole percentage of
    // the full client height. Multiples sharing a percentage share the line, which is drawn once; the
    // walk skips straight to the next percentage so that a range of billions costs no more than 100.
    void PaintHorizontalGrid() {
        const std::int64_t gridStep = chart_.GridYstep();
        const std::int64_t last = std::int64_t{chart_.MaxVal()} - 1;
        const double factor = static_cast<double>(h_) / 100;
        std::int64_t previousPercent = -1;
        for (std::int64_t v = FirstMultipleFrom(min_ + 1, gridStep); v <= last;) {
            const std::int64_t percent = (v - min_) * 100 / range_;
            if (percent != previousPercent) {
                const std::int64_t yy = Round(static_cast<double>(percent) * factor);
                canvas_.Polyline(Point(0, h_ - yy), Point(w_ - 1, h_ - yy));
                previousPercent = percent;
            }
            const std::int64_t nextPercentAt = min_ + ((percent + 1) * range_ + 99) / 100;
            v = FirstMultipleFrom(std::max(v + gridStep, nextPercentAt), gridStep);
        }
    }

    static std::int64_t FirstMultipleFrom(std::int64_t from, std::int64_t step) {
        const std::int64_t remainder = from % step;
        if (remainder == 0) return from;
        return remainder > 0 ? from + (step - remainder) : from - remainder;
    }

    void PaintBars() {
        canvas_.SetFont(kFontName, fontHeight_);
        const bool values = Has(TTrendOption::toValues);
        // With values shown the bars leave the font's height free above the tallest one.
        const std::int64_t span = values ? h_ - 2 * margin_ - fontHeight_ : h_ - 2 * margin_;
        for (int i = 0; i < d_; ++i) {
            const std::int32_t value = series1_[static_cast<std::size_t>(i)];
            const std::int64_t x = Round(margin_ + i * step_);
            const std::int64_t top = S(value, span) + margin_;
            canvas_.SetBrushColor(chart_.GraphColor());
            // The pen stays whatever the grid left: its colour, or black without a grid.
            canvas_.Rectangle(Coordinate(x), Coordinate(h_ - margin_), Coordinate(Round(static_cast<double>(x) + step_)),
                              Coordinate(h_ - top));
            if (values) {
                canvas_.SetBrushColor(chart_.BackGroundColor());
                const std::string text = std::to_string(value);
                canvas_.TextOutOpaque(Coordinate(x + Half() - TextWidth(text) / 2), Coordinate(h_ - top - fontHeight_), text);
            }
        }
    }

    std::int64_t LineY(std::int32_t value) const { return h_ - (S(value, h_ - 2 * margin_) + margin_); }

    void PaintLine(const TTyxTrend::Series& series) {
        canvas_.MoveTo(Coordinate(margin_ + Half()), Coordinate(LineY(series[0])));
        for (int i = 1; i < d_; ++i)
            canvas_.LineTo(Coordinate(Round(margin_ + i * step_ + static_cast<double>(Half()))),
                           Coordinate(LineY(series[static_cast<std::size_t>(i)])));
    }

    void PaintLines() {
        canvas_.SetPenColor(chart_.GraphColor());
        PaintLine(series1_);
        if (Has(TTrendOption::toTwin)) {
            // The second series goes over the whole of the first.
            canvas_.SetPenColor(chart_.ColorBase());
            canvas_.SetBrushColor(chart_.ColorBase());
            PaintLine(series2_);
        }
    }

    void PaintScatter() {
        const std::int64_t r = std::max<std::int64_t>(Round(step_ / 4), 1);
        const auto square = [&](std::int64_t cx, std::int32_t value) {
            const std::int64_t cy = S(value, h_ - 2 * margin_ - 2 * r) + margin_ + r;
            canvas_.Rectangle(Coordinate(cx - r), Coordinate(h_ - cy + r), Coordinate(cx + r), Coordinate(h_ - cy - r));
        };
        for (int i = 0; i < d_; ++i) {
            const std::int64_t cx = Round(margin_ + i * step_ + static_cast<double>(2 * r));
            canvas_.SetPenColor(chart_.GraphColor());
            canvas_.SetBrushColor(chart_.GraphColor());
            square(cx, series1_[static_cast<std::size_t>(i)]);
            if (Has(TTrendOption::toTwin)) {
                canvas_.SetPenColor(chart_.ColorBase());
                canvas_.SetBrushColor(chart_.ColorBase());
                square(cx, series2_[static_cast<std::size_t>(i)]);
            }
        }
    }

    void Face(TColor color, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, std::int64_t x3,
              std::int64_t y3, std::int64_t x4, std::int64_t y4) {
        canvas_.SetBrushColor(color);
        canvas_.SetPenColor(color);
        canvas_.Polygon({Point(x1, y1), Point(x2, y2), Point(x3, y3), Point(x4, y4)});
    }

    // Boxes receding up and to the right; with both series each box spans from one value to the other.
    void PaintBoxes() {
        const std::int64_t dx = ScaleToDpi(chart_.DepthX(), dpi_);
        const std::int64_t dy = ScaleToDpi(chart_.DepthY(), dpi_);
        step_ = static_cast<double>(w_ - 2 * margin_ - dx) / d_;
        canvas_.SetFont(kFontName, fontHeight_);
        const TColor color = chart_.GraphColor();
        const bool twin = Has(TTrendOption::toTwin);
        const std::int64_t span = h_ - 2 * margin_ - dy;
        std::int64_t right = margin_;
        for (int i = 0; i < d_; ++i) {
            const std::int32_t value1 = series1_[static_cast<std::size_t>(i)];
            const std::int32_t value2 = series2_[static_cast<std::size_t>(i)];
            const std::int64_t left = right;
            right = Round(margin_ + (i + 1) * step_);
            const std::int64_t a = S(value1, span) + margin_;
            const std::int64_t b = twin ? S(value2, span) + margin_ : margin_;
            const std::int64_t high = std::max(a, b);
            const std::int64_t low = std::min(a, b);
            Face(color, left, h_ - low, right, h_ - low, right, h_ - high, left, h_ - high);
            Face(TTyxTrend::AdjustColor(color, -60), right, h_ - low, right + dx, h_ - dy - low, right + dx,
                 h_ - dy - high, right, h_ - high);
            Face(TTyxTrend::AdjustColor(color, +60), right, h_ - high, right + dx, h_ - dy - high, left + dx,
                 h_ - dy - high, left, h_ - high);
            if (Has(TTrendOption::toValues)) {
                canvas_.SetBrushColor(chart_.BackGroundColor());
                // The difference of two 32-bit values needs 33 bits.
                const std::int64_t shown = twin ? std::abs(std::int64_t{value1} - value2) : std::int64_t{value1};
                const std::string text = std::to_string(shown);
                canvas_.TextOutOpaque(Coordinate(left + Half() - TextWidth(text) / 2), Coordinate(h_ - high - fontHeight_),
                                      text);
            }
        }
    }

    // A band under the curve from the middle of one slot to the middle of the next: D samples, D - 1 bands.
    void PaintFilled() {
        canvas_.SetPenColor(chart_.GraphColor());
        canvas_.SetBrushColor(chart_.GraphColor());
        const std::int64_t bottom = h_ - margin_;
        for (int i = 0; i + 1 < d_; ++i) {
            const std::int64_t xa = Round(margin_ + i * step_ + step_ / 2);
            const std::int64_t xb = Round(static_cast<double>(xa) + step_);
            const std::int64_t ya = S(series1_[static_cast<std::size_t>(i)], h_ - 2 * margin_) + margin_;
            const std::int64_t yb = S(series1_[static_cast<std::size_t>(i) + 1], h_ - 2 * margin_) + margin_;
            canvas_.Polygon({Point(xa, bottom), Point(xb, bottom), Point(xb, h_ - yb), Point(xa, h_ - ya)});
        }
    }

    const TTyxTrend& chart_;
    Canvas& canvas_;
    const std::int64_t w_;
    const std::int64_t h_;
    const int dpi_;
    const int margin_;
    const int fontHeight_;
    const int d_;
    const std::int64_t min_;
    const std::int64_t range_;
    const TTyxTrend::Series& series1_;
    const TTyxTrend::Series& series2_;
    double step_ = 0;
};

}  // namespace

void PaintTrend(const TTyxTrend& chart, Canvas& canvas) {
    if (chart.Width() <= 0 || chart.Height() <= 0) return;
    Painter(chart, canvas).Paint();
}

}  // namespace vantor
