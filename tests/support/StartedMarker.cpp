// Built into every test program that build/windows/wine-run starts: the program's first act is to create
// the file VANTOR_STARTED_MARKER names, which tells wine-run that Wine did start it.

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

const bool started = [] {
    const char* marker = std::getenv("VANTOR_STARTED_MARKER");
    if (!marker) return false;
    // A Unix path, which Wine's drive Z: reaches.
    std::string path = std::string("Z:") + marker;
    for (char& c : path)
        if (c == '/') c = '\\';
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}();

}  // namespace
