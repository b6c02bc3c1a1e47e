// The orientation tag of a JPEG's EXIF block, read by plain C++ so that every
// picture loader turns photos upright alike (some decoders report no metadata).
#pragma once

#include <filesystem>
#include <string_view>

namespace catalogue {

// How the stored picture is turned upright, as EXIF numbers it: 1 as stored,
// 2 mirrored, 3 turned half round, 4 flipped, 5 to 8 the quarter turns,
// mirrored or not. 1 when the bytes are no JPEG, hold no EXIF block, or the
// tag is missing, broken or out of range.
int jpegOrientation(std::string_view bytes);

// The same, read from a file's segments before its picture data, never
// more than one segment in memory. 1 when the file cannot be read.
int jpegOrientationOfFile(const std::filesystem::path &file);

} // namespace catalogue
