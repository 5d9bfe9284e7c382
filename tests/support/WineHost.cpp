#include "tests/support/WineHost.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "framework/win32/Text.h"
#include "tests/support/Launch.h"
#include "tests/support/Polling.h"

namespace vantor::testing {

std::string UnixPathOf(const std::filesystem::path& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unix = toUnix(path.c_str());
    if (!unix) return {};
    std::string result(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

bool StartUnixProgram(const std::wstring& commandLine) {
    try {
        const Launched detached(commandLine);
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

std::string DefaultRouteInterface() {
    // Columns: Iface Destination Gateway Flags RefCnt Use Metric Mask ...; a default route's are 0 and 0.
    std::ifstream routes("Z:\\proc\\net\\route");
    std::string line;
    std::getline(routes, line);
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string name, destination, gateway, flags, references, use, metric, mask;
        if (fields >> name >> destination >> gateway >> flags >> references >> use >> metric >> mask &&
            destination == "00000000" && mask == "00000000")
            return name;
    }
    return {};
}

UnwritableFile::UnwritableFile(std::filesystem::path file) : file_(std::move(file)), unix_(UnixPathOf(file_)) {
    ::SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_READONLY);
    StartUnixProgram(L"/usr/bin/chattr +i \"" + win32::Widen(unix_) + L"\"");
    locked_ = WaitUntil([&] { return !Writable(); });
}

UnwritableFile::~UnwritableFile() {
    StartUnixProgram(L"/usr/bin/chattr -i \"" + win32::Widen(unix_) + L"\"");
    WaitUntil([&] { return Writable(); });
    ::SetFileAttributesW(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool UnwritableFile::Writable() const {
    const HANDLE handle = ::CreateFileW(file_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(handle);
    return true;
}

}  // namespace vantor::testing
