#pragma once
// TPropDlg: the settings dialog, three pages of controls at fixed pixel positions beside OK and
// キャンセル. It only holds what the user sees; the main window fills it and takes the values on OK.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/core/PropDialog.h"
#include "framework/win32/Hints.h"
#include "framework/win32/ModalForm.h"
#include "framework/win32/SpinEdit.h"
#include "framework/win32/Window.h"

namespace vantor {

class TPropDlg final : public win32::TModalForm {
public:
    TPropDlg();
    ~TPropDlg() override;

    static constexpr int kClientWidth = 483;
    static constexpr int kClientHeight = 185;

    // Puts values into the controls, and reads what the controls hold.
    void Fill(const PropDialogValues& values);
    PropDialogValues Read() const;

    // The enable rules of the two check boxes that switch groups of controls.
    void CheckBox2Click();
    void CheckBox4Click();
    void Button1Click();

    HWND PageControl1 = nullptr, OKBtn = nullptr, CancelBtn = nullptr;
    HWND Label1 = nullptr, ComboBox1 = nullptr, CheckBox1 = nullptr;
    HWND CheckBox2 = nullptr, Label2 = nullptr, Label4 = nullptr, Label3 = nullptr, Label5 = nullptr;
    HWND CheckBox3 = nullptr, CheckBox5 = nullptr;
    HWND CheckBox4 = nullptr, Label6 = nullptr, Edit1 = nullptr, Button1 = nullptr, Label7 = nullptr, Label8 = nullptr;
    std::unique_ptr<win32::TSpinEdit> SpinEdit1, SpinEdit2, SpinEdit3;

private:
    class TTabSheet;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FormShow() override;
    void ShowPage(int index);
    HWND AddLabel(HWND page, const wchar_t* text, int left, int top);
    HWND AddCheckBox(HWND page, int id, const wchar_t* text, int left, int top, int width);
    win32::TSpinEdit* SpinEditWithId(int id) const;
    static bool Checked(HWND box);
    static void SetChecked(HWND box, bool checked);
    static std::string Text(HWND control);
    static void SetText(HWND control, const std::string& text);
    void ApplyEnableRules(const PropDialogValues& values);

    std::vector<std::unique_ptr<TTabSheet>> pages_;
    std::unique_ptr<win32::THints> hints_;
};

}  // namespace vantor
