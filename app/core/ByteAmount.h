#pragma once
// Amounts of data as the usage window, the tip and the balloons show them, and the allowance as the user
// types it. Units are decimal throughout, as the allowance's are: 1 KB = 1000 B, 1 GB = 1000 MB.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/core/Locale.h"

namespace vantor {

enum class ByteStyle {
    Short,  // "512B", "1.2GB", "10GB": the tip, the balloons, the chart's scale
    Table,  // "512 B", "1.20 GB": the window's table, in columns
};

// In the largest of B, KB, MB and GB that keeps the figure at 1 or more (GB for anything larger), with the
// locale's separators; a figure that rounds up to 1000 takes the next unit.
std::string FormatBytes(std::uint64_t bytes, ByteStyle style, const LocaleFormats& locale);

enum class AllowanceUnit { Megabytes, Gigabytes };

// The allowance that `text` spells in `unit`, in whole MB (halves up, an amount above zero at least 1 MB,
// one beyond the largest allowance pulled down to it), or nothing when it spells no amount. It takes digits
// of any script, the locale's thousand separators between them and its decimal separator, and blanks around.
std::optional<std::int32_t> AllowanceFromEntry(std::string_view text, AllowanceUnit unit, const LocaleFormats& locale);

// What the allowance field shows for a stored allowance: GB from 1000 MB up, exactly ("1.5", "2.345"), else MB.
struct AllowanceEntry {
    std::string Text;
    AllowanceUnit Unit = AllowanceUnit::Megabytes;
    bool operator==(const AllowanceEntry&) const = default;
};
AllowanceEntry EntryOfAllowance(std::int32_t megabytes, const LocaleFormats& locale);

}  // namespace vantor
