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
namespace layout = settings_layout;
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
                  .clientWidth = layout::kClientWidth,
                  .clientHeight = layout::kClientHeight,
                  .font = win32::TextFont(language, {L"ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET})}),
      texts_(TextsFor(language)) {
    const UiTexts& t = texts_;
    pageTabs = AddControl({.className = WC_TABCONTROLW, .text = L"", .style = WS_TABSTOP | WS_CLIPSIBLINGS,
                           .left = layout::kPageTabs.left, .top = layout::kPageTabs.top,
                           .width = layout::kPageTabs.width, .height = layout::kPageTabs.height, .id = idPageTabs});
    for (const std::string_view title : {t.InterfacePage, t.ChartPage, t.LogPage}) {
        std::wstring caption = win32::Widen(title);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageW(pageTabs, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
        pages_.push_back(std::make_unique<TTabSheet>(Handle(), RECT{}));
    }
    PlacePages();
    okButton = AddButton(Handle(), IDOK, t.Ok, BS_DEFPUSHBUTTON, layout::kOk);
    cancelButton = AddButton(Handle(), IDCANCEL, t.Cancel, BS_PUSHBUTTON, layout::kCancel);
    SetDefaultButton(IDOK);

    const HWND page1 = pages_[0]->Handle();
    interfaceCaption = AddLabel(page1, t.InterfaceLabel, layout::kInterfaceCaption);
    interfaceList = AddControl({.className = WC_COMBOBOXW, .text = L"",
                                .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                .left = layout::kInterfaceList.left, .top = layout::kInterfaceList.top,
                                .width = layout::kInterfaceList.width,
                                .height = layout::kInterfaceList.height, .id = idInterfaceList, .parent = page1});
    watchNote = AddControl({.className = L"STATIC", .text = win32::Widen(t.WatchNote).c_str(), .style = SS_LEFT | SS_NOPREFIX,
                            .left = layout::kWatchNote.left, .top = layout::kWatchNote.top,
                            .width = layout::kWatchNote.width, .height = layout::kWatchNote.height, .parent = page1});
    showAtStartBox = AddCheckBox(page1, idShowAtStart, t.ShowAtStart, layout::kShowAtStart);
    startWithWindowsBox = AddCheckBox(page1, idStartWithWindows, t.StartWithWindows, layout::kStartWithWindows);

    const HWND page2 = pages_[1]->Handle();
    fixedGaugeBox = AddCheckBox(page2, idFixedGauge, t.FixedGauge, layout::kFixedGauge);
    gaugeSendCaption = AddLabel(page2, t.GaugeSend, layout::kGaugeSendCaption);
    gaugeSendSpin = AddSpinEdit(page2, idGaugeSend, layout::kGaugeSend);
    gaugeSendUnit = AddLabel(page2, "KB", layout::kGaugeSendUnit);
    gaugeReceiveCaption = AddLabel(page2, t.GaugeReceive, layout::kGaugeReceiveCaption);
    gaugeReceiveSpin = AddSpinEdit(page2, idGaugeReceive, layout::kGaugeReceive);
    gaugeReceiveUnit = AddLabel(page2, "KB", layout::kGaugeReceiveUnit);
    graphAverageBox = AddCheckBox(page2, idGraphAverage, t.GraphAverage, layout::kGraphAverage);
    bitUnitsBox = AddCheckBox(page2, idBitUnits, t.BitUnits, layout::kBitUnits);

    const HWND page3 = pages_[2]->Handle();
    logEnabledBox = AddCheckBox(page3, idLogEnabled, t.LogEnabled, layout::kLogEnabled);
    logPathCaption = AddLabel(page3, t.LogPath, layout::kLogPathCaption);
    logPathEdit = AddControl({.className = L"EDIT", .text = L"", .style = WS_TABSTOP | ES_AUTOHSCROLL,
                              .left = layout::kLogPath.left, .top = layout::kLogPath.top,
                              .width = layout::kLogPath.width, .height = layout::kLogPath.height, .id = idLogPath,
                              .exStyle = WS_EX_CLIENTEDGE,
                              .parent = page3});
    browseButton = AddButton(page3, idBrowse, "...", BS_PUSHBUTTON, layout::kBrowse);
    logIntervalCaption = AddLabel(page3, t.LogInterval, layout::kLogIntervalCaption);
    logIntervalSpin = AddSpinEdit(page3, idLogInterval, layout::kLogInterval);
    logUnitNote = AddLabel(page3, t.LogUnitNote, layout::kLogUnitNote);

    hints_ = std::make_unique<win32::THints>(Handle(), t.CannotMakeHints);
    hints_->Add(interfaceList, win32::Widen(t.InterfaceHint).c_str());
    hints_->Add(fixedGaugeBox, win32::Widen(t.FixedGaugeHint).c_str());

    // The pages lie over the page control's display area.
    ::SetWindowPos(pageTabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowPage(0);
}

TSettingsDialog::~TSettingsDialog() = default;

HWND TSettingsDialog::AddLabel(HWND page, std::string_view text, const layout::Place& place) {
    // Labels size themselves to their text.
    const std::wstring caption = win32::Widen(text);
    const HWND label = AddControl({.className = L"STATIC", .text = caption.c_str(), .style = SS_LEFT | SS_NOPREFIX,
                                   .left = place.left, .top = place.top, .parent = page});
    FitToText(label);
    return label;
}

HWND TSettingsDialog::AddCheckBox(HWND page, int id, std::string_view text, const layout::Place& place) {
    return AddButton(page, id, text, BS_AUTOCHECKBOX, place);
}

HWND TSettingsDialog::AddButton(HWND parent, int id, std::string_view text, DWORD kind, const layout::Place& place) {
    return AddControl({.className = L"BUTTON", .text = win32::Widen(text).c_str(), .style = WS_TABSTOP | kind,
                       .left = place.left, .top = place.top, .width = place.width, .height = place.height, .id = id,
                       .parent = parent});
}

std::unique_ptr<win32::TSpinEdit> TSettingsDialog::AddSpinEdit(HWND page, int id, const layout::Spin& spin) {
    return std::make_unique<win32::TSpinEdit>(win32::TSpinEdit::Options{
        page, id, spin.place.left, spin.place.top, spin.place.width, spin.place.height, spin.range.Min, spin.range.Max,
        spin.increment, Font()});
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
