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

void TLabel::SetCaption(const std::wstring& text) { ::SetWindowTextW(Handle(), text.c_str()); }

void TLabel::Paint() {
    PAINTSTRUCT ps;
    const HDC target = ::BeginPaint(Handle(), &ps);
    RECT client;
    ::GetClientRect(Handle(), &client);
    {
        // Drawn off-screen over the parent's own picture of the spot, then copied in one transfer.
        MemoryDc dc(::CreateCompatibleDC(target));
        GdiObject bitmap(::CreateCompatibleBitmap(target, client.right, client.bottom));
        SelectGuard selectBitmap(dc.Get(), bitmap.Get());
        POINT origin{0, 0};
        ::MapWindowPoints(Handle(), ::GetParent(Handle()), &origin, 1);
        ::SetViewportOrgEx(dc.Get(), -origin.x, -origin.y, nullptr);
        ::SendMessageW(::GetParent(Handle()), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
        ::SetViewportOrgEx(dc.Get(), 0, 0, nullptr);

        SelectGuard selectFont(dc.Get(), font_);
        ::SetBkMode(dc.Get(), TRANSPARENT);
        ::SetTextColor(dc.Get(), design_.color);
        const std::wstring text = Caption();
        const UINT align = design_.alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
        ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &client,
                    align | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
        ::BitBlt(target, 0, 0, client.right, client.bottom, dc.Get(), 0, 0, SRCCOPY);
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
        return 1;
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
