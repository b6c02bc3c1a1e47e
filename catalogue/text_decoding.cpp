// Decoding of prize list lines to UTF-8.
#include "text_decoding.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace catalogue {

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

iconv_t handle(void *p) { return static_cast<iconv_t>(p); }

bool isGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool isGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }
} // namespace

GbkDecoder::GbkDecoder() : iconv_(iconv_open("UTF-8", "CP936"))
{
    if (iconv_ == reinterpret_cast<void *>(-1))
        throw std::runtime_error("iconv cannot convert from CP936");
}

GbkDecoder::~GbkDecoder() { iconv_close(handle(iconv_)); }

std::string GbkDecoder::decode(std::string_view gbk)
{
    std::string out;
    out.reserve(gbk.size() * 3 / 2 + 4);
    iconv(handle(iconv_), nullptr, nullptr, nullptr, nullptr); // reset shift state

    char *in = const_cast<char *>(gbk.data());
    std::size_t inLeft = gbk.size();
    char buffer[1024];
    while (inLeft > 0) {
        char *outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(handle(iconv_), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: one bad character. A well-formed but unmapped
        // double-byte pair is one character, so skip both of its bytes.
        out += kReplacement;
        const auto lead = static_cast<unsigned char>(in[0]);
        const bool pair = inLeft >= 2 && isGbkLead(lead) && isGbkTrail(static_cast<unsigned char>(in[1]));
        const std::size_t skip = pair ? 2 : 1;
        in += skip;
        inLeft -= skip;
    }
    return out;
}

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
