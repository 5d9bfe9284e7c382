#pragma once
// TTimer: a component that calls OnTimer every Interval milliseconds on the GUI thread, through a
// message-only window of its own.

#include "framework/Component.h"
#include "framework/win32/Window.h"

namespace vantor::win32 {

class TTimer final : public TComponent, private Window {
public:
    explicit TTimer(TComponent* owner, UINT interval = 1000, bool enabled = true);

    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const noexcept { return interval_; }
    void SetInterval(UINT interval);

    TNotifyEvent OnTimer;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Update();

    UINT interval_;
    bool enabled_;
};

}  // namespace vantor::win32
