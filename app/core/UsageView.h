#pragma once
// The usage window's model, without the window: the rows of a view (the days of the current billing period
// so far, or the last 24 periods) for all connections or one, the chart's scale and its bars at a display's
// density, and the view as CSV. A view is read with one query of the history, whatever its length.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/BillingPeriod.h"
#include "app/core/Locale.h"
#include "app/core/Settings.h"
#include "app/core/UsageHistory.h"
#include "framework/Geometry.h"

namespace vantor {

enum class UsageViewKind { PeriodDays, Periods };
inline constexpr int kShownPeriods = 24;

// The chart's scale: a gridline every Step bytes, Lines of them, the last at the top of the plot.
struct BarScale {
    std::uint64_t Step = 0;
    int Lines = 0;
    std::uint64_t Top() const { return Step * static_cast<std::uint64_t>(Lines); }
    bool operator==(const BarScale&) const = default;
};
// The least scale that holds `largest`, in steps of 1, 2 or 5 times a power of ten bytes and at most five
// lines; an empty chart goes up to 1 MB.
BarScale ScaleFor(std::uint64_t largest);

struct UsageViewRow {
    BillingPeriod Days;      // one day, or a billing period
    std::string Label;       // the table's first column: "2024/03/05", or "2024/03/05 – 2024/04/04"
    std::string AxisLabel;   // under its bar: the day of the month, or the period's first day as "3/5"
    UsageTotals Totals;
    std::string Sent, Received, Total;  // the table's figures
};

struct UsageView {
    UsageViewKind Kind = UsageViewKind::PeriodDays;
    std::vector<UsageViewRow> Rows;  // oldest first, each day or period, also those where nothing moved
    UsageViewRow Sum;                // all rows, labelled as the total
    int Slots = 0;                   // the bars the chart has room for: the period's days, or 24
    std::uint64_t Allowance = 0;     // bytes per period, a line in the periods view; 0: none
    BarScale Scale;                  // fits the highest bar and the allowance
    // The export's lines: per row and connection that moved anything, its first day, by name.
    std::vector<DailyUsage> ByConnection;
};

// The view of `today` under the plan's start day and allowance, of one connection (its GUID) or all.
UsageView BuildUsageView(UsageHistory& history, UsageViewKind kind, std::optional<std::string_view> connection,
                         const UsagePlan& plan, std::int64_t today, const LocaleFormats& locale);

// The view as the command line writes the history ("Date,Connection,Id,Sent,Received"); Date is the
// day, or the period's first day.
std::string UsageViewCsv(const UsageView& view);

// Received at the bottom of a bar, sent on top of it; each may be empty.
struct BarRects {
    TRect Received, Sent;
    bool operator==(const BarRects&) const = default;
};
struct Gridline {
    std::int32_t Y = 0;  // the line's row of pixels: the top row of a bar that reaches it
    std::string Label;   // the amount it stands for: "2GB"
    bool operator==(const Gridline&) const = default;
};
struct BarChart {
    std::vector<BarRects> Bars;              // one for each row, from the left
    std::vector<Gridline> Gridlines;         // bottom up, the last at the top; the plot's bottom is zero
    std::optional<std::int32_t> AllowanceY;  // the allowance's line, in the periods view
};

// The view's bars in `plot`, given in design pixels, at `dpi`. Edges are scaled, not sizes: each slot takes
// the plot's width over the view's slots, its bar the middle three quarters of it, and a bar stacked from
// two parts keeps its total's height.
BarChart LayoutBars(const UsageView& view, const TRect& plot, int dpi, const LocaleFormats& locale);

}  // namespace vantor
