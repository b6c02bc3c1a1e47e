// UTF-8 to GBK by iconv.
#include "gbk_encoder.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace authoring {

namespace {
iconv_t handle(void *p) { return static_cast<iconv_t>(p); }
} // namespace

GbkEncoder::GbkEncoder() : converter_(iconv_open("CP936", "UTF-8"))
{
    if (converter_ == reinterpret_cast<void *>(-1))
        throw std::runtime_error("iconv cannot convert to CP936");
}

GbkEncoder::~GbkEncoder() { iconv_close(handle(converter_)); }

std::optional<std::string> GbkEncoder::convert(std::string_view utf8)
{
    std::string out;
    iconv(handle(converter_), nullptr, nullptr, nullptr, nullptr);
    char *in = const_cast<char *>(utf8.data());
    std::size_t inLeft = utf8.size();
    char buffer[1024];
    while (inLeft > 0) {
        char *outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(handle(converter_), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG)
            return std::nullopt;
    }
    return out;
}

} // namespace authoring
