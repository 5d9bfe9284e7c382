#include "framework/win32/ModalForm.h"

#include <optional>
#include <stdexcept>

#include "framework/win32/Application.h"

namespace vantor::win32 {
namespace {
constexpr wchar_t kModalFormClass[] = L"TModalForm";

// Disables the thread's other enabled top-level windows for the time of a modal run.
class DisabledWindows {
public:
    explicit DisabledWindows(HWND except) : except_(except) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &DisabledWindows::Visit, reinterpret_cast<LPARAM>(this));
    }
    ~DisabledWindows() {
        for (HWND window : windows_) ::EnableWindow(window, TRUE);
    }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;

private:
    static BOOL CALLBACK Visit(HWND window, LPARAM self) {
        auto* me = reinterpret_cast<DisabledWindows*>(self);
        if (window != me->except_ && ::IsWindowEnabled(window) && ::IsWindowVisible(window)) {
            ::EnableWindow(window, FALSE);
            me->windows_.push_back(window);
        }
        return TRUE;
    }
    HWND except_;
    std::vector<HWND> windows_;
};

}  // namespace

GdiObject MakeFont(const FontOptions& options, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = ScaleFontHeight(options.height, static_cast<int>(dpi));
    font.lfCharSet = options.charset;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfPitchAndFamily = DEFAULT_PITCH;
    font.lfWeight = FW_NORMAL;
    wcsncpy_s(font.lfFaceName, options.face, _TRUNCATE);
    return GdiObject(::CreateFontIndirectW(&font));
}

TModalForm::TModalForm(const ModalFormOptions& options)
    : style_(options.style),
      exStyle_(options.exStyle),
      clientWidth_(options.clientWidth),
      clientHeight_(options.clientHeight),
      fontOptions_(options.font),
      background_(::CreateSolidBrush(options.background)) {
    RegisterClass(kModalFormClass, 0);
    CreateHandle({.className = kModalFormClass,
                  .text = options.caption,
                  .style = options.style,
                  .exStyle = options.exStyle | WS_EX_CONTROLPARENT,
                  .parent = Application::Current()->Handle()});
    Application::Current()->AddForm(Handle());
    // Made where it opens (the primary monitor), the form takes that monitor's density.
    dpi_ = DpiForWindow(Handle());
    font_ = MakeFont(options.font, dpi_);
    const SIZE frame = FrameSize(dpi_);
    ::SetWindowPos(Handle(), nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE TModalForm::FrameSize(UINT dpi) const {
    const RECT frame = WindowRectForClient(ScaleRect(0, 0, clientWidth_, clientHeight_, dpi), style_, exStyle_, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void TModalForm::SetLayoutDpi(UINT dpi) {
    dpi_ = dpi;
    GdiObject font = MakeFont(fontOptions_, dpi);
    for (const PlacedControl& placed : placed_) {
        const ControlLayout& layout = placed.layout;
        const RECT place = ScaleRect(layout.left, layout.top, layout.width, layout.height, dpi);
        ::SetWindowPos(placed.control, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        if (!layout.font) ::SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
        if (placed.fitsText) FitToText(placed.control);
    }
    // The controls have the new font before the old one goes.
    font_ = std::move(font);
    DpiChanged();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

TModalForm::~TModalForm() {
    if (!Handle()) return;
    Application::Current()->RemoveModelessForm(Handle());
    Application::Current()->RemoveForm(Handle());
}

HWND TModalForm::AddControl(const ControlLayout& layout) {
    const RECT place = ScaleRect(layout.left, layout.top, layout.width, layout.height, dpi_);
    const HWND control = ::CreateWindowExW(layout.exStyle, layout.className, layout.text,
                                           layout.style | WS_CHILD | WS_VISIBLE, place.left, place.top,
                                           place.right - place.left, place.bottom - place.top,
                                           layout.parent ? layout.parent : Handle(),
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)),
                                           ::GetModuleHandleW(nullptr), nullptr);
    if (!control) throw std::runtime_error("CreateWindowEx failed for a control");
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(layout.font ? layout.font : Font()), FALSE);
    // Only the lengths and the font are laid out again; the texts may have gone.
    placed_.push_back({control, layout});
    placed_.back().layout.className = placed_.back().layout.text = nullptr;
    return control;
}

void TModalForm::FitToText(HWND control) {
    for (PlacedControl& placed : placed_)
        if (placed.control == control) placed.fitsText = true;
    const SIZE extent = TextExtent(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), WindowText(control));
    ::SetWindowPos(control, nullptr, 0, 0, extent.cx, extent.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TModalForm::Centre() {
    RECT window;
    ::GetWindowRect(Handle(), &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    ::SetWindowPos(Handle(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    centred_ = true;
}

void TModalForm::ShowModeless() {
    if (!centred_) Centre();
    Application::Current()->AddModelessForm(Handle());
    if (!::IsWindowVisible(Handle())) {
        BeforeShow();
        ::ShowWindow(Handle(), SW_SHOW);
        ::SetFocus(::GetNextDlgTabItem(Handle(), nullptr, FALSE));
    }
    if (::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
    ::SetForegroundWindow(Handle());
}

TModalResult TModalForm::ShowModal() {
    Centre();

    modalResult_ = mrNone;
    // Registered as well as disabling: the tray's hidden window stays enabled and must know of the run.
    const Application::ModalRun run = Application::Current()->EnterModalRun(Handle());
    std::optional<DisabledWindows> others(std::in_place, Handle());
    BeforeShow();
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
    ::SetFocus(::GetNextDlgTabItem(Handle(), nullptr, FALSE));

    MSG message{};
    while (modalResult_ == mrNone) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // A quit request ends the modal run and is passed on to the outer loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            modalResult_ = mrCancel;
            break;
        }
        if (got == -1) break;
        if (!::IsDialogMessageW(Handle(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    // Re-enable the others before hiding, so the activation goes back to them.
    others.reset();
    ::ShowWindow(Handle(), SW_HIDE);
    return modalResult_;
}

LRESULT TModalForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        modalResult_ = mrCancel;
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (lParam == 0 || ::IsWindowEnabled(reinterpret_cast<HWND>(lParam)))
                modalResult_ = static_cast<TModalResult>(LOWORD(wParam));
            return 0;
        }
        break;
    case WM_NEXTDLGCTL: {
        // A control that keeps Tab for itself (a multi-line edit) asks its form to move the keyboard on.
        const HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                           : ::GetNextDlgTabItem(Handle(), ::GetFocus(), wParam != 0);
        if (target) ::SetFocus(target);
        return 0;
    }
    case DM_GETDEFID:
        return defaultButton_ ? MAKELRESULT(defaultButton_, DC_HASDEFID) : 0;
    case kGetDpiScaledSize:
        // The size the layout has at the coming density, rather than the frame scaled as a picture.
        *reinterpret_cast<SIZE*>(lParam) = FrameSize(static_cast<UINT>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        SetLayoutDpi(HIWORD(wParam));
        MoveToSuggestedRect(Handle(), lParam);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = ::GetFocus();
            if (focus && ::IsChild(Handle(), focus)) focusWhenLeft_ = focus;
            break;
        }
        Application::Current()->FormActivated(Handle());
        Activated();
        // As a dialog does, the keyboard goes back to the control that had it; the default processing
        // would give it to the form itself, where Tab, Enter and Esc do nothing.
        if (!::IsIconic(Handle())) {
            const bool stillThere = focusWhenLeft_ && ::IsChild(Handle(), focusWhenLeft_) &&
                                    ::IsWindowVisible(focusWhenLeft_) && ::IsWindowEnabled(focusWhenLeft_);
            const HWND focus = stillThere ? focusWhenLeft_ : ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
            if (focus) {
                ::SetFocus(focus);
                return 0;
            }
        }
        break;
    case WM_ERASEBKGND: {
        RECT client;
        ::GetClientRect(Handle(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush());
        return 1;
    }
    default:
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

}  // namespace vantor::win32
