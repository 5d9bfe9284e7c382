// Makes steady loopback traffic for a while, so the monitor has something to show:
// vantor_traffic [seconds] [MB/s]  (the rate may have a fraction, e.g. 0.25)

#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "tests/support/Loopback.h"

int wmain(int argc, wchar_t** argv) {
    const double seconds = argc > 1 ? std::wcstod(argv[1], nullptr) : 10;
    const double megabytes = argc > 2 ? std::wcstod(argv[2], nullptr) : 4;
    vantor::testing::LoopbackStream stream(static_cast<std::size_t>(megabytes * 1024 * 1024));
    if (!stream.Flowing()) return 1;
    ::Sleep(static_cast<DWORD>(seconds * 1000));
    return stream.Flowing() ? 0 : 1;
}
