#include "app/win32/PrivateProfile.h"

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <utility>

#include "framework/win32/Convert.h"
#include "framework/win32/Files.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"

namespace vantor::win32 {
namespace {

constexpr char kUtf16Mark[] = "\xFF\xFE";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// The file's bytes; empty where it does not exist, nothing where it cannot be read.
std::optional<std::string> ReadProfileFile(const std::wstring& path) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes && ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        ::GetLastError() == ERROR_FILE_NOT_FOUND)
        return std::string();
    return bytes;
}

}  // namespace

PrivateProfile::PrivateProfile(std::string path) : path_(std::move(path)), widePath_(Widen(path_)) {}

std::string PrivateProfile::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) {
    // Room for every value the core keeps (2047 characters, each up to two UTF-16 units), so the cut
    // happens there and never splits a character.
    std::wstring buffer(2 * kMaxSettingCharacters + 2, L'\0');
    const DWORD length = ::GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(),
                                                    Widen(defaultValue).c_str(), buffer.data(),
                                                    static_cast<DWORD>(buffer.size()), widePath_.c_str());
    buffer.resize(length);
    return Narrow(buffer);
}

bool PrivateProfile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    return ::WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                        widePath_.c_str()) != FALSE;
}

void PrivateProfile::Flush() {
    // All-null arguments flush the system's cached copy of the file; there is nothing to report.
    (void)::WritePrivateProfileStringW(nullptr, nullptr, nullptr, widePath_.c_str());
}

bool PrivateProfile::Unicode() const {
    const std::optional<std::string> bytes = ReadProfileFile(widePath_);
    return bytes && bytes->starts_with(kUtf16Mark);
}

bool PrivateProfile::Holds(std::string_view text) { return AnsiHolds(Widen(text)) || Unicode(); }

bool PrivateProfile::MakeUnicode() {
    // The system may still hold writes of ours in its copy of the file.
    Flush();
    const std::optional<std::string> bytes = ReadProfileFile(widePath_);
    if (!bytes) return false;
    if (bytes->starts_with(kUtf16Mark)) return true;
    const std::wstring text = bytes->starts_with(kUtf8Mark) ? Widen(std::string_view(*bytes).substr(3))
                                                            : Widen(AnsiToUtf8(*bytes));
    std::string unicode(kUtf16Mark);
    unicode.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    if (bytes->empty()) return WriteNewFile(widePath_, unicode);
    // Written beside it first and swapped in, so that a failure halfway leaves the old file whole; the
    // swap keeps the file's attributes and permissions.
    const std::wstring converted = widePath_ + L".utf16";
    if (!WriteNewFile(converted, unicode)) return false;
    const DWORD flags = REPLACEFILE_IGNORE_MERGE_ERRORS;
    if (::ReplaceFileW(widePath_.c_str(), converted.c_str(), nullptr, flags, nullptr, nullptr)) return true;
    ::DeleteFileW(converted.c_str());
    return false;
}

bool SystemSettingsFolders::CanCreateFileIn(const std::string& folder) {
    // Not GetTempFileNameW: Wine's reports a name even when the folder refused the file. The system
    // removes the probe again as its handle closes.
    const std::wstring stem = Widen(folder) + L"vantor-" + std::to_wstring(::GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::wstring probe = stem + std::to_wstring(attempt) + L".tmp";
        const HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool SystemSettingsFolders::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemSettingsFolders::CanWriteFile(const std::string& path) {
    const std::wstring widePath = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    // Under Wine an administrator may write a read-only file; the attribute says what Windows would do.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    const HANDLE file = ::CreateFileW(widePath.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const KernelHandle opened(file);
        return true;
    }
    // Only a refusal moves the settings: a file another program holds open is still ours to write later.
    return ::GetLastError() != ERROR_ACCESS_DENIED;
}

std::string SystemSettingsFolders::UserDataFolder() {
    PWSTR folder = nullptr;
    std::string path;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder)) && *folder)
        path = Narrow(folder) + "\\";
    ::CoTaskMemFree(folder);
    return path;
}

void PrepareSettingsFolder(const SettingsPlace& place) {
    if (place.PerUser) ::CreateDirectoryW(Widen(place.Folder).c_str(), nullptr);
}

int SystemDisplayLayout::MonitorCount() const { return ::GetSystemMetrics(SM_CMONITORS); }
std::int32_t SystemDisplayLayout::DesktopWidth() const { return ::GetSystemMetrics(SM_CXVIRTUALSCREEN); }
std::int32_t SystemDisplayLayout::DesktopHeight() const { return ::GetSystemMetrics(SM_CYVIRTUALSCREEN); }

bool SystemDisplayLayout::TouchesAnyMonitor(const TRect& rect) const {
    const RECT screen = ToWin32Rect(rect);
    return ::MonitorFromRect(&screen, MONITOR_DEFAULTTONULL) != nullptr;
}

}  // namespace vantor::win32
