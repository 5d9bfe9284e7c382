// Binds the traffic log to the file system and the local clock.

#include <windows.h>

#include <algorithm>
#include <string>

#include "app/core/TrafficLog.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

using win32::KernelHandle;
using win32::Widen;

KernelHandle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    const HANDLE file = ::CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The folder that holds `path`, where the replacement is written so that the swap is a rename.
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0 || (slash == 2 && path[1] == L':')) return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

class Win32LogFileSystem final : public LogFileSystem {
public:
    std::optional<FileStamp> Stat(const std::string& path) override {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
        return FileStamp{(std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                         (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
    }

    std::optional<std::string> ReadAll(const std::string& path) override {
        const KernelHandle file = OpenFile(Widen(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
        LARGE_INTEGER size{};
        if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
        std::string bytes;
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
            DWORD read = 0;
            if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &read, nullptr)) return std::nullopt;
            if (read == 0) break;  // shorter than it was a moment ago
            done += read;
        }
        bytes.resize(done);
        return bytes;
    }

    bool Append(const std::string& path, std::string_view bytes) override {
        const std::wstring wide = Widen(path);
        LARGE_INTEGER before{};
        {
            const KernelHandle file =
                OpenFile(wide, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ, OPEN_EXISTING);
            if (!file || !::GetFileSizeEx(file.Get(), &before)) return false;
            if (WriteAll(file.Get(), bytes)) return true;
        }
        // Take back a partial line, so that the caller's retry or the next line starts on a line boundary.
        const KernelHandle file = OpenFile(wide, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
        if (file && ::SetFilePointerEx(file.Get(), before, nullptr, FILE_BEGIN)) ::SetEndOfFile(file.Get());
        return false;
    }

    bool Replace(const std::string& path, std::string_view bytes) override {
        const std::wstring target = Widen(path);
        wchar_t temporary[MAX_PATH + 1]{};
        // Creates an empty file with a unique name; fails when the folder does not exist.
        if (::GetTempFileNameW(FolderOf(target).c_str(), L"vtl", 0, temporary) == 0) return false;
        bool written = false;
        {
            const KernelHandle file = OpenFile(temporary, GENERIC_WRITE, 0, TRUNCATE_EXISTING);
            written = file && WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
        }
        if (written &&
            ::MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        ::DeleteFileW(temporary);
        return false;
    }

    std::string EncodeText(std::string_view utf8) const override { return win32::Utf8ToAnsi(utf8); }
};

class Win32LogClock final : public LogClock {
public:
    LocalTime Now() override {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    }
};

}  // namespace

LogFileSystem& DefaultLogFileSystem() {
    static Win32LogFileSystem files;
    return files;
}

LogClock& DefaultLogClock() {
    static Win32LogClock clock;
    return clock;
}

}  // namespace vantor
