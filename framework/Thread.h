#pragma once
// TThread: a worker thread that starts asleep and runs passes of its work once woken. It hands GUI work
// to the GUI thread synchronously, puts itself to sleep when idle, and stops at the top of a pass.
//
//   Wake()       ends a sleep or a pause; one that comes while the thread is awake is kept, so the
//                thread's next attempt to sleep returns at once (a wake-up is never lost)
//   Pause()      from outside: no further pass until the next Wake()
//   Stop()       stop request, wake-up, then waits for the end while serving the thread's hand-offs
//
// A derived class calls Stop() in its own destructor, before its members go.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "framework/Synchronizer.h"

namespace vantor {

class TThread {
public:
    explicit TThread(Synchronizer& gui);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Wake();
    void Pause();
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }
    // Asleep until woken: as created, after a pause, or put to sleep by its own pass.
    bool Sleeping() const;
    // Terminate, Wake, WaitFor. Call from the GUI thread; safe to call again.
    void Stop();
    // Waits for the end, running the GUI-thread hand-offs that the thread is waiting for meanwhile.
    void WaitFor();

protected:
    // One pass of the work; the stop request is tested before each pass.
    virtual void Execute() = 0;
    // Sleeps until woken; false when the sleep ended for a stop request.
    bool SleepUntilWoken();
    // Sleeps for a span or until a stop request; false for the latter.
    bool SleepFor(std::chrono::milliseconds span);
    // Runs `work` on the GUI thread and returns once it has run. Once a stop has been requested the work
    // is skipped: it would otherwise reach an owner that is being destroyed.
    void Synchronize(const std::function<void()>& work);

private:
    void Run();

    Synchronizer& gui_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::atomic<bool> terminated_{false};
    bool wakePending_ = false;
    bool paused_ = false;
    bool sleeping_ = false;
    bool finished_ = false;
    std::thread thread_;
};

}  // namespace vantor
