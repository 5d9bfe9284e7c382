#include "components/TyxTrend/TyxTrend.h"

#include <algorithm>

namespace vantor {

TTyxTrend::TTyxTrend(TComponent* owner) : TComponent(owner) {
    // Every slot of both series starts at zero; only the first 20 are in use until told otherwise.
    series1_.fill(0);
    series2_.fill(0);
    divisions_ = 20;
}

template <class T>
void TTyxTrend::Assign(T& field, T value) {
    if (field == value) return;
    field = value;
    RequestRepaint();
}

void TTyxTrend::RequestRepaint() {
    // While a form is being built the window is not up yet; Loaded paints once at the end.
    if (!Loading()) Invalidate();
}

void TTyxTrend::Loaded() { Invalidate(); }

void TTyxTrend::SetMinVal(std::int32_t value) { Assign(minVal_, value >= maxVal_ ? maxVal_ - 1 : value); }

void TTyxTrend::SetMaxVal(std::int32_t value) { Assign(maxVal_, value <= minVal_ ? minVal_ + 1 : value); }

void TTyxTrend::SetDivisions(int value) { Assign(divisions_, std::clamp(value, kMinDivisions, kCapacity)); }

void TTyxTrend::SetOptions(TTrendOptions value) { Assign(options_, value); }
void TTyxTrend::SetStyle(TTrendStyle value) { Assign(style_, value); }
void TTyxTrend::SetColorBase(TColor value) { Assign(colorBase_, value); }
void TTyxTrend::SetBackGroundColor(TColor value) { Assign(backGroundColor_, value); }
void TTyxTrend::SetGridStyle(TGridStyle value) { Assign(gridStyle_, value); }
void TTyxTrend::SetGridColor(TColor value) { Assign(gridColor_, value); }
void TTyxTrend::SetAutoScale(bool value) { Assign(autoScale_, value); }
void TTyxTrend::SetGraphColor(TColor value) { Assign(graphColor_, value); }
void TTyxTrend::SetDpi(int value) { Assign(dpi_, value > 0 ? value : 96); }

// A step above the control's size becomes the size, but never 0: painting divides by the step.
void TTyxTrend::SetGridXstep(int value) {
    if (value <= 0) return;
    Assign(gridXstep_, std::min(value, std::max(width_, 1)));
}

// Clamped to the height in pixels, although the step counts value units.
void TTyxTrend::SetGridYstep(int value) {
    if (value <= 0) return;
    Assign(gridYstep_, std::min(value, std::max(height_, 1)));
}

void TTyxTrend::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    StoreBounds(left, top, width, height);
    BoundsChanged();
}

void TTyxTrend::StoreBounds(int left, int top, int width, int height) noexcept {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TTyxTrend::AddValue1(std::int32_t value) { AddValue(series1_, value); }
void TTyxTrend::AddValue2(std::int32_t value) { AddValue(series2_, value); }

void TTyxTrend::AddValue(Series& series, std::int32_t value) {
    const Series before = series;
    std::copy(series.begin() + 1, series.begin() + divisions_, series.begin());
    if (value < minVal_) value = minVal_;
    if (autoScale_)
        AdjustMaxVal(value);
    else if (value > maxVal_)
        value = maxVal_;
    series[static_cast<std::size_t>(divisions_ - 1)] = value;
    ValueAdded(!std::equal(series.begin(), series.begin() + divisions_, before.begin()));
}

// Always, even when nothing visible changed.
void TTyxTrend::ValueAdded(bool) { RequestRepaint(); }

// Runs after the shift and before the new value is stored; the slots beyond Divisions count too.
void TTyxTrend::AdjustMaxVal(std::int32_t value) {
    const std::int32_t largest = std::max({value, *std::max_element(series1_.begin(), series1_.end()),
                                           *std::max_element(series2_.begin(), series2_.end())});
    if (largest != maxVal_) SetMaxVal(largest);
}

TColor TTyxTrend::AdjustColor(TColor color, int amount) {
    const auto channel = [&](int shift) {
        const long long value = static_cast<long long>((color >> shift) & 0xFF) + amount;
        return static_cast<TColor>(std::max(std::min(value, 255LL), 0LL));
    };
    return channel(0) + channel(8) * 256 + channel(16) * 65536;
}

}  // namespace vantor
