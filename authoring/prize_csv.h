// A prize list as CSV for spreadsheet programs: RFC 4180, UTF-8 behind a
// byte-order mark, CR LF, a header row "weight,color,name,amount,note".
#pragma once

#include "prize_document.h"

#include <string>
#include <cstdint>
#include <optional>
#include <string_view>

namespace authoring {

// One row per prize with its five texts exactly as the list holds them.
std::string toCsv(const PrizeDocument &document);

// A document from CSV as toCsv writes it: columns found by the header's
// names, "note" optional, a colour written "#RRGGBB" turned into the game's
// number. Throws ListError whose message starts "line N: " for CSV that
// cannot be read or a list the game cannot hold.
PrizeDocument fromCsv(std::string_view csv);

// "#RRGGBB" as the game's colour number red + 256 x green + 65536 x blue,
// or nullopt when text is not of that form.
std::optional<std::int32_t> colorOfHex(std::string_view text);

} // namespace authoring
