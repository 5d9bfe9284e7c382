// Binds the traffic log to the file system and the local clock.

#include <windows.h>

#include <string>

#include "app/core/TrafficLog.h"
#include "framework/win32/Files.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

using win32::KernelHandle;
using win32::WriteAll;
using win32::Widen;

KernelHandle OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    const HANDLE file = ::CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
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

    std::optional<std::string> ReadAll(const std::string& path) override { return win32::ReadWholeFile(Widen(path)); }

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
