#include "app/win32/Main.h"

#include <string>

#include "framework/win32/Application.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {
constexpr wchar_t kFormClass[] = L"TForm1";
}

TForm1::TForm1() : TComponent(nullptr) {
    RegisterClass(kFormClass, CS_DBLCLKS, ::GetSysColorBrush(COLOR_BTNFACE));
    CreateHandle({.className = kFormClass,
                  .text = L"Vantor2.0",
                  .style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                  .x = 200,
                  .y = 200,
                  .width = 320,
                  .height = 120,
                  .parent = win32::Application::Current()->Handle()});
    text_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8, 300, 60, Handle(), nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);

    NetworkSpeed1.SetInterfaceNo(1);
    (void)NetworkSpeed1.RefreshTable();
    Timer1.OnTimer = [this](TComponent& sender) { Timer1Timer(sender); };
    Timer1.SetEnabled(true);
    ::ShowWindow(Handle(), SW_SHOW);
}

void TForm1::Timer1Timer(TComponent&) {
    NetworkSpeed1.Sample();
    const std::string text = NetworkSpeed1.AdapterName() + "\n送信 " + std::to_string(NetworkSpeed1.OutPacket()) +
                             " B/s\n受信 " + std::to_string(NetworkSpeed1.InPacket()) + " B/s";
    ::SetWindowTextW(text_, win32::Widen(text).c_str());
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) win32::Application::Current()->Terminate();
    return DefaultHandler(message, wParam, lParam);
}

}  // namespace vantor
