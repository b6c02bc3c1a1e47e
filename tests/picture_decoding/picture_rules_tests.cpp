// Pictures cut short are told from whole ones by their structure, and the
// orientation tag turns the pixels the way it says.
#include "decode_budget.h"
#include "picture_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

using window::pictureCutShort;
using window::Pixels;

namespace {

std::vector<std::uint8_t> bytesOf(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PictureRules, AFileCutShortIsToldFromAWholeOne)
{
    const auto jpeg = bytesOf(std::filesystem::path(SAMPLE_DIR) / "picture" / u8"荧光棒.jpg");
    ASSERT_GT(jpeg.size(), 1000u);
    EXPECT_FALSE(pictureCutShort(jpeg));
    auto withTrailer = jpeg;
    withTrailer.insert(withTrailer.end(), {'j', 'u', 'n', 'k'}); // bytes after the end are no harm
    EXPECT_FALSE(pictureCutShort(withTrailer));
    for (std::size_t keep : {jpeg.size() - 2, jpeg.size() / 2, std::size_t(3)})
        EXPECT_TRUE(pictureCutShort(std::span(jpeg).first(keep))) << keep;

    // A PNG of one chunk that claims 2 GiB, and one without IEND.
    std::vector<std::uint8_t> png = {0x89, 'P',  'N',  'G',  '\r', '\n', 0x1A, '\n',
                                     0x7F, 0xFF, 0xFF, 0xFF, 'I',  'H',  'D',  'R'};
    EXPECT_TRUE(pictureCutShort(png));
    png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 0, 'I', 'E', 'N', 'D', 1, 2, 3, 4};
    EXPECT_FALSE(pictureCutShort(png));
    png.resize(png.size() - 1);
    EXPECT_TRUE(pictureCutShort(png));

    // A 1 x 1 GIF: its blocks end in the trailer, and bytes after that are
    // shown past, as browsers do.
    std::vector<std::uint8_t> gif = {'G', 'I',  'F',  '8',  '9',  'a',  1, 0, 1, 0,    0x80, 0, 0,    0, 0,
                                     0,   0xFF, 0xFF, 0xFF, 0x21, 0xF9, 4, 1, 0, 0,    0,    0, 0x2C, 0, 0,
                                     0,   0,    1,    0,    1,    0,    0, 2, 2, 0x44, 1,    0, 0x3B};
    EXPECT_FALSE(pictureCutShort(gif));
    for (std::size_t keep : {gif.size() - 1, gif.size() - 4, std::size_t(12)})
        EXPECT_TRUE(pictureCutShort(std::span(gif).first(keep))) << keep;
    gif.insert(gif.end(), {0, 0, '\n', 0x3C});
    EXPECT_FALSE(pictureCutShort(gif));
}

TEST(PictureRules, AnOs2BitmapsSizeIsReadFromItsShortHeader)
{
    // File header, then a 12-byte header of 16-bit fields: 300 x 2, 24 bits.
    const std::vector<std::uint8_t> os2 = {'B', 'M', 0, 0, 0, 0,    0, 0, 0, 0, 26, 0,  0,
                                           0,   12,  0, 0, 0, 0x2C, 1, 2, 0, 1, 0,  24, 0};
    const auto size = window::headerSize(os2);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 300u);
    EXPECT_EQ(size->height, 2u);
}

TEST(PictureRules, TransparentPixelsShowTheBackgroundTheyAreBlendedOnto)
{
    // Premultiplied: opaque red, transparent, half-transparent white.
    Pixels pixels{3, 1, {0xFFFF0000, 0x00000000, 0x80808080}};
    window::blendOnto(pixels, 0x204060);
    EXPECT_EQ(pixels.argb, (std::vector<std::uint32_t>{0xFFFF0000, 0xFF204060, 0xFF90A0B0}));
}

TEST(PictureRules, TheOrientationTagTurnsThePicture)
{
    // 3 wide, 2 high:  1 2 3
    //                  4 5 6
    const Pixels stored{3, 2, {1, 2, 3, 4, 5, 6}};
    const auto turned = [&](int orientation) { return window::upright(stored, orientation).argb; };
    EXPECT_EQ(turned(1), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(turned(0), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6})) << "no such tag: as stored";
    EXPECT_EQ(turned(2), (std::vector<std::uint32_t>{3, 2, 1, 6, 5, 4}));
    EXPECT_EQ(turned(3), (std::vector<std::uint32_t>{6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(turned(4), (std::vector<std::uint32_t>{4, 5, 6, 1, 2, 3}));
    // On its side: 2 wide, 3 high.
    EXPECT_EQ(turned(5), (std::vector<std::uint32_t>{1, 4, 2, 5, 3, 6}));
    EXPECT_EQ(turned(6), (std::vector<std::uint32_t>{4, 1, 5, 2, 6, 3})); // a quarter turn clockwise
    EXPECT_EQ(turned(7), (std::vector<std::uint32_t>{6, 3, 5, 2, 4, 1}));
    EXPECT_EQ(turned(8), (std::vector<std::uint32_t>{3, 6, 2, 5, 1, 4}));
    EXPECT_EQ(window::upright(stored, 6).width, 2);
}

} // namespace

TEST(DecodeBudget, NeverMoreThanTheBudgetIsInUseAndAnOversizedDecodeRunsAlone)
{
    window::DecodeBudget budget(100);
    std::mutex mutex;
    std::uint64_t most = 0;
    bool oversizedShared = false;
    std::vector<std::jthread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 200; ++round) {
                const std::uint64_t bytes =
                    (t == 0 && round % 10 == 0) ? 250 : std::uint64_t(10 + (t * 7 + round) % 50);
                const auto share = budget.take(bytes);
                const std::lock_guard lock(mutex);
                const std::uint64_t inUse = budget.inUse();
                if (bytes > 100)
                    oversizedShared = oversizedShared || inUse != bytes;
                else
                    most = std::max(most, inUse);
            }
        });
    threads.clear();
    EXPECT_LE(most, 100u);
    EXPECT_FALSE(oversizedShared);
    EXPECT_EQ(budget.inUse(), 0u);
}
