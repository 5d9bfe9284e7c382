#pragma once
// TAboutBox: names the product and its version and gives the maker's web and mail addresses.

#include "framework/win32/Handles.h"
#include "framework/win32/ModalForm.h"

namespace vantor {

class TAboutBox final : public win32::TModalForm {
public:
    TAboutBox();

    static constexpr int kClientWidth = 354;
    static constexpr int kClientHeight = 62;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FormCreate();
    void FormShow() override;
    void FormActivate() override;
    static LRESULT CALLBACK Memo1KeyPress(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR self);

    win32::GdiObject memoFont_;
    win32::IconHandle programIcon_;
    HWND Button1 = nullptr;
    HWND Memo1 = nullptr;
};

}  // namespace vantor
