// Decoding picture files: formats by content, sizes, and what is refused.
#include "qt_picture_loader.h"
#include "window_fixtures.h"

#include "runtime_error.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

using window::ImageDecoder;

int errorOf(const ImageDecoder &decoder, const std::filesystem::path &file)
{
    try {
        decoder.decode(file);
    } catch (const catalogue::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

// The same for the check that start-up runs: header only, no pixels.
int checkErrorOf(const ImageDecoder &decoder, const std::filesystem::path &file)
{
    try {
        decoder.check(file);
    } catch (const catalogue::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

std::string bytesOf(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A PNG signature and a header chunk claiming the given size, nothing more.
std::string pngHeader(quint32 width, quint32 height)
{
    QByteArray chunk("IHDR");
    for (quint32 v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            chunk.append(char((v >> shift) & 0xFF));
    chunk.append("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, no interlace
    quint32 crc = 0xFFFFFFFF;                // the chunk's CRC-32, so that readers accept it
    for (char c : chunk) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xFFFFFFFF;
    std::string bytes("\x89PNG\r\n\x1a\n\x00\x00\x00\x0d", 12);
    bytes += chunk.toStdString();
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += char((crc >> shift) & 0xFF);
    return bytes;
}

// A real JPEG of image with an EXIF block that holds only the orientation tag
// (1 to 8), as a camera writes it: right after the start-of-image marker.
std::string jpegWithOrientation(const QImage &image, int orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    const std::string exif = std::string("\xFF\xE1\x00\x22"
                                         "Exif\0\0",
                                         10) +
                             std::string("MM\x00\x2A\x00\x00\x00\x08", 8) + // big-endian TIFF, first IFD at 8
                             std::string("\x00\x01", 2) +                   // one entry:
                             std::string("\x01\x12\x00\x03\x00\x00\x00\x01\x00", 9) + char(orientation) +
                             std::string("\x00\x00"
                                         "\x00\x00\x00\x00",
                                         6); // SHORT orientation; no next IFD
    return jpeg.left(2).toStdString() + exif + jpeg.mid(2).toStdString();
}

class Decoding : public ::testing::Test {
protected:
    fakes::TempFolder folder;
    ImageDecoder atOne{QSize(177, 113), 1.0};
};

TEST_F(Decoding, AJpegIsStretchedToTheBoxInDevicePixels)
{
    // Left half red, right half blue, taller than wide: stretched, not kept in shape.
    QImage source(60, 200, QImage::Format_RGB32);
    source.fill(Qt::blue);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 30; ++x)
            source.setPixel(x, y, qRgb(255, 0, 0));
    const auto file = folder.path() / "a.jpg";
    ASSERT_TRUE(source.save(QString::fromStdString(file.string()), "JPEG", 95));

    const QImage image = atOne.decode(file);
    EXPECT_EQ(image.size(), QSize(177, 113));
    EXPECT_GT(qRed(image.pixel(20, 56)), 200);
    EXPECT_GT(qBlue(image.pixel(157, 56)), 200);

    // On a screen of device pixel ratio 2 the image has twice the pixels and
    // paints at the same logical size.
    const QImage sharp = ImageDecoder(QSize(354, 226), 2.0).decode(file);
    EXPECT_EQ(sharp.size(), QSize(354, 226));
    EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(177, 113));
}

TEST_F(Decoding, APhotoIsTurnedUprightAsItsOrientationTagSaysAndStillFillsTheBox)
{
    // Stored 64 x 32 in four flat quarters; JPEG keeps such blocks within a few levels.
    const QColor red(220, 0, 0), green(0, 200, 0), blue(0, 0, 220), yellow(230, 230, 0);
    QImage stored(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            stored.setPixelColor(x, y, y < 16 ? (x < 32 ? red : green) : (x < 32 ? blue : yellow));
    // Which stored quarter each tag shows at the upright top left, top right,
    // bottom left and bottom right.
    const std::vector<std::array<QColor, 4>> upright = {
        {red, green, blue, yellow}, // 1: as stored
        {green, red, yellow, blue}, // 2: mirrored left to right
        {yellow, blue, green, red}, // 3: turned half round
        {blue, yellow, red, green}, // 4: mirrored top to bottom
        {red, blue, green, yellow}, // 5: mirrored across the main diagonal
        {blue, red, yellow, green}, // 6: turned a quarter clockwise
        {yellow, green, blue, red}, // 7: mirrored across the other diagonal
        {green, yellow, red, blue}, // 8: turned a quarter anticlockwise
    };
    const QPoint quarters[4] = {{44, 28}, {132, 28}, {44, 84}, {132, 84}};
    for (int tag = 1; tag <= 8; ++tag) {
        const auto file = folder.write("tag" + std::to_string(tag) + ".jpg", jpegWithOrientation(stored, tag));
        const QImage image = atOne.decode(file);
        ASSERT_EQ(image.size(), QSize(177, 113)) << "tag " << tag;
        for (int q = 0; q < 4; ++q) {
            const QColor seen = image.pixelColor(quarters[q]);
            const QColor want = upright[std::size_t(tag - 1)][std::size_t(q)];
            EXPECT_LE(std::max({std::abs(seen.red() - want.red()), std::abs(seen.green() - want.green()),
                                std::abs(seen.blue() - want.blue())}),
                      24)
                << "tag " << tag << ", quarter " << q << ": " << seen.name().toStdString();
        }
    }
}

TEST_F(Decoding, TheFormatComesFromTheContentNotTheName)
{
    QImage source(40, 40, QImage::Format_RGB32);
    source.fill(QColor(0, 200, 0));
    const auto file = folder.path() / "png.jpg";
    ASSERT_TRUE(source.save(QString::fromStdString(file.string()), "PNG"));
    const QImage image = atOne.decode(file);
    EXPECT_EQ(image.size(), QSize(177, 113));
    EXPECT_EQ(image.pixelColor(88, 56), QColor(0, 200, 0));
}

TEST_F(Decoding, AWholeGifLoadsAndACutOneIsRefused)
{
    // The GIF reader reads on to the end of every file, whole or cut. An 8 x 6
    // GIF of one colour, rgb(0, 0, 200):
    const std::string gif("GIF89a\x08\x00\x06\x00\xf0\x00\x00\x00\x00\xc8\x00\x00\x00\x21\xf9\x04\x00\x00"
                          "\x00\x00\x00\x2c\x00\x00\x00\x00\x08\x00\x06\x00\x00\x02\x06\x84\x8f\xa9\xcb\x7d"
                          "\x05\x00\x3b",
                          47);
    const auto file = folder.write("gif.jpg", gif);
    const QImage image = atOne.decode(file);
    EXPECT_EQ(image.pixelColor(88, 56), QColor(0, 0, 200));

    const std::string whole = bytesOf(file);
    EXPECT_EQ(errorOf(atOne, folder.write("cut.jpg", whole.substr(0, whole.size() - 1))), 481);
    // Bytes after the trailer are shown past, as browsers do.
    EXPECT_EQ(atOne.decode(folder.write("padded.jpg", whole + std::string("\0\0\n", 3))).pixelColor(88, 56),
              QColor(0, 0, 200));
}

TEST_F(Decoding, BrokenOrMissingFilesFailWithTheirRunTimeErrors)
{
    windowtests::writeJpeg(folder.path() / "whole.jpg", Qt::red, QSize(300, 200));
    const std::string whole = bytesOf(folder.path() / "whole.jpg");
    ASSERT_EQ(errorOf(atOne, folder.path() / "whole.jpg"), 0);

    const auto truncated = folder.write("truncated.jpg", whole.substr(0, whole.size() / 2));
    EXPECT_EQ(errorOf(atOne, truncated), 481);
    const auto noEnd = folder.write("noend.jpg", whole.substr(0, whole.size() - 2));
    EXPECT_EQ(errorOf(atOne, noEnd), 481);
    EXPECT_EQ(errorOf(atOne, folder.write("empty.jpg", "")), 481);
    EXPECT_EQ(errorOf(atOne, folder.write("text.jpg", "not a picture\r\n")), 481);
    EXPECT_EQ(errorOf(atOne, folder.path() / "missing.jpg"), 53);
    std::filesystem::create_directories(folder.path() / "folder.jpg");
    EXPECT_EQ(errorOf(atOne, folder.path() / "folder.jpg"), 75);

    // The check refuses all that but the body cut short, which only decoding finds.
    EXPECT_EQ(checkErrorOf(atOne, truncated), 0);
    EXPECT_EQ(checkErrorOf(atOne, noEnd), 0);
    EXPECT_EQ(checkErrorOf(atOne, folder.path() / "empty.jpg"), 481);
    EXPECT_EQ(checkErrorOf(atOne, folder.path() / "text.jpg"), 481);
    EXPECT_EQ(checkErrorOf(atOne, folder.path() / "missing.jpg"), 53);
    EXPECT_EQ(checkErrorOf(atOne, folder.path() / "folder.jpg"), 75);
}

TEST_F(Decoding, OversizedImagesAreRefusedFromTheirHeaderAndFilesFromTheirSize)
{
    // 60000 x 60000 would take 14 GB decoded; the header alone refuses it.
    EXPECT_EQ(errorOf(atOne, folder.write("huge.jpg", pngHeader(60000, 60000))), 481);
    // Just over the limit of 100 megapixels.
    EXPECT_EQ(errorOf(atOne, folder.write("wide.jpg", pngHeader(10001, 10000))), 481);
    EXPECT_EQ(checkErrorOf(atOne, folder.path() / "huge.jpg"), 481);
    EXPECT_EQ(checkErrorOf(atOne, folder.path() / "wide.jpg"), 481);
    // A whole 8 x 8 PNG with a chunk after its pixels that claims 1.9 GB: the
    // reader would allocate all of it before finding the file too short.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG"));
    std::string forgedBytes = png.toStdString();
    forgedBytes.insert(forgedBytes.size() - 12, std::string("\x71\x00\x00\x25tEXt", 8)); // before IEND
    const auto forged = folder.write("forged.jpg", forgedBytes);
    EXPECT_EQ(checkErrorOf(atOne, forged), 481);
    EXPECT_EQ(errorOf(atOne, forged), 481);

    const auto big = folder.write("big.jpg", bytesOf([&] {
                                      windowtests::writeJpeg(folder.path() / "small.jpg", Qt::green);
                                      return folder.path() / "small.jpg";
                                  }()));
    ASSERT_EQ(errorOf(atOne, big), 0);
    QFile file(QString::fromStdString(big.string()));
    ASSERT_TRUE(file.resize(ImageDecoder::kMaxFileBytes + 1)); // a valid JPEG followed by zeros
    EXPECT_EQ(errorOf(atOne, big), 481);
    EXPECT_EQ(checkErrorOf(atOne, big), 481);
}

} // namespace
