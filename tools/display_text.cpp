// Display width and sanitising by utf8proc.
#include "display_text.h"

#include <utf8proc.h>

#include <algorithm>

namespace odds {

namespace {
constexpr utf8proc_int32_t kReplacement = 0xFFFD;

bool harmful(utf8proc_int32_t cp)
{
    switch (utf8proc_category(cp)) {
    case UTF8PROC_CATEGORY_CC:
    case UTF8PROC_CATEGORY_ZL:
    case UTF8PROC_CATEGORY_ZP: return true;
    default: break;
    }
    return (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

// Calls visit(codePoint, bytes) for each character; invalid bytes arrive as
// U+FFFD one at a time.
template <typename Visit>
void forEachCodePoint(std::string_view text, Visit &&visit)
{
    const auto *bytes = reinterpret_cast<const utf8proc_uint8_t *>(text.data());
    utf8proc_ssize_t pos = 0;
    const auto size = static_cast<utf8proc_ssize_t>(text.size());
    while (pos < size) {
        utf8proc_int32_t cp = 0;
        utf8proc_ssize_t length = utf8proc_iterate(bytes + pos, size - pos, &cp);
        if (length <= 0) {
            cp = kReplacement;
            length = 1;
        }
        visit(cp, text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(length)));
        pos += length;
    }
}

void append(std::string &out, utf8proc_int32_t cp)
{
    utf8proc_uint8_t buffer[4];
    const auto length = utf8proc_encode_char(cp, buffer);
    out.append(reinterpret_cast<const char *>(buffer), static_cast<std::size_t>(length));
}

int widthOf(utf8proc_int32_t cp) { return std::max(utf8proc_charwidth(cp), 0); }
} // namespace

std::string terminalSafe(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    forEachCodePoint(utf8, [&](utf8proc_int32_t cp, std::string_view bytes) {
        if (cp == kReplacement || harmful(cp))
            append(out, kReplacement);
        else
            out.append(bytes);
    });
    return out;
}

int displayWidth(std::string_view utf8)
{
    int width = 0;
    forEachCodePoint(utf8, [&](utf8proc_int32_t cp, std::string_view) { width += widthOf(cp); });
    return width;
}

std::string fitWidth(std::string_view utf8, int maxColumns)
{
    if (displayWidth(utf8) <= maxColumns)
        return std::string(utf8);
    std::string out;
    int width = 0;
    bool full = false;
    forEachCodePoint(utf8, [&](utf8proc_int32_t cp, std::string_view bytes) {
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
