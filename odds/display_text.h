// Text for a terminal: control characters made harmless and columns aligned
// by display width, where a Chinese character takes two columns.
#pragma once

#include "text_decoding.h"

#include <string>
#include <string_view>

namespace odds {

// Calls visit(codePoint, bytes) for each character of text; each invalid
// byte arrives as U+FFFD.
template <typename Visit>
void forEachCodePoint(std::string_view text, Visit &&visit)
{
    const std::string valid = catalogue::sanitizeUtf8(text);
    for (std::size_t pos = 0; pos < valid.size();) {
        const auto lead = static_cast<unsigned char>(valid[pos]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? lead : length == 2 ? lead & 0x1Fu : length == 3 ? lead & 0x0Fu : lead & 0x07u;
        for (std::size_t k = 1; k < length; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(valid[pos + k]) & 0x3Fu);
        visit(cp, std::string_view(valid).substr(pos, length));
        pos += length;
    }
}

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
