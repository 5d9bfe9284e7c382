#include "app/core/UsageView.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <utility>

#include "app/core/ByteAmount.h"
#include "app/core/UsageCsv.h"
#include "app/core/UsagePlan.h"
#include "framework/Dpi.h"

namespace vantor {
namespace {

constexpr int kMaxLines = 5;
constexpr std::uint64_t kEmptyScale = 1'000'000;

void ShowFigures(UsageViewRow& row, const LocaleFormats& locale) {
    row.Sent = FormatBytes(row.Totals.Sent, ByteStyle::Table, locale);
    row.Received = FormatBytes(row.Totals.Received, ByteStyle::Table, locale);
    row.Total = FormatBytes(row.Totals.Sent + row.Totals.Received, ByteStyle::Table, locale);
}

// The row of the nearest pixel for `value` on a scale of `top` over `height` pixels, counted up from `bottom`.
std::int32_t HeightEdge(std::int32_t bottom, std::int32_t height, std::uint64_t value, std::uint64_t top) {
    const double share = static_cast<double>(value) / static_cast<double>(top);
    return bottom - static_cast<std::int32_t>(std::lround(share * height));
}

// The nearest pixel to `left` + `width` * numerator / denominator.
std::int32_t WidthEdge(std::int32_t left, std::int32_t width, std::int64_t numerator, std::int64_t denominator) {
    return left + static_cast<std::int32_t>((2 * numerator * width + denominator) / (2 * denominator));
}

}  // namespace

BarScale ScaleFor(std::uint64_t largest) {
    if (largest == 0) largest = kEmptyScale;
    const std::uint64_t least = largest / kMaxLines + (largest % kMaxLines != 0);
    for (std::uint64_t decade = 1;; decade *= 10)
        for (const std::uint64_t step : {decade, 2 * decade, 5 * decade})
            if (step >= least) return {step, static_cast<int>(largest / step + (largest % step != 0))};
}

UsageView BuildUsageView(UsageHistory& history, UsageViewKind kind, std::optional<std::string_view> connection,
                         const UsagePlan& plan, std::int64_t today, const LocaleFormats& locale) {
    UsageView view;
    view.Kind = kind;
    const BillingPeriod current = PeriodContaining(today, plan.StartDay);
    std::vector<BillingPeriod> spans;
    if (kind == UsageViewKind::PeriodDays) {
        for (std::int64_t day = current.FirstDay; day <= today; ++day) spans.push_back({day, day});
        view.Slots = static_cast<int>(current.Days());
    } else {
        spans = LastPeriods(today, plan.StartDay, kShownPeriods);
        view.Slots = kShownPeriods;
        view.Allowance = static_cast<std::uint64_t>(std::max(plan.AllowanceMegabytes, 0)) * 1'000'000;
    }
    for (const BillingPeriod& span : spans) {
        UsageViewRow row{span, {}, {}, {}, {}, {}, {}};
        const CivilDate first = DateOfDay(span.FirstDay);
        if (kind == UsageViewKind::PeriodDays) {
            row.Label = DateText(span.FirstDay, locale);
            row.AxisLabel = std::to_string(first.Day);
        } else {
            row.Label = PeriodText(span, locale);
            row.AxisLabel = std::to_string(first.Month) + locale.DateSeparator + std::to_string(first.Day);
        }
        view.Rows.push_back(std::move(row));
    }

    std::map<std::pair<std::size_t, std::string>, DailyUsage> byConnection;
    for (const DailyUsage& day : history.DailyTotals(spans.front().FirstDay, spans.back().LastDay)) {
        if (connection && *connection != day.Guid) continue;
        const auto span = std::partition_point(spans.begin(), spans.end(),
                                               [&](const BillingPeriod& s) { return s.LastDay < day.Day; });
        if (span == spans.end()) continue;
        const auto index = static_cast<std::size_t>(span - spans.begin());
        view.Rows[index].Totals += day.Totals;
        DailyUsage& line = byConnection[{index, day.Guid}];
        line.Day = span->FirstDay;
        line.Guid = day.Guid;
        line.Alias = day.Alias;
        line.Totals += day.Totals;
    }
    for (auto& [key, line] : byConnection) view.ByConnection.push_back(std::move(line));
    std::sort(view.ByConnection.begin(), view.ByConnection.end(), [](const DailyUsage& a, const DailyUsage& b) {
        return std::tie(a.Day, a.Alias, a.Guid) < std::tie(b.Day, b.Alias, b.Guid);
    });

    std::uint64_t highest = view.Allowance;
    view.Sum.Days = {spans.front().FirstDay, spans.back().LastDay};
    view.Sum.Label = TextsFor(locale.TextLanguage).UsageTotalColumn;
    for (UsageViewRow& row : view.Rows) {
        ShowFigures(row, locale);
        view.Sum.Totals += row.Totals;
        highest = std::max(highest, row.Totals.Sent + row.Totals.Received);
    }
    ShowFigures(view.Sum, locale);
    view.Scale = ScaleFor(highest);
    return view;
}

std::string UsageViewCsv(const UsageView& view) { return UsageCsv(view.ByConnection); }

BarChart LayoutBars(const UsageView& view, const TRect& plot, int dpi, const LocaleFormats& locale) {
    const TRect area = ScaleToDpi(plot, dpi);
    const std::int32_t height = area.Bottom - area.Top;
    const std::int32_t width = area.Right - area.Left;
    const std::uint64_t top = view.Scale.Top();
    BarChart chart;
    if (top == 0 || view.Slots <= 0) return chart;
    const std::int64_t eighths = std::int64_t{8} * view.Slots;
    for (std::size_t i = 0; i < view.Rows.size(); ++i) {
        const UsageTotals& totals = view.Rows[i].Totals;
        const std::int32_t left = WidthEdge(area.Left, width, 8 * static_cast<std::int64_t>(i) + 1, eighths);
        const std::int32_t right = WidthEdge(area.Left, width, 8 * static_cast<std::int64_t>(i) + 7, eighths);
        const std::int32_t received = HeightEdge(area.Bottom, height, totals.Received, top);
        const std::int32_t sent = HeightEdge(area.Bottom, height, totals.Received + totals.Sent, top);
        chart.Bars.push_back({{left, received, right, area.Bottom}, {left, sent, right, received}});
    }
    for (int line = 1; line <= view.Scale.Lines; ++line) {
        const std::uint64_t value = view.Scale.Step * static_cast<std::uint64_t>(line);
        chart.Gridlines.push_back(
            {HeightEdge(area.Bottom, height, value, top), FormatBytes(value, ByteStyle::Short, locale)});
    }
    if (view.Allowance != 0) chart.AllowanceY = HeightEdge(area.Bottom, height, view.Allowance, top);
    return chart;
}

}  // namespace vantor
