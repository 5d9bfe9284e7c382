#include "app/core/UsageCsv.h"

#include <cstdio>
#include <limits>

namespace vantor {
namespace {

std::string Field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::string UsageCsv(const std::vector<DailyUsage>& days) {
    std::string csv = "\xEF\xBB\xBF" "Date,Connection,Id,Sent,Received\r\n";
    for (const DailyUsage& row : days) {
        const CivilDate date = DateOfDay(row.Day);
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
        csv += stamp;
        csv += ',' + Field(row.Alias) + ',' + Field(row.Guid) + ',' + std::to_string(row.Totals.Sent) + ',' +
               std::to_string(row.Totals.Received) + "\r\n";
    }
    return csv;
}

std::optional<std::string> ExportUsageCsv(UsageFiles& files, const std::string& databasePath, int busyMilliseconds) {
    if (!files.Exists(databasePath)) return UsageCsv({});
    UsageStore store(databasePath, UsageStore::Access::Read, busyMilliseconds);
    std::vector<DailyUsage> days;
    if (store.Status() == StoreStatus::Missing) return UsageCsv(days);
    if (store.Daily(std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(), days) !=
        StoreStatus::Ok)
        return std::nullopt;
    return UsageCsv(days);
}

}  // namespace vantor
