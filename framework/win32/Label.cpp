#include "framework/win32/Label.h"

#include "framework/win32/Handles.h"
#include "framework/win32/Mouse.h"

namespace vantor::win32 {
namespace {
constexpr wchar_t kLabelClass[] = L"TLabel";
}

TLabel::TLabel(TComponent* owner, HWND parent, const LabelOptions& options)
    : TComponent(owner), font_(options.font), color_(options.color), alignment_(options.alignment) {
    RegisterClass(kLabelClass, CS_DBLCLKS);
    const SIZE size = options.autoSize ? TextExtent(font_, options.text) : SIZE{options.width, options.height};
    CreateHandle({.className = kLabelClass,
                  .text = options.text.c_str(),
                  .style = WS_CHILD | WS_VISIBLE,
                  .x = options.left,
                  .y = options.top,
                  .width = size.cx,
                  .height = size.cy,
                  .parent = parent});
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
        ::SetTextColor(buffer_->Dc(), color_);
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
        const UINT align = alignment_ == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
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
