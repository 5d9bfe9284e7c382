#include "framework/win32/Label.h"

#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Mouse.h"

namespace vantor::win32 {
namespace {
constexpr wchar_t kLabelClass[] = L"TLabel";
}

TLabel::TLabel(TComponent* owner, HWND parent, const LabelOptions& options)
    : TComponent(owner), design_(options), font_(options.font) {
    RegisterClass(kLabelClass, CS_DBLCLKS);
    CreateHandle({.className = kLabelClass, .text = options.text.c_str(), .style = WS_CHILD | WS_VISIBLE, .parent = parent});
    Place(DpiForWindow(parent));
}

void TLabel::SetDpi(UINT dpi, HFONT font) {
    // The buffer holds the old font, and the parent's face is drawn anew at the new density.
    DropBitmaps();
    font_ = font;
    Place(dpi);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TLabel::Place(UINT dpi) {
    RECT place = ScaleRect(design_.left, design_.top, design_.width, design_.height, dpi);
    if (design_.autoSize) {
        const SIZE extent = TextExtent(font_, design_.text);
        place.right = place.left + extent.cx;
        place.bottom = place.top + extent.cy;
    }
    ::SetWindowPos(Handle(), nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring TLabel::Caption() const { return WindowText(Handle()); }

void TLabel::SetCaption(const std::wstring& text) {
    if (text == Caption()) return;
    ::SetWindowTextW(Handle(), text.c_str());
}

void TLabel::DropBitmaps() {
    bufferFont_.reset();
    buffer_.reset();
    background_.reset();
}

bool TLabel::PrepareBitmaps(HDC reference, const RECT& client) {
    if (!buffer_) {
        buffer_.emplace(reference, client.right, client.bottom);
        background_.emplace(reference, client.right, client.bottom);
        backgroundStale_ = true;
        if (!*buffer_ || !*background_) {
            // GDI refused: the next paint tries again.
            DropBitmaps();
            return false;
        }
        bufferFont_.emplace(buffer_->Dc(), font_);
        ::SetBkMode(buffer_->Dc(), TRANSPARENT);
        ::SetTextColor(buffer_->Dc(), design_.color);
    }
    if (backgroundStale_) {
        POINT origin{0, 0};
        ::MapWindowPoints(Handle(), ::GetParent(Handle()), &origin, 1);
        ::SetViewportOrgEx(background_->Dc(), -origin.x, -origin.y, nullptr);
        ::SendMessageW(::GetParent(Handle()), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(background_->Dc()), PRF_CLIENT);
        ::SetViewportOrgEx(background_->Dc(), 0, 0, nullptr);
        backgroundStale_ = false;
    }
    return true;
}

void TLabel::Paint() {
    PAINTSTRUCT ps;
    const HDC target = ::BeginPaint(Handle(), &ps);
    RECT client;
    ::GetClientRect(Handle(), &client);
    if (target && PrepareBitmaps(target, client)) {
        // Drawn off-screen over the copy of the parent's picture, then copied in one transfer.
        const HDC dc = buffer_->Dc();
        ::BitBlt(dc, 0, 0, client.right, client.bottom, background_->Dc(), 0, 0, SRCCOPY);
        const std::wstring text = Caption();
        const UINT align = design_.alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
                    align | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    }
    ::EndPaint(Handle(), &ps);
}

LRESULT TLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (DeliverMouseDown(*this, message, wParam, lParam, OnMouseDown, OnDblClick)) return 0;
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        // What lies behind the label may have changed: the next paint reads it again.
        backgroundStale_ = true;
        return 1;
    case WM_MOVE:
        // A label moved with its old pixels copied along is not asked to erase.
        backgroundStale_ = true;
        return DefaultHandler(message, wParam, lParam);
    case WM_SIZE:
        DropBitmaps();
        return DefaultHandler(message, wParam, lParam);
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT: {
        const LRESULT result = DefaultHandler(message, wParam, lParam);
        ::InvalidateRect(Handle(), nullptr, FALSE);
        return result;
    }
    default:
        return DefaultHandler(message, wParam, lParam);
    }
}

}  // namespace vantor::win32
