// A PNG decoded row by row and scaled down while it decodes, so that memory
// is a few rows and the result, whatever the picture's size: plain C++ over
// zlib.
#pragma once

#include "picture_rules.h"

#include <cstdint>
#include <istream>
#include <optional>
#include <span>

namespace window {

// Whether the file that starts with head is a PNG that decodePngScaled takes
// at width x height: not interlaced, at most 65536 pixels wide, and not
// enlarged either way (a box filter enlarges into blocks).
bool pngScalesDown(std::span<const std::uint8_t> head, int width, int height);

// The bytes decodePngScaled holds at once for a picture of the given size
// scaled to width x height: two rows of the widest pixels, the result, and
// zlib's and the reader's buffers.
std::uint64_t pngScaledDecodeBytes(PictureSize picture, int width, int height);

// The PNG read from file (all of it, up to IEND) as premultiplied 0xAARRGGBB
// pixels stretched to width x height, each the average of the area it
// covers. Every colour type and bit depth, palettes and tRNS too; nullopt for
// an interlaced PNG or one over 65536 pixels wide, which are left to another
// decoder. Throws
// catalogue::RuntimeError InvalidPicture for anything else that is no whole,
// sound PNG within kMaxPicturePixels: a chunk overrunning the file, no IEND,
// image data cut short or corrupt, a bad filter type or header field.
std::optional<Pixels> decodePngScaled(std::istream &file, int width, int height);

} // namespace window
