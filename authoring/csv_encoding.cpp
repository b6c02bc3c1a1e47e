// Telling GBK from UTF-8 by the plausibility of the text each gives.
#include "csv_encoding.h"

#include "text_decoding.h"

#include <array>
#include <cstdint>
#include <vector>

namespace authoring {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A reading that is this many bits (a factor of 2^10) less likely than the
// other is still shown as a choice.
constexpr double kCloseBits = 10;

enum class Hanzi : std::uint8_t { None, Common, Less };

// GB2312's two levels of hanzi: the 3755 in everyday use (rows B0-D7) and
// 3008 less used (rows D8-F7); GBK's other ideographs are rare in names.
const std::vector<Hanzi> &gb2312Levels()
{
    static const std::vector<Hanzi> levels = [] {
        std::vector<Hanzi> table(0x10000, Hanzi::None);
        catalogue::GbkDecoder decoder;
        for (unsigned lead = 0xB0; lead <= 0xF7; ++lead)
            for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) {
                const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
                const std::string text = decoder.decode(pair);
                if (text.size() != 3) // a hanzi is three bytes of UTF-8; an unassigned place is U+FFFD
                    continue;
                const unsigned codePoint = ((static_cast<unsigned char>(text[0]) & 0x0Fu) << 12) |
                                           ((static_cast<unsigned char>(text[1]) & 0x3Fu) << 6) |
                                           (static_cast<unsigned char>(text[2]) & 0x3Fu);
                if (codePoint != 0xFFFD)
                    table[codePoint] = lead <= 0xD7 ? Hanzi::Common : Hanzi::Less;
            }
        return table;
    }();
    return levels;
}

bool isAsciiLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isLatin1Letter(char32_t c) { return c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7; }

// Punctuation that Chinese names and notes use.
bool isCommonChinesePunctuation(char32_t c)
{
    switch (c) {
    case 0x2014:
    case 0x2018:
    case 0x2019:
    case 0x201C:
    case 0x201D:
    case 0x2026:
    case 0x3001:
    case 0x3002:
    case 0x300A:
    case 0x300B:
    case 0x3010:
    case 0x3011:
    case 0xFF01:
    case 0xFF08:
    case 0xFF09:
    case 0xFF0C:
    case 0xFF1A:
    case 0xFF1B:
    case 0xFF1F: return true;
    default: return false;
    }
}

// log2 of a character's probability in a prize list: each class's share of
// the non-ASCII characters spread over its size. Rough shares are enough: a
// wrong reading lands mostly in classes many orders of magnitude apart.
double characterBits(char32_t c, bool besideAsciiLetter)
{
    if (c <= 0xFFFF) {
        switch (gb2312Levels()[c]) {
        case Hanzi::Common: return -12.1; // 85 % over 3755
        case Hanzi::Less: return -15.9;   // 5 % over 3008
        case Hanzi::None: break;
        }
    }
    if (isCommonChinesePunctuation(c))
        return -8.3; // 5 % over 16
    if ((c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF))
        return -21.4; // GBK's extension hanzi: 0.5 % over 14000
    if (isLatin1Letter(c))
        return besideAsciiLetter ? -10.2 : -13.6; // inside a Latin word (Café), or alone
    if ((c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF00 && c <= 0xFFEF) ||
        (c >= 0x2100 && c <= 0x27BF) || (c >= 0xA0 && c <= 0xBF))
        return -15.9; // other punctuation, full-width forms and symbols: 1 % over 600
    if (c >= 0x0370 && c <= 0x04FF)
        return -17.2; // Greek and Cyrillic: 0.1 % over 150
    if ((c >= 0x80 && c <= 0x9F) || (c >= 0xE000 && c <= 0xF8FF) || c == 0xFFFD)
        return -30; // control characters, private use, no character
    if (c >= 0x1F300 && c <= 0x1FAFF)
        return -20; // emoji: 0.1 % over 3000
    if (c > 0xFFFF)
        return -34; // the other planes' rare hanzi and scripts: 0.0001 % over 100000
    return -26.3;   // anything else: 0.05 % over 40000
}

// The code points of valid UTF-8.
std::vector<char32_t> codePoints(std::string_view utf8)
{
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t codePoint = length == 1 ? c : length == 2 ? c & 0x1Fu : length == 3 ? c & 0x0Fu : c & 0x07u;
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        out.push_back(codePoint);
        i += length;
    }
    return out;
}

} // namespace

double textLikelihood(std::string_view utf8)
{
    const std::vector<char32_t> text = codePoints(utf8);
    double bits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] < 0x80)
            continue; // ASCII reads the same either way
        const bool besideLetter =
            (i > 0 && isAsciiLetter(text[i - 1])) || (i + 1 < text.size() && isAsciiLetter(text[i + 1]));
        bits += characterBits(text[i], besideLetter);
    }
    return bits;
}

EncodingGuess guessCsvEncoding(std::string_view bytes)
{
    catalogue::GbkDecoder decoder;
    return guessCsvEncoding(bytes, decoder);
}

EncodingGuess guessCsvEncoding(std::string_view bytes, catalogue::GbkDecoder &decoder)
{
    if (bytes.starts_with(kByteOrderMark))
        return {CsvEncoding::Utf8WithMark, false};
    if (catalogue::sanitizeUtf8(bytes) != bytes)
        return {CsvEncoding::Gbk, false};
    const std::string gbk = decoder.decode(bytes);
    if (gbk.find("\uFFFD") != std::string::npos || gbk == bytes) // not GBK, or ASCII alone
        return {CsvEncoding::Utf8, false};
    const double asUtf8 = textLikelihood(bytes);
    const double asGbk = textLikelihood(gbk);
    if (asUtf8 >= asGbk)
        return {CsvEncoding::Utf8, asUtf8 - asGbk < kCloseBits};
    return {CsvEncoding::Gbk, asGbk - asUtf8 < kCloseBits};
}

} // namespace authoring
