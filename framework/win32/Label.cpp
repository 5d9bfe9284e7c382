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
        ::SetTextColor(dc.Get(), color_);
        const std::wstring text = Caption();
        const UINT align = alignment_ == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
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
