#include "framework/Thread.h"

namespace vantor {

TThread::TThread(Synchronizer& gui) : gui_(gui), thread_([this] { Run(); }) {}

TThread::~TThread() { Stop(); }

void TThread::Run() {
    if (SleepUntilWoken()) {
        while (!terminated_) {
            bool paused = false;
            {
                std::lock_guard lock(mutex_);
                paused = paused_;
            }
            if (paused) {
                if (!SleepUntilWoken()) break;
                continue;
            }
            Execute();
        }
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

void TThread::Wake() {
    std::lock_guard lock(mutex_);
    paused_ = false;
    wakePending_ = true;
    changed_.notify_all();
}

void TThread::Pause() {
    std::lock_guard lock(mutex_);
    paused_ = true;
    wakePending_ = false;
}

void TThread::Terminate() {
    std::lock_guard lock(mutex_);
    terminated_ = true;
    changed_.notify_all();
}

bool TThread::Sleeping() const {
    std::lock_guard lock(mutex_);
    return sleeping_;
}

bool TThread::SleepUntilWoken() {
    std::unique_lock lock(mutex_);
    sleeping_ = true;
    changed_.wait(lock, [this] { return wakePending_ || terminated_; });
    sleeping_ = false;
    wakePending_ = false;
    return !terminated_;
}

bool TThread::SleepFor(std::chrono::milliseconds span) {
    std::unique_lock lock(mutex_);
    return !changed_.wait_for(lock, span, [this] { return terminated_.load(); });
}

void TThread::Synchronize(const std::function<void()>& work) {
    gui_.Synchronize([&] {
        if (!terminated_) work();
    });
}

void TThread::Stop() {
    if (!thread_.joinable()) return;
    Terminate();
    Wake();
    WaitFor();
}

void TThread::WaitFor() {
    for (;;) {
        gui_.CheckSynchronize();
        std::unique_lock lock(mutex_);
        if (changed_.wait_for(lock, std::chrono::milliseconds(2), [this] { return finished_; })) break;
    }
    if (thread_.joinable()) thread_.join();
}

}  // namespace vantor
