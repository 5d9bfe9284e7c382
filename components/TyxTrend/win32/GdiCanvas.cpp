#include "components/TyxTrend/win32/GdiCanvas.h"

#include "framework/win32/Convert.h"
#include "framework/win32/Text.h"

namespace vantor::win32 {

GdiCanvas::GdiCanvas(HDC reference, int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    std::optional<WindowDc> screen;
    if (!reference) reference = screen.emplace(nullptr).Get();
    dc_.Reset(::CreateCompatibleDC(reference));
    if (!dc_) return;
    bitmap_.Reset(::CreateCompatibleBitmap(reference, width, height));
    if (!bitmap_) return;
    bitmapSelection_.emplace(dc_.Get(), bitmap_.Get());
    ::SetTextColor(dc_.Get(), ToColorRef(clWindowText));
    ::SetBkMode(dc_.Get(), OPAQUE);
}

bool GdiCanvas::CopyTo(HDC target, int x, int y) const {
    if (!Valid()) return false;
    return ::StretchBlt(target, x, y, width_, height_, dc_.Get(), 0, 0, width_, height_, SRCCOPY) != FALSE;
}

void GdiCanvas::Select(GdiObject fresh, GdiObject& current, std::optional<SelectGuard>& original) {
    if (!fresh || !Valid()) return;
    if (original)
        ::SelectObject(dc_.Get(), fresh.Get());
    else
        original.emplace(dc_.Get(), fresh.Get());
    // The object it replaces is no longer selected, so it can go.
    current = std::move(fresh);
}

void GdiCanvas::SetPenColor(TColor color) {
    penChanged_ = penChanged_ || color != penColor_;
    penColor_ = color;
}

void GdiCanvas::SetPenWidth(int width) {
    penChanged_ = penChanged_ || width != penWidth_;
    penWidth_ = width;
}

void GdiCanvas::SetBrushColor(TColor color) {
    brushChanged_ = brushChanged_ || color != brushColor_;
    brushColor_ = color;
}

void GdiCanvas::SetFont(std::string_view name, int height) {
    std::wstring wide = Widen(name);
    fontChanged_ = fontChanged_ || wide != fontName_ || height != fontHeight_;
    fontName_ = std::move(wide);
    fontHeight_ = height;
}

void GdiCanvas::UsePen() {
    if (!penChanged_) return;
    Select(GdiObject(::CreatePen(PS_SOLID, penWidth_, ToColorRef(penColor_))), pen_, penSelection_);
    penChanged_ = false;
}

void GdiCanvas::UseBrush() {
    if (!brushChanged_) return;
    Select(GdiObject(::CreateSolidBrush(ToColorRef(brushColor_))), brush_, brushSelection_);
    brushChanged_ = false;
}

void GdiCanvas::UseFont() {
    if (!fontChanged_) return;
    // A positive height asks for the character cell height, not the em height.
    Select(GdiObject(::CreateFontW(fontHeight_, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                   fontName_.c_str())),
           font_, fontSelection_);
    fontChanged_ = false;
}

void GdiCanvas::FillRect(const TRect& rect) {
    UseBrush();
    if (!brush_) return;
    const RECT area = ToWin32Rect(rect);
    ::FillRect(dc_.Get(), &area, static_cast<HBRUSH>(brush_.Get()));
}

void GdiCanvas::Polyline(TPoint from, TPoint to) {
    UsePen();
    const POINT points[2] = {ToWin32Point(from), ToWin32Point(to)};
    ::Polyline(dc_.Get(), points, 2);
}

void GdiCanvas::MoveTo(int x, int y) { ::MoveToEx(dc_.Get(), x, y, nullptr); }

void GdiCanvas::LineTo(int x, int y) {
    UsePen();
    ::LineTo(dc_.Get(), x, y);
}

void GdiCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    UsePen();
    UseBrush();
    ::Rectangle(dc_.Get(), x1, y1, x2, y2);
}

void GdiCanvas::Polygon(const std::array<TPoint, 4>& points) {
    UsePen();
    UseBrush();
    POINT gdi[4];
    for (std::size_t i = 0; i < points.size(); ++i) gdi[i] = ToWin32Point(points[i]);
    ::Polygon(dc_.Get(), gdi, 4);
}

void GdiCanvas::TextOutOpaque(int x, int y, std::string_view text) {
    UseFont();
    const std::wstring wide = Widen(text);
    const int length = static_cast<int>(wide.size());
    SIZE size{};
    ::GetTextExtentPoint32W(dc_.Get(), wide.c_str(), length, &size);
    const RECT box{x, y, x + size.cx, y + size.cy};
    ::SetBkColor(dc_.Get(), ToColorRef(brushColor_));
    ::ExtTextOutW(dc_.Get(), x, y, ETO_OPAQUE, &box, wide.c_str(), static_cast<UINT>(length), nullptr);
}

CanvasSize GdiCanvas::TextExtent(std::string_view text) {
    UseFont();
    const std::wstring wide = Widen(text);
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc_.Get(), wide.c_str(), static_cast<int>(wide.size()), &size)) return {};
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

}  // namespace vantor::win32
