// Decoding of prize list lines to UTF-8.
#include "text_decoding.h"

namespace catalogue {

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
} // namespace

std::string sanitizeUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        unsigned min = 0;
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            length = 2, min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3, min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4, min = 0x10000;
        }
        bool valid = length > 0 && i + length <= bytes.size();
        unsigned codePoint = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        valid = valid && codePoint >= min && codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
        if (valid) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            out += kReplacement;
            ++i;
        }
    }
    return out;
}

namespace {
bool isCjk(unsigned codePoint)
{
    return (codePoint >= 0x3000 && codePoint <= 0x9FFF) || (codePoint >= 0xF900 && codePoint <= 0xFAFF) ||
           (codePoint >= 0xFF00 && codePoint <= 0xFFEF);
}

// A character GB2312 holds (symbol rows 0xA1-0xA9, hanzi rows 0xB0-0xF7):
// what GBK lists are made of, as against the extension areas.
bool isCommonGbk(unsigned char lead, unsigned char trail)
{
    const bool row = (lead >= 0xA1 && lead <= 0xA9) || (lead >= 0xB0 && lead <= 0xF7);
    return row && trail >= 0xA1 && trail <= 0xFE;
}
} // namespace

bool looksLikeUtf8WithoutMark(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF") || sanitizeUtf8(bytes) != bytes)
        return false;

    bool cjk = false;
    for (std::size_t i = 0; i < bytes.size() && !cjk;) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0xE0 || c > 0xEF) {
            i += c < 0x80 ? 1 : c < 0xE0 ? 2 : 4;
            continue;
        }
        const unsigned codePoint = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(bytes[i + 1]) & 0x3Fu) << 6) |
                                   (static_cast<unsigned char>(bytes[i + 2]) & 0x3Fu);
        cjk = isCjk(codePoint);
        i += 3;
    }
    if (!cjk)
        return false;

    // Read as GBK: count the characters past ASCII and the unlikely ones.
    std::size_t characters = 0;
    std::size_t unlikely = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        ++characters;
        const auto trail = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (isGbkLead(lead) && isGbkTrail(trail)) {
            unlikely += isCommonGbk(lead, trail) ? 0 : 1;
            i += 2;
        } else {
            return true; // not GBK at all
        }
    }
    return unlikely * 4 >= characters;
}

} // namespace catalogue
