// Decoding of prize list lines to UTF-8: GBK (code page 936), or UTF-8 when
// the file starts with a byte-order mark. Decoding never fails: a byte
// sequence that is not valid becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace catalogue {

class GbkDecoder {
public:
    GbkDecoder();
    ~GbkDecoder();
    GbkDecoder(const GbkDecoder &) = delete;
    GbkDecoder &operator=(const GbkDecoder &) = delete;

    std::string decode(std::string_view gbk);

private:
    void *converter_; // the platform's converter, kept open: opening one per line is costly
};

// The shape of a GBK double-byte character. A well-formed pair that maps to
// no character is one bad character: both bytes become one U+FFFD.
inline bool isGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
inline bool isGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// True when bytes that carry no byte-order mark look like UTF-8 holding
// Chinese text rather than GBK: they are valid UTF-8 with CJK characters,
// and read as GBK they give invalid or rarely used characters. The game never
// guesses; this only explains a list that shows garbled.
bool looksLikeUtf8WithoutMark(std::string_view bytes);

// Copies valid UTF-8 through and replaces each invalid sequence with U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

} // namespace catalogue
