// The EXIF orientation reader on any bytes: always a value from 1 to 8.
#include "exif_orientation.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const int orientation = catalogue::jpegOrientation(std::string_view(reinterpret_cast<const char *>(data), size));
    if (orientation < 1 || orientation > 8)
        std::abort();
    return 0;
}
