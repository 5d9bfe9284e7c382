#include "app/win32/MiniWindow.h"

#include <windowsx.h>

#include <stdexcept>

#include "app/core/Artwork.h"
#include "app/core/MainChart.h"
#include "app/core/SettingsDialogValues.h"
#include "app/core/SettingsFile.h"
#include "app/core/TrayImage.h"
#include "app/core/UsageTick.h"
#include "app/core/WatchedInterface.h"
#include "app/win32/AboutBox.h"
#include "app/win32/Pictures.h"
#include "app/win32/PrivateProfile.h"
#include "app/win32/SettingsDialog.h"
#include "app/win32/SingleInstance.h"
#include "app/win32/StartupRegistry.h"
#include "app/win32/UserLocale.h"
#include "framework/win32/Application.h"
#include "framework/win32/Convert.h"
#include "framework/win32/ModalForm.h"
#include "framework/win32/Mouse.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

constexpr DWORD kMiniWindowStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_THICKFRAME;
constexpr DWORD kMiniWindowExStyle = WS_EX_CONTROLPARENT;
// The background band under the chart, behind the captions and figures.
constexpr RECT kBandRect{0, kChartHeight, kChartWidth, 2 * kChartHeight};
const win32::FontOptions kFigureFont{L"Times New Roman", -11, ANSI_CHARSET};
constexpr COLORREF kFigureColor = RGB(0x20, 0x20, 0x20);
// The system's drag-move command: SC_MOVE with the caption as the grip.
constexpr WPARAM kDragMove = SC_MOVE | HTCAPTION;

win32::LabelOptions Figure(int left, int top, int width, const wchar_t* design, HFONT font) {
    return {.left = left, .top = top, .width = width, .height = 14, .text = design, .font = font,
            .color = kFigureColor, .alignment = win32::TAlignment::taRightJustify};
}

// The column captions size themselves to their text.
win32::LabelOptions Caption(int left, const wchar_t* text, HFONT font) {
    return {.left = left, .top = 41, .text = text, .font = font, .color = ::GetSysColor(COLOR_WINDOWTEXT),
            .alignment = win32::TAlignment::taLeftJustify, .autoSize = true};
}

static_assert(static_cast<int>(snap::SizingEdge::Left) == WMSZ_LEFT);
static_assert(static_cast<int>(snap::SizingEdge::Right) == WMSZ_RIGHT);
static_assert(static_cast<int>(snap::SizingEdge::Top) == WMSZ_TOP);
static_assert(static_cast<int>(snap::SizingEdge::TopLeft) == WMSZ_TOPLEFT);
static_assert(static_cast<int>(snap::SizingEdge::TopRight) == WMSZ_TOPRIGHT);
static_assert(static_cast<int>(snap::SizingEdge::Bottom) == WMSZ_BOTTOM);
static_assert(static_cast<int>(snap::SizingEdge::BottomLeft) == WMSZ_BOTTOMLEFT);
static_assert(static_cast<int>(snap::SizingEdge::BottomRight) == WMSZ_BOTTOMRIGHT);

}  // namespace

TMiniWindow::TMiniWindow(IfTableReader& interfaceTable)
    : TComponent(nullptr), counterSource_(this, interfaceTable), log_(DefaultLogFileSystem(), DefaultLogClock()) {
    // Read first: the settings may force the language of every text made below.
    const LoadedSettings loaded = LoadSettingsFile();
    BeginLoading();
    RegisterClass(kClassName, CS_DBLCLKS, nullptr);
    CreateHandle({.className = kClassName,
                  .text = kWindowText,
                  .style = kMiniWindowStyle,
                  .exStyle = kMiniWindowExStyle,
                  .parent = win32::Application::Current()->Handle()});
    win32::Application::Current()->AddForm(Handle());
    // A copy started as administrator still hears a second start of the same user.
    (void)win32::SingleInstance::AcceptShowRequests(Handle());
    // Laid out for the monitor it is made on; the saved position may take it to another one.
    dpi_ = win32::DpiForWindow(Handle());
    captionFont_ = win32::MakeFont(CaptionFont(), dpi_);
    figureFont_ = win32::MakeFont(kFigureFont, dpi_);
    bandBitmap_ = BitmapFromImage(art::BackgroundBand(static_cast<int>(dpi_)), language_);
    const SIZE frame = FrameSize(dpi_);
    ::SetWindowPos(Handle(), nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls();
    CreateMenu();
    UpdateTrayPictures();
    ConfigureTrayIcon();
    tickTimer_.OnTimer = [this](TComponent& sender) { Tick(sender); };
    // Loading ends here: the tray icon goes to the notification area with its stored picture.
    EndLoading();
    ApplySettingsAndShow(loaded);
    tickTimer_.SetEnabled(true);
}

TMiniWindow::~TMiniWindow() {
    ExitSequence();
    win32::Application::Current()->RemoveForm(Handle());
    DestroyHandle();
}

void TMiniWindow::CreateControls() {
    const auto figure = reinterpret_cast<HFONT>(figureFont_.Get());
    const auto caption = reinterpret_cast<HFONT>(captionFont_.Get());
    const HWND self = Handle();
    const auto make = [&](const win32::LabelOptions& options) {
        return std::make_unique<win32::TLabel>(this, self, options);
    };
    struct Column {
        std::unique_ptr<win32::TLabel> FigureRow::*figure;
        int left, width;
        const wchar_t* design;
    };
    const Column columns[] = {{&FigureRow::current, 27, 45, L"999999.9"},
                              {&FigureRow::average, 80, 45, L"999999.9"},
                              {&FigureRow::peak, 131, 45, L"999999.9"},
                              {&FigureRow::rate, 181, 27, L"999%"}};
    // Column by column, the send figure over the receive one: other programs find them in this order.
    for (const Column& column : columns) {
        sendRow_.*column.figure = make(Figure(column.left, 54, column.width, column.design, figure));
        receiveRow_.*column.figure = make(Figure(column.left, 65, column.width, column.design, figure));
    }
    columnCaptions_ = {make(Caption(54, L"cur", caption)), make(Caption(105, L"ave", caption)),
                       make(Caption(152, L"max", caption)), make(Caption(186, L"rate", caption))};

    chart_ = std::make_unique<TTyxTrendWindow>(this, self, 0, 0, kChartWidth, kChartHeight);
    ConfigureMainChart(*chart_);
    // The chart lies above everything else of the window.
    ::SetWindowPos(chart_->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    const auto hide = [this](TComponent& sender) { HideClick(sender); };
    const auto press = [this](TComponent& sender, TMouseButton button, TShiftState shift, int x, int y) {
        FaceMouseDown(sender, button, shift, x, y);
    };
    chart_->OnDblClick = hide;
    chart_->OnMouseDown = press;
    const UiTexts& t = Texts();
    hints_ = std::make_unique<win32::THints>(self, t.CannotMakeHints);
    hints_->Add(chart_->Handle(), win32::Widen(t.ChartHint).c_str());
    const std::pair<win32::TLabel*, std::string_view> figures[] = {
        {sendRow_.current.get(), t.CurrentSendHint}, {receiveRow_.current.get(), t.CurrentReceiveHint},
        {sendRow_.average.get(), t.AverageSendHint}, {receiveRow_.average.get(), t.AverageReceiveHint},
        {sendRow_.peak.get(), t.PeakSendHint},       {receiveRow_.peak.get(), t.PeakReceiveHint},
        {sendRow_.rate.get(), t.SendRateHint},       {receiveRow_.rate.get(), t.ReceiveRateHint}};
    for (const auto& [label, hint] : figures) {
        label->OnDblClick = hide;
        label->OnMouseDown = press;
        hints_->Add(label->Handle(), win32::Widen(hint).c_str());
    }
}

void TMiniWindow::SetLayoutDpi(UINT dpi) {
    dpi_ = dpi;
    win32::GdiObject captionFont = win32::MakeFont(CaptionFont(), dpi), figureFont = win32::MakeFont(kFigureFont, dpi);
    // The labels take the new fonts before the old ones go.
    for (FigureRow* row : {&sendRow_, &receiveRow_})
        for (auto* label : {row->current.get(), row->average.get(), row->peak.get(), row->rate.get()})
            label->SetDpi(dpi, reinterpret_cast<HFONT>(figureFont.Get()));
    for (auto& caption : columnCaptions_) caption->SetDpi(dpi, reinterpret_cast<HFONT>(captionFont.Get()));
    captionFont_ = std::move(captionFont);
    figureFont_ = std::move(figureFont);
    bandBitmap_ = BitmapFromImage(art::BackgroundBand(static_cast<int>(dpi)), language_);
    chart_->SetLayoutDpi(dpi);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

win32::FontOptions TMiniWindow::CaptionFont() const {
    return win32::TextFont(language_, {L"ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET});
}

SIZE TMiniWindow::FrameSize(UINT dpi) const {
    const RECT frame = win32::WindowRectForClient(win32::ScaleRect(0, 0, kClientWidth, kClientHeight, dpi),
                                                  kMiniWindowStyle, kMiniWindowExStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void TMiniWindow::UpdateTrayPictures() {
    // The taskbar's size, not this window's monitor's: the notification area asks for that one.
    const int size = win32::SmallIconSize();
    if (size == trayPictureSize_) return;
    trayPictureSize_ = size;
    for (std::size_t i = 0; i < trayPictures_.size(); ++i)
        trayPictures_[i] = IconFromImage(art::TrayImage(static_cast<int>(i), size), language_);
    if (trayIcon_.Icon()) trayIcon_.SetIcon(trayPictures_[trayPicture_].Get());
}

RECT TMiniWindow::BandRect() const {
    return win32::ScaleRect(kBandRect.left, kBandRect.top, kBandRect.right - kBandRect.left,
                            kBandRect.bottom - kBandRect.top, dpi_);
}

void TMiniWindow::FigureRow::Show(const DirectionOutputs& figures) {
    current->SetCaption(win32::Widen(figures.Current));
    average->SetCaption(win32::Widen(figures.Average));
    peak->SetCaption(win32::Widen(figures.Peak));
    rate->SetCaption(win32::Widen(figures.Rate));
}

void TMiniWindow::CreateMenu() {
    const auto handler = [this](void (TMiniWindow::*method)(TComponent&)) {
        return [this, method](TComponent& sender) { (this->*method)(sender); };
    };
    const UiTexts& t = Texts();
    menu_.Add(win32::Widen(t.MenuAbout), handler(&TMiniWindow::AboutClick));
    menu_.Add(L"-");
    menu_.Add(win32::Widen(t.MenuSettings), handler(&TMiniWindow::SettingsClick));
    menu_.Add(win32::Widen(t.MenuUsage), handler(&TMiniWindow::UsageClick));
    menu_.Add(L"-");
    menu_.Add(win32::Widen(t.MenuResetPeaks), handler(&TMiniWindow::ResetPeaksClick));
    menu_.Add(L"-");
    menu_.Add(win32::Widen(t.MenuMinimize), handler(&TMiniWindow::HideClick));
    stayOnTopItem_ = &menu_.Add(win32::Widen(t.MenuStayOnTop), handler(&TMiniWindow::StayOnTopClick));
    menu_.Add(L"-");
    menu_.Add(win32::Widen(t.MenuExit), handler(&TMiniWindow::ExitClick));
}

void TMiniWindow::ConfigureTrayIcon() {
    trayIcon_.SetIcon(trayPictures_[0].Get());
    trayIcon_.SetTipHelp("Vantor Infomation2.00");
    trayIcon_.SetResourceIconID(-1);
    trayIcon_.SetCheckSingleDoubleClick(true);
    trayIcon_.SetBalloonHelpTimeOut(0);
    trayIcon_.ToolTipStyle().SetUseDefault(true);
    trayIcon_.ToolTipStyle().SetBackGroundColor(clBlack);
    trayIcon_.ToolTipStyle().SetTextColor(clWindowText);
    trayIcon_.SetRButtonPopupMenu(&menu_);
    trayIcon_.OnMouseDown = [this](TComponent& sender, TMouseButton button, TShiftState shift, int x, int y) {
        TrayIconMouseDown(sender, button, shift, x, y);
    };
}

LoadedSettings TMiniWindow::LoadSettingsFile() {
    win32::SystemSettingsFolders folders;
    place_ = ChooseSettingsPlace(folders, win32::Narrow(win32::ExecutableDirectory()));
    win32::PrivateProfile profile(place_.ReadPath);
    LoadedSettings loaded = LoadSettings(profile, place_.Folder);
    loaded.Settings.LogPath = PlaceLogPath(place_, loaded.Settings.LogPath);
    language_ = win32::UserLanguage(loaded.Settings.LanguageSetting);
    return loaded;
}

void TMiniWindow::ApplySettingsAndShow(const LoadedSettings& loaded) {
    settings_ = loaded.Settings;
    state_ = loaded.State;
    locale_ = win32::UserLocaleFormats();
    locale_.TextLanguage = language_;

    RECT frame;
    ::GetWindowRect(Handle(), &frame);
    const TPoint position = CheckWindowPosition(loaded.Position, frame.right - frame.left, frame.bottom - frame.top,
                                                win32::SystemDisplayLayout());
    ::SetWindowPos(Handle(), nullptr, position.X, position.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the system did not already say so (WM_DPICHANGED), the window takes the density of the
    // monitor at its saved position.
    if (const UINT dpi = win32::DpiForWindow(Handle()); dpi != dpi_) {
        SetLayoutDpi(dpi);
        const SIZE size = FrameSize(dpi);
        ::SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    StartWatching(counterSource_, settings_);
    // The history lives beside the settings file, whose folder may not be there yet.
    win32::PrepareSettingsFolder(place_);
    history_ = std::make_unique<UsageHistory>(place_.Folder, usageClock_, usageFiles_);
    planCheck_ = std::make_unique<PlanCheck>(*history_, settings_.Plan.value_or(UsagePlan{}));

    if (settings_.ShowAtStart) ::ShowWindow(Handle(), SW_SHOW);
    if (settings_.StayOnTop) {
        stayOnTopItem_->SetChecked(true);
        ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    const std::wstring speed = win32::Widen(kInitialSpeedText), rate = win32::Widen(kInitialRateText);
    for (FigureRow* row : {&sendRow_, &receiveRow_}) {
        for (auto* label : {row->current.get(), row->average.get(), row->peak.get()}) label->SetCaption(speed);
        row->rate->SetCaption(rate);
    }
    ::ShowWindow(win32::Application::Current()->Handle(), SW_HIDE);
}

void TMiniWindow::SaveSettingsAndLog() {
    tickTimer_.SetEnabled(false);
    RECT frame;
    ::GetWindowRect(Handle(), &frame);
    win32::PrepareSettingsFolder(place_);
    win32::PrivateProfile profile(place_.SavePath);
    SaveSettings(profile, SettingsForExit(settings_, counterSource_), {frame.left, frame.top}, language_);
    if (settings_.LogEnabled) WriteLogLine();
}

void TMiniWindow::ExitSequence() {
    if (exitDone_) return;
    exitDone_ = true;
    if (history_) history_->Flush();
    try {
        SaveSettingsAndLog();
    } catch (const std::exception& error) {
        win32::Application::HandleException(error);
    }
}

void TMiniWindow::KeepApplicationWindowHidden() { ::ShowWindow(win32::Application::Current()->Handle(), SW_HIDE); }

void TMiniWindow::FaceMouseDown(TComponent&, TMouseButton button, TShiftState shift, int x, int y) {
    // A right press opens the menu even when its state still reports a left button released elsewhere.
    if (button != TMouseButton::mbLeft || !(shift & ssLeft)) return;
    ::ReleaseCapture();
    ::SendMessageW(Handle(), WM_SYSCOMMAND, kDragMove, MAKELPARAM(x, y));
    // The move loop ends on the quit request and keeps it: a loop around this one must see it too.
    if (win32::Application::Current()->Terminated()) ::PostQuitMessage(0);
}

void TMiniWindow::Tick(TComponent&) {
    try {
        counterSource_.Sample();
        FollowWatchedInterface(counterSource_, settings_);
        CounterSample sample = ReadCounters(counterSource_);
        sample.UsageLine = TickUsage();
        const TickOutputs out = RunTick(state_, settings_, sample, locale_);
        sendRow_.Show(out.Send);
        chart_->AddValue1(out.Send.ChartPoint);
        receiveRow_.Show(out.Receive);
        chart_->AddValue2(out.Receive.ChartPoint);
        // Each change of the icon costs the shell a round of work: what it already shows is not sent again.
        if (out.TipHelp != trayTipSent_ || !trayIcon_.TaskTrayIcon().Added()) {
            trayIcon_.SetTipHelp(out.TipHelp);
            trayTipSent_ = out.TipHelp;
        }
        SetTrayImage(out.Receive.TrayPercent, out.Send.TrayPercent);
        ShowWaitingBalloon();
        if (out.LogDue) {
            WriteLogLine();
            LogLineWritten(state_);
        }
    } catch (const std::exception& error) {
        ShowTickError(error);
    }
}

std::string TMiniWindow::TickUsage() {
    if (!history_) return {};
    history_->Tick(CountedConnections(counterSource_));
    while (const auto problem = history_->TakeProblem()) balloons_.push_back(ProblemBalloon(*problem, locale_));
    if (const auto warning = planCheck_->Check()) balloons_.push_back(PlanBalloon(*warning, locale_));
    return UsageTipLine(*history_, *planCheck_, counterSource_, locale_);
}

void TMiniWindow::ShowWaitingBalloon() {
    if (balloons_.empty()) return;
    const BalloonText& balloon = balloons_.front();
    if (trayIcon_.ShowBalloon(balloon.Title, balloon.Text, TBalloonIconType::bitWarning)) balloons_.pop_front();
}

void TMiniWindow::ShowTickError(const std::exception& error) {
    if (tickErrorShown_) return;
    tickErrorShown_ = true;
    win32::Application::HandleException(error);
    tickErrorShown_ = false;
}

void TMiniWindow::SetTrayImage(int receivePercent, int sendPercent) {
    const auto index = static_cast<std::size_t>(TrayImageIndex(receivePercent, sendPercent));
    if (index == trayPicture_ && trayIcon_.TaskTrayIcon().Added()) return;
    trayPicture_ = index;
    trayIcon_.SetIcon(trayPictures_[trayPicture_].Get());
}

void TMiniWindow::WriteLogLine() {
    log_.WriteLogLine(settings_.LogPath, LogLineCounts(state_), locale_);
}

void TMiniWindow::ExitClick(TComponent&) { win32::Application::Current()->Terminate(); }

void TMiniWindow::UsageClick(TComponent&) {
    if (!history_ || !planCheck_) return;
    if (!usageWindow_)
        usageWindow_ = std::make_unique<TUsageWindow>(*history_, *planCheck_, locale_,
                                                      [this](const UsagePlan& plan) { settings_.Plan = plan; });
    usageWindow_->Open();
}

void TMiniWindow::SettingsClick(TComponent&) {
    TSettingsDialog dialog(language_);
    SettingsDialogValues values = FillSettingsDialog(settings_, counterSource_, language_);
    win32::SystemStartupRegistry startup;
    const std::string exe = win32::Narrow(win32::ExecutablePath());
    values.StartWithWindows = StartsWithWindows(startup, exe);
    dialog.Fill(values);
    if (dialog.ShowModal() != win32::mrOk) return;
    const SettingsDialogValues chosen = dialog.Read();
    const std::optional<WatchChoice> watch = ApplySettingsDialog(chosen, settings_, state_);
    settings_.LogPath = PlaceLogPath(place_, settings_.LogPath);
    const bool present = !watch || WatchChosen(counterSource_, settings_, *watch);
    if (!ApplyStartWithWindows(startup, exe, values.StartWithWindows, chosen.StartWithWindows))
        throw std::runtime_error(std::string(Texts().CannotChangeStartup));
    if (!present) {
        // Picked while it vanished: it is waited for rather than whatever holds its place now.
        const std::string& name = chosen.Interfaces[static_cast<std::size_t>(chosen.InterfaceIndex)].Text;
        win32::Application::Current()->ShowMessage(win32::Widen(WithPath(Texts().ChosenInterfaceAway, name)),
                                                   MB_ICONINFORMATION);
    }
}

void TMiniWindow::StayOnTopClick(TComponent&) {
    settings_.StayOnTop = !settings_.StayOnTop;
    stayOnTopItem_->SetChecked(settings_.StayOnTop);
    ::SetWindowPos(Handle(), settings_.StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE);
}

void TMiniWindow::HideClick(TComponent&) { ::ShowWindow(Handle(), SW_HIDE); }

void TMiniWindow::AboutClick(TComponent&) {
    TAboutBox about(language_);
    about.ShowModal();
}

void TMiniWindow::ResetPeaksClick(TComponent&) { ResetPeaks(state_); }

void TMiniWindow::TrayIconMouseDown(TComponent&, TMouseButton, TShiftState, int, int) {
    // A window shown during a modal run would take input the run is meant to hold.
    if (win32::Application::Current()->BringModalRunToFront()) return;
    ::SetForegroundWindow(Handle());
    ::ShowWindow(Handle(), SW_SHOW);
}

void TMiniWindow::ShowForAnotherStart() {
    if (win32::Application::Current()->BringModalRunToFront()) return;
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
}

void TMiniWindow::PaintFace(HDC dc) const {
    RECT client;
    ::GetClientRect(Handle(), &client);
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    win32::MemoryDc picture(::CreateCompatibleDC(dc));
    win32::SelectGuard selected(picture.Get(), bandBitmap_.Get());
    const RECT band = BandRect();
    ::BitBlt(dc, band.left, band.top, band.right - band.left, band.bottom - band.top, picture.Get(), 0, 0, SRCCOPY);
}

TRect TMiniWindow::WindowRect() const {
    RECT r;
    ::GetWindowRect(Handle(), &r);
    return win32::FromWin32Rect(r);
}

snap::SnapReferences TMiniWindow::SnapReferences(const RECT& window) const {
    snap::SnapReferences references;
    references.Distance = ScaleToDpi(snap::SnapDistance, static_cast<int>(dpi_));
    MONITORINFO monitor{sizeof(monitor)};
    if (::GetMonitorInfoW(::MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &monitor))
        references.WorkArea = win32::FromWin32Rect(monitor.rcWork);
    for (HWND form : win32::Application::Current()->Forms()) {
        if (form == Handle()) continue;
        RECT r;
        ::GetWindowRect(form, &r);
        references.Windows.push_back({win32::FromWin32Rect(r), ::IsWindowVisible(form) != FALSE});
    }
    return references;
}

LRESULT TMiniWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == win32::SingleInstance::ShowRequestMessage()) {
        ShowForAnotherStart();
        return 0;
    }
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
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        HideClick(*this);
        FaceMouseDown(*this, TMouseButton::mbLeft, win32::MouseShiftState(wParam, true), at.x, at.y - BandRect().top);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT band = BandRect();
        const int imageTop = ::PtInRect(&band, at) ? band.top : 0;
        FaceMouseDown(*this, TMouseButton::mbLeft, win32::MouseShiftState(wParam, false), at.x, at.y - imageTop);
        return 0;
    }
    case WM_CONTEXTMENU: {
        // An error box owned by the hidden application window leaves this one enabled: no second run from here.
        if (win32::Application::Current()->BringModalRunToFront()) return 0;
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == -1 && at.y == -1) ::GetCursorPos(&at);
        menu_.Popup(at.x, at.y);
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
        moving_ = true;
        return result;
    }
    case WM_EXITSIZEMOVE:
        moving_ = false;
        return DefaultHandler(message, wParam, lParam);
    case WM_MOVING: {
        DefaultHandler(message, wParam, lParam);
        auto* proposed = reinterpret_cast<RECT*>(lParam);
        *proposed = win32::ToWin32Rect(tracking_.Moving(win32::FromWin32Rect(*proposed), SnapReferences(*proposed)));
        return -1;
    }
    case WM_SIZING: {
        DefaultHandler(message, wParam, lParam);
        auto* proposed = reinterpret_cast<RECT*>(lParam);
        TRect rect = win32::FromWin32Rect(*proposed);
        snap::SnapSizingRect(rect, static_cast<int>(wParam), SnapReferences(*proposed));
        *proposed = win32::ToWin32Rect(rect);
        return -1;
    }
    case win32::kGetDpiScaledSize: {
        // The size the layout has at the coming density, rather than the frame scaled as a picture.
        *reinterpret_cast<SIZE*>(lParam) = FrameSize(static_cast<UINT>(wParam));
        return TRUE;
    }
    case WM_DPICHANGED: {
        SetLayoutDpi(HIWORD(wParam));
        const RECT suggested = win32::MoveToSuggestedRect(Handle(), lParam);
        // Dragged across monitors, the move goes on from where the system put the window: snapping to the
        // old place would pull it back over the boundary.
        if (moving_) tracking_.EnterSizeMove(win32::FromWin32Rect(suggested));
        UpdateTrayPictures();
        return 0;
    }
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
        UpdateTrayPictures();
        return DefaultHandler(message, wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            win32::Application::Current()->FormActivated(Handle());
            KeepApplicationWindowHidden();
        }
        return DefaultHandler(message, wParam, lParam);
    case WM_POWERBROADCAST:
        // What is counted is written before the system sleeps: it may never wake.
        if (wParam == PBT_APMSUSPEND && history_) history_->Flush();
        return TRUE;
    case WM_ENDSESSION:
        // Logging off or shutting down ends the process without a normal close: save now.
        if (wParam) ExitSequence();
        return 0;
    case WM_CLOSE:
        ExitClick(*this);
        return 0;
    default:
        return DefaultHandler(message, wParam, lParam);
    }
}

}  // namespace vantor
