// Makes loopback traffic for a while, so the monitor has something to show: vantor_traffic [seconds] [MB/s]

#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "tests/support/Loopback.h"

int wmain(int argc, wchar_t** argv) {
    const int seconds = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 10;
    const int megabytes = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 4;
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (::GetTickCount64() < end) {
        const ULONGLONG start = ::GetTickCount64();
        vantor::testing::TransferOverLoopback(static_cast<std::size_t>(megabytes) * 1024 * 1024);
        const ULONGLONG spent = ::GetTickCount64() - start;
        if (spent < 1000) ::Sleep(static_cast<DWORD>(1000 - spent));
    }
    return 0;
}
