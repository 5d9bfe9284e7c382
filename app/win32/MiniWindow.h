#pragma once
// TMiniWindow: the borderless mini window with the trend chart across its top and a row of figures per
// direction below it, its tray icon, popup menu and the once-a-second tick that feeds them.

#include <array>
#include <deque>
#include <memory>
#include <string>

#include "app/core/Locale.h"
#include "app/core/MonitorState.h"
#include "app/core/Settings.h"
#include "app/core/SettingsFile.h"
#include "app/core/SettingsPlace.h"
#include "app/core/Snap.h"
#include "app/core/Texts.h"
#include "app/core/Tick.h"
#include "app/core/TrafficLog.h"
#include "app/core/UsageHistory.h"
#include "app/core/UsagePlan.h"
#include "app/win32/UsageSystem.h"
#include "app/win32/UsageWindow.h"
#include "components/NetworkSpeed/NetworkSpeed.h"
#include "components/Taskbar/Taskbar.h"
#include "components/TyxTrend/win32/TyxTrendWindow.h"
#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Hints.h"
#include "framework/win32/Label.h"
#include "framework/win32/Menu.h"
#include "framework/win32/ModalForm.h"
#include "framework/win32/Timer.h"
#include "framework/win32/Window.h"

namespace vantor {

class TMiniWindow final : public TComponent, public win32::Window {
public:
    explicit TMiniWindow(IfTableReader& interfaceTable = DefaultIfTableReader());
    ~TMiniWindow() override;

    // In design units: pixels at 96 dpi, as every length of the window's layout.
    static constexpr int kClientWidth = 217;
    static constexpr int kClientHeight = 78;
    // What other programs, and a second start of this one, find the window by.
    static constexpr wchar_t kClassName[] = L"TForm1";
    static constexpr wchar_t kWindowText[] = L"Vantor2.0";

    // The menu's commands, in the menu's order.
    void AboutClick(TComponent& sender);
    void SettingsClick(TComponent& sender);
    // Opens the usage window, or brings the open one to the front.
    void UsageClick(TComponent& sender);
    void ResetPeaksClick(TComponent& sender);
    void HideClick(TComponent& sender);
    void StayOnTopClick(TComponent& sender);
    void ExitClick(TComponent& sender);

    // A press on the face starts a drag; a double-click hides the window (HideClick).
    void FaceMouseDown(TComponent& sender, TMouseButton button, TShiftState shift, int x, int y);
    // A left or middle press on the tray icon shows the window.
    void TrayIconMouseDown(TComponent& sender, TMouseButton button, TShiftState shift, int x, int y);
    // Another start of the program asked for the window: shown and in front, or the open modal run is.
    void ShowForAnotherStart();
    void Tick(TComponent& sender);
    // Shows the load picture, unless the notification area already shows it.
    void SetTrayImage(int receivePercent, int sendPercent);
    void WriteLogLine();

private:
    // The four figures of one direction's row: current, average, peak and the current as a share of the peak.
    struct FigureRow {
        std::unique_ptr<win32::TLabel> current, average, peak, rate;
        void Show(const DirectionOutputs& figures);
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls();
    void CreateMenu();
    void ConfigureTrayIcon();
    // Finds where the settings live, reads them and picks the language of the texts.
    LoadedSettings LoadSettingsFile();
    // Places the window, starts watching the interface and shows the window or not.
    void ApplySettingsAndShow(const LoadedSettings& loaded);
    // Stops the tick, writes the settings back and the last log line.
    void SaveSettingsAndLog();
    // Whenever the window becomes active, the application's own window stays without a taskbar button.
    void KeepApplicationWindowHidden();
    // Fonts, the band, the chart and the labels at another density; the caller sizes the window.
    void SetLayoutDpi(UINT dpi);
    // The outer size the window has at `dpi`.
    SIZE FrameSize(UINT dpi) const;
    // The window's own font, for the column captions, in the window's language.
    win32::FontOptions CaptionFont() const;
    // Draws the sixteen tray pictures again when the notification area's icon size has changed.
    void UpdateTrayPictures();
    RECT BandRect() const;
    void PaintFace(HDC dc) const;
    TRect WindowRect() const;
    // The work area of the monitor the rectangle is on, the program's other windows and the snap distance.
    snap::SnapReferences SnapReferences(const RECT& window) const;
    // The history's share of a tick: it counts, and its troubles and the plan's warnings wait as balloons.
    // Gives the tip's usage line.
    std::string TickUsage();
    // The first waiting balloon, once the icon is in the notification area.
    void ShowWaitingBalloon();
    // Shows an error that ended a tick; while one such box is open, later ones are not stacked on it.
    void ShowTickError(const std::exception& error);
    // Stops the timer, saves the settings and writes the last log line, once.
    void ExitSequence();

    const UiTexts& Texts() const { return TextsFor(language_); }

    SettingsPlace place_;
    Language language_ = Language::Japanese;
    win32::GdiObject captionFont_;
    win32::GdiObject figureFont_;
    win32::GdiObject bandBitmap_;

    std::unique_ptr<TTyxTrendWindow> chart_;
    FigureRow sendRow_;
    FigureRow receiveRow_;
    // The column captions over the figures: "cur", "ave", "max", "rate".
    std::array<std::unique_ptr<win32::TLabel>, 4> columnCaptions_;
    win32::TPopupMenu menu_{this};
    win32::TMenuItem* stayOnTopItem_ = nullptr;
    TTrayIcon trayIcon_{this};
    // The sixteen load pictures of the tray icon, indexed by TrayImageIndex, at the small-icon size.
    std::array<win32::IconHandle, 16> trayPictures_;
    int trayPictureSize_ = 0;
    // What the tray was last given: until the icon is in the notification area, every tick gives it again.
    std::size_t trayPicture_ = 0;
    std::string trayTipSent_;
    TNetworkSpeed counterSource_;
    win32::TTimer tickTimer_{this, 1000, false};
    std::unique_ptr<win32::THints> hints_;

    MonitorSettings settings_;
    MonitorState state_;
    LocaleFormats locale_;
    snap::MoveTracking tracking_;
    UINT dpi_ = kDesignDpi;
    bool moving_ = false;
    TrafficLog log_;
    win32::SystemUsageClock usageClock_;
    win32::SystemUsageFiles usageFiles_;
    std::unique_ptr<UsageHistory> history_;
    std::unique_ptr<PlanCheck> planCheck_;
    std::unique_ptr<TUsageWindow> usageWindow_;  // made at its first opening, over the two above
    std::deque<BalloonText> balloons_;
    bool tickErrorShown_ = false;
    bool exitDone_ = false;
};

}  // namespace vantor
