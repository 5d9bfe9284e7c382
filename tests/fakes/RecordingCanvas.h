#pragma once
// A canvas that records every drawing call with the pen, brush and font in force at that moment.
// Text is measured as 5 pixels a byte and 8 pixels high, so expected positions can be worked out by hand.

#include <string>
#include <string_view>
#include <vector>

#include "components/TyxTrend/Canvas.h"

namespace vantor::fakes {

enum class Draw { FillRect, Polyline, MoveTo, LineTo, Rectangle, Polygon, TextOut };

struct CanvasCall {
    Draw kind;
    std::vector<int> coords;  // x, y pairs in the order given
    std::string text;
    TColor pen;
    int penWidth;
    TColor brush;
    std::string fontName;
    int fontHeight;
};

class RecordingCanvas final : public Canvas {
public:
    static constexpr int kCharWidth = 5;
    static constexpr int kTextHeight = 8;
    static constexpr TColor kNoBrush = 0xFEEDFACE;  // brush colour before anything set one

    std::vector<CanvasCall> calls;
    int penColorChanges = 0;

    std::vector<CanvasCall> Of(Draw kind) const {
        std::vector<CanvasCall> found;
        for (const CanvasCall& call : calls)
            if (call.kind == kind) found.push_back(call);
        return found;
    }

    void SetPenColor(TColor color) override {
        pen_ = color;
        ++penColorChanges;
    }
    void SetPenWidth(int width) override { penWidth_ = width; }
    void SetBrushColor(TColor color) override { brush_ = color; }
    void SetFont(std::string_view name, int height) override {
        fontName_ = name;
        fontHeight_ = height;
    }
    void FillRect(const TRect& r) override { Record(Draw::FillRect, {r.Left, r.Top, r.Right, r.Bottom}); }
    void Polyline(TPoint from, TPoint to) override { Record(Draw::Polyline, {from.X, from.Y, to.X, to.Y}); }
    void MoveTo(int x, int y) override { Record(Draw::MoveTo, {x, y}); }
    void LineTo(int x, int y) override { Record(Draw::LineTo, {x, y}); }
    void Rectangle(int x1, int y1, int x2, int y2) override { Record(Draw::Rectangle, {x1, y1, x2, y2}); }
    void Polygon(const std::array<TPoint, 4>& p) override {
        Record(Draw::Polygon, {p[0].X, p[0].Y, p[1].X, p[1].Y, p[2].X, p[2].Y, p[3].X, p[3].Y});
    }
    void TextOutOpaque(int x, int y, std::string_view text) override { Record(Draw::TextOut, {x, y}, std::string(text)); }
    CanvasSize TextExtent(std::string_view text) override {
        return {static_cast<int>(text.size()) * kCharWidth, kTextHeight};
    }

private:
    void Record(Draw kind, std::vector<int> coords, std::string text = {}) {
        calls.push_back({kind, std::move(coords), std::move(text), pen_, penWidth_, brush_, fontName_, fontHeight_});
    }

    TColor pen_ = clBlack;
    int penWidth_ = 1;
    TColor brush_ = kNoBrush;
    std::string fontName_;
    int fontHeight_ = 0;
};

}  // namespace vantor::fakes
