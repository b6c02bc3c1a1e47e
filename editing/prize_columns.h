// How the table shows a prize's lines and reads what is typed into them:
// plain C++, no toolkit.
#pragma once

#include <string>

namespace editing {

// What the colour column shows for a colour line: "#RRGGBB" for a colour the
// card shows as written; the line itself otherwise, so that the user sees
// what is wrong. The file keeps the game's number.
std::string colorCellText(const std::string &line);

// The colour line for what was typed into the colour column: the game's
// number (red + 256 x green + 65536 x blue), from "#RRGGBB", from six hex
// digits holding a letter ("FF0000"), or from a whole number 0 to 16777215.
// Throws authoring::ListError, with an example, for anything else, which the
// card would show black.
std::string colorLineOf(const std::string &typed);

// Whether two colour lines show the same colour on the card.
bool sameColor(const std::string &a, const std::string &b);

} // namespace editing
