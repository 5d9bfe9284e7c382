#include "app/win32/Prop.h"

#include <commctrl.h>
#include <commdlg.h>

#include "framework/win32/Application.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

constexpr wchar_t kTabSheetClass[] = L"TTabSheet";

enum ControlId : int {
    idComboBox1 = 1001,
    idCheckBox1,
    idCheckBox2,
    idSpinEdit1,
    idSpinEdit2,
    idCheckBox3,
    idCheckBox5,
    idCheckBox4,
    idEdit1,
    idButton1,
    idSpinEdit3,
    idPageControl1,
};

constexpr int kCheckBoxHeight = 17;
constexpr int kEditHeight = 21;

}  // namespace

// A page of the page control: a container at the control's display area that passes its controls'
// notifications on to the dialog.
class TPropDlg::TTabSheet final : public win32::Window {
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

TPropDlg::TPropDlg()
    : TModalForm({.caption = L"インタフェース設定",
                  .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  .exStyle = WS_EX_DLGMODALFRAME,
                  .clientWidth = kClientWidth,
                  .clientHeight = kClientHeight,
                  .font = {L"ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET}}) {
    PageControl1 = AddControl({.className = WC_TABCONTROLW, .text = L"", .style = WS_TABSTOP | WS_CLIPSIBLINGS,
                               .left = 0, .top = 0, .width = 381, .height = 185, .id = idPageControl1});
    for (const wchar_t* caption : {L"通信インターフェース設定", L"グラフ表示設定", L"通信ログ"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        ::SendMessageW(PageControl1, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
        RECT area{0, 0, 381, 185};
        ::SendMessageW(PageControl1, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
        pages_.push_back(std::make_unique<TTabSheet>(Handle(), area));
    }
    OKBtn = AddControl({.className = L"BUTTON", .text = L"OK", .style = WS_TABSTOP | BS_DEFPUSHBUTTON,
                        .left = 401, .top = 7, .width = 69, .height = 23, .id = IDOK});
    CancelBtn = AddControl({.className = L"BUTTON", .text = L"キャンセル", .style = WS_TABSTOP | BS_PUSHBUTTON,
                            .left = 401, .top = 35, .width = 69, .height = 23, .id = IDCANCEL});
    SetDefaultButton(IDOK);

    const HWND page1 = pages_[0]->Handle();
    Label1 = AddLabel(page1, L"インタフェース", 25, 23);
    ComboBox1 = AddControl({.className = WC_COMBOBOXW, .text = L"", .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                            .left = 116, .top = 19, .width = 217, .height = 200, .id = idComboBox1, .parent = page1});
    CheckBox1 = AddCheckBox(page1, idCheckBox1, L"起動時にメイン画面を表示する", 19, 107, 225);

    const HWND page2 = pages_[1]->Handle();
    CheckBox2 = AddCheckBox(page2, idCheckBox2, L"グラフの最高速度を設定する", 18, 20, 183);
    Label2 = AddLabel(page2, L"送信速度最大", 43, 52);
    SpinEdit1 = std::make_unique<win32::TSpinEdit>(
        win32::TSpinEdit::Spec{page2, idSpinEdit1, 140, 47, 81, kEditHeight, 1, 100000, 1, Font()});
    Label4 = AddLabel(page2, L"KB", 234, 51);
    Label3 = AddLabel(page2, L"受信速度最大", 44, 83);
    SpinEdit2 = std::make_unique<win32::TSpinEdit>(
        win32::TSpinEdit::Spec{page2, idSpinEdit2, 140, 78, 81, kEditHeight, 1, 100000, 1, Font()});
    Label5 = AddLabel(page2, L"KB", 235, 82);
    CheckBox3 = AddCheckBox(page2, idCheckBox3, L"平均速度をグラフ表示する", 19, 108, 225);
    CheckBox5 = AddCheckBox(page2, idCheckBox5, L"ビット単位にする（Kbps）", 19, 134, 214);

    const HWND page3 = pages_[2]->Handle();
    CheckBox4 = AddCheckBox(page3, idCheckBox4, L"ログファイルに書き出す", 18, 20, 183);
    Label6 = AddLabel(page3, L"場所", 30, 53);
    Edit1 = AddControl({.className = L"EDIT", .text = L"", .style = WS_TABSTOP | ES_AUTOHSCROLL, .left = 69,
                        .top = 49, .width = 233, .height = kEditHeight, .id = idEdit1, .exStyle = WS_EX_CLIENTEDGE,
                        .parent = page3});
    Button1 = AddControl({.className = L"BUTTON", .text = L"...", .style = WS_TABSTOP | BS_PUSHBUTTON, .left = 313,
                          .top = 48, .width = 21, .height = 21, .id = idButton1, .parent = page3});
    Label7 = AddLabel(page3, L"書込間隔（秒）", 11, 87);
    SpinEdit3 = std::make_unique<win32::TSpinEdit>(
        win32::TSpinEdit::Spec{page3, idSpinEdit3, 87, 82, 73, kEditHeight, 1, 10800, 10, Font()});
    Label8 = AddLabel(page3, L"通信ログはKB単位固定です。", 8, 128);

    hints_ = std::make_unique<win32::THints>(Handle());
    hints_->Add(ComboBox1, L"測定するインタフェースを選択");
    hints_->Add(CheckBox2, L"設定しない場合、現在の最大速度に対する速度表示になります");

    // The pages lie over the page control's display area.
    ::SetWindowPos(PageControl1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowPage(0);
}

TPropDlg::~TPropDlg() = default;

HWND TPropDlg::AddLabel(HWND page, const wchar_t* text, int left, int top) {
    // Labels size themselves to their text.
    const SIZE extent = win32::TextExtent(Font(), text);
    return AddControl({.className = L"STATIC", .text = text, .style = SS_LEFT | SS_NOPREFIX, .left = left, .top = top,
                       .width = extent.cx, .height = extent.cy, .parent = page});
}

HWND TPropDlg::AddCheckBox(HWND page, int id, const wchar_t* text, int left, int top, int width) {
    return AddControl({.className = L"BUTTON", .text = text, .style = WS_TABSTOP | BS_AUTOCHECKBOX, .left = left,
                       .top = top, .width = width, .height = kCheckBoxHeight, .id = id, .parent = page});
}

void TPropDlg::ShowPage(int index) {
    ::SendMessageW(PageControl1, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (std::size_t i = 0; i < pages_.size(); ++i)
        ::ShowWindow(pages_[i]->Handle(), static_cast<int>(i) == index ? SW_SHOW : SW_HIDE);
}

void TPropDlg::FormShow() {
    ::ShowWindow(win32::Application::Current()->Handle(), SW_HIDE);
    ShowPage(0);
}

void TPropDlg::Fill(const PropDialogValues& values) {
    ::SendMessageW(ComboBox1, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : values.ComboBox1Items)
        ::SendMessageW(ComboBox1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(name).c_str()));
    ::SendMessageW(ComboBox1, CB_SETCURSEL, static_cast<WPARAM>(values.ComboBox1Index), 0);
    SetChecked(CheckBox1, values.CheckBox1);
    SetChecked(CheckBox2, values.CheckBox2);
    SetText(SpinEdit1->Edit(), values.SpinEdit1);
    SetText(SpinEdit2->Edit(), values.SpinEdit2);
    SetChecked(CheckBox3, values.CheckBox3);
    SetChecked(CheckBox5, values.CheckBox5);
    SetChecked(CheckBox4, values.CheckBox4);
    SetText(Edit1, values.Edit1);
    SetText(SpinEdit3->Edit(), values.SpinEdit3);
    ApplyEnableRules(values);
}

PropDialogValues TPropDlg::Read() const {
    PropDialogValues values;
    const auto count = static_cast<int>(::SendMessageW(ComboBox1, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(::SendMessageW(ComboBox1, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(static_cast<std::size_t>(
            ::SendMessageW(ComboBox1, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        values.ComboBox1Items.push_back(win32::Narrow(item));
    }
    const LRESULT index = ::SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0);
    values.ComboBox1Index = index == CB_ERR ? -1 : static_cast<int>(index);
    values.CheckBox1 = Checked(CheckBox1);
    values.CheckBox2 = Checked(CheckBox2);
    values.SpinEdit1 = Text(SpinEdit1->Edit());
    values.SpinEdit2 = Text(SpinEdit2->Edit());
    values.CheckBox3 = Checked(CheckBox3);
    values.CheckBox5 = Checked(CheckBox5);
    values.CheckBox4 = Checked(CheckBox4);
    values.Edit1 = Text(Edit1);
    values.SpinEdit3 = Text(SpinEdit3->Edit());
    values.GaugeControlsEnabled = ::IsWindowEnabled(Label2) != FALSE;
    values.LogControlsEnabled = ::IsWindowEnabled(Label6) != FALSE;
    return values;
}

bool TPropDlg::Checked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TPropDlg::SetChecked(HWND box, bool checked) {
    ::SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string TPropDlg::Text(HWND control) { return win32::Narrow(win32::WindowText(control)); }

void TPropDlg::SetText(HWND control, const std::string& text) { ::SetWindowTextW(control, win32::Widen(text).c_str()); }

void TPropDlg::ApplyEnableRules(const PropDialogValues& values) {
    for (HWND control : {Label2, Label3, Label4, Label5}) ::EnableWindow(control, values.GaugeControlsEnabled);
    SpinEdit1->SetEnabled(values.GaugeControlsEnabled);
    SpinEdit2->SetEnabled(values.GaugeControlsEnabled);
    for (HWND control : {Label6, Label7, Edit1, Button1}) ::EnableWindow(control, values.LogControlsEnabled);
    SpinEdit3->SetEnabled(values.LogControlsEnabled);
}

void TPropDlg::CheckBox2Click() {
    PropDialogValues values = Read();
    vantor::CheckBox2Click(values);
    ApplyEnableRules(values);
}

void TPropDlg::CheckBox4Click() {
    PropDialogValues values = Read();
    vantor::CheckBox4Click(values);
    ApplyEnableRules(values);
}

void TPropDlg::Button1Click() {
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = L"全てのファイル(*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (::GetSaveFileNameW(&dialog)) ::SetWindowTextW(Edit1, path);
}

win32::TSpinEdit* TPropDlg::SpinEditWithId(int id) const {
    for (const auto* spin : {SpinEdit1.get(), SpinEdit2.get(), SpinEdit3.get()})
        if (spin->Id() == id) return const_cast<win32::TSpinEdit*>(spin);
    return nullptr;
}

LRESULT TPropDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (code == BN_CLICKED && id == idCheckBox2) CheckBox2Click();
        if (code == BN_CLICKED && id == idCheckBox4) CheckBox4Click();
        if (code == BN_CLICKED && id == idButton1) Button1Click();
        if (code == EN_KILLFOCUS)
            if (auto* spin = SpinEditWithId(id)) spin->PullIntoRange();
        break;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == PageControl1 && header->code == TCN_SELCHANGE) {
            ShowPage(static_cast<int>(::SendMessageW(PageControl1, TCM_GETCURSEL, 0, 0)));
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
