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

// A GIF's blocks, walked to its trailer byte: a file that ends before it is
// cut short, while bytes after it (a download's padding, say) are no harm, as
// browsers show such a file.
bool gifCutShort(std::span<const std::uint8_t> file)
{
    constexpr std::size_t kScreenDescriptorEnd = 13;
    if (file.size() < kScreenDescriptorEnd)
        return true;
    const auto colorTableBytes = [](std::uint8_t flags) {
        return (flags & 0x80) ? std::size_t(3) << ((flags & 0x07) + 1) : std::size_t(0);
    };
    std::size_t at = kScreenDescriptorEnd + colorTableBytes(file[10]);
    // Data sub-blocks: a length byte, that many bytes, until a length of 0.
    const auto skipSubBlocks = [&] {
        while (at < file.size()) {
            const std::size_t length = file[at++];
            if (length == 0)
                return true;
            at += length;
        }
        return false;
    };
    while (at < file.size()) {
        switch (file[at]) {
        case 0x3B: return false;
        case 0x21: // extension: introducer, label, sub-blocks
            at += 2;
            if (!skipSubBlocks())
                return true;
            break;
        case 0x2C: // image: descriptor, local colour table, LZW code size, sub-blocks
            if (at + 10 > file.size())
                return true;
            at += 10 + colorTableBytes(file[at + 9]) + 1;
            if (!skipSubBlocks())
                return true;
            break;
        default: return true; // no block starts so: the file is broken here
        }
    }
    return true;
}

std::uint32_t bigEndian16(const std::uint8_t *p) { return std::uint32_t(p[0]) << 8 | p[1]; }
std::uint32_t littleEndian16(const std::uint8_t *p) { return std::uint32_t(p[1]) << 8 | p[0]; }

std::optional<PictureSize> jpegFrameSize(std::span<const std::uint8_t> head)
{
    for (std::size_t at = 2; at + 4 <= head.size();) {
        if (head[at] != 0xFF)
            return std::nullopt;
        const std::uint8_t marker = head[at + 1];
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += marker == 0xFF ? 1 : 2;
            continue;
        }
        const std::size_t length = bigEndian16(&head[at + 2]);
        // Start of frame, any coding (C4, C8 and CC are other segments).
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (at + 9 > head.size())
                return std::nullopt;
            return PictureSize{bigEndian16(&head[at + 7]), bigEndian16(&head[at + 5])};
        }
        if (marker == 0xDA || length < 2)
            return std::nullopt;
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace

std::optional<PictureSize> headerSize(std::span<const std::uint8_t> head)
{
    if (isPng(head))
        return head.size() >= 24 ? std::optional(PictureSize{bigEndian32(&head[16]), bigEndian32(&head[20])})
                                 : std::nullopt;
    if (head.size() >= 2 && head[0] == 0xFF && head[1] == 0xD8)
        return jpegFrameSize(head);
    if (head.size() >= 10 && std::equal(head.begin(), head.begin() + 3, "GIF"))
        return PictureSize{littleEndian16(&head[6]), littleEndian16(&head[8])};
    if (head.size() >= 26 && head[0] == 'B' && head[1] == 'M') {
        const auto signed32 = [&](std::size_t at) {
            return std::int32_t(std::uint32_t(head[at]) | std::uint32_t(head[at + 1]) << 8 |
                                std::uint32_t(head[at + 2]) << 16 | std::uint32_t(head[at + 3]) << 24);
        };
        // An OS/2 bitmap's 12-byte header holds 16-bit sizes; the later ones 32-bit.
        if (littleEndian16(&head[14]) == 12 && head[16] == 0 && head[17] == 0)
            return PictureSize{littleEndian16(&head[18]), littleEndian16(&head[20])};
        const std::int64_t width = signed32(18);
        const std::int64_t height = signed32(22); // negative: stored top-down
        return PictureSize{std::uint32_t(width < 0 ? -width : width), std::uint32_t(height < 0 ? -height : height)};
    }
    return std::nullopt;
}

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
        if (std::equal(file.data() + at + 4, file.data() + at + 8, "IEND"))
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
        return gifCutShort(file);
    return false; // other formats: the decoder's own checks decide
}

void blendOnto(Pixels &pixels, std::uint32_t background)
{
    for (std::uint32_t &pixel : pixels.argb) {
        const std::uint32_t alpha = pixel >> 24;
        if (alpha == 0xFF)
            continue;
        // Each channel is already multiplied by alpha; the background shows
        // through by the rest, rounded to nearest.
        std::uint32_t out = 0xFF000000;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t over = (pixel >> shift) & 0xFF;
            const std::uint32_t under = (background >> shift) & 0xFF;
            out |= std::min<std::uint32_t>(over + (under * (255 - alpha) + 127) / 255, 255) << shift;
        }
        pixel = out;
    }
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
            case 3:
                sx = sw - 1 - x;
                sy = sh - 1 - y;
                break;
            case 4: sy = sh - 1 - y; break;
            case 5:
                sx = y;
                sy = x;
                break;
            case 6:
                sx = y;
                sy = sh - 1 - x;
                break;
            case 7:
                sx = sw - 1 - y;
                sy = sh - 1 - x;
                break;
            case 8:
                sx = sw - 1 - y;
                sy = x;
                break;
            }
            turned.argb[std::size_t(y) * std::size_t(turned.width) + std::size_t(x)] =
                stored.argb[std::size_t(sy) * std::size_t(sw) + std::size_t(sx)];
        }
    return turned;
}

} // namespace window
