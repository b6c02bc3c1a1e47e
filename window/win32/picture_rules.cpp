// Truncation checks on a picture file's structure, and the EXIF turns.
#include "picture_rules.h"

#include <algorithm>

namespace window {

namespace {

std::uint32_t bigEndian32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

bool isPng(std::span<const std::uint8_t> file)
{
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return file.size() >= 8 && std::equal(signature, signature + 8, file.begin());
}

// Segments up to the first scan carry their lengths; the scan's data ends at
// the end-of-image marker, which the coding keeps out of the data (a 0xFF in
// it is followed by 0x00 or a restart marker).
bool jpegCutShort(std::span<const std::uint8_t> file)
{
    std::size_t at = 2;
    while (true) {
        if (at + 4 > file.size() || file[at] != 0xFF)
            return true;
        const std::uint8_t marker = file[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // markers without a length
            at += 2;
            continue;
        }
        const std::size_t length = std::size_t(file[at + 2]) << 8 | file[at + 3];
        if (length < 2 || at + 2 + length > file.size())
            return true;
        at += 2 + length;
        if (marker == 0xDA)
            break;
    }
    for (std::size_t i = file.size() - 1; i > at; --i)
        if (file[i] == 0xD9 && file[i - 1] == 0xFF)
            return false;
    return true;
}

} // namespace

bool pngCutShort(std::span<const std::uint8_t> file)
{
    if (!isPng(file))
        return false;
    for (std::size_t at = 8;;) { // length, type, data, CRC
        if (file.size() - at < 8)
            return true;
        const std::uint64_t length = bigEndian32(&file[at]);
        if (length + 12 > file.size() - at)
            return true;
        if (std::equal(&file[at + 4], &file[at + 8], "IEND"))
            return false;
        at += std::size_t(length) + 12;
    }
}

bool pictureCutShort(std::span<const std::uint8_t> file)
{
    if (isPng(file))
        return pngCutShort(file);
    if (file.size() >= 2 && file[0] == 0xFF && file[1] == 0xD8)
        return jpegCutShort(file);
    if (file.size() >= 6 && std::equal(file.begin(), file.begin() + 3, "GIF"))
        return file.back() != 0x3B;
    return false; // other formats: the decoder's own checks decide
}

Pixels upright(const Pixels &stored, int orientation)
{
    if (orientation < 2 || orientation > 8)
        return stored;
    const int sw = stored.width;
    const int sh = stored.height;
    Pixels turned;
    turned.width = onItsSide(orientation) ? sh : sw;
    turned.height = onItsSide(orientation) ? sw : sh;
    turned.argb.resize(stored.argb.size());
    for (int y = 0; y < turned.height; ++y)
        for (int x = 0; x < turned.width; ++x) {
            int sx = x, sy = y;
            switch (orientation) {
            case 2: sx = sw - 1 - x; break;
            case 3: sx = sw - 1 - x; sy = sh - 1 - y; break;
            case 4: sy = sh - 1 - y; break;
            case 5: sx = y; sy = x; break;
            case 6: sx = y; sy = sh - 1 - x; break;
            case 7: sx = sw - 1 - y; sy = sh - 1 - x; break;
            case 8: sx = sw - 1 - y; sy = x; break;
            }
            turned.argb[std::size_t(y) * std::size_t(turned.width) + std::size_t(x)] =
                stored.argb[std::size_t(sy) * std::size_t(sw) + std::size_t(sx)];
        }
    return turned;
}

} // namespace window
