// The odds sheet with the Qt game's own picture judge: photos shrink to the card.
#include "sheet_picture.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(HtmlSheet, EmbedsATwelveMegapixelPhotoAtTwiceTheCardsPictureSize)
{
    fakes::TempFolder folder;
    folder.writeDataIni(fakes::record("100", "255", "photo", "1"));
    // 4000 x 3000 of fine detail, so that the file is megabytes as a camera's is.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb((x * 7 + y * 3) & 0xFF, (x * y) & 0xFF, (x ^ y) & 0xFF);
    }
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(photo.save(&out, "JPEG", 90));
    ASSERT_GT(jpeg.size(), 1 << 20);
    folder.write("picture/photo.jpg", jpeg.toStdString());

    const std::string base64 = sheetJpegBase64(folder);
    ASSERT_FALSE(base64.empty());
    const QByteArray embedded = QByteArray::fromBase64(QByteArray::fromStdString(base64));
    EXPECT_LT(embedded.size(), 100 << 10);
    EXPECT_EQ(QImage::fromData(embedded, "JPEG").size(), QSize(2 * 177, 2 * 113)); // the picture box, 2655 x 1695 twips
}

} // namespace
