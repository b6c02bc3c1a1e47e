// Fuzzes the PNG reader that scales while it decodes: any bytes either give
// pixels of the asked size or are refused with the invalid-picture error.
#include "png_scaled.h"
#include "runtime_error.h"

#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    try {
        const std::optional<window::Pixels> pixels = window::decodePngScaled(in, 7, 5);
        if (pixels && (pixels->width != 7 || pixels->height != 5 || pixels->argb.size() != 35))
            std::abort();
    } catch (const catalogue::RuntimeError &e) {
        if (e.number() != 481)
            std::abort();
    }
    return 0;
}
