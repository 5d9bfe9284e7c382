#include "app/win32/AboutBox.h"

#include <commctrl.h>

#include "Version.h"
#include "app/core/Artwork.h"
#include "app/win32/Pictures.h"
#include "app/win32/UserLocale.h"
#include "framework/win32/Application.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {
// The program's icon, 34 x 34 in design units.
constexpr RECT kProgramIcon{5, 2, 5 + 34, 2 + 34};
constexpr wchar_t kAddresses[] = L"\r\nhttps://vantor.example.net/\r\nsupport@vantor.example.net";

// At 96 dpi the icon file's 32-pixel picture, stretched as it always was; at other densities the picture
// drawn at the size it is shown.
win32::IconHandle ProgramIcon(UINT dpi, Language language) {
    if (dpi == kDesignDpi)
        return win32::IconHandle(
            static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, 32, 32, 0)));
    return IconFromImage(art::MainIcon(ScaleToDpi(kProgramIcon.right - kProgramIcon.left, static_cast<int>(dpi))),
                         language);
}

}  // namespace

TAboutBox::TAboutBox(Language language)
    : TModalForm({.caption = win32::Widen(TextsFor(language).AboutCaption).c_str(),
                  .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  .exStyle = WS_EX_TOOLWINDOW,
                  .clientWidth = kClientWidth,
                  .clientHeight = kClientHeight,
                  .font = win32::TextFont(language, {L"MS Sans Serif", -11, SHIFTJIS_CHARSET}),
                  .background = ::GetSysColor(COLOR_WINDOW)}),
      language_(language),
      infoFontOptions_(win32::TextFont(language, {L"ＭＳ ゴシック", -12, SHIFTJIS_CHARSET})),
      infoFont_(win32::MakeFont(infoFontOptions_, Dpi())),
      programIcon_(ProgramIcon(Dpi(), language)) {
    // Creation order is the tab order: the button first, then the text.
    const UiTexts& texts = TextsFor(language);
    closeButton_ = AddControl({.className = L"BUTTON", .text = win32::Widen(texts.AboutClose).c_str(), .style = WS_TABSTOP | BS_DEFPUSHBUTTON,
                               .left = 300, .top = 7, .width = 47, .height = 18, .id = IDCANCEL});
    SetDefaultButton(IDCANCEL);
    infoText_ = AddControl({.className = L"EDIT", .text = L"", .style = WS_TABSTOP | ES_MULTILINE | ES_READONLY,
                            .left = 44, .top = 8, .width = 245, .height = 44,
                            .font = reinterpret_cast<HFONT>(infoFont_.Get())});
    ::SetWindowSubclass(infoText_, &TAboutBox::InfoTextKeyPress, 1, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowTextW(infoText_, (win32::Widen(texts.AboutProduct) + VANTOR_VERSION_WTEXT + kAddresses).c_str());
}

void TAboutBox::BeforeShow() { ::ShowWindow(win32::Application::Current()->Handle(), SW_HIDE); }

void TAboutBox::Activated() { ::ShowWindow(win32::Application::Current()->Handle(), SW_HIDE); }

void TAboutBox::DpiChanged() {
    win32::GdiObject font = win32::MakeFont(infoFontOptions_, Dpi());
    ::SendMessageW(infoText_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    infoFont_ = std::move(font);
    programIcon_ = ProgramIcon(Dpi(), language_);
}

LRESULT CALLBACK TAboutBox::InfoTextKeyPress(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
    if (message == WM_CHAR && wParam == VK_ESCAPE) {
        reinterpret_cast<TAboutBox*>(self)->Close();
        return 0;
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(text, &TAboutBox::InfoTextKeyPress, 1);
    return ::DefSubclassProc(text, message, wParam, lParam);
}

LRESULT TAboutBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = ::BeginPaint(Handle(), &ps);
        const RECT icon = win32::ScaleRect(kProgramIcon.left, kProgramIcon.top, kProgramIcon.right - kProgramIcon.left,
                                           kProgramIcon.bottom - kProgramIcon.top, Dpi());
        ::DrawIconEx(dc, icon.left, icon.top, programIcon_.Get(), icon.right - icon.left, icon.bottom - icon.top, 0,
                     nullptr, DI_NORMAL);
        ::EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        // The read-only text lies flat on the window's own background.
        if (reinterpret_cast<HWND>(lParam) == infoText_) {
            ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOW));
            ::SetTextColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(BackgroundBrush());
        }
        break;
    default:
        break;
    }
    return TModalForm::HandleMessage(message, wParam, lParam);
}

}  // namespace vantor
