#include "app/win32/SettingsDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "app/win32/SaveFileDialog.h"
#include "app/win32/UserLocale.h"
#include "framework/win32/Application.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

constexpr wchar_t kTabSheetClass[] = L"TTabSheet";

enum ControlId : int {
    idInterfaceList = 1001,
    idShowAtStart,
    idStartWithWindows,
    idFixedGauge,
    idGaugeSend,
    idGaugeReceive,
    idGraphAverage,
    idBitUnits,
    idLogEnabled,
    idLogPath,
    idBrowse,
    idLogInterval,
    idPageTabs,
};

// The text of item `index` of a combo box's list.
std::wstring ItemText(HWND comboBox, int index) {
    std::wstring item(static_cast<std::size_t>(::SendMessageW(comboBox, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    item.resize(static_cast<std::size_t>(::SendMessageW(comboBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()))));
    return item;
}

constexpr int kCheckBoxHeight = 17;
constexpr int kEditHeight = 21;

}  // namespace

// A page of the page control: a container at the control's display area that passes its controls'
// notifications on to the dialog.
class TSettingsDialog::TTabSheet final : public win32::Window {
public:
    TTabSheet(HWND dialog, const RECT& area) : dialog_(dialog) {
        RegisterClass(kTabSheetClass, 0, ::GetSysColorBrush(COLOR_BTNFACE));
        CreateHandle({.className = kTabSheetClass,
                      .style = WS_CHILD | WS_CLIPSIBLINGS,
                      .exStyle = WS_EX_CONTROLPARENT,
                      .x = area.left,
                      .y = area.top,
                      .width = area.right - area.left,
                      .height = area.bottom - area.top,
                      .parent = dialog});
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return ::SendMessageW(dialog_, message, wParam, lParam);
        default:
            return DefaultHandler(message, wParam, lParam);
        }
    }
    HWND dialog_;
};

TSettingsDialog::TSettingsDialog(Language language)
    : TModalForm({.caption = win32::Widen(TextsFor(language).SettingsCaption).c_str(),
                  .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  .exStyle = WS_EX_DLGMODALFRAME,
                  .clientWidth = kClientWidth,
                  .clientHeight = kClientHeight,
                  .font = win32::TextFont(language, {L"ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET})}),
      texts_(TextsFor(language)) {
    const UiTexts& t = texts_;
    pageTabs = AddControl({.className = WC_TABCONTROLW, .text = L"", .style = WS_TABSTOP | WS_CLIPSIBLINGS,
                           .left = 0, .top = 0, .width = 381, .height = 185, .id = idPageTabs});
    for (const std::string_view title : {t.InterfacePage, t.ChartPage, t.LogPage}) {
        std::wstring caption = win32::Widen(title);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageW(pageTabs, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
        pages_.push_back(std::make_unique<TTabSheet>(Handle(), RECT{}));
    }
    PlacePages();
    okButton = AddControl({.className = L"BUTTON", .text = win32::Widen(t.Ok).c_str(), .style = WS_TABSTOP | BS_DEFPUSHBUTTON,
                           .left = 401, .top = 7, .width = 69, .height = 23, .id = IDOK});
    cancelButton = AddControl({.className = L"BUTTON", .text = win32::Widen(t.Cancel).c_str(), .style = WS_TABSTOP | BS_PUSHBUTTON,
                               .left = 401, .top = 35, .width = 69, .height = 23, .id = IDCANCEL});
    SetDefaultButton(IDOK);

    const HWND page1 = pages_[0]->Handle();
    interfaceCaption = AddLabel(page1, t.InterfaceLabel, 25, 23);
    interfaceList = AddControl({.className = WC_COMBOBOXW, .text = L"",
                                .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, .left = 116, .top = 19,
                                .width = 217, .height = 200, .id = idInterfaceList, .parent = page1});
    watchNote = AddControl({.className = L"STATIC", .text = win32::Widen(t.WatchNote).c_str(), .style = SS_LEFT | SS_NOPREFIX,
                            .left = 25, .top = 48, .width = 345, .height = 56, .parent = page1});
    showAtStartBox = AddCheckBox(page1, idShowAtStart, t.ShowAtStart, 19, 107, 225);
    startWithWindowsBox = AddCheckBox(page1, idStartWithWindows, t.StartWithWindows, 19, 133, 225);

    const HWND page2 = pages_[1]->Handle();
    fixedGaugeBox = AddCheckBox(page2, idFixedGauge, t.FixedGauge, 18, 20, 183);
    gaugeSendCaption = AddLabel(page2, t.GaugeSend, 43, 52);
    gaugeSendSpin = std::make_unique<win32::TSpinEdit>(
        win32::TSpinEdit::Options{page2, idGaugeSend, 140, 47, 81, kEditHeight, 1, 100000, 1, Font()});
    gaugeSendUnit = AddLabel(page2, "KB", 234, 51);
    gaugeReceiveCaption = AddLabel(page2, t.GaugeReceive, 44, 83);
    gaugeReceiveSpin = std::make_unique<win32::TSpinEdit>(
        win32::TSpinEdit::Options{page2, idGaugeReceive, 140, 78, 81, kEditHeight, 1, 100000, 1, Font()});
    gaugeReceiveUnit = AddLabel(page2, "KB", 235, 82);
    graphAverageBox = AddCheckBox(page2, idGraphAverage, t.GraphAverage, 19, 108, 225);
    bitUnitsBox = AddCheckBox(page2, idBitUnits, t.BitUnits, 19, 134, 214);

    const HWND page3 = pages_[2]->Handle();
    logEnabledBox = AddCheckBox(page3, idLogEnabled, t.LogEnabled, 18, 20, 183);
    logPathCaption = AddLabel(page3, t.LogPath, 30, 53);
    logPathEdit = AddControl({.className = L"EDIT", .text = L"", .style = WS_TABSTOP | ES_AUTOHSCROLL, .left = 69,
                              .top = 49, .width = 233, .height = kEditHeight, .id = idLogPath,
                              .exStyle = WS_EX_CLIENTEDGE, .parent = page3});
    browseButton = AddControl({.className = L"BUTTON", .text = L"...", .style = WS_TABSTOP | BS_PUSHBUTTON,
                               .left = 313, .top = 48, .width = 21, .height = 21, .id = idBrowse, .parent = page3});
    logIntervalCaption = AddLabel(page3, t.LogInterval, 11, 87);
    logIntervalSpin = std::make_unique<win32::TSpinEdit>(
        win32::TSpinEdit::Options{page3, idLogInterval, 87, 82, 73, kEditHeight, 1, 10800, 10, Font()});
    logUnitNote = AddLabel(page3, t.LogUnitNote, 8, 128);

    hints_ = std::make_unique<win32::THints>(Handle(), t.CannotMakeHints);
    hints_->Add(interfaceList, win32::Widen(t.InterfaceHint).c_str());
    hints_->Add(fixedGaugeBox, win32::Widen(t.FixedGaugeHint).c_str());

    // The pages lie over the page control's display area.
    ::SetWindowPos(pageTabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowPage(0);
}

TSettingsDialog::~TSettingsDialog() = default;

HWND TSettingsDialog::AddLabel(HWND page, std::string_view text, int left, int top) {
    // Labels size themselves to their text.
    const std::wstring caption = win32::Widen(text);
    const HWND label = AddControl({.className = L"STATIC", .text = caption.c_str(), .style = SS_LEFT | SS_NOPREFIX, .left = left,
                                   .top = top, .parent = page});
    FitToText(label);
    return label;
}

HWND TSettingsDialog::AddCheckBox(HWND page, int id, std::string_view text, int left, int top, int width) {
    return AddControl({.className = L"BUTTON", .text = win32::Widen(text).c_str(), .style = WS_TABSTOP | BS_AUTOCHECKBOX, .left = left,
                       .top = top, .width = width, .height = kCheckBoxHeight, .id = id, .parent = page});
}

void TSettingsDialog::PlacePages() {
    RECT area;
    ::GetClientRect(pageTabs, &area);
    ::SendMessageW(pageTabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (const auto& page : pages_)
        ::SetWindowPos(page->Handle(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

void TSettingsDialog::DpiChanged() {
    PlacePages();
    for (auto* spin : {gaugeSendSpin.get(), gaugeReceiveSpin.get(), logIntervalSpin.get()}) spin->SetDpi(Dpi(), Font());
    FitDropDownWidth();
}

void TSettingsDialog::FitDropDownWidth() {
    LONG widest = 0;
    const auto count = static_cast<int>(::SendMessageW(interfaceList, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        widest = std::max(widest, win32::TextExtent(Font(), ItemText(interfaceList, i)).cx);
    }
    // Room for the item's margins and the list's scroll bar beside the longest text.
    const int dropWidth = widest + 2 * win32::SystemMetricForDpi(SM_CXEDGE, Dpi()) +
                          win32::SystemMetricForDpi(SM_CXVSCROLL, Dpi()) + ScaleToDpi(8, static_cast<int>(Dpi()));
    ::SendMessageW(interfaceList, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(dropWidth), 0);
}

void TSettingsDialog::ShowPage(int index) {
    ::SendMessageW(pageTabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (std::size_t i = 0; i < pages_.size(); ++i)
        ::ShowWindow(pages_[i]->Handle(), static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
}

void TSettingsDialog::BeforeShow() {
    ::ShowWindow(win32::Application::Current()->Handle(), SW_HIDE);
    ShowPage(0);
}

void TSettingsDialog::Fill(const SettingsDialogValues& values) {
    ::SendMessageW(interfaceList, CB_RESETCONTENT, 0, 0);
    interfaceItems_ = values.Interfaces;
    for (const InterfaceItem& interfaceItem : values.Interfaces)
        ::SendMessageW(interfaceList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(interfaceItem.Text).c_str()));
    FitDropDownWidth();
    ::SendMessageW(interfaceList, CB_SETCURSEL, static_cast<WPARAM>(values.InterfaceIndex), 0);
    SetChecked(showAtStartBox, values.ShowAtStart);
    SetChecked(startWithWindowsBox, values.StartWithWindows);
    SetChecked(fixedGaugeBox, values.FixedGauge);
    SetText(gaugeSendSpin->Edit(), values.GaugeSend);
    SetText(gaugeReceiveSpin->Edit(), values.GaugeReceive);
    SetChecked(graphAverageBox, values.GraphAverage);
    SetChecked(bitUnitsBox, values.BitUnits);
    SetChecked(logEnabledBox, values.LogEnabled);
    SetText(logPathEdit, values.LogPath);
    SetText(logIntervalSpin->Edit(), values.LogInterval);
    ApplyEnableRules(values);
}

SettingsDialogValues TSettingsDialog::Read() const {
    SettingsDialogValues values;
    values.Interfaces = interfaceItems_;
    const LRESULT index = ::SendMessageW(interfaceList, CB_GETCURSEL, 0, 0);
    values.InterfaceIndex = index == CB_ERR ? -1 : static_cast<int>(index);
    values.ShowAtStart = Checked(showAtStartBox);
    values.StartWithWindows = Checked(startWithWindowsBox);
    values.FixedGauge = Checked(fixedGaugeBox);
    values.GaugeSend = Text(gaugeSendSpin->Edit());
    values.GaugeReceive = Text(gaugeReceiveSpin->Edit());
    values.GraphAverage = Checked(graphAverageBox);
    values.BitUnits = Checked(bitUnitsBox);
    values.LogEnabled = Checked(logEnabledBox);
    values.LogPath = Text(logPathEdit);
    values.LogInterval = Text(logIntervalSpin->Edit());
    values.GaugeControlsEnabled = ::IsWindowEnabled(gaugeSendCaption) != FALSE;
    values.LogControlsEnabled = ::IsWindowEnabled(logPathCaption) != FALSE;
    return values;
}

bool TSettingsDialog::Checked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TSettingsDialog::SetChecked(HWND box, bool checked) {
    ::SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string TSettingsDialog::Text(HWND control) { return win32::Narrow(win32::WindowText(control)); }

void TSettingsDialog::SetText(HWND control, const std::string& text) { ::SetWindowTextW(control, win32::Widen(text).c_str()); }

void TSettingsDialog::ApplyEnableRules(const SettingsDialogValues& values) {
    for (HWND control : {gaugeSendCaption, gaugeReceiveCaption, gaugeSendUnit, gaugeReceiveUnit})
        ::EnableWindow(control, values.GaugeControlsEnabled);
    gaugeSendSpin->SetEnabled(values.GaugeControlsEnabled);
    gaugeReceiveSpin->SetEnabled(values.GaugeControlsEnabled);
    for (HWND control : {logPathCaption, logIntervalCaption, logPathEdit, browseButton})
        ::EnableWindow(control, values.LogControlsEnabled);
    logIntervalSpin->SetEnabled(values.LogControlsEnabled);
}

void TSettingsDialog::FixedGaugeClick() {
    SettingsDialogValues values = Read();
    vantor::FixedGaugeClick(values);
    ApplyEnableRules(values);
}

void TSettingsDialog::LogEnabledClick() {
    SettingsDialogValues values = Read();
    vantor::LogEnabledClick(values);
    ApplyEnableRules(values);
}

void TSettingsDialog::BrowseClick() {
    const std::optional<std::wstring> path = win32::AskSavePath(Handle(), win32::Widen(texts_.AllFilesFilter), L"*.*");
    if (path) ::SetWindowTextW(logPathEdit, path->c_str());
}

win32::TSpinEdit* TSettingsDialog::SpinEditWithId(int id) const {
    for (const auto* spin : {gaugeSendSpin.get(), gaugeReceiveSpin.get(), logIntervalSpin.get()})
        if (spin->Id() == id) return const_cast<win32::TSpinEdit*>(spin);
    return nullptr;
}

LRESULT TSettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (code == BN_CLICKED && id == idFixedGauge) FixedGaugeClick();
        if (code == BN_CLICKED && id == idLogEnabled) LogEnabledClick();
        if (code == BN_CLICKED && id == idBrowse) BrowseClick();
        if (code == EN_KILLFOCUS)
            if (auto* spin = SpinEditWithId(id)) spin->PullIntoRange();
        break;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == pageTabs && header->code == TCN_SELCHANGE) {
            ShowPage(static_cast<int>(::SendMessageW(pageTabs, TCM_GETCURSEL, 0, 0)));
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return TModalForm::HandleMessage(message, wParam, lParam);
}

}  // namespace vantor
