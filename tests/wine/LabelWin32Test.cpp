// The transparent label over a parent's picture: a new text over the kept copy of what lies behind it
// shows what a freshly made label shows, the same text again paints nothing, and a redraw of the parent
// or a move brings the new picture behind it through.

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/win32/Dpi.h"
#include "framework/win32/Label.h"
#include "framework/win32/ModalForm.h"
#include "framework/win32/Window.h"

namespace vantor::win32 {
namespace {

// A white face with vertical stripes 3 pixels wide at every sixth column, in a colour that can be changed,
// so a background read at the wrong place or not read again shows.
class StripedFace final : public TComponent, public Window {
public:
    StripedFace() : TComponent(nullptr) {
        RegisterClass(L"VantorLabelTestFace", 0, nullptr);
        CreateHandle({.className = L"VantorLabelTestFace", .style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                      .x = 100, .y = 100, .width = 200, .height = 60});
    }
    COLORREF stripe = RGB(0, 128, 255);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT || message == WM_PRINTCLIENT) {
            PAINTSTRUCT ps{};
            const HDC dc = message == WM_PAINT ? ::BeginPaint(Handle(), &ps) : reinterpret_cast<HDC>(wParam);
            const RECT all{0, 0, 200, 60};
            ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            for (int x = 0; x < 200; x += 6) {
                const RECT band{x, 0, x + 3, 60};
                GdiObject brush(::CreateSolidBrush(stripe));
                ::FillRect(dc, &band, static_cast<HBRUSH>(brush.Get()));
            }
            if (message == WM_PAINT) ::EndPaint(Handle(), &ps);
            return 0;
        }
        if (message == WM_ERASEBKGND) return 1;
        return DefaultHandler(message, wParam, lParam);
    }
};

std::vector<COLORREF> PixelsOf(HWND window) {
    ::UpdateWindow(window);
    RECT client;
    ::GetClientRect(window, &client);
    std::vector<COLORREF> pixels;
    const HDC dc = ::GetDC(window);
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) pixels.push_back(::GetPixel(dc, x, y));
    ::ReleaseDC(window, dc);
    return pixels;
}

TEST(Label, ANewTextShowsWhatAFreshLabelShowsAndTheSameTextPaintsNothing) {
    StripedFace face;
    GdiObject font(MakeFont({L"Times New Roman", -11, ANSI_CHARSET}, DpiForWindow(face.Handle())));
    const auto options = [&](const wchar_t* text, int top) {
        return LabelOptions{.left = 13, .top = top, .width = 45, .height = 14, .text = text,
                            .font = static_cast<HFONT>(font.Get()), .color = RGB(0x20, 0x20, 0x20),
                            .alignment = TAlignment::taRightJustify};
    };
    TLabel changed(&face, face.Handle(), options(L"999999.9", 4));
    TLabel fresh(&face, face.Handle(), options(L"12.5", 30));
    (void)PixelsOf(changed.Handle());

    changed.SetCaption(L"12.5");
    const std::vector<COLORREF> shown = PixelsOf(changed.Handle());
    EXPECT_EQ(shown, PixelsOf(fresh.Handle())) << "no trace of the old text";
    EXPECT_EQ(shown[0], RGB(0, 128, 255)) << "the face's column 13 is striped";
    EXPECT_EQ(shown[2], RGB(255, 255, 255)) << "its column 15 is white";
    changed.SetCaption(L"12.5");
    EXPECT_FALSE(::GetUpdateRect(changed.Handle(), nullptr, FALSE)) << "the same text again asks for no paint";

    face.stripe = RGB(255, 64, 0);
    ::RedrawWindow(face.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    changed.SetCaption(L"3.0");
    fresh.SetCaption(L"3.0");
    EXPECT_EQ(PixelsOf(changed.Handle()), PixelsOf(fresh.Handle())) << "the parent's new picture came through";
    EXPECT_EQ(PixelsOf(changed.Handle())[0], RGB(255, 64, 0));

    ::SetWindowPos(changed.Handle(), nullptr, 16, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    changed.SetCaption(L"4.0");
    EXPECT_EQ(PixelsOf(changed.Handle())[0], RGB(255, 255, 255)) << "moved to the face's white column 16";
}

}  // namespace
}  // namespace vantor::win32
