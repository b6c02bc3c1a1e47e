// Letter case in file names, folded as Windows folds it.
#include "file_names.h"

namespace catalogue {

namespace {

bool inPairs(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

char32_t upper(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if (c < 0x80)
        return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    // Blocks of pairs: upper case on the even code point and lower case on
    // the odd one after it, or the other way round.
    const auto evenUpper = [c] { return (c & 1) ? c - 1 : c; };
    const auto oddUpper = [c] { return (c & 1) ? c : c - 1; };
    if (inPairs(c, 0x100, 0x12F) || inPairs(c, 0x132, 0x137) || inPairs(c, 0x14A, 0x177))
        return evenUpper();
    if (inPairs(c, 0x139, 0x148) || inPairs(c, 0x179, 0x17E))
        return oddUpper();
    // Greek
    if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB))
        return c - 0x20;
    if (c == 0x3C2)
        return 0x3A3; // final sigma
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return c - 0x25;
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return c - 0x3F;
    // Cyrillic
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if (inPairs(c, 0x460, 0x481) || inPairs(c, 0x48A, 0x4BF) || inPairs(c, 0x4D0, 0x52F))
        return evenUpper();
    if (inPairs(c, 0x4C1, 0x4CE))
        return oddUpper();
    if (c == 0x4CF)
        return 0x4C0;
    // Armenian
    if (c >= 0x561 && c <= 0x586)
        return c - 0x30;
    // Latin Extended Additional
    if (inPairs(c, 0x1E00, 0x1E95) || inPairs(c, 0x1EA0, 0x1EFF))
        return evenUpper();
    if (c >= 0x2170 && c <= 0x217F) // small Roman numerals
        return c - 0x10;
    if (c >= 0x24D0 && c <= 0x24E9) // circled small letters
        return c - 0x1A;
    if (c >= 0xFF41 && c <= 0xFF5A) // full-width small letters
        return c - 0x20;
    return c;
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string upperCaseFold(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
        const auto continuation = [&](std::size_t k) { return k < utf8.size() && (byte(k) & 0xC0) == 0x80; };
        // Only letters of the Basic Multilingual Plane change; two- and
        // three-byte sequences are decoded, everything else copied.
        char32_t c = 0;
        std::size_t length = 1;
        if (byte(i) < 0x80) {
            c = byte(i);
        } else if (byte(i) >= 0xC2 && byte(i) < 0xE0 && continuation(i + 1)) {
            c = char32_t(byte(i) & 0x1F) << 6 | (byte(i + 1) & 0x3F);
            length = 2;
        } else if (byte(i) >= 0xE0 && byte(i) < 0xF0 && continuation(i + 1) && continuation(i + 2)) {
            c = char32_t(byte(i) & 0x0F) << 12 | char32_t(byte(i + 1) & 0x3F) << 6 | (byte(i + 2) & 0x3F);
            length = 3;
            if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))
                c = 0; // overlong or a surrogate: kept as bytes
        }
        const char32_t folded = c ? upper(c) : 0;
        if (c && folded != c)
            appendUtf8(out, folded);
        else
            out.append(utf8.substr(i, length));
        i += length;
    }
    return out;
}

} // namespace catalogue
