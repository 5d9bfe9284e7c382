#include "tests/support/Loopback.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>

#include <algorithm>
#include <chrono>
#include <functional>
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

// Hands `send` what `bytesPerSecond` owes by now, every few milliseconds until `stop`, so that late wake-ups
// do not lower the average; `send` takes at most `chunk` bytes and answers false once they no longer go.
void SendSteadily(std::size_t bytesPerSecond, std::size_t chunk, const std::atomic<bool>& stop,
                  const std::function<bool(const char*, int)>& send) {
    const std::vector<char> bytes(chunk, 'v');
    const auto start = std::chrono::steady_clock::now();
    std::size_t sent = 0;
    while (!stop) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const auto owed = static_cast<std::size_t>(seconds * static_cast<double>(bytesPerSecond));
        for (; sent < owed; sent += std::min(chunk, owed - sent))
            if (!send(bytes.data(), static_cast<int>(std::min(chunk, owed - sent)))) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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
    SendSteadily(bytesPerSecond, 64 * 1024, stop_, [&](const char* bytes, int size) {
        // A stream socket may take fewer bytes than offered: the rest goes with the next call.
        for (int done = 0, n; done < size; done += n)
            if ((n = ::send(out.s, bytes + done, size - done, 0)) <= 0) return flowing_ = false;
        return true;
    });
    ::shutdown(out.s, SD_SEND);
    reader.join();
}

std::optional<std::string> AddressAfter(const std::string& link, std::uint32_t offset) {
    ULONG size = 0;
    ::GetIfTable(nullptr, &size, FALSE);
    std::vector<unsigned char> interfaces(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(interfaces.data());
    if (::GetIfTable(table, &size, FALSE) != NO_ERROR) return std::nullopt;
    const auto row = std::find_if(table->table, table->table + table->dwNumEntries, [&](const MIB_IFROW& r) {
        return reinterpret_cast<const char*>(r.bDescr) == link;
    });
    if (row == table->table + table->dwNumEntries) return std::nullopt;

    size = 0;
    ::GetIpAddrTable(nullptr, &size, FALSE);
    std::vector<unsigned char> addresses(size);
    auto* ips = reinterpret_cast<MIB_IPADDRTABLE*>(addresses.data());
    if (::GetIpAddrTable(ips, &size, FALSE) != NO_ERROR) return std::nullopt;
    for (DWORD i = 0; i < ips->dwNumEntries; ++i) {
        if (ips->table[i].dwIndex != row->dwIndex) continue;
        in_addr address{};
        address.s_addr = htonl(ntohl(ips->table[i].dwAddr) + offset);
        char text[INET_ADDRSTRLEN] = "";
        return ::inet_ntop(AF_INET, &address, text, sizeof text) ? std::optional<std::string>(text) : std::nullopt;
    }
    return std::nullopt;
}

DatagramStream::DatagramStream(const std::string& ipv4, std::size_t bytesPerSecond)
    : worker_([this, ipv4, bytesPerSecond] {
          Winsock winsock;
          Socket out(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
          sockaddr_in to{};
          to.sin_family = AF_INET;
          to.sin_port = htons(9);  // discard
          if (!winsock.Started() || out.s == INVALID_SOCKET || ::inet_pton(AF_INET, ipv4.c_str(), &to.sin_addr) != 1) {
              flowing_ = false;
              return;
          }
          // Datagrams that fit in one Ethernet frame.
          SendSteadily(bytesPerSecond, 1400, stop_, [&](const char* bytes, int size) {
              return flowing_ = ::sendto(out.s, bytes, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) == size;
          });
      }) {}

DatagramStream::~DatagramStream() {
    stop_ = true;
    worker_.join();
}

}  // namespace vantor::testing
