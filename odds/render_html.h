// The odds report as a printable one-page sheet, in HTML.
#pragma once

#include "prize_odds.h"

#include <string>
#include <string_view>

namespace odds {

// One self-contained page: pictures are embedded, nothing is fetched.
std::string renderHtml(const OddsReport &report);

// For text inside HTML elements and attribute values.
std::string escapeHtml(std::string_view text);

} // namespace odds
