#include "tests/support/Loopback.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
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

}  // namespace

std::size_t TransferOverLoopback(std::size_t bytes) {
    Winsock winsock;
    if (!winsock.Started()) return 0;
    Socket listener(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (::bind(listener.s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(listener.s, 1) != 0 ||
        ::getsockname(listener.s, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;

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

}  // namespace vantor::testing
