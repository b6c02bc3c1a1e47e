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

// Copies valid UTF-8 through and replaces each invalid sequence with U+FFFD.
std::string sanitizeUtf8(std::string_view bytes);

} // namespace catalogue
