// The odds report as terminal text, as JSON and as a printable HTML sheet.
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
// One warning as a line of terminal text, naming its prize.
std::string renderWarning(const Warning &warning);
std::string renderJson(const OddsReport &report, const Audits &audits);
// One self-contained page: pictures are embedded, nothing is fetched.
std::string renderHtml(const OddsReport &report);

// For text inside HTML elements and attribute values.
std::string escapeHtml(std::string_view text);

} // namespace odds
