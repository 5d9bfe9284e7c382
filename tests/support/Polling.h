#pragma once
// Waiting for what a test expects to see, the one way every suite under Wine does it: the condition is
// polled, and meanwhile this thread's messages keep moving, so that windows made here (and hooks set
// here) answer the other processes that wait for them.

#include <chrono>
#include <functional>

namespace vantor::testing {

// Dispatches what has come for this thread's windows.
void DispatchWaitingMessages();

// Checks `condition` until it holds or `limit` passes. Between checks the thread waits a few
// milliseconds or until a message comes, then runs `serve` (by default: dispatches this thread's
// messages).
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(5),
               const std::function<void()>& serve = DispatchWaitingMessages);

// Lets time pass the same way.
void Pause(std::chrono::milliseconds span, const std::function<void()>& serve = DispatchWaitingMessages);

}  // namespace vantor::testing
