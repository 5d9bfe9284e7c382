#pragma once
// Real traffic for tests under Wine: bytes moved through a TCP connection to 127.0.0.1.

#include <cstddef>

namespace vantor::testing {

// Moves `bytes` from a client to a server over 127.0.0.1 and returns how many the server received.
std::size_t TransferOverLoopback(std::size_t bytes);

}  // namespace vantor::testing
