#pragma once
// TAboutBox: names the product and its version and gives the maker's web and mail addresses.

#include "app/core/Texts.h"
#include "framework/win32/Handles.h"
#include "framework/win32/ModalForm.h"

namespace vantor {

class TAboutBox final : public win32::TModalForm {
public:
    explicit TAboutBox(Language language);

    static constexpr int kClientWidth = 354;
    static constexpr int kClientHeight = 62;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void BeforeShow() override;
    void Activated() override;
    void DpiChanged() override;
    // Esc in the read-only text closes the box too (a multi-line edit keeps Esc for itself).
    static LRESULT CALLBACK InfoTextKeyPress(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR self);

    Language language_;
    win32::FontOptions infoFontOptions_;
    win32::GdiObject infoFont_;
    win32::IconHandle programIcon_;
    HWND closeButton_ = nullptr;
    HWND infoText_ = nullptr;
};

}  // namespace vantor
