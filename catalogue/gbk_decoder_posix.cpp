// GBK decoding through iconv's CP936, for every build but Windows'.
#include "text_decoding.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace catalogue {

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

iconv_t handle(void *p) { return static_cast<iconv_t>(p); }
} // namespace

GbkDecoder::GbkDecoder() : converter_(iconv_open("UTF-8", "CP936"))
{
    if (converter_ == reinterpret_cast<void *>(-1))
        throw std::runtime_error("iconv cannot convert from CP936");
}

GbkDecoder::~GbkDecoder() { iconv_close(handle(converter_)); }

std::string GbkDecoder::decode(std::string_view gbk)
{
    std::string out;
    out.reserve(gbk.size() * 3 / 2 + 4);
    iconv(handle(converter_), nullptr, nullptr, nullptr, nullptr); // reset shift state

    char *in = const_cast<char *>(gbk.data());
    std::size_t inLeft = gbk.size();
    char buffer[1024];
    while (inLeft > 0) {
        char *outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(handle(converter_), &in, &inLeft, &outPtr, &outLeft);
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

} // namespace catalogue
