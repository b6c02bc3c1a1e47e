// The orientation tag of real JPEGs, and of bytes that only look like one.
#include "exif_orientation.h"
#include "fakes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using catalogue::jpegOrientation;
using catalogue::jpegOrientationOfFile;

namespace {
std::string bundledJpeg()
{
    std::ifstream in(std::filesystem::path(SAMPLE_DIR) / "picture" / catalogue::utf8Path("棒棒糖.jpg"),
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string big16(unsigned v) { return {char(v >> 8), char(v & 0xFF)}; }

// An EXIF block in either byte order whose first IFD holds the given entries after a
// made-up one, as cameras write more tags than this one.
std::string exifSegment(bool bigEndian, unsigned type, unsigned count, unsigned value)
{
    auto u16 = [&](unsigned v) { return bigEndian ? big16(v) : std::string{char(v & 0xFF), char(v >> 8)}; };
    auto u32 = [&](unsigned v) { return bigEndian ? u16(v >> 16) + u16(v & 0xFFFF) : u16(v & 0xFFFF) + u16(v >> 16); };
    std::string tiff = std::string(bigEndian ? "MM" : "II") + u16(42) + u32(8) + u16(2);
    tiff += u16(0x010F) + u16(2) + u32(4) + "Cam"; // the maker, a string held in place
    tiff += '\0';
    tiff += u16(0x0112) + u16(type) + u32(count) + u16(value) + u16(0);
    tiff += u32(0); // no next IFD
    const std::string body = std::string("Exif\0\0", 6) + tiff;
    return "\xFF\xE1" + big16(static_cast<unsigned>(body.size() + 2)) + body;
}

// A real JPEG with segments inserted right after its start-of-image marker.
std::string withSegments(const std::string &jpeg, const std::string &segments)
{
    return jpeg.substr(0, 2) + segments + jpeg.substr(2);
}
} // namespace

TEST(JpegOrientation, ReadsEveryValueInBothByteOrdersFromBytesAndFromFiles)
{
    const std::string jpeg = bundledJpeg();
    ASSERT_GT(jpeg.size(), 1000u);
    EXPECT_EQ(jpegOrientation(jpeg), 1);

    fakes::TempFolder folder;
    // An XMP block and a large colour profile before the EXIF block: the walk goes past them.
    const std::string xmpBody = std::string("http://ns.adobe.com/xap/1.0/\0", 29) + "<x:xmpmeta/>";
    const std::string xmp = "\xFF\xE1" + big16(static_cast<unsigned>(xmpBody.size() + 2)) + xmpBody;
    const std::string profile = "\xFF\xE2" + big16(60000) + std::string(59998, 'p');
    for (const bool bigEndian : {true, false}) {
        for (unsigned value = 1; value <= 8; ++value) {
            const std::string tagged = withSegments(jpeg, xmp + profile + exifSegment(bigEndian, 3, 1, value));
            EXPECT_EQ(jpegOrientation(tagged), static_cast<int>(value)) << bigEndian;
            EXPECT_EQ(jpegOrientationOfFile(folder.write("tagged.jpg", tagged)), static_cast<int>(value)) << bigEndian;
        }
    }
}

TEST(JpegOrientation, AnythingButAWholeWellFormedTagIsAsStored)
{
    const std::string jpeg = bundledJpeg();
    for (const unsigned value : {0u, 9u, 0xFFFFu})
        EXPECT_EQ(jpegOrientation(withSegments(jpeg, exifSegment(true, 3, 1, value))), 1) << value;
    EXPECT_EQ(jpegOrientation(withSegments(jpeg, exifSegment(true, 4, 1, 6))), 1);  // a LONG
    EXPECT_EQ(jpegOrientation(withSegments(jpeg, exifSegment(false, 3, 2, 6))), 1); // two values

    // Every cut of a tagged file reads the tag or nothing; none reads past the end.
    const std::string tagged = withSegments(jpeg, exifSegment(true, 3, 1, 6));
    for (std::size_t size = 0; size < 80; ++size) {
        const int orientation = jpegOrientation(tagged.substr(0, size));
        EXPECT_TRUE(orientation == 1 || orientation == 6) << size;
    }
    // A first IFD and an entry count that point past the block.
    std::string farIfd = tagged;
    farIfd[2 + 4 + 6 + 4] = '\x7F';
    EXPECT_EQ(jpegOrientation(farIfd), 1);
    std::string manyEntries = tagged;
    manyEntries[2 + 4 + 6 + 8] = '\xFF';      // 0xFF02 entries,
    manyEntries[2 + 4 + 6 + 10 + 12 + 1] = 0; // and the second no orientation
    EXPECT_EQ(jpegOrientation(manyEntries), 1);

    EXPECT_EQ(jpegOrientation(std::string("\x89PNG\r\n\x1a\n", 8) + std::string(100, '\0')), 1);
    EXPECT_EQ(jpegOrientationOfFile(std::filesystem::path(SAMPLE_DIR) / "no such file.jpg"), 1);
}
