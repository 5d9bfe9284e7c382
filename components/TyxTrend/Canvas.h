#pragma once
// The drawing surface the chart paints on: exactly the operations painting needs. Coordinates are
// pixels from the top-left corner; lines leave out their end point, rectangles their right and bottom
// edges, and shapes are outlined with the pen and filled with the brush, as on a GDI device context.

#include <array>
#include <string_view>

#include "framework/Colors.h"
#include "framework/Geometry.h"

namespace vantor {

struct CanvasSize {
    int width = 0;
    int height = 0;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void SetPenColor(TColor color) = 0;
    virtual void SetPenWidth(int width) = 0;
    virtual void SetBrushColor(TColor color) = 0;
    // height is the character cell height in pixels.
    virtual void SetFont(std::string_view name, int height) = 0;

    // Fills with the brush only, no outline.
    virtual void FillRect(const TRect& rect) = 0;
    virtual void Polyline(TPoint from, TPoint to) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // The two corners may come in either order.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Polygon(const std::array<TPoint, 4>& points) = 0;
    // UTF-8 text with its cell's top-left corner at (x, y), on an opaque box in the brush colour.
    virtual void TextOutOpaque(int x, int y, std::string_view text) = 0;
    virtual CanvasSize TextExtent(std::string_view text) = 0;
};

}  // namespace vantor
