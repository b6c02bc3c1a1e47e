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
    void *iconv_; // iconv_t, kept open: opening one per line is costly
};

// True when bytes that carry no byte-order mark look like UTF-8 holding
// Chinese text rather than GBK: they are valid UTF-8 with CJK characters,
// and read as GBK they give invalid or rarely used characters. The game never
// guesses; this only explains a list that shows garbled.
bool looksLikeUtf8WithoutMark(std::string_view bytes);

// Copies valid UTF-8 through and replaces each invalid sequence with U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

} // namespace catalogue
