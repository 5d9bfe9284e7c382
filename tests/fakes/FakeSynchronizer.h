#pragma once
// A GUI-thread hand-off for tests: the thread that made it is the GUI thread; workers' work waits in a
// queue until that thread calls CheckSynchronize.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "framework/Synchronizer.h"

namespace vantor::testing {

class FakeSynchronizer final : public Synchronizer {
public:
    void Synchronize(const std::function<void()>& work) override {
        if (std::this_thread::get_id() == gui_) {
            work();
            return;
        }
        Job job{&work};
        std::unique_lock lock(mutex_);
        queue_.push_back(&job);
        done_.wait(lock, [&] { return job.done; });
    }

    void CheckSynchronize() override {
        std::deque<Job*> waiting;
        {
            std::lock_guard lock(mutex_);
            waiting.swap(queue_);
        }
        for (Job* job : waiting) {
            (*job->work)();
            std::lock_guard lock(mutex_);
            job->done = true;
            ++served_;
        }
        done_.notify_all();
    }

    // Serves hand-offs on the calling (GUI) thread until `condition` holds or the time is up.
    bool ServeUntil(const std::function<bool()>& condition,
                    std::chrono::milliseconds limit = std::chrono::milliseconds(3000)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            CheckSynchronize();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // Serves hand-offs for a span of time.
    void ServeFor(std::chrono::milliseconds span) {
        ServeUntil([] { return false; }, span);
    }

    int Served() {
        std::lock_guard lock(mutex_);
        return served_;
    }

private:
    struct Job {
        const std::function<void()>* work;
        bool done = false;
    };
    std::thread::id gui_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable done_;
    std::deque<Job*> queue_;
    int served_ = 0;
};

}  // namespace vantor::testing
