// The orientation tag of a JPEG's EXIF block.
#include "exif_orientation.h"

#include "platform.h"

#include <cstdint>
#include <cstdio>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace catalogue {

namespace {
// Reads count bytes at offset into out; false when the source holds fewer.
using ReadAt = std::function<bool(std::uint64_t offset, std::size_t count, char *out)>;

constexpr int kNone = 1;
// Real files have a dozen segments before the picture data; this bounds the
// walk through a file made of nothing but empty segments.
constexpr int kMaxSegments = 1000;

unsigned read16(std::string_view b, std::size_t at, bool bigEndian)
{
    const auto hi = static_cast<unsigned char>(b[at + (bigEndian ? 0 : 1)]);
    const auto lo = static_cast<unsigned char>(b[at + (bigEndian ? 1 : 0)]);
    return hi << 8 | lo;
}

std::uint32_t read32(std::string_view b, std::size_t at, bool bigEndian)
{
    const std::uint32_t first = read16(b, at, bigEndian), second = read16(b, at + 2, bigEndian);
    return bigEndian ? first << 16 | second : second << 16 | first;
}

// The orientation in an APP1 segment's body, 0 when it is no EXIF block or has no usable tag.
int orientationInExif(std::string_view body)
{
    if (body.size() < 6 || body.substr(0, 6) != std::string_view("Exif\0\0", 6))
        return 0;
    const std::string_view tiff = body.substr(6); // offsets count from here
    if (tiff.size() < 8)
        return 0;
    const bool bigEndian = tiff.substr(0, 2) == "MM";
    if (!bigEndian && tiff.substr(0, 2) != "II")
        return 0;
    if (read16(tiff, 2, bigEndian) != 42)
        return 0;
    const std::uint32_t ifd = read32(tiff, 4, bigEndian);
    if (ifd > tiff.size() - 2)
        return 0;
    const unsigned entries = read16(tiff, ifd, bigEndian);
    for (unsigned i = 0; i < entries; ++i) {
        const std::uint64_t entry = ifd + 2 + std::uint64_t{12} * i;
        if (entry + 12 > tiff.size())
            return 0;
        const auto at = static_cast<std::size_t>(entry);
        constexpr unsigned kOrientationTag = 0x0112, kShort = 3;
        if (read16(tiff, at, bigEndian) != kOrientationTag)
            continue;
        if (read16(tiff, at + 2, bigEndian) != kShort || read32(tiff, at + 4, bigEndian) != 1)
            return 0;
        const unsigned value = read16(tiff, at + 8, bigEndian);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 0;
    }
    return 0;
}

// Walks the segments from the start-of-image marker to the picture data and
// reads the first EXIF block it meets.
int orientationInSegments(const ReadAt &readAt)
{
    char marker[4];
    if (!readAt(0, 2, marker) || std::memcmp(marker, "\xFF\xD8", 2) != 0)
        return kNone;
    std::uint64_t at = 2;
    std::string body;
    for (int segment = 0; segment < kMaxSegments; ++segment) {
        if (!readAt(at, 4, marker) || marker[0] != '\xFF')
            return kNone;
        const auto type = static_cast<unsigned char>(marker[1]);
        if (type == 0xFF) { // a fill byte before the marker
            ++at;
            continue;
        }
        if (type == 0xD8 || (type >= 0xD0 && type <= 0xD7) || type == 0x01) { // no length follows
            at += 2;
            continue;
        }
        if (type == 0xDA || type == 0xD9) // the picture data, or its end: no EXIF block came first
            return kNone;
        const unsigned length = read16(std::string_view(marker, 4), 2, true); // counts its own two bytes
        if (length < 2)
            return kNone;
        if (type == 0xE1) {
            body.resize(length - 2);
            if (!readAt(at + 4, body.size(), body.data()))
                return kNone;
            if (const int orientation = orientationInExif(body))
                return orientation;
            if (body.starts_with(std::string_view("Exif\0\0", 6)))
                return kNone; // only the first EXIF block counts
        }
        at += 2 + length;
    }
    return kNone;
}
} // namespace

int jpegOrientation(std::string_view bytes)
{
    return orientationInSegments([bytes](std::uint64_t offset, std::size_t count, char *out) {
        if (offset > bytes.size() || count > bytes.size() - offset)
            return false;
        std::memcpy(out, bytes.data() + offset, count);
        return true;
    });
}

int jpegOrientationOfFile(const std::filesystem::path &file)
{
    struct Closer {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    const std::unique_ptr<std::FILE, Closer> in(platform::openForReading(file));
    if (!in)
        return kNone;
    std::FILE *f = in.get();
    return orientationInSegments([f](std::uint64_t offset, std::size_t count, char *out) {
        if (offset > static_cast<std::uint64_t>(LONG_MAX) || std::fseek(f, static_cast<long>(offset), SEEK_SET) != 0)
            return false;
        return std::fread(out, 1, count, f) == count;
    });
}

} // namespace catalogue
