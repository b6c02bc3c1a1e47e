// GBK decoding through Windows' code page 936, giving exactly what the iconv
// build gives: Windows maps the user-defined areas to private-use characters
// where iconv refuses them, and reports a bad sequence only by failing the
// whole call, so each character is converted on its own.
#include "text_decoding.h"

#include <windows.h>

namespace catalogue {

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr UINT kGbk = 936;

// The private-use characters of GBK's user-defined areas, which the game shows as bad bytes.
bool isUserDefined(wchar_t c) { return c >= 0xE000 && c <= 0xF8FF; }

// Code page 936 gives only characters of the Basic Multilingual Plane.
void appendUtf8(std::string &out, wchar_t c)
{
    const auto u = static_cast<unsigned>(c);
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}
} // namespace

GbkDecoder::GbkDecoder() : converter_(nullptr) {}

GbkDecoder::~GbkDecoder() = default;

std::string GbkDecoder::decode(std::string_view gbk)
{
    std::string out;
    out.reserve(gbk.size() * 3 / 2 + 4);
    std::size_t i = 0;
    while (i < gbk.size()) {
        const auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        const bool pair = i + 1 < gbk.size() && isGbkLead(lead) && isGbkTrail(static_cast<unsigned char>(gbk[i + 1]));
        const int length = pair ? 2 : 1;
        wchar_t wide[2];
        const int got = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data() + i, length, wide, 2);
        if (got == 1 && !isUserDefined(wide[0]))
            appendUtf8(out, wide[0]);
        else
            out += kReplacement;
        i += static_cast<std::size_t>(length);
    }
    return out;
}

} // namespace catalogue
