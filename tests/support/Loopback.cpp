#include "tests/support/Loopback.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace vantor::testing {
namespace {

class Winsock {
public:
    Winsock() { started_ = ::WSAStartup(MAKEWORD(2, 2), &data_) == 0; }
    ~Winsock() {
        if (started_) ::WSACleanup();
    }
    bool Started() const { return started_; }

private:
    WSADATA data_{};
    bool started_ = false;
};

struct Socket {
    SOCKET s = INVALID_SOCKET;
    explicit Socket(SOCKET value) : s(value) {}
    ~Socket() {
        if (s != INVALID_SOCKET) ::closesocket(s);
    }
};

// A listening socket on 127.0.0.1 with a port of the system's choosing.
bool Listen(const Socket& listener, sockaddr_in& address) {
    address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    return ::bind(listener.s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
           ::listen(listener.s, 1) == 0 &&
           ::getsockname(listener.s, reinterpret_cast<sockaddr*>(&address), &length) == 0;
}

}  // namespace

std::size_t TransferOverLoopback(std::size_t bytes) {
    Winsock winsock;
    if (!winsock.Started()) return 0;
    Socket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    if (!Listen(listener, address)) return 0;

    std::thread client([address, bytes] {
        Socket out(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        if (::connect(out.s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) return;
        const std::vector<char> chunk(64 * 1024, 'v');
        for (std::size_t sent = 0; sent < bytes;) {
            const int n = ::send(out.s, chunk.data(), static_cast<int>(std::min(chunk.size(), bytes - sent)), 0);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
        ::shutdown(out.s, SD_SEND);
    });
    std::size_t received = 0;
    {
        Socket in(::accept(listener.s, nullptr, nullptr));
        std::vector<char> buffer(64 * 1024);
        for (int n; (n = ::recv(in.s, buffer.data(), static_cast<int>(buffer.size()), 0)) > 0;)
            received += static_cast<std::size_t>(n);
    }
    client.join();
    return received;
}

LoopbackStream::LoopbackStream(std::size_t bytesPerSecond) : worker_([this, bytesPerSecond] { Run(bytesPerSecond); }) {
    while (!started_) std::this_thread::yield();
}

LoopbackStream::~LoopbackStream() {
    stop_ = true;
    worker_.join();
}

void LoopbackStream::Run(std::size_t bytesPerSecond) {
    Winsock winsock;
    Socket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    Socket out(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    const bool connected = winsock.Started() && Listen(listener, address) &&
                           ::connect(out.s, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    Socket in(connected ? ::accept(listener.s, nullptr, nullptr) : INVALID_SOCKET);
    flowing_ = in.s != INVALID_SOCKET;
    started_ = true;
    if (!flowing_) return;

    std::thread reader([&in] {
        std::vector<char> buffer(64 * 1024);
        while (::recv(in.s, buffer.data(), static_cast<int>(buffer.size()), 0) > 0) {
        }
    });
    // Sends what the rate owes by now, so late wake-ups do not lower the average.
    const std::vector<char> chunk(64 * 1024, 'v');
    const auto start = std::chrono::steady_clock::now();
    std::size_t sent = 0;
    while (!stop_ && flowing_) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const auto owed = static_cast<std::size_t>(seconds * static_cast<double>(bytesPerSecond));
        while (sent < owed) {
            const int n = ::send(out.s, chunk.data(), static_cast<int>(std::min(chunk.size(), owed - sent)), 0);
            if (n <= 0) {
                flowing_ = false;
                break;
            }
            sent += static_cast<std::size_t>(n);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::shutdown(out.s, SD_SEND);
    reader.join();
}

}  // namespace vantor::testing
