#pragma once
// TSettingsDialog: the settings dialog, three pages of controls at the places of its layout table
// (SettingsDialogLayout.h) beside OK and Cancel, its texts in one language. It only holds what the user
// sees; the main window fills it and takes the values on OK.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/core/SettingsDialogValues.h"
#include "app/core/Texts.h"
#include "app/win32/SettingsDialogLayout.h"
#include "framework/win32/Hints.h"
#include "framework/win32/ModalForm.h"
#include "framework/win32/SpinEdit.h"
#include "framework/win32/Window.h"

namespace vantor {

class TSettingsDialog final : public win32::TModalForm {
public:
    explicit TSettingsDialog(Language language);
    ~TSettingsDialog() override;

    // Puts values into the controls, and reads what the controls hold.
    void Fill(const SettingsDialogValues& values);
    SettingsDialogValues Read() const;

    // The enable rules of the two check boxes that switch groups of controls.
    void FixedGaugeClick();
    void LogEnabledClick();
    // The log path's "..." button: a save-file dialog whose choice goes into the path box.
    void BrowseClick();

    HWND pageTabs = nullptr, okButton = nullptr, cancelButton = nullptr;
    // The interface page.
    HWND interfaceCaption = nullptr, interfaceList = nullptr, watchNote = nullptr, showAtStartBox = nullptr,
         startWithWindowsBox = nullptr;
    // The chart page.
    HWND fixedGaugeBox = nullptr;
    HWND gaugeSendCaption = nullptr, gaugeSendUnit = nullptr, gaugeReceiveCaption = nullptr, gaugeReceiveUnit = nullptr;
    HWND graphAverageBox = nullptr, bitUnitsBox = nullptr;
    // The log page.
    HWND logEnabledBox = nullptr, logPathCaption = nullptr, logPathEdit = nullptr, browseButton = nullptr;
    HWND logIntervalCaption = nullptr, logUnitNote = nullptr;
    std::unique_ptr<win32::TSpinEdit> gaugeSendSpin, gaugeReceiveSpin, logIntervalSpin;

private:
    class TTabSheet;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void BeforeShow() override;
    void DpiChanged() override;
    // The pages over the page control's display area.
    void PlacePages();
    // The open list as wide as its longest entry.
    void FitDropDownWidth();
    void ShowPage(int index);
    HWND AddLabel(HWND page, std::string_view text, const settings_layout::Place& place);
    HWND AddCheckBox(HWND page, int id, std::string_view text, const settings_layout::Place& place);
    HWND AddButton(HWND parent, int id, std::string_view text, DWORD kind, const settings_layout::Place& place);
    std::unique_ptr<win32::TSpinEdit> AddSpinEdit(HWND page, int id, const settings_layout::Spin& spin);
    win32::TSpinEdit* SpinEditWithId(int id) const;
    static bool Checked(HWND box);
    static void SetChecked(HWND box, bool checked);
    static std::string Text(HWND control);
    static void SetText(HWND control, const std::string& text);
    void ApplyEnableRules(const SettingsDialogValues& values);

    const UiTexts& texts_;
    // The interface list's items as filled: the list holds their texts, these their ways of watching.
    std::vector<InterfaceItem> interfaceItems_;
    std::vector<std::unique_ptr<TTabSheet>> pages_;
    std::unique_ptr<win32::THints> hints_;
};

}  // namespace vantor
