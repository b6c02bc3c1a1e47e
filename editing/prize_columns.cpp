// Colours as the table shows and reads them.
#include "prize_columns.h"

#include "draw.h"
#include "i18n.h"
#include "prize_document.h"
#include "prize_odds.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace editing {

namespace {

bool usable(const std::string &line)
{
    const auto written = catalogue::Variant(line).numberIf();
    return written && std::nearbyint(*written) == reel::cardColor(catalogue::Variant(line));
}

std::string trimmed(const std::string &text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool allHex(const std::string &text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); });
}

} // namespace

std::string colorCellText(const std::string &line)
{
    return usable(line) ? odds::hexColor(reel::cardColor(catalogue::Variant(line))) : line;
}

std::string colorLineOf(const std::string &typed)
{
    std::string text = trimmed(typed);
    // Six hex digits with a letter cannot be the game's number; six without one
    // are read as that number, as the file holds it.
    const bool hasLetter = std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isalpha(c); });
    if (text.size() == 6 && allHex(text) && hasLetter)
        text = "#" + text;
    if (text.size() == 7 && text[0] == '#' && allHex(text.substr(1))) {
        const auto channel = [&](std::size_t at) { return std::stoi(text.substr(at, 2), nullptr, 16); };
        return std::to_string(channel(1) + 256 * channel(3) + 65536 * channel(5));
    }
    const auto number = catalogue::Variant(text).numberIf();
    if (!text.empty() && number && *number >= 0 && *number <= 0xFFFFFF && std::floor(*number) == *number)
        return std::to_string(static_cast<std::int32_t>(*number));
    throw authoring::ListError(i18n::tr("{0} is no colour the card can show. Type it as #RRGGBB, for example #FF0000 "
                                        "for red, or as the game's number from 0 to 16777215 (255 is red).",
                                        "\"" + typed + "\""));
}

bool sameColor(const std::string &a, const std::string &b)
{
    return usable(a) && usable(b) && reel::cardColor(catalogue::Variant(a)) == reel::cardColor(catalogue::Variant(b));
}

} // namespace editing
