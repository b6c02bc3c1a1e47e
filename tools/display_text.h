// Text for a terminal: control characters made harmless and columns aligned
// by display width, where a Chinese character takes two columns.
#pragma once

#include <string>
#include <string_view>

namespace odds {

// Replaces control characters, line and paragraph separators and bidi
// overrides with U+FFFD, so a prize list cannot move the cursor or reorder
// the screen. Expects valid UTF-8 (the reader guarantees it); an invalid byte
// also becomes U+FFFD.
std::string terminalSafe(std::string_view utf8);

// Columns the text takes on a terminal.
int displayWidth(std::string_view utf8);

// Cuts the text to at most maxColumns, ending it with "…" when cut.
std::string fitWidth(std::string_view utf8, int maxColumns);

enum class Align { Left, Right };
// Pads the text with spaces to `columns` display columns.
std::string pad(std::string_view utf8, int columns, Align align = Align::Left);

} // namespace odds
