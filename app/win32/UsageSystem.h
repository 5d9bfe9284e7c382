#pragma once
// The usage history's seams bound to Windows, and the command `vantor.exe --usage-csv FILE`.

#include <windows.h>

#include <optional>
#include <string>

#include "app/core/UsageHistory.h"

namespace vantor::win32 {

// UTC from the system clock, the uptime from GetTickCount64 (which goes on through sleep), and the offset
// in force at an instant from the time zone's rules for that instant's year.
class SystemUsageClock final : public UsageClock {
public:
    std::int64_t UtcSeconds() override;
    std::uint64_t UptimeMilliseconds() override;
    int OffsetMinutesAt(std::int64_t utcSeconds) override;

private:
    // A year's rules cost the system a registry read, and each tick asks several times: they are kept
    // for a minute, so a changed time zone shows within one.
    struct YearRules {
        WORD year = 0;
        std::uint64_t readAt = 0;
        std::optional<TIME_ZONE_INFORMATION> zone;  // nothing: the zone's rules as they stand
    };
    std::optional<YearRules> rules_;
};

class SystemUsageFiles final : public UsageFiles {
public:
    bool Exists(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
};

// Exit codes of the command.
inline constexpr int kUsageCsvWritten = 0;
inline constexpr int kUsageCsvNoFileNamed = 1;
inline constexpr int kUsageCsvHistoryUnreadable = 2;
inline constexpr int kUsageCsvFileUnwritable = 3;

// Writes the daily totals of the history beside the settings file to `file` (null: none was named),
// without a window and without the single-instance mutex, so it runs beside a running copy. A failure is
// told on standard error where the caller redirected it, else on the parent's console.
int RunUsageCsvCommand(const wchar_t* file);

}  // namespace vantor::win32
