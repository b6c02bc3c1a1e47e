// Pictures through the Windows Imaging Component: bombs and files cut short
// refused, photos turned upright, decoded at the box's size.
#include "exif_orientation.h"
#include "fakes.h"
#include "runtime_error.h"
#include "wic_picture_loader.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <fstream>
#include <iterator>

using window::win32::decodePicture;

namespace {

std::string bundledJpeg()
{
    std::ifstream in(std::filesystem::path(SAMPLE_DIR) / "picture" / u8"蓝牙耳机.jpg", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The JPEG with an EXIF block holding only the orientation tag, right after
// the start-of-image marker, as a camera writes it.
std::string withOrientation(const std::string &jpeg, int orientation)
{
    const std::string exif = std::string("\xFF\xE1\x00\x22"
                                         "Exif\0\0",
                                         10) +
                             std::string("MM\x00\x2A\x00\x00\x00\x08", 8) + std::string("\x00\x01", 2) +
                             std::string("\x01\x12\x00\x03\x00\x00\x00\x01\x00", 9) + char(orientation) +
                             std::string("\x00\x00"
                                         "\x00\x00\x00\x00",
                                         6);
    return jpeg.substr(0, 2) + exif + jpeg.substr(2);
}

int refusal(const std::function<void()> &step)
{
    try {
        step();
    } catch (const catalogue::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

class WicPictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    fakes::TempFolder folder;
};

TEST_F(WicPictures, BombsAndFilesCutShortAreRefused)
{
    const std::string jpeg = bundledJpeg();
    ASSERT_GT(jpeg.size(), 1000u);
    const auto whole = folder.write("whole.jpg", jpeg);
    const window::Pixels pixels = decodePicture(whole, {177, 113});
    EXPECT_EQ(pixels.width, 177);
    EXPECT_EQ(pixels.height, 113);

    const auto cut = folder.write("cut.jpg", jpeg.substr(0, jpeg.size() * 2 / 3));
    EXPECT_EQ(refusal([&] { decodePicture(cut, {177, 113}); }), 481);

    // A GIF header that claims 65535 x 65535 pixels (4.3 gigapixels) in 40 bytes.
    std::string bomb("GIF89a\xFF\xFF\xFF\xFF\x00\x00\x00", 13);
    bomb += std::string("\x2C\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00\x02\x02\x44\x01\x00\x3B", 16);
    const auto gif = folder.write("bomb.jpg", bomb);
    EXPECT_EQ(refusal([&] { decodePicture(gif, {177, 113}); }), 481);
    EXPECT_EQ(refusal([&] { decodePicture(folder.path() / "missing.jpg", {177, 113}); }), 53);
    EXPECT_EQ(refusal([&] { decodePicture(folder.path(), {177, 113}); }), 75) << "a folder is no picture file";
}

TEST_F(WicPictures, APhotoIsTurnedUprightAsItsTagSaysAndStillFillsTheBox)
{
    const std::string jpeg = bundledJpeg();
    // Stored on its side: scaled to the box on its side, then turned.
    const window::Pixels stored = decodePicture(folder.write("stored.jpg", jpeg), {113, 177});
    const auto tagged = folder.write("tagged.jpg", withOrientation(jpeg, 6));
    ASSERT_EQ(catalogue::jpegOrientationOfFile(tagged), 6);
    const window::Pixels upright = decodePicture(tagged, {177, 113});
    ASSERT_EQ(upright.width, 177);
    ASSERT_EQ(upright.height, 113);
    EXPECT_EQ(upright.argb, window::upright(stored, 6).argb);
    EXPECT_NE(upright.argb, decodePicture(folder.write("plain.jpg", jpeg), {177, 113}).argb);
}

TEST_F(WicPictures, AGifWithBytesAfterItsTrailerAndAnOs2BitmapAreShown)
{
    // 8 x 6 pixels of rgb(0, 0, 200), then bytes after the trailer.
    const std::string gif("GIF89a\x08\x00\x06\x00\xf0\x00\x00\x00\x00\xc8\x00\x00\x00\x21\xf9\x04\x00\x00"
                          "\x00\x00\x00\x2c\x00\x00\x00\x00\x08\x00\x06\x00\x00\x02\x06\x84\x8f\xa9\xcb\x7d"
                          "\x05\x00\x3b\x00\x00\x0a",
                          50);
    EXPECT_EQ(decodePicture(folder.write("padded.gif", gif), {4, 4}).argb[5], 0xFF0000C8u);

    // An OS/2 bitmap: a 12-byte header of 16-bit fields, 2 x 2 pixels of
    // 24 bits, rows bottom up and padded to 4 bytes, blue green red.
    std::string os2("BM\x2A\0\0\0\0\0\0\0\x1A\0\0\0"
                    "\x0C\0\0\0\x02\0\x02\0\x01\0\x18\0",
                    26);
    for (int row = 0; row < 2; ++row)
        os2 += std::string("\x10\x20\x30\x10\x20\x30\0\0", 8);
    const window::Pixels bitmap = decodePicture(folder.write("os2.bmp", os2), {2, 2});
    EXPECT_EQ(bitmap.argb, (std::vector<std::uint32_t>(4, 0xFF302010u)));
}

TEST_F(WicPictures, TransparentPixelsShowTheBackgroundOfTheBox)
{
    // 1 x 1, its one pixel transparent.
    const std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00"
                          "\x00\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
                          43);
    const window::win32::WicPicture picture(folder.write("clear.gif", gif), {3, 2}, 0xD4D0C8);
    const auto pixels = picture.pixels();
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels->argb, (std::vector<std::uint32_t>(6, 0xFFD4D0C8u)));
}

} // namespace
