#pragma once
// The usage history as CSV, for scripts and spreadsheets: a header "Date,Connection,Id,Sent,Received", then
// one line per local day and connection: the date as YYYY-MM-DD, the connection's friendly name (quoted as
// RFC 4180 asks where it holds a comma, a quote or a line end), its GUID, and whole bytes. UTF-8 with a
// byte-order mark, CR LF after every line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/UsageHistory.h"

namespace vantor {

std::string UsageCsv(const std::vector<DailyUsage>& days);

// The CSV of the history file at `databasePath`, read without changing it (only the header where there is
// no history yet), or nothing when the file cannot be read. Waits up to `busyMilliseconds` for a writer.
std::optional<std::string> ExportUsageCsv(UsageFiles& files, const std::string& databasePath, int busyMilliseconds);

}  // namespace vantor
