#include "app/core/UsagePlan.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "app/core/ByteAmount.h"
#include "app/core/NumberFormat.h"

namespace vantor {
namespace {

std::string DaysLeftText(std::int64_t days, const UiTexts& texts) {
    return days == 1 ? std::string(texts.PlanDayLeft) : WithValues(texts.PlanDaysLeft, {std::to_string(days)});
}

}  // namespace

PlanCheck::PlanCheck(UsageHistory& history, UsagePlan plan) : history_(history), plan_(std::move(plan)) {}

void PlanCheck::SetPlan(UsagePlan plan) { plan_ = std::move(plan); }

std::optional<PlanWarning> PlanCheck::Check() noexcept {
    try {
        const std::int64_t today = history_.Today();
        const BillingPeriod period = PeriodContaining(today, plan_.StartDay);
        std::optional<std::string_view> connection;
        if (!plan_.Connection.empty()) connection = plan_.Connection;
        const std::optional<UsageTotals> totals = history_.PeriodTotals(period.FirstDay, period.LastDay, connection);
        if (!totals) return std::nullopt;
        if (period_ != period) {
            std::optional<std::map<int, PassedAt>> passed = history_.Passed(period.FirstDay);
            if (!passed) return std::nullopt;
            passed_ = std::move(*passed);
            period_ = period;
        }
        use_ = PlanUse{period, plan_.ReceiveOnly ? totals->Received : totals->Sent + totals->Received,
                       static_cast<std::uint64_t>(std::max(plan_.AllowanceMegabytes, 0)) * 1'000'000,
                       DaysLeft(period, today)};
        if (use_->Allowance == 0) return std::nullopt;
        std::optional<PlanWarning> warning;
        for (const int percent : kWarningPercents) {
            const bool reached = use_->Used >= use_->Allowance / 100 * static_cast<std::uint64_t>(percent);
            const bool recorded = passed_.contains(percent);
            if (reached && !recorded) {
                passed_[percent] = history_.RecordPassed(period.FirstDay, percent);
                warning = PlanWarning{percent, *use_};
            } else if (!reached && recorded) {
                passed_.erase(percent);
                history_.ForgetPassed(period.FirstDay, percent);
            }
        }
        return warning;
    } catch (...) {
        // Out of memory: no warning this second; the next check tries again.
        return std::nullopt;
    }
}

std::optional<PassedAt> PlanCheck::WhenPassed(int percent) const {
    const auto passed = passed_.find(percent);
    return passed == passed_.end() ? std::nullopt : std::optional<PassedAt>(passed->second);
}

std::string DateText(std::int64_t day, const LocaleFormats& locale) {
    const CivilDate date = DateOfDay(day);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%s%02d%s%02d", date.Year, locale.DateSeparator.c_str(), date.Month,
                  locale.DateSeparator.c_str(), date.Day);
    return text;
}

std::string PeriodText(const BillingPeriod& period, const LocaleFormats& locale) {
    return WithValues(TextsFor(locale.TextLanguage).UsagePeriodDates,
                      {DateText(period.FirstDay, locale), DateText(period.LastDay, locale)});
}

BalloonText PlanBalloon(const PlanWarning& warning, const LocaleFormats& locale) {
    const UiTexts& texts = TextsFor(locale.TextLanguage);
    return {std::string(warning.Percent >= 100 ? texts.PlanUsedUpTitle : texts.PlanWarningTitle),
            WithValues(texts.PlanBalloon, {FormatBytes(warning.Use.Used, ByteStyle::Short, locale),
                                           FormatBytes(warning.Use.Allowance, ByteStyle::Short, locale),
                                           DaysLeftText(warning.Use.DaysLeft, texts)})};
}

std::string PlanTipLine(const PlanUse& use, const LocaleFormats& locale) {
    if (use.Allowance == 0) return {};
    return WithValues(TextsFor(locale.TextLanguage).PlanTip, {FormatBytes(use.Used, ByteStyle::Short, locale),
                                                             FormatBytes(use.Allowance, ByteStyle::Short, locale)});
}

std::string PlanSummaryLine(const PlanUse& use, const LocaleFormats& locale) {
    if (use.Allowance == 0) return {};
    const UiTexts& texts = TextsFor(locale.TextLanguage);
    // Whole percents, rounded down: 100 % shows only once the allowance is used up.
    const double share = static_cast<double>(use.Used / (use.Allowance / 100));
    return WithValues(texts.PlanSummary, {FormatBytes(use.Used, ByteStyle::Short, locale),
                                          FormatBytes(use.Allowance, ByteStyle::Short, locale),
                                          FormatFloat(kRatePattern, share, locale), DaysLeftText(use.DaysLeft, texts)});
}

std::string PassedLine(int percent, const PassedAt& at, const LocaleFormats& locale) {
    const std::int64_t local = at.UtcSeconds + std::int64_t{at.OffsetMinutes} * 60;
    const std::int64_t minuteOfDay = (local - LocalDayOf(at.UtcSeconds, at.OffsetMinutes) * 86400) / 60;
    char time[32];
    std::snprintf(time, sizeof time, " %02d%s%02d", static_cast<int>(minuteOfDay / 60), locale.TimeSeparator.c_str(),
                  static_cast<int>(minuteOfDay % 60));
    return WithValues(TextsFor(locale.TextLanguage).PlanPassed,
                      {std::to_string(percent), DateText(LocalDayOf(at.UtcSeconds, at.OffsetMinutes), locale) + time});
}

}  // namespace vantor
