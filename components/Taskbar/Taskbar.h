#pragma once
// TTrayIcon: the notification-area icon as a component of a form.
//
// How a form uses it (the main window does exactly this):
//
//   TTrayIcon trayIcon_{this};                          // owned by the form; the icon is added by
//                                                       // Loaded() or by the first setter below
//   trayIcon_.SetTipHelp("Vantor ...");                 // UTF-8; cut to what the shell shows
//   trayIcon_.SetCheckSingleDoubleClick(true);
//   trayIcon_.SetResourceIconID(-1);
//   trayIcon_.SetBalloonHelpTimeOut(0);
//   trayIcon_.ToolTipStyle().SetUseDefault(true);       // or SetToolTipStyle(a configured style)
//   trayIcon_.ToolTipStyle().SetBackGroundColor(0x000000);
//   trayIcon_.ToolTipStyle().SetTextColor(0x80000008);
//   trayIcon_.SetRButtonPopupMenu(&menu_);              // any TCustomPopupMenu, e.g. win32::TPopupMenu
//   trayIcon_.OnMouseDown = [this](TComponent&, TMouseButton, TShiftState, int x, int y) { ... };
//   trayIcon_.SetIcon(hicon);                           // every tick: the component keeps its own copy
//                                                       // and frees the one it replaces; the caller
//                                                       // keeps (and frees) the HICON it passed
//
// A right press pops up RButtonPopupMenu at the cursor (after bringing the application to the
// foreground and processing pending messages) and fires no OnMouseDown. With CheckSingleDoubleClick a
// single click is reported by OnMouseClick one double-click time after its release, and a double click
// gives OnDblClick, one more OnMouseDown and no OnMouseClick. While the application runs a modal dialog
// or box, every button only brings that to the front: no menu, no button event. How a click comes here
// from the shell: components/TrShlApi/TrShlApi.h.
//
// Everything runs on the GUI thread; the animation thread only paces AnimateStep.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "components/TrShlApi/TrShlApi.h"
#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/PopupMenu.h"
#include "framework/Thread.h"

namespace vantor {

// An icon image the component owns; the platform frees it with the object.
class TrayIconImage {
public:
    virtual ~TrayIconImage() = default;
    virtual IconRef Handle() const noexcept = 0;
};

// The application and icon services the component uses; it calls on windows through its icon's TrayShell.
class TaskbarHost {
public:
    virtual ~TaskbarHost() = default;
    virtual WindowHandle ApplicationWindow() = 0;
    virtual IconRef ApplicationIcon() = 0;
    virtual bool ApplicationIconic() = 0;
    virtual void ProcessMessages() = 0;
    // The application's minimise and restore handlers, which the component chains itself into.
    virtual std::function<void()>& MinimizeHandler() = 0;
    virtual std::function<void()>& RestoreHandler() = 0;
    virtual void HideWindow(WindowHandle window) = 0;
    // The component's window when it is a windowed control, else null.
    virtual WindowHandle ComponentWindow(TComponent& component) = 0;
    // A copy that the caller owns (null for no icon or a failed copy).
    virtual std::unique_ptr<TrayIconImage> CopyIcon(IconRef icon) = 0;
    // An icon resource of the program by name (null when there is none).
    virtual std::unique_ptr<TrayIconImage> LoadResourceIcon(const std::string& name) = 0;
    virtual Synchronizer& GuiThread() = 0;
    // Brings the application's innermost open modal run (a dialog, a message box) to the front; false when
    // none is open.
    virtual bool BringModalRunToFront() = 0;
};

// The binding to the operating system (defined by the platform layer).
TaskbarHost& DefaultTaskbarHost();

class TTrayIcon;

// Paces the icon animation: one AnimateStep on the GUI thread every Interval milliseconds while the icon
// is visible; sleeps while Interval is 0 or the icon is hidden.
class TIconAnimation final : public TThread {
public:
    TIconAnimation(TTrayIcon& icon, Synchronizer& gui);
    ~TIconAnimation() override;

private:
    void Execute() override;
    TTrayIcon& icon_;
};

class TTrayIcon final : public TComponent {
public:
    explicit TTrayIcon(TComponent* owner, TaskbarHost& host = DefaultTaskbarHost(),
                       TrayShell& shell = DefaultTrayShell());
    ~TTrayIcon() override;

    bool AutoPopup() const noexcept { return autoPopup_; }
    void SetAutoPopup(bool value) noexcept { autoPopup_ = value; }
    // The component's own copy of the icon it shows, or null.
    IconRef Icon() const noexcept;
    void SetIcon(IconRef icon);
    std::string TipHelp() const { return trayIcon_->Tip(); }
    void SetTipHelp(std::string_view text);
    bool Minimized() const noexcept { return minimized_; }
    void SetMinimized(bool value);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool value);
    bool HideOnTaskBar() const noexcept { return hideOnTaskBar_; }
    void SetHideOnTaskBar(bool value) noexcept { hideOnTaskBar_ = value; }
    // An index into ResourceIconList, or -1 for none.
    std::int32_t ResourceIconID() const;
    void SetResourceIconID(std::int32_t value);
    const std::vector<std::string>& ResourceIconList() const noexcept { return resourceIconList_; }
    void SetResourceIconList(const std::vector<std::string>& names);
    // Animation period in milliseconds; 0 stops the animation, 1 to 49 become 50.
    std::uint32_t Interval() const noexcept { return interval_; }
    void SetInterval(std::uint32_t value);
    bool DoForegroundWindow() const noexcept { return trayIcon_->DoForegroundWindow(); }
    void SetDoForegroundWindow(bool value) noexcept { trayIcon_->SetDoForegroundWindow(value); }
    bool CheckSingleDoubleClick() const noexcept { return trayIcon_->Style()->CheckSingleDoubleClick(); }
    void SetCheckSingleDoubleClick(bool value) noexcept { trayIcon_->Style()->SetCheckSingleDoubleClick(value); }
    // The balloon fields fill the record; ShowBalloon shows them.
    std::string BalloonHelpTitle() const { return trayIcon_->BalloonTitle(); }
    void SetBalloonHelpTitle(std::string_view text) { trayIcon_->SetBalloonTitle(text); }
    std::string BalloonHelpText() const { return trayIcon_->BalloonText(); }
    void SetBalloonHelpText(std::string_view text) { trayIcon_->SetBalloonText(text); }
    std::int32_t BalloonHelpTimeOut() const noexcept { return trayIcon_->BalloonTimeOut(); }
    void SetBalloonHelpTimeOut(std::int32_t value) noexcept { trayIcon_->SetBalloonTimeOut(value); }
    TBalloonIconType BalloonHelpIcon() const noexcept { return trayIcon_->BalloonIcon(); }
    void SetBalloonHelpIcon(TBalloonIconType value) noexcept { trayIcon_->SetBalloonIcon(value); }
    // False where the icon is not shown yet or the shell has no balloons: the caller may try again later.
    [[nodiscard]] bool ShowBalloon(std::string_view title, std::string_view text, TBalloonIconType icon) {
        return trayIcon_->ShowBalloon(title, text, icon);
    }
    TToolTipStyle& ToolTipStyle() const noexcept { return *trayIcon_->Style(); }
    void SetToolTipStyle(const TCustomToolTipStyle& style) { trayIcon_->Style()->Assign(&style); }
    TCustomPopupMenu* LButtonPopupMenu() const noexcept { return lButtonPopupMenu_; }
    void SetLButtonPopupMenu(TCustomPopupMenu* menu) noexcept { lButtonPopupMenu_ = menu; }
    TCustomPopupMenu* RButtonPopupMenu() const noexcept { return rButtonPopupMenu_; }
    void SetRButtonPopupMenu(TCustomPopupMenu* menu) noexcept { rButtonPopupMenu_ = menu; }

    TNotifyEvent OnDblClick;
    TNotifyEvent OnRDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TMouseEvent OnMouseClick;
    TNotifyEvent OnIconAnimation;

    // Visible, and either not Minimized or the application is minimised.
    bool ShouldShow();
    // The component's icon, else the ResourceIconID entry of ResourceIconList, else the application's.
    IconRef CurrentIconHandle();

    // The shell-facing icon (its hidden window, record and shown state).
    TTaskTrayIcon& TaskTrayIcon() const noexcept { return *trayIcon_; }
    TIconAnimation* Animation() const noexcept { return animation_.get(); }

protected:
    void Loaded() override;
    void Notification(TComponent& component, TOperation operation) override;

private:
    friend class TIconAnimation;

    bool ShowIcon();
    void HideIcon();
    bool UpdateIcon();
    void UpdateAnimation();
    void PauseAnimation();
    void AnimateStep();
    void IconChanged();
    void AppMinimize();
    void AppRestore();
    void TrayMessage(TMessage& message);
    void MouseEvent(const TrayMouseEvent& event);
    void Popup(TCustomPopupMenu& menu, TPoint at);

    TaskbarHost& host_;
    std::unique_ptr<TrayIconImage> icon_;
    std::unique_ptr<TrayIconImage> resourceIcon_;
    std::vector<std::string> resourceIconList_;
    std::unique_ptr<TTaskTrayIcon> trayIcon_;
    std::unique_ptr<TIconAnimation> animation_;
    std::function<void()> previousMinimize_;
    std::function<void()> previousRestore_;

    bool autoPopup_ = true;
    bool minimized_ = false;
    std::atomic<bool> visible_{true};         // read by the animation thread
    bool hideOnTaskBar_ = false;
    mutable std::int32_t resourceIconId_ = -1;
    std::atomic<std::uint32_t> interval_{0};  // read by the animation thread
    TCustomPopupMenu* lButtonPopupMenu_ = nullptr;
    TCustomPopupMenu* rButtonPopupMenu_ = nullptr;
};

}  // namespace vantor
