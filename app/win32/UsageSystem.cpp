#include "app/win32/UsageSystem.h"

#include <windows.h>

#include <optional>

#include "app/core/SettingsFile.h"
#include "app/core/SettingsPlace.h"
#include "app/core/Texts.h"
#include "app/core/UsageCsv.h"
#include "app/win32/PrivateProfile.h"
#include "app/win32/UserLocale.h"
#include "framework/win32/Application.h"
#include "framework/win32/Files.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"

namespace vantor::win32 {
namespace {

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kUnixEpochInFileTime = 116'444'736'000'000'000;
constexpr std::int64_t kFileTimePerSecond = 10'000'000;
// The export waits this long for the running program to finish a write.
constexpr int kExportBusyMilliseconds = 10'000;

std::int64_t FromFileTime(const FILETIME& time) {
    return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

FILETIME ToFileTime(std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    return {static_cast<DWORD>(bits), static_cast<DWORD>(bits >> 32)};
}

KernelHandle OwnedFile(HANDLE file) { return KernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file); }

// To the standard error the caller redirected, else to the console of the program that started us.
void Tell(const std::string& message) {
    const std::wstring wide = Widen(message) + L"\r\n";
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0, written = 0;
    if (error && error != INVALID_HANDLE_VALUE && ::GetFileType(error) != FILE_TYPE_UNKNOWN) {
        if (::GetConsoleMode(error, &mode))
            (void)::WriteConsoleW(error, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        else
            (void)WriteAll(error, message + "\r\n");
        return;
    }
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    const KernelHandle console = OwnedFile(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (console)
        (void)::WriteConsoleW(console.Get(), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    ::FreeConsole();
}

}  // namespace

std::int64_t SystemUsageClock::UtcSeconds() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return (FromFileTime(now) - kUnixEpochInFileTime) / kFileTimePerSecond;
}

std::uint64_t SystemUsageClock::UptimeMilliseconds() { return ::GetTickCount64(); }

int SystemUsageClock::OffsetMinutesAt(std::int64_t utcSeconds) {
    const FILETIME utcTime = ToFileTime(utcSeconds * kFileTimePerSecond + kUnixEpochInFileTime);
    SYSTEMTIME utc, local;
    FILETIME localTime;
    if (!::FileTimeToSystemTime(&utcTime, &utc)) return 0;
    const std::uint64_t now = ::GetTickCount64();
    if (!rules_ || rules_->year != utc.wYear || now - rules_->readAt >= 60'000) {
        // That year's rules where the system keeps rules per year, else the zone's rules as they stand.
        TIME_ZONE_INFORMATION zone{};
        const bool ofThatYear = ::GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone) != FALSE;
        rules_ = YearRules{utc.wYear, now, ofThatYear ? std::optional(zone) : std::nullopt};
    }
    if (!::SystemTimeToTzSpecificLocalTime(rules_->zone ? &*rules_->zone : nullptr, &utc, &local) ||
        !::SystemTimeToFileTime(&local, &localTime))
        return 0;
    return static_cast<int>((FromFileTime(localTime) - FromFileTime(utcTime)) / (60 * kFileTimePerSecond));
}

bool SystemUsageFiles::Exists(const std::string& path) {
    return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SystemUsageFiles::Rename(const std::string& from, const std::string& to) {
    return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) != FALSE;
}

int RunUsageCsvCommand(const wchar_t* file) {
    SystemSettingsFolders folders;
    const SettingsPlace place = ChooseSettingsPlace(folders, Narrow(ExecutableDirectory()));
    PrivateProfile profile(place.ReadPath);
    const UiTexts& texts = TextsFor(UserLanguage(LoadSettings(profile, place.Folder).Settings.LanguageSetting));
    if (!file || !*file) {
        Tell(std::string(texts.UsageCsvNoFile));
        return kUsageCsvNoFileNamed;
    }
    const std::string history = place.Folder + std::string(UsageHistory::kFileName);
    SystemUsageFiles files;
    const std::optional<std::string> csv = ExportUsageCsv(files, history, kExportBusyMilliseconds);
    if (!csv) {
        Tell(WithPath(texts.UsageCsvCannotRead, history));
        return kUsageCsvHistoryUnreadable;
    }
    if (!WriteNewFile(file, *csv)) {
        Tell(WithPath(texts.UsageCsvCannotWrite, Narrow(file)));
        return kUsageCsvFileUnwritable;
    }
    return kUsageCsvWritten;
}

}  // namespace vantor::win32
