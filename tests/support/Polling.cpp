#include "tests/support/Polling.h"

#include <windows.h>

namespace vantor::testing {

void DispatchWaitingMessages() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit,
               const std::function<void()>& serve) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        serve();
    }
    return true;
}

void Pause(std::chrono::milliseconds span, const std::function<void()>& serve) {
    WaitUntil([] { return false; }, span, serve);
}

}  // namespace vantor::testing
