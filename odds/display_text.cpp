// Display width and sanitising, on a table of character widths made from the
// Unicode data files (odds/make_char_widths.py), so that every build measures
// text the same way.
#include "display_text.h"

#include "text_decoding.h"

#include <algorithm>

namespace odds {

namespace {

struct WidthRange {
    char32_t first;
    char32_t last;
    int columns;
};
constexpr WidthRange kWidths[] = {
#include "char_widths.inc"
};

int widthOf(char32_t cp)
{
    const auto *range = std::upper_bound(std::begin(kWidths), std::end(kWidths), cp,
                                         [](char32_t c, const WidthRange &r) { return c < r.first; });
    return range != std::begin(kWidths) && cp <= (range - 1)->last ? (range - 1)->columns : 1;
}

bool harmful(char32_t cp)
{
    const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
    const bool lineOrParagraphSeparator = cp == 0x2028 || cp == 0x2029;
    const bool bidiOverride = (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
    return control || lineOrParagraphSeparator || bidiOverride;
}

} // namespace

std::string terminalSafe(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    forEachCodePoint(utf8, [&](char32_t cp, std::string_view bytes) {
        out.append(harmful(cp) ? std::string_view("\uFFFD") : bytes);
    });
    return out;
}

int displayWidth(std::string_view utf8)
{
    int width = 0;
    forEachCodePoint(utf8, [&](char32_t cp, std::string_view) { width += widthOf(cp); });
    return width;
}

std::string fitWidth(std::string_view utf8, int maxColumns)
{
    if (displayWidth(utf8) <= maxColumns)
        return std::string(utf8);
    std::string out;
    int width = 0;
    bool full = false;
    forEachCodePoint(utf8, [&](char32_t cp, std::string_view bytes) {
        if (full || width + widthOf(cp) > maxColumns - 1) {
            full = true;
            return;
        }
        width += widthOf(cp);
        out.append(bytes);
    });
    return out + "\u2026";
}

std::string pad(std::string_view utf8, int columns, Align align)
{
    const std::string spaces(static_cast<std::size_t>(std::max(columns - displayWidth(utf8), 0)), ' ');
    return align == Align::Left ? std::string(utf8) + spaces : spaces + std::string(utf8);
}

} // namespace odds
