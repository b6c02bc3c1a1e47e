// What makes a picture file acceptable before and after decoding, and how its
// pixels are turned upright: plain C++ on the file's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace window {

// Limits that keep a hostile or broken file from exhausting memory.
inline constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t(64) << 20;
inline constexpr std::uint64_t kMaxPicturePixels = 100'000'000;

// Whether a PNG has a chunk that claims more bytes than the file holds, or
// ends before its IEND chunk. Such a file is cut short or forged, and a
// decoder may allocate whatever a chunk claims before it finds out. False for
// anything that is no PNG.
bool pngCutShort(std::span<const std::uint8_t> file);

// Whether a picture file ends before its image data does: a JPEG without its
// end-of-image marker after the scan, a GIF without its trailer byte, a PNG
// as above. Decoders pad such an image with grey and report success. Bytes
// after the end of a whole picture are no harm.
bool pictureCutShort(std::span<const std::uint8_t> file);

struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size a JPEG, PNG, GIF or BMP (OS/2's 12-byte header too) header claims, read from the file's first
// bytes; nullopt for any other format, or a JPEG whose frame header lies
// beyond them.
std::optional<PictureSize> headerSize(std::span<const std::uint8_t> head);

// 32-bit pixels, rows top to bottom, no padding.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

// Premultiplied pixels made opaque over a background colour (0xRRGGBB), as
// the window paints a picture over its box: a transparent pixel shows the
// background.
void blendOnto(Pixels &pixels, std::uint32_t background);

// Whether an orientation tag (1 to 8) stores the picture on its side, so that
// it has to be decoded at the transposed size.
inline bool onItsSide(int orientation) { return orientation >= 5 && orientation <= 8; }

// The picture turned upright as its orientation tag (EXIF: 1 as stored,
// 2 mirrored, 3 turned half round, 4 flipped, 5 to 8 on its side) says;
// any other value leaves it as stored.
Pixels upright(const Pixels &stored, int orientation);

} // namespace window
