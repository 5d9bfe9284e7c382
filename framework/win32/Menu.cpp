#include "framework/win32/Menu.h"

#include "framework/win32/Application.h"

namespace vantor::win32 {
namespace {
constexpr UINT kFirstItemId = 100;
}

TMenuItem::TMenuItem(HMENU menu, UINT id, std::wstring caption, TNotifyEvent onClick)
    : OnClick(std::move(onClick)), menu_(menu), id_(id), caption_(std::move(caption)) {}

void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    ::CheckMenuItem(menu_, id_, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

TPopupMenu::TPopupMenu(TComponent* owner) : TCustomPopupMenu(owner), menu_(::CreatePopupMenu()) {}

TPopupMenu::~TPopupMenu() { ::DestroyMenu(menu_); }

TMenuItem& TPopupMenu::Add(std::wstring caption, TNotifyEvent onClick) {
    const auto id = kFirstItemId + static_cast<UINT>(items_.size());
    auto& item = *items_.emplace_back(std::make_unique<TMenuItem>(menu_, id, std::move(caption), std::move(onClick)));
    if (item.IsSeparator())
        ::AppendMenuW(menu_, MF_SEPARATOR, id, nullptr);
    else
        ::AppendMenuW(menu_, MF_STRING, id, item.Caption().c_str());
    return item;
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(*this);
    const HWND owner = Application::Current()->Handle();
    const auto chosen = static_cast<UINT>(::TrackPopupMenu(
        menu_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, owner, nullptr));
    // Lets the menu close properly when it was opened for a window of another thread's focus.
    ::PostMessageW(owner, WM_NULL, 0, 0);
    for (const auto& item : items_)
        if (item->Id() == chosen && item->OnClick) {
            item->OnClick(*this);
            break;
        }
}

}  // namespace vantor::win32
