// The odds sheet with the Windows game's own picture judge: photos shrink to the card.
#include "picture_rules.h"
#include "sheet_picture.h"
#include "wic_picture_loader.h"

#include <gtest/gtest.h>

namespace {

std::string fromBase64(std::string_view text)
{
    static const std::string_view digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const auto value = digits.find(c);
        if (value == std::string_view::npos)
            break; // '='
        bits = (bits << 6) | std::uint32_t(value);
        if ((count += 6) >= 8)
            bytes.push_back(char((bits >> (count -= 8)) & 0xFF));
    }
    return bytes;
}

TEST(HtmlSheet, EmbedsATwelveMegapixelPhotoAtTwiceTheCardsPictureSize)
{
    fakes::TempFolder folder;
    folder.writeDataIni(fakes::record("100", "255", "photo", "1"));
    // 4000 x 3000 of fine detail, so that the file is megabytes as a camera's is.
    window::Pixels photo{4000, 3000, {}};
    photo.argb.resize(std::size_t(photo.width) * std::size_t(photo.height));
    for (std::uint32_t y = 0; y < 3000; ++y)
        for (std::uint32_t x = 0; x < 4000; ++x)
            photo.argb[y * 4000 + x] =
                0xFF000000U | ((x * 7 + y * 3) & 0xFF) << 16 | ((x * y) & 0xFF) << 8 | ((x ^ y) & 0xFF);
    const std::string jpeg = window::win32::encodeJpeg(photo, 0.9F);
    ASSERT_GT(jpeg.size(), std::size_t(1) << 20);
    folder.write("picture/photo.jpg", jpeg);

    const std::string base64 = sheetJpegBase64(folder);
    ASSERT_FALSE(base64.empty());
    const std::string embedded = fromBase64(base64);
    EXPECT_LT(embedded.size(), std::size_t(100) << 10);
    const auto size =
        window::headerSize(std::span(reinterpret_cast<const std::uint8_t *>(embedded.data()), embedded.size()));
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 2U * 177); // the picture box, 2655 x 1695 twips
    EXPECT_EQ(size->height, 2U * 113);
}

} // namespace
