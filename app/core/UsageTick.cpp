#include "app/core/UsageTick.h"

#include "app/core/ByteAmount.h"
#include "app/core/Texts.h"

namespace vantor {

std::vector<ConnectionCounters> CountedConnections(const TNetworkSpeed& source) {
    std::vector<ConnectionCounters> counted;
    for (const InterfaceRow& row : source.Interfaces()) {
        if (!row.CountsInAllConnections() || row.Entry->Guid.empty()) continue;
        const InterfaceEntry& entry = *row.Entry;
        counted.push_back({entry.Guid, row.Name(), entry.Description, entry.InOctets, entry.OutOctets});
    }
    return counted;
}

std::string UsageTipLine(UsageHistory& history, const PlanCheck& plan, const TNetworkSpeed& source,
                         const LocaleFormats& locale) {
    if (plan.Use() && plan.Use()->Allowance > 0) return PlanTipLine(*plan.Use(), locale);
    std::optional<std::string> guid;
    if (source.WatchMode() != TWatchMode::wmAll) {
        const InterfaceRow* watched = source.WatchedRow();
        if (!watched || !watched->CountsInAllConnections() || watched->Entry->Guid.empty()) return {};
        guid = watched->Entry->Guid;
    }
    const UsageTotals today = history.TodayTotals(guid);
    return WithValues(TextsFor(locale.TextLanguage).TipToday,
                      {FormatBytes(today.Sent, ByteStyle::Short, locale),
                       FormatBytes(today.Received, ByteStyle::Short, locale)});
}

BalloonText ProblemBalloon(const UsageProblemReport& problem, const LocaleFormats& locale) {
    const UiTexts& texts = TextsFor(locale.TextLanguage);
    const std::string_view message = problem.Kind == UsageProblem::Damaged ? texts.UsageDamaged : texts.UsageUnwritable;
    return {std::string(texts.UsageCaption), WithPath(message, problem.Path)};
}

}  // namespace vantor
