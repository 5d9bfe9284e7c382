#pragma once
// The hand-off from worker threads to the GUI thread.

#include <functional>

namespace vantor {

class Synchronizer {
public:
    virtual ~Synchronizer() = default;
    // From a worker thread: runs `work` on the GUI thread and returns once it has run.
    virtual void Synchronize(const std::function<void()>& work) = 0;
    // On the GUI thread: runs the hand-offs that are waiting. A GUI thread that waits for a worker to
    // end keeps calling this, or a worker waiting for its hand-off would never end.
    virtual void CheckSynchronize() = 0;
};

}  // namespace vantor
