#include "app/core/BillingPeriod.h"

#include <algorithm>

#include "app/core/Settings.h"
#include "app/core/UsageHistory.h"

namespace vantor {
namespace {

// The first day of the period that starts in `month` of `year`, months counted on past December.
std::int64_t StartIn(int year, int month, int startDay) {
    const int months = year * 12 + (month - 1);
    return DayOfDate({months / 12, months % 12 + 1, startDay});
}

}  // namespace

BillingPeriod PeriodContaining(std::int64_t day, int startDay) {
    startDay = std::clamp(startDay, 1, kLastStartDay);
    const CivilDate date = DateOfDay(day);
    const int month = date.Day >= startDay ? date.Month : date.Month - 1;
    return {StartIn(date.Year, month, startDay), StartIn(date.Year, month + 1, startDay) - 1};
}

std::vector<BillingPeriod> LastPeriods(std::int64_t day, int startDay, int count) {
    std::vector<BillingPeriod> periods(static_cast<std::size_t>(std::max(count, 0)));
    for (auto period = periods.rbegin(); period != periods.rend(); ++period) {
        *period = PeriodContaining(day, startDay);
        day = period->FirstDay - 1;
    }
    return periods;
}

std::int64_t DaysLeft(const BillingPeriod& period, std::int64_t today) {
    return std::clamp<std::int64_t>(period.LastDay - today + 1, 0, period.Days());
}

}  // namespace vantor
