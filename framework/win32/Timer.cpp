#include "framework/win32/Timer.h"

namespace vantor::win32 {
namespace {
constexpr wchar_t kTimerClass[] = L"VantorTimer";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TTimer::TTimer(TComponent* owner, UINT interval, bool enabled)
    : TComponent(owner), interval_(interval), enabled_(enabled) {
    RegisterClass(kTimerClass);
    CreateHandle({.className = kTimerClass, .parent = HWND_MESSAGE});
    Update();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(UINT interval) {
    if (interval == interval_) return;
    interval_ = interval;
    Update();
}

void TTimer::Update() {
    ::KillTimer(Handle(), kTimerId);
    if (enabled_ && interval_ > 0) ::SetTimer(Handle(), kTimerId, interval_, nullptr);
}

LRESULT TTimer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kTimerId) {
        if (enabled_ && OnTimer) OnTimer(*this);
        return 0;
    }
    return DefaultHandler(message, wParam, lParam);
}

}  // namespace vantor::win32
