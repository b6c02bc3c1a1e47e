// Pictures through the Windows Imaging Component: bombs and files cut short
// refused, photos turned upright, decoded at the box's size.
#include "exif_orientation.h"
#include "fakes.h"
#include "runtime_error.h"
#include "wic_picture_loader.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <zlib.h>

#include <cmath>
#include <fstream>
#include <iostream>
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

std::string bigEndian(std::uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string pngChunk(const std::string &type, const std::string &data)
{
    const std::string typed = type + data;
    return bigEndian(std::uint32_t(data.size())) + typed +
           bigEndian(std::uint32_t(crc32(0, reinterpret_cast<const Bytef *>(typed.data()), uInt(typed.size()))));
}

// The same pixels as an 8-bit RGB PNG and a 24-bit bitmap.
std::pair<std::string, std::string> pngAndBitmap(int width, int height,
                                                 const std::function<std::uint32_t(int, int)> &rgb)
{
    std::string raw, bitmap;
    const int padding = (4 - width * 3 % 4) % 4;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            const std::uint32_t pixel = rgb(x, y), below = rgb(x, height - 1 - y);
            raw += {char(pixel >> 16), char(pixel >> 8), char(pixel)};
            bitmap += {char(below), char(below >> 8), char(below >> 16)};
        }
        bitmap += std::string(std::size_t(padding), '\0');
    }
    std::string packed(compressBound(uLong(raw.size())), '\0');
    uLongf size = uLongf(packed.size());
    compress2(reinterpret_cast<Bytef *>(packed.data()), &size, reinterpret_cast<const Bytef *>(raw.data()),
              uLong(raw.size()), 6);
    packed.resize(size);
    const std::string png = "\x89PNG\r\n\x1a\n" +
                            pngChunk("IHDR", bigEndian(std::uint32_t(width)) + bigEndian(std::uint32_t(height)) +
                                                 std::string("\x08\x02\0\0\0", 5)) +
                            pngChunk("IDAT", packed) + pngChunk("IEND", "");
    const auto little = [](std::uint32_t value) {
        return std::string{char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    };
    const std::string header = "BM" + little(std::uint32_t(54 + bitmap.size())) + little(0) + little(54) +
                               little(40) + little(std::uint32_t(width)) + little(std::uint32_t(height)) +
                               std::string("\x01\0\x18\0", 4) + little(0) + little(std::uint32_t(bitmap.size())) +
                               little(2835) + little(2835) + little(0) + little(0);
    return {png, header + bitmap};
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

TEST_F(WicPictures, APngScaledDownWhileItDecodesLooksAsTheImagingComponentScalesIt)
{
    // Soft waves; the PNG is read row by row, the bitmap by the imaging
    // component. Under wine the latter takes the top-left pixel of each area
    // where the PNG reader averages it, so the waves are slow enough for the
    // two to agree; colours swapped or rows upside down would not.
    const auto [png, bitmap] = pngAndBitmap(1200, 900, [](int x, int y) {
        const auto wave = [](double v) { return std::uint32_t(127.5 + 127.5 * std::sin(v)); };
        return wave(x / 300.0) << 16 | wave(y / 200.0) << 8 | wave((x + y) / 400.0);
    });
    const window::Pixels read = decodePicture(folder.write("waves.png", png), {177, 113});
    const window::Pixels scaled = decodePicture(folder.write("waves.bmp", bitmap), {177, 113});
    ASSERT_EQ(read.argb.size(), scaled.argb.size());
    double difference = 0;
    for (std::size_t i = 0; i < read.argb.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8)
            difference += std::abs(int(read.argb[i] >> shift & 0xFF) - int(scaled.argb[i] >> shift & 0xFF));
    difference /= double(read.argb.size() * 4);
    std::cout << "mean difference per channel: " << difference << "\n";
    EXPECT_LT(difference, 2.0);
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
