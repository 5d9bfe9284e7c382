#pragma once
// Real traffic for tests under Wine: bytes moved through a TCP connection to 127.0.0.1, and bytes that
// only leave, out of a link with no one to answer on the other side.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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

// The IPv4 address `offset` after a link's own (dotted). None where the interface table has no such link
// (by its description, the Linux name) or the link no address.
std::optional<std::string> AddressAfter(const std::string& link, std::uint32_t offset);

// The far side of a one-way link as tools/wine/interfaces.sh makes one: the address after the link's own,
// which nothing answers for.
inline std::optional<std::string> OneWayPeer(const std::string& link) { return AddressAfter(link, 1); }

// Sends a steady `bytesPerSecond` of UDP datagrams to `ipv4` (dotted), in steps of a few milliseconds,
// from construction until destruction.
class DatagramStream {
public:
    DatagramStream(const std::string& ipv4, std::size_t bytesPerSecond);
    ~DatagramStream();
    DatagramStream(const DatagramStream&) = delete;
    DatagramStream& operator=(const DatagramStream&) = delete;

    bool Flowing() const noexcept { return flowing_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> flowing_{true};
    std::thread worker_;
};

}  // namespace vantor::testing
