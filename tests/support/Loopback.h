#pragma once
// Real traffic for tests under Wine: bytes moved through a TCP connection to 127.0.0.1.

#include <atomic>
#include <cstddef>
#include <thread>

namespace vantor::testing {

// Moves `bytes` from a client to a server over 127.0.0.1 and returns how many the server received.
std::size_t TransferOverLoopback(std::size_t bytes);

// Sends a steady `bytesPerSecond` over one connection to 127.0.0.1, in steps of a few milliseconds,
// from construction until destruction, so every one-second sample sees about the same count.
class LoopbackStream {
public:
    explicit LoopbackStream(std::size_t bytesPerSecond);
    ~LoopbackStream();
    LoopbackStream(const LoopbackStream&) = delete;
    LoopbackStream& operator=(const LoopbackStream&) = delete;

    // Whether the connection came up and the bytes flow.
    bool Flowing() const noexcept { return flowing_; }

private:
    void Run(std::size_t bytesPerSecond);

    std::atomic<bool> stop_{false};
    std::atomic<bool> flowing_{false};
    std::atomic<bool> started_{false};
    std::thread worker_;
};

}  // namespace vantor::testing
