// Keeps a Wine session's desktop open while the tests run: desktop_keeper UNIX_PATH_OF_A_READY_FILE
// Wine closes a desktop a second after the last program on it ends, and the next test program then starts
// a new desktop process that inherits, and holds open, that program's output: ctest waits on it until the
// test times out. This program stays on the desktop, waiting for messages, until the session stops.

#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
    // Asking for the desktop window joins the desktop (and starts it again if it closed a moment ago).
    if (!::GetDesktopWindow()) return 1;
    if (argc > 1) {
        // A Unix path, which Wine's drive Z: reaches.
        std::wstring ready = std::wstring(L"Z:") + argv[1];
        for (wchar_t& c : ready)
            if (c == L'/') c = L'\\';
        const HANDLE file = ::CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        ::CloseHandle(file);
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
    return 0;
}
