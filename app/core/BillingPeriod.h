#pragma once
// Billing periods: from a day of the month (1..28, so every month has it) to the day before it in the next
// month. Days are local dates as the usage history numbers them (days since 1970-01-01), so a day of 23 or
// 25 hours is one day like any other.

#include <cstdint>
#include <vector>

namespace vantor {

struct BillingPeriod {
    std::int64_t FirstDay = 0, LastDay = 0;  // both in the period
    std::int64_t Days() const { return LastDay - FirstDay + 1; }
    bool operator==(const BillingPeriod&) const = default;
};

// The period that holds `day`; a start day out of 1..28 is pulled to the nearer end.
BillingPeriod PeriodContaining(std::int64_t day, int startDay);

// The `count` periods up to the one that holds `day`, oldest first.
std::vector<BillingPeriod> LastPeriods(std::int64_t day, int startDay, int count);

// `today` and the days after it in the period.
std::int64_t DaysLeft(const BillingPeriod& period, std::int64_t today);

}  // namespace vantor
