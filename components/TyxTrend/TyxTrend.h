#pragma once
// TTyxTrend: a chart of two fixed-size series of integer samples that scroll left by one slot per
// added value, painted over a grid in one of five styles (TrendPainter.h draws it). This is the model:
// properties with their clamping, the sample buffers, the add operations and the automatic scaling.
// A repaint is requested through Invalidate(), which the window that shows the chart overrides.

#include <array>
#include <cstdint>
#include <initializer_list>

#include "framework/Colors.h"
#include "framework/Component.h"

namespace vantor {

// The order of the values is the order stored in form data.
enum class TTrendStyle : std::uint8_t { tsBar, tsLine, tsScatter, ts3D, tsFilled };
enum class TTrendOption : std::uint8_t { toValues, toTwin };
enum class TGridStyle : std::uint8_t { gsNone, gsXGrid, gsYGrid, gsFull };

// A set of TTrendOption in one byte: bit n stands for the option of ordinal n.
class TTrendOptions {
public:
    constexpr TTrendOptions() = default;
    constexpr TTrendOptions(std::initializer_list<TTrendOption> options) {
        for (TTrendOption option : options) bits_ = static_cast<std::uint8_t>(bits_ | Bit(option));
    }
    static constexpr TTrendOptions FromBits(std::uint8_t bits) {
        TTrendOptions options;
        options.bits_ = static_cast<std::uint8_t>(bits & kAllBits);
        return options;
    }
    constexpr std::uint8_t Bits() const { return bits_; }
    constexpr bool Contains(TTrendOption option) const { return (bits_ & Bit(option)) != 0; }
    constexpr bool operator==(const TTrendOptions&) const = default;

private:
    static constexpr std::uint8_t kAllBits = 0x03;
    static constexpr std::uint8_t Bit(TTrendOption option) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(option));
    }
    std::uint8_t bits_ = 0;
};

class TTyxTrend : public TComponent {
public:
    static constexpr int kCapacity = 100;  // slots per series, whatever Divisions is
    static constexpr int kMinDivisions = 2;
    using Series = std::array<std::int32_t, kCapacity>;

    explicit TTyxTrend(TComponent* owner);

    std::int32_t MinVal() const noexcept { return minVal_; }
    void SetMinVal(std::int32_t value);
    std::int32_t MaxVal() const noexcept { return maxVal_; }
    void SetMaxVal(std::int32_t value);
    int Divisions() const noexcept { return divisions_; }
    void SetDivisions(int value);
    TTrendOptions Options() const noexcept { return options_; }
    void SetOptions(TTrendOptions value);
    TTrendStyle Style() const noexcept { return style_; }
    void SetStyle(TTrendStyle value);
    TColor ColorBase() const noexcept { return colorBase_; }
    void SetColorBase(TColor value);
    TColor BackGroundColor() const noexcept { return backGroundColor_; }
    void SetBackGroundColor(TColor value);
    TGridStyle GridStyle() const noexcept { return gridStyle_; }
    void SetGridStyle(TGridStyle value);
    TColor GridColor() const noexcept { return gridColor_; }
    void SetGridColor(TColor value);
    int GridXstep() const noexcept { return gridXstep_; }
    void SetGridXstep(int value);
    int GridYstep() const noexcept { return gridYstep_; }
    void SetGridYstep(int value);
    bool AutoScale() const noexcept { return autoScale_; }
    void SetAutoScale(bool value);
    TColor GraphColor() const noexcept { return graphColor_; }
    void SetGraphColor(TColor value);

    // The 3D style's depth offsets; fixed at 10 pixels at 96 dpi.
    int DepthX() const noexcept { return depthX_; }
    int DepthY() const noexcept { return depthY_; }
    // The density the chart is drawn at. Its margins, value texts, 3D depth and the spacing of its vertical
    // grid lines are lengths at 96 dpi that painting scales; lines stay one pixel wide.
    int Dpi() const noexcept { return dpi_; }
    void SetDpi(int value);
    // The panel colour the chart was built on: the brush painting starts from.
    TColor Color() const noexcept { return color_; }

    int Left() const noexcept { return left_; }
    int Top() const noexcept { return top_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetBounds(int left, int top, int width, int height);

    // Slot 0 is the oldest sample shown, slot Divisions - 1 the newest.
    const Series& Series1() const noexcept { return series1_; }
    const Series& Series2() const noexcept { return series2_; }
    void AddValue1(std::int32_t value);
    void AddValue2(std::int32_t value);

    // Each of red, green and blue moved by amount and clamped to 0..255; the top byte is dropped.
    static TColor AdjustColor(TColor color, int amount);

protected:
    // Asks for the whole chart to be painted again; the window showing it overrides this.
    virtual void Invalidate() {}
    // The bounds were changed through SetBounds; the window moves itself, the bare model repaints.
    virtual void BoundsChanged() { RequestRepaint(); }
    // A value was added; `pictureChanged` is false when the shown slots of its series hold what they held
    // before. The bare model asks for a repaint either way; the window skips one that would paint the same.
    virtual void ValueAdded(bool pictureChanged);
    // Takes bounds that the window system already applied, without moving anything.
    void StoreBounds(int left, int top, int width, int height) noexcept;
    void Loaded() override;
    void RequestRepaint();
    void AdjustMaxVal(std::int32_t value);

private:
    void AddValue(Series& series, std::int32_t value);
    template <class T>
    void Assign(T& field, T value);

    Series series1_{};
    Series series2_{};
    int divisions_ = kCapacity;
    std::int32_t minVal_ = 0;
    std::int32_t maxVal_ = 100;
    TTrendStyle style_ = TTrendStyle::tsBar;
    TTrendOptions options_;
    TColor colorBase_ = clAqua;
    TColor graphColor_ = clBlue;
    TColor backGroundColor_ = clWhite;
    TGridStyle gridStyle_ = TGridStyle::gsFull;
    TColor gridColor_ = clSilver;
    int gridXstep_ = 10;
    int gridYstep_ = 10;
    int depthY_ = 10;
    int depthX_ = 10;
    bool autoScale_ = false;
    int dpi_ = 96;
    TColor color_ = clBtnFace;
    // The panel's size before anyone places it.
    int left_ = 0;
    int top_ = 0;
    int width_ = 185;
    int height_ = 41;
};

}  // namespace vantor
