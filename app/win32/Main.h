#pragma once
// The main window of the program.

#include <memory>

#include "components/NetworkSpeed/NetworkSpeed.h"
#include "framework/Component.h"
#include "framework/win32/Timer.h"
#include "framework/win32/Window.h"

namespace vantor {

class TForm1 final : public TComponent, public win32::Window {
public:
    TForm1();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Timer1Timer(TComponent& sender);

    TNetworkSpeed NetworkSpeed1{this};
    win32::TTimer Timer1{this, 1000, false};
    HWND text_ = nullptr;
};

}  // namespace vantor
