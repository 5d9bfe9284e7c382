#pragma once
// TForm1: the borderless mini window with the trend chart across its top and eight figures below it,
// its tray icon, popup menu and the once-a-second tick that feeds them.

#include <array>
#include <memory>
#include <string>

#include "app/core/Locale.h"
#include "app/core/MonitorState.h"
#include "app/core/Settings.h"
#include "app/core/Snap.h"
#include "app/core/TrafficLog.h"
#include "components/NetworkSpeed/NetworkSpeed.h"
#include "components/Taskbar/Taskbar.h"
#include "components/TyxTrend/win32/TyxTrendWindow.h"
#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Hints.h"
#include "framework/win32/Label.h"
#include "framework/win32/Menu.h"
#include "framework/win32/Timer.h"
#include "framework/win32/Window.h"

namespace vantor {

class TForm1 final : public TComponent, public win32::Window {
public:
    explicit TForm1(IfTableReader& interfaceTable = DefaultIfTableReader());
    ~TForm1() override;

    static constexpr int kClientWidth = 217;
    static constexpr int kClientHeight = 78;

    void FormCreate();
    void FormDestroy();
    void FormActivate();
    void FormDblClick(TComponent& sender);
    void FormMouseDown(TComponent& sender, TMouseButton button, TShiftState shift, int x, int y);
    void Timer1Timer(TComponent& sender);
    void N1Click(TComponent& sender);
    void N2Click(TComponent& sender);
    void N4Click(TComponent& sender);
    void N5Click(TComponent& sender);
    void N7Click(TComponent& sender);
    void N8Click(TComponent& sender);
    void TrayIcon1MouseDown(TComponent& sender, TMouseButton button, TShiftState shift, int x, int y);
    void SetTrayImage(int receivePercent, int sendPercent);
    void WriteLogLine();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateControls();
    void CreateMenu();
    void ConfigureTrayIcon();
    void PaintFace(HDC dc) const;
    snap::Rect WindowRect() const;
    snap::SnapReferences SnapReferences() const;
    // Shows an error that ended a tick; while one such box is open, later ones are not stacked on it.
    void ShowTickError(const std::exception& error);
    // Stops the timer, saves the settings and writes the last log line, once.
    void ExitSequence();

    win32::GdiObject formFont_;
    win32::GdiObject figureFont_;
    win32::GdiObject image1_;

    std::unique_ptr<TTyxTrendWindow> TyxTrend1;
    // The figures: send row (1, 3, 5, 7) over receive row (2, 4, 6, 8); then the column captions.
    std::unique_ptr<win32::TLabel> Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8;
    std::unique_ptr<win32::TLabel> Label9, Label10, Label11, Label12;
    win32::TPopupMenu PopupMenu1{this};
    win32::TMenuItem* N4 = nullptr;
    TTrayIcon TrayIcon1{this};
    std::array<win32::IconHandle, 16> ImageList3;
    TNetworkSpeed NetworkSpeed1;
    win32::TTimer Timer1{this, 1000, false};
    std::unique_ptr<win32::THints> hints_;

    MonitorSettings settings_;
    MonitorState state_;
    LocaleFormats locale_;
    std::string executableDirectory_;
    snap::MoveTracking tracking_;
    TrafficLog log_;
    bool visibleMark_ = false;
    bool tickErrorShown_ = false;
    bool exitDone_ = false;
};

}  // namespace vantor
