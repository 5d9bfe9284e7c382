#pragma once
// The chart's canvas on an off-screen GDI bitmap. Pen, brush and font are created when a drawing call
// first needs them after a change; every object selected into the bitmap's DC is selected back out
// and freed with the canvas.

#include <windows.h>

#include <optional>
#include <string>

#include "components/TyxTrend/Canvas.h"
#include "framework/win32/Handles.h"

namespace vantor::win32 {

class GdiCanvas final : public Canvas {
public:
    // A width x height bitmap in the format of `reference` (the screen when null), with a black pen
    // one pixel wide, a white brush and the window-text colour for text.
    GdiCanvas(HDC reference, int width, int height);

    // False when GDI could not give the DC or the bitmap; drawing then does nothing.
    bool Valid() const noexcept { return bitmapSelection_.has_value(); }
    HDC Dc() const noexcept { return dc_.Get(); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // Copies the whole bitmap to (x, y) of `target` in one block transfer.
    [[nodiscard]] bool CopyTo(HDC target, int x, int y) const;

    void SetPenColor(TColor color) override;
    void SetPenWidth(int width) override;
    void SetBrushColor(TColor color) override;
    void SetFont(std::string_view name, int height) override;
    void FillRect(const TRect& rect) override;
    void Polyline(TPoint from, TPoint to) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Polygon(const std::array<TPoint, 4>& points) override;
    void TextOutOpaque(int x, int y, std::string_view text) override;
    CanvasSize TextExtent(std::string_view text) override;

private:
    void UsePen();
    void UseBrush();
    void UseFont();
    void Select(GdiObject fresh, GdiObject& current, std::optional<SelectGuard>& original);

    int width_;
    int height_;
    // Declared before the guards: the guards put the DC's own objects back before these are freed.
    MemoryDc dc_;
    GdiObject bitmap_;
    GdiObject pen_;
    GdiObject brush_;
    GdiObject font_;
    std::optional<SelectGuard> bitmapSelection_;
    std::optional<SelectGuard> penSelection_;
    std::optional<SelectGuard> brushSelection_;
    std::optional<SelectGuard> fontSelection_;

    TColor penColor_ = clBlack;
    int penWidth_ = 1;
    TColor brushColor_ = clWhite;
    std::wstring fontName_;
    int fontHeight_ = 0;
    bool penChanged_ = true;
    bool brushChanged_ = true;
    bool fontChanged_ = false;  // the DC's own font until one is set
};

}  // namespace vantor::win32
