#pragma once
// The usage history's share of the once-a-second tick: the connections it counts, what the tip's last line
// says, and the balloons that tell of the history's troubles and the plan's warnings.

#include <optional>
#include <string>
#include <vector>

#include "app/core/Locale.h"
#include "app/core/UsageHistory.h"
#include "app/core/UsagePlan.h"
#include "components/NetworkSpeed/NetworkSpeed.h"

namespace vantor {

// Every row of the last sample that "all connections" counts, by its identity.
std::vector<ConnectionCounters> CountedConnections(const TNetworkSpeed& source);

// The plan's line while an allowance is set; else today's totals ("Today ↑1.2GB ↓3.4GB") of the watched
// interface where the history counts it, or of all of them when all are watched; else nothing.
std::string UsageTipLine(UsageHistory& history, const PlanCheck& plan, const TNetworkSpeed& source,
                         const LocaleFormats& locale);

BalloonText ProblemBalloon(const UsageProblemReport& problem, const LocaleFormats& locale);

}  // namespace vantor
