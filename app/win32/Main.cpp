#include "app/win32/Main.h"

#include <windowsx.h>

#include "app/core/Artwork.h"
#include "app/core/MainChart.h"
#include "app/core/PropDialog.h"
#include "app/core/SettingsFile.h"
#include "app/core/Tick.h"
#include "app/core/TrayImage.h"
#include "app/win32/About.h"
#include "app/win32/Pictures.h"
#include "app/win32/Prop.h"
#include "app/win32/PrivateProfile.h"
#include "app/win32/UserLocale.h"
#include "framework/win32/Application.h"
#include "framework/win32/ModalForm.h"
#include "framework/win32/Mouse.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

constexpr wchar_t kFormClass[] = L"TForm1";
constexpr DWORD kFormStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_THICKFRAME;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
constexpr RECT kImage1{0, 40, 220, 80};
constexpr COLORREF kFigureColor = RGB(0x20, 0x20, 0x20);
// The system's drag-move command: SC_MOVE with the caption as the grip.
constexpr WPARAM kDragMove = SC_MOVE | HTCAPTION;

win32::LabelSpec Figure(int left, int top, int width, const wchar_t* design, HFONT font) {
    return {.left = left, .top = top, .width = width, .height = 14, .text = design, .font = font,
            .color = kFigureColor, .alignment = win32::TAlignment::taRightJustify};
}

// The column captions size themselves to their text.
win32::LabelSpec Caption(int left, const wchar_t* text, HFONT font) {
    return {.left = left, .top = 41, .text = text, .font = font, .color = ::GetSysColor(COLOR_WINDOWTEXT),
            .alignment = win32::TAlignment::taLeftJustify, .autoSize = true};
}

snap::Rect ToSnapRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const snap::Rect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

}  // namespace

TForm1::TForm1(IfTableReader& interfaceTable)
    : TComponent(nullptr),
      formFont_(win32::CreateFontFromSpec({L"ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET})),
      figureFont_(win32::CreateFontFromSpec({L"Times New Roman", -11, ANSI_CHARSET})),
      image1_(BitmapFromImage(art::BackgroundBand())),
      NetworkSpeed1(this, interfaceTable),
      log_(DefaultLogFileSystem(), DefaultLogClock()) {
    BeginLoading();
    RegisterClass(kFormClass, CS_DBLCLKS, nullptr);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    CreateHandle({.className = kFormClass,
                  .text = L"Vantor2.0",
                  .style = kFormStyle,
                  .exStyle = kFormExStyle,
                  .width = frame.right - frame.left,
                  .height = frame.bottom - frame.top,
                  .parent = win32::Application::Current()->Handle()});
    win32::Application::Current()->AddForm(Handle());
    CreateControls();
    CreateMenu();
    for (std::size_t i = 0; i < ImageList3.size(); ++i) ImageList3[i] = IconFromImage(art::TrayImage(static_cast<int>(i)));
    ConfigureTrayIcon();
    Timer1.OnTimer = [this](TComponent& sender) { Timer1Timer(sender); };
    // Loading ends here: the tray icon goes to the notification area with its stored picture.
    EndLoading();
    FormCreate();
    Timer1.SetEnabled(true);
}

TForm1::~TForm1() {
    ExitSequence();
    win32::Application::Current()->RemoveForm(Handle());
    DestroyHandle();
}

void TForm1::CreateControls() {
    const auto figure = reinterpret_cast<HFONT>(figureFont_.Get());
    const auto form = reinterpret_cast<HFONT>(formFont_.Get());
    const HWND self = Handle();
    Label1 = std::make_unique<win32::TLabel>(this, self, Figure(27, 54, 45, L"999999.9", figure));
    Label2 = std::make_unique<win32::TLabel>(this, self, Figure(27, 65, 45, L"999999.9", figure));
    Label3 = std::make_unique<win32::TLabel>(this, self, Figure(80, 54, 45, L"999999.9", figure));
    Label4 = std::make_unique<win32::TLabel>(this, self, Figure(80, 65, 45, L"999999.9", figure));
    Label5 = std::make_unique<win32::TLabel>(this, self, Figure(131, 54, 45, L"999999.9", figure));
    Label6 = std::make_unique<win32::TLabel>(this, self, Figure(131, 65, 45, L"999999.9", figure));
    Label7 = std::make_unique<win32::TLabel>(this, self, Figure(181, 54, 27, L"999%", figure));
    Label8 = std::make_unique<win32::TLabel>(this, self, Figure(181, 65, 27, L"999%", figure));
    Label9 = std::make_unique<win32::TLabel>(this, self, Caption(54, L"cur", form));
    Label10 = std::make_unique<win32::TLabel>(this, self, Caption(105, L"ave", form));
    Label11 = std::make_unique<win32::TLabel>(this, self, Caption(152, L"max", form));
    Label12 = std::make_unique<win32::TLabel>(this, self, Caption(186, L"rate", form));

    TyxTrend1 = std::make_unique<TTyxTrendWindow>(this, self, 0, 0, 220, 40);
    ConfigureMainChart(*TyxTrend1);
    // The chart lies above everything else of the window.
    ::SetWindowPos(TyxTrend1->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    const auto hide = [this](TComponent& sender) { N5Click(sender); };
    const auto press = [this](TComponent& sender, TMouseButton button, TShiftState shift, int x, int y) {
        FormMouseDown(sender, button, shift, x, y);
    };
    TyxTrend1->OnDblClick = hide;
    TyxTrend1->OnMouseDown = press;
    hints_ = std::make_unique<win32::THints>(self);
    hints_->Add(TyxTrend1->Handle(), L"紫:送信 赤:受信");
    const std::pair<win32::TLabel*, const wchar_t*> figures[] = {
        {Label1.get(), L"現在送信速度"}, {Label2.get(), L"現在受信速度"}, {Label3.get(), L"平均送信速度"},
        {Label4.get(), L"平均受信速度"}, {Label5.get(), L"最高送信速度"}, {Label6.get(), L"最高受信速度"},
        {Label7.get(), L"送信レート"},   {Label8.get(), L"受信レート"}};
    for (const auto& [label, hint] : figures) {
        label->OnDblClick = hide;
        label->OnMouseDown = press;
        hints_->Add(label->Handle(), hint);
    }
}

void TForm1::CreateMenu() {
    const auto handler = [this](void (TForm1::*method)(TComponent&)) {
        return [this, method](TComponent& sender) { (this->*method)(sender); };
    };
    PopupMenu1.Add(L"バージョン情報...", handler(&TForm1::N7Click));
    PopupMenu1.Add(L"-");
    PopupMenu1.Add(L"インタフェース設定", handler(&TForm1::N2Click));
    PopupMenu1.Add(L"-");
    PopupMenu1.Add(L"最高速度をリセット", handler(&TForm1::N8Click));
    PopupMenu1.Add(L"-");
    PopupMenu1.Add(L"最小化", handler(&TForm1::N5Click));
    N4 = &PopupMenu1.Add(L"常に手前に表示する", handler(&TForm1::N4Click));
    PopupMenu1.Add(L"-");
    PopupMenu1.Add(L"終了", handler(&TForm1::N1Click));
}

void TForm1::ConfigureTrayIcon() {
    TrayIcon1.SetIcon(ImageList3[0].Get());
    TrayIcon1.SetTipHelp("Vantor Infomation2.00");
    TrayIcon1.SetResourceIconID(-1);
    TrayIcon1.SetCheckSingleDoubleClick(true);
    TrayIcon1.SetBalloonHelpTimeOut(0);
    TrayIcon1.ToolTipStyle().SetUseDefault(true);
    TrayIcon1.ToolTipStyle().SetBackGroundColor(clBlack);
    TrayIcon1.ToolTipStyle().SetTextColor(clWindowText);
    TrayIcon1.SetRButtonPopupMenu(&PopupMenu1);
    TrayIcon1.OnMouseDown = [this](TComponent& sender, TMouseButton button, TShiftState shift, int x, int y) {
        TrayIcon1MouseDown(sender, button, shift, x, y);
    };
}

void TForm1::FormCreate() {
    executableDirectory_ = win32::Narrow(win32::ExecutableDirectory());
    win32::PrivateProfile profile(SettingsFilePath(executableDirectory_));
    LoadedSettings loaded = LoadSettings(profile, executableDirectory_);
    settings_ = loaded.Settings;
    state_ = loaded.State;
    locale_ = win32::UserLocaleFormats();

    RECT frame;
    ::GetWindowRect(Handle(), &frame);
    const WindowPosition position = CheckWindowPosition(loaded.Position, frame.right - frame.left,
                                                        frame.bottom - frame.top, win32::SystemDisplayLayout());
    ::SetWindowPos(Handle(), nullptr, position.Left, position.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    NetworkSpeed1.SetInterfaceNo(settings_.SelectedInterface);
    (void)NetworkSpeed1.RefreshTable();

    if (settings_.ShowAtStart) {
        ::ShowWindow(Handle(), SW_SHOW);
        visibleMark_ = true;
    }
    if (settings_.StayOnTop) {
        N4->SetChecked(true);
        ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    const std::wstring speed = win32::Widen(kInitialSpeedText), rate = win32::Widen(kInitialRateText);
    for (auto* label : {Label1.get(), Label2.get(), Label3.get(), Label4.get(), Label5.get(), Label6.get()})
        label->SetCaption(speed);
    Label7->SetCaption(rate);
    Label8->SetCaption(rate);
    ::ShowWindow(win32::Application::Current()->Handle(), SW_HIDE);
}

void TForm1::FormDestroy() {
    Timer1.SetEnabled(false);
    RECT frame;
    ::GetWindowRect(Handle(), &frame);
    win32::PrivateProfile profile(SettingsFilePath(executableDirectory_));
    SaveSettings(profile, settings_, {frame.left, frame.top});
    if (settings_.LogEnabled) WriteLogLine();
}

void TForm1::ExitSequence() {
    if (exitDone_) return;
    exitDone_ = true;
    try {
        FormDestroy();
    } catch (const std::exception& error) {
        win32::Application::HandleException(error);
    }
}

void TForm1::FormActivate() { ::ShowWindow(win32::Application::Current()->Handle(), SW_HIDE); }

void TForm1::FormDblClick(TComponent&) { ::ShowWindow(Handle(), SW_HIDE); }

void TForm1::FormMouseDown(TComponent&, TMouseButton button, TShiftState shift, int x, int y) {
    // A right press opens the menu even when its state still reports a left button released elsewhere.
    if (button != TMouseButton::mbLeft || !(shift & ssLeft)) return;
    ::ReleaseCapture();
    ::SendMessageW(Handle(), WM_SYSCOMMAND, kDragMove, MAKELPARAM(x, y));
    // The move loop ends on the quit request and keeps it: a loop around this one must see it too.
    if (win32::Application::Current()->Terminated()) ::PostQuitMessage(0);
}

void TForm1::Timer1Timer(TComponent&) {
    try {
        NetworkSpeed1.Sample();
        const CounterSample sample = ReadCounters(NetworkSpeed1);
        const TickOutputs out = RunTick(state_, settings_, sample, locale_);
        Label1->SetCaption(win32::Widen(out.Label1));
        Label3->SetCaption(win32::Widen(out.Label3));
        Label5->SetCaption(win32::Widen(out.Label5));
        Label7->SetCaption(win32::Widen(out.Label7));
        TyxTrend1->AddValue1(out.SendPoint);
        Label2->SetCaption(win32::Widen(out.Label2));
        Label4->SetCaption(win32::Widen(out.Label4));
        Label6->SetCaption(win32::Widen(out.Label6));
        Label8->SetCaption(win32::Widen(out.Label8));
        TyxTrend1->AddValue2(out.ReceivePoint);
        TrayIcon1.SetTipHelp(out.TipHelp);
        SetTrayImage(out.ReceivePercent, out.SendPercent);
        if (out.LogDue) {
            WriteLogLine();
            LogLineWritten(state_, sample);
        }
    } catch (const std::exception& error) {
        ShowTickError(error);
    }
}

void TForm1::ShowTickError(const std::exception& error) {
    if (tickErrorShown_) return;
    tickErrorShown_ = true;
    win32::Application::HandleException(error);
    tickErrorShown_ = false;
}

void TForm1::SetTrayImage(int receivePercent, int sendPercent) {
    TrayIcon1.SetIcon(ImageList3[static_cast<std::size_t>(TrayImageIndex(receivePercent, sendPercent))].Get());
}

void TForm1::WriteLogLine() {
    log_.WriteLogLine(settings_.LogPath, NetworkSpeed1.TotalOutPacket(), NetworkSpeed1.TotalInPacket(), state_,
                      locale_);
}

void TForm1::N1Click(TComponent&) { win32::Application::Current()->Terminate(); }

void TForm1::N2Click(TComponent&) {
    TPropDlg dialog;
    dialog.Fill(FillPropDialog(settings_, NetworkSpeed1));
    if (dialog.ShowModal() != win32::mrOk) return;
    const std::int32_t selected = ApplyPropDialog(dialog.Read(), settings_, state_);
    NetworkSpeed1.SetInterfaceNo(selected);
    (void)NetworkSpeed1.RefreshTable();
}

void TForm1::N4Click(TComponent&) {
    settings_.StayOnTop = !settings_.StayOnTop;
    N4->SetChecked(settings_.StayOnTop);
    ::SetWindowPos(Handle(), settings_.StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
}

void TForm1::N5Click(TComponent&) { ::ShowWindow(Handle(), SW_HIDE); }

void TForm1::N7Click(TComponent&) {
    TAboutBox about;
    about.ShowModal();
}

void TForm1::N8Click(TComponent&) { ResetPeaks(state_); }

void TForm1::TrayIcon1MouseDown(TComponent&, TMouseButton, TShiftState, int, int) {
    ::SetForegroundWindow(Handle());
    visibleMark_ = true;
    ::ShowWindow(Handle(), SW_SHOW);
}

void TForm1::PaintFace(HDC dc) const {
    RECT client;
    ::GetClientRect(Handle(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    win32::MemoryDc picture(::CreateCompatibleDC(dc));
    win32::SelectGuard selected(picture.Get(), image1_.Get());
    ::BitBlt(dc, kImage1.left, kImage1.top, kImage1.right - kImage1.left, kImage1.bottom - kImage1.top, picture.Get(),
             0, 0, SRCCOPY);
}

snap::Rect TForm1::WindowRect() const {
    RECT r;
    ::GetWindowRect(Handle(), &r);
    return ToSnapRect(r);
}

snap::SnapReferences TForm1::SnapReferences() const {
    snap::SnapReferences references;
    RECT workArea;
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) references.WorkArea = ToSnapRect(workArea);
    for (HWND form : win32::Application::Current()->Forms()) {
        if (form == Handle()) continue;
        RECT r;
        ::GetWindowRect(form, &r);
        references.Windows.push_back({ToSnapRect(r), ::IsWindowVisible(form) != FALSE});
    }
    return references;
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        PaintFace(::BeginPaint(Handle(), &ps));
        ::EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintFace(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDBLCLK: {
        // The band is a picture of the window's own; the rest of the face is the window itself.
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (::PtInRect(&kImage1, at))
            N5Click(*this);
        else
            FormDblClick(*this);
        FormMouseDown(*this, TMouseButton::mbLeft, win32::MouseShiftState(wParam, true), at.x, at.y - kImage1.top);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const int imageTop = ::PtInRect(&kImage1, at) ? kImage1.top : 0;
        FormMouseDown(*this, TMouseButton::mbLeft, win32::MouseShiftState(wParam, false), at.x, at.y - imageTop);
        return 0;
    }
    case WM_CONTEXTMENU: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) ::GetCursorPos(&at);
        PopupMenu1.Popup(at.x, at.y);
        return 0;
    }
    case WM_NCHITTEST: {
        // The frame is there to be seen, not to size the window.
        const LRESULT hit = DefaultHandler(message, wParam, lParam);
        return hit >= HTLEFT && hit <= HTBOTTOMRIGHT ? HTNOWHERE : hit;
    }
    case WM_ENTERSIZEMOVE: {
        const LRESULT result = DefaultHandler(message, wParam, lParam);
        tracking_.EnterSizeMove(WindowRect());
        return result;
    }
    case WM_MOVING: {
        DefaultHandler(message, wParam, lParam);
        auto* proposed = reinterpret_cast<RECT*>(lParam);
        *proposed = ToRect(tracking_.Moving(ToSnapRect(*proposed), SnapReferences()));
        return -1;
    }
    case WM_SIZING: {
        DefaultHandler(message, wParam, lParam);
        auto* proposed = reinterpret_cast<RECT*>(lParam);
        snap::Rect rect = ToSnapRect(*proposed);
        snap::SnapSizingRect(rect, static_cast<int>(wParam), SnapReferences());
        *proposed = ToRect(rect);
        return -1;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            win32::Application::Current()->FormActivated(Handle());
            FormActivate();
        }
        return DefaultHandler(message, wParam, lParam);
    case WM_ENDSESSION:
        // Logging off or shutting down ends the process without a normal close: save now.
        if (wParam) ExitSequence();
        return 0;
    case WM_CLOSE:
        N1Click(*this);
        return 0;
    default:
        return DefaultHandler(message, wParam, lParam);
    }
}

}  // namespace vantor
