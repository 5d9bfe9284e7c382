#pragma once
// TPopupMenu: a component holding a popup menu's items, opened at a screen point.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/PopupMenu.h"

namespace vantor::win32 {

class TMenuItem {
public:
    TMenuItem(HMENU menu, UINT id, std::wstring caption, TNotifyEvent onClick);

    const std::wstring& Caption() const noexcept { return caption_; }
    bool IsSeparator() const noexcept { return caption_ == L"-"; }
    UINT Id() const noexcept { return id_; }
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool checked);

    TNotifyEvent OnClick;

private:
    HMENU menu_;
    UINT id_;
    std::wstring caption_;
    bool checked_ = false;
};

class TPopupMenu final : public TCustomPopupMenu {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    // Appends an item; the caption "-" makes a separator line. Captions are shown as given.
    TMenuItem& Add(std::wstring caption, TNotifyEvent onClick = {});
    const std::vector<std::unique_ptr<TMenuItem>>& Items() const noexcept { return items_; }
    HMENU Handle() const noexcept { return menu_; }

    // Opens the menu at a screen point and runs the chosen item's OnClick before returning.
    void Popup(int x, int y) override;

    TNotifyEvent OnPopup;

private:
    HMENU menu_;
    std::vector<std::unique_ptr<TMenuItem>> items_;
};

}  // namespace vantor::win32
