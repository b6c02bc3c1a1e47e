// The odds report as terminal text and as JSON, as the tools write them.
#pragma once

#include "audit.h"
#include "prize_odds.h"

#include <optional>
#include <string>

namespace odds {

struct Audits {
    std::optional<DrawAudit> draws;
    std::optional<SpinAudit> spins;
};

std::string renderText(const OddsReport &report, const Audits &audits);
// One warning as a line of terminal text, naming its prize by its number
// from 1 and, for a list just read from a spreadsheet, by the prize's row there.
std::string renderWarning(const Warning &warning, std::optional<int> spreadsheetRow = std::nullopt);
std::string renderJson(const OddsReport &report, const Audits &audits);

} // namespace odds
