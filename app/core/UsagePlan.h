#pragma once
// The billing plan at work: what the current period has used against the allowance, and the warnings at
// 80 % and at 100 % of it, each once per period. The history's file remembers which shares were passed and
// when, so neither a restart nor a second start warns again. A share that the usage does not reach under the
// plan as it is now (a larger allowance, received data only, one connection) is forgotten for the period, so
// it warns again once it is passed; without an allowance nothing warns and nothing is forgotten.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "app/core/BillingPeriod.h"
#include "app/core/Locale.h"
#include "app/core/Settings.h"
#include "app/core/UsageHistory.h"

namespace vantor {

inline constexpr int kWarningPercents[] = {80, 100};

struct PlanUse {
    BillingPeriod Period;
    std::uint64_t Used = 0;       // bytes this period: sent and received, or received only
    std::uint64_t Allowance = 0;  // bytes; 0: no allowance
    std::int64_t DaysLeft = 0;    // today and the days after it in the period
    bool operator==(const PlanUse&) const = default;
};

struct PlanWarning {
    int Percent = 0;  // one of kWarningPercents
    PlanUse Use;
    bool operator==(const PlanWarning&) const = default;
};

class PlanCheck {
public:
    PlanCheck(UsageHistory& history, UsagePlan plan);
    PlanCheck(const PlanCheck&) = delete;
    PlanCheck& operator=(const PlanCheck&) = delete;

    const UsagePlan& Plan() const noexcept { return plan_; }
    // The plan as the window changed it; the next check re-arms what the usage no longer reaches.
    void SetPlan(UsagePlan plan);

    // Once a second, after the history's tick: the warning to show now, if any. When 80 % and 100 % are
    // passed at once only 100 % is shown, and both are recorded. It reads the file only at its first check and
    // when the period changes (a new one starts, or a changed start day moves it), and writes it only when a
    // share is passed or forgotten.
    std::optional<PlanWarning> Check() noexcept;
    // What the last check that could read the history found; nothing before one.
    const std::optional<PlanUse>& Use() const noexcept { return use_; }
    // When `percent` was passed in the current period, as the last check knew it.
    std::optional<PassedAt> WhenPassed(int percent) const;

private:
    UsageHistory& history_;
    UsagePlan plan_;
    std::optional<PlanUse> use_;
    std::optional<BillingPeriod> period_;  // the period passed_ belongs to
    std::map<int, PassedAt> passed_;
};

// A local date as the window shows it: year, month and day with the locale's date separator.
std::string DateText(std::int64_t day, const LocaleFormats& locale);
// "2024/03/05 – 2024/04/04", in the locale's language.
std::string PeriodText(const BillingPeriod& period, const LocaleFormats& locale);

struct BalloonText {
    std::string Title, Text;
    bool operator==(const BalloonText&) const = default;
};
BalloonText PlanBalloon(const PlanWarning& warning, const LocaleFormats& locale);
// The tip's line in place of today's while an allowance is set ("This period 8.1GB of 10GB"); empty without.
std::string PlanTipLine(const PlanUse& use, const LocaleFormats& locale);
// The window's line for the period: "This period 8.1GB of 10GB (81%), 5 days left"; empty without an allowance.
std::string PlanSummaryLine(const PlanUse& use, const LocaleFormats& locale);
// The window's line for a share passed: "80 % passed on 2024/03/05 14:02", local time as it was then.
std::string PassedLine(int percent, const PassedAt& at, const LocaleFormats& locale);

}  // namespace vantor
