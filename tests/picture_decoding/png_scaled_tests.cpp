// The PNG reader that scales while it decodes: every colour type and depth
// gives the pixels it holds, scaling averages areas, broken files are refused.
#include "png_scaled.h"
#include "runtime_error.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <functional>
#include <sstream>

using window::decodePngScaled;
using window::Pixels;

namespace {

struct Png {
    std::uint32_t width = 5;
    std::uint32_t height = 5;
    int depth = 8;
    int colorType = 6;
    std::string plte, trns;
    int interlace = 0;
    std::function<std::uint32_t(std::uint32_t x, std::uint32_t y, int channel)> sample;
};

int channelsOf(int colorType) { return colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1; }

std::string chunk(const char *type, const std::string &data)
{
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char(data.size() >> shift);
    out += type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef *>(out.data() + 4), uInt(out.size() - 4));
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char(crc >> shift);
    return out;
}

int paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// The image data, row y filtered with type y % 5, compressed. The rows'
// samples are packed most significant bit first, 16-bit ones big-endian.
std::string imageData(const Png &png)
{
    const int channels = channelsOf(png.colorType);
    const std::size_t rowBytes = (png.width * std::size_t(channels * png.depth) + 7) / 8;
    const std::size_t bpp = std::max<std::size_t>(1, std::size_t(channels * png.depth / 8));
    std::string raw;
    std::vector<std::uint8_t> prior(rowBytes, 0);
    for (std::uint32_t y = 0; y < png.height; ++y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        std::size_t bit = 0;
        for (std::uint32_t x = 0; x < png.width; ++x)
            for (int c = 0; c < channels; ++c, bit += std::size_t(png.depth)) {
                const std::uint32_t v = png.sample(x, y, c);
                if (png.depth == 16) {
                    row[bit / 8] = std::uint8_t(v >> 8);
                    row[bit / 8 + 1] = std::uint8_t(v);
                } else {
                    row[bit / 8] |= std::uint8_t(v << (8 - png.depth - int(bit % 8)));
                }
            }
        const int type = int(y % 5);
        raw += char(type);
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int left = i >= bpp ? row[i - bpp] : 0, up = prior[i], upLeft = i >= bpp ? prior[i - bpp] : 0;
            const int predicted = type == 1 ? left : type == 2 ? up : type == 3 ? (left + up) / 2
                                  : type == 4                    ? paeth(left, up, upLeft)
                                                                 : 0;
            raw += char(row[i] - predicted);
        }
        prior = row;
    }
    std::string packed(compressBound(uLong(raw.size())), '\0');
    uLongf size = uLongf(packed.size());
    compress2(reinterpret_cast<Bytef *>(packed.data()), &size, reinterpret_cast<const Bytef *>(raw.data()),
              uLong(raw.size()), 9);
    packed.resize(size);
    return packed;
}

std::string header(const Png &png)
{
    std::string data;
    for (std::uint32_t value : {png.width, png.height})
        for (int shift = 24; shift >= 0; shift -= 8)
            data += char(value >> shift);
    return data + char(png.depth) + char(png.colorType) + '\0' + '\0' + char(png.interlace);
}

std::string encode(const Png &png)
{
    std::string file = "\x89PNG\r\n\x1a\n" + chunk("IHDR", header(png));
    if (!png.plte.empty())
        file += chunk("PLTE", png.plte);
    if (!png.trns.empty())
        file += chunk("tRNS", png.trns);
    return file + chunk("IDAT", imageData(png)) + chunk("IEND", "");
}

std::optional<Pixels> decode(const std::string &file, int width, int height)
{
    std::istringstream in(file);
    return decodePngScaled(in, width, height);
}

int refusal(const std::string &file, int width = 5, int height = 5)
{
    try {
        decode(file, width, height);
    } catch (const catalogue::RuntimeError &error) {
        return error.number();
    }
    return 0;
}

std::uint32_t premultiplied(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    const auto times = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | times(r) << 16 | times(g) << 8 | times(b);
}

TEST(PngScaled, EveryColourTypeAndDepthGivesThePixelsItHolds)
{
    const std::string palette("\x10\x20\x30\xff\x00\x00\x00\xff\x00\x00\x00\xff", 12);
    struct Case {
        int colorType, depth;
        std::string plte, trns;
    };
    const std::vector<Case> cases = {
        {0, 1, "", ""},  {0, 2, "", std::string("\0\x01", 2)}, {0, 4, "", ""}, {0, 8, "", ""},
        {0, 16, "", ""}, {2, 8, "", std::string("\0\x03\0\x0a\0\x11", 6)},      {2, 16, "", ""},
        {3, 1, palette, std::string("\x80", 1)},                               {3, 2, palette, ""},
        {3, 4, palette, std::string("\x00\x40", 2)},                           {3, 8, palette, ""},
        {4, 8, "", ""},  {4, 16, "", ""}, {6, 8, "", ""},                      {6, 16, "", ""},
    };
    for (const Case &c : cases) {
        Png png;
        png.colorType = c.colorType;
        png.depth = c.depth;
        png.plte = c.plte;
        png.trns = c.trns;
        // A palette of four colours, indices past it in the 8-bit case.
        const std::uint32_t levels = c.colorType != 3 ? std::uint32_t(1) << std::min(c.depth, 8)
                                     : c.depth == 8   ? 6
                                                      : std::min(4u, std::uint32_t(1) << c.depth);
        // Sample values spread over the range; 16-bit ones are multiples of
        // 257, which are exact in 8 bits.
        const auto level = [&](std::uint32_t x, std::uint32_t y, int channel) {
            return (x * 5 + y * 3 + std::uint32_t(channel) * 7) % levels;
        };
        png.sample = [&](std::uint32_t x, std::uint32_t y, int channel) {
            return c.depth == 16 ? level(x, y, channel) * 257 : level(x, y, channel);
        };
        const auto eight = [&](std::uint32_t value) { return value * 255 / (levels - 1); };
        const std::optional<Pixels> pixels = decode(encode(png), 5, 5);
        ASSERT_TRUE(pixels);
        for (std::uint32_t y = 0; y < 5; ++y)
            for (std::uint32_t x = 0; x < 5; ++x) {
                std::uint32_t want = 0;
                const auto v = [&](int channel) { return eight(level(x, y, channel)); };
                switch (c.colorType) {
                case 0: want = premultiplied(c.trns.empty() || level(x, y, 0) != 1 ? 255 : 0, v(0), v(0), v(0)); break;
                case 2:
                    want = premultiplied(c.trns.empty() || png.sample(x, y, 0) != 3 || png.sample(x, y, 1) != 10 ||
                                                 png.sample(x, y, 2) != 17
                                             ? 255
                                             : 0,
                                         v(0), v(1), v(2));
                    break;
                case 3: {
                    const std::uint32_t index = level(x, y, 0);
                    const auto entry = [&](int k) { return std::uint8_t(c.plte[3 * index + std::size_t(k)]); };
                    const std::uint32_t alpha = index < c.trns.size() ? std::uint8_t(c.trns[index]) : 255;
                    want = index < 4 && 3 * index < c.plte.size()
                               ? premultiplied(alpha, entry(0), entry(1), entry(2))
                               : 0xFF000000; // past the palette: black
                    break;
                }
                case 4: want = premultiplied(v(1), v(0), v(0), v(0)); break;
                default: want = premultiplied(v(3), v(0), v(1), v(2)); break;
                }
                EXPECT_EQ(pixels->argb[y * 5 + x], want)
                    << "colour type " << c.colorType << ", depth " << c.depth << ", at " << x << "," << y;
            }
    }
}

TEST(PngScaled, EachPixelIsTheAverageOfTheAreaItCovers)
{
    // Grey 0, 90, 180 into two pixels: one and a half source pixels each.
    Png grey;
    grey.width = 3;
    grey.height = 1;
    grey.colorType = 0;
    grey.sample = [](std::uint32_t x, std::uint32_t, int) { return x * 90; };
    EXPECT_EQ(decode(encode(grey), 2, 1)->argb, (std::vector<std::uint32_t>{0xFF1E1E1E, 0xFF969696}));

    // Colours count by their opacity: clear red beside opaque blue is half-clear blue.
    Png clear;
    clear.width = 2;
    clear.height = 1;
    clear.sample = [](std::uint32_t x, std::uint32_t, int channel) {
        return x == 0 ? (channel == 0 ? 255u : 0u) : (channel >= 2 ? 255u : 0u);
    };
    EXPECT_EQ(decode(encode(clear), 1, 1)->argb, (std::vector<std::uint32_t>{0x80000080}));

    // Against areas integrated in floating point, down and up.
    Png noise;
    noise.width = 13;
    noise.height = 7;
    noise.colorType = 2;
    noise.sample = [](std::uint32_t x, std::uint32_t y, int channel) {
        return (x * 97 + y * 61 + std::uint32_t(channel) * 31 + x * y * 13) % 256;
    };
    const std::string file = encode(noise);
    for (const auto &[width, height] : {std::pair(5, 3), std::pair(4, 7), std::pair(30, 11)}) {
        const std::optional<Pixels> pixels = decode(file, width, height);
        ASSERT_TRUE(pixels);
        const double sx = 13.0 / width, sy = 7.0 / height;
        for (int oy = 0; oy < height; ++oy)
            for (int ox = 0; ox < width; ++ox) {
                double sum = 0;
                for (std::uint32_t y = 0; y < 7; ++y)
                    for (std::uint32_t x = 0; x < 13; ++x) {
                        const double wx = std::max(0.0, std::min(x + 1.0, (ox + 1) * sx) - std::max(double(x), ox * sx));
                        const double wy = std::max(0.0, std::min(y + 1.0, (oy + 1) * sy) - std::max(double(y), oy * sy));
                        sum += wx * wy * noise.sample(x, y, 1);
                    }
                const double green = double(pixels->argb[std::size_t(oy * width + ox)] >> 8 & 0xFF);
                EXPECT_NEAR(green, sum / (sx * sy), 0.51) << width << "x" << height << " at " << ox << "," << oy;
            }
    }
}

TEST(PngScaled, BrokenFilesAreRefusedAndInterlacedOrVeryWideOnesLeftToAnotherDecoder)
{
    Png png;
    png.sample = [](std::uint32_t x, std::uint32_t y, int) { return x * 40 + y; };
    const std::string whole = encode(png);
    ASSERT_TRUE(decode(whole, 5, 5));
    for (std::size_t keep = 0; keep < whole.size(); ++keep)
        EXPECT_EQ(refusal(whole.substr(0, keep)), 481) << "cut to " << keep << " bytes";

    const std::string start = "\x89PNG\r\n\x1a\n" + chunk("IHDR", header(png));
    const std::string end = chunk("IEND", "");
    std::string data = imageData(png);
    EXPECT_EQ(refusal(start + end), 481) << "no image data";
    EXPECT_EQ(refusal(start + chunk("IDAT", data.substr(0, data.size() / 2)) + end), 481) << "image data cut";
    EXPECT_EQ(refusal(start + chunk("IDAT", data.substr(0, 8)) + chunk("tEXt", "a") +
                      chunk("IDAT", data.substr(8)) + end),
              481)
        << "image data resumed after another chunk";
    EXPECT_EQ(refusal(start + chunk("IDAT", data.substr(0, 20)) + chunk("IDAT", data.substr(20)) + end), 0)
        << "image data in two chunks";
    std::string corrupt = data;
    corrupt[corrupt.size() / 2] ^= 0x55;
    EXPECT_EQ(refusal(start + chunk("IDAT", corrupt) + end), 481) << "corrupt image data";
    Png badFilter = png;
    badFilter.height = 1;
    std::string raw(1 + 20, '\x05'); // filter type 5
    std::string packed(64, '\0');
    uLongf size = uLongf(packed.size());
    compress2(reinterpret_cast<Bytef *>(packed.data()), &size, reinterpret_cast<const Bytef *>(raw.data()),
              uLong(raw.size()), 9);
    packed.resize(size);
    EXPECT_EQ(refusal("\x89PNG\r\n\x1a\n" + chunk("IHDR", header(badFilter)) + chunk("IDAT", packed) + end), 481)
        << "filter type 5";

    const auto withHeader = [&](auto change) {
        Png changed = png;
        change(changed);
        return "\x89PNG\r\n\x1a\n" + chunk("IHDR", header(changed)) + chunk("IDAT", data) + end;
    };
    EXPECT_EQ(refusal(withHeader([](Png &p) { p.depth = 3; })), 481);
    EXPECT_EQ(refusal(withHeader([](Png &p) { p.colorType = 5; })), 481);
    EXPECT_EQ(refusal(withHeader([](Png &p) { p.width = 0; })), 481);
    EXPECT_EQ(refusal(withHeader([](Png &p) { p.width = p.height = 20000; })), 481) << "over the pixel limit";
    EXPECT_EQ(refusal(withHeader([](Png &p) { p.colorType = 3; })), 481) << "a palette image without a palette";
    EXPECT_EQ(refusal(withHeader([](Png &) {}), 0, 5), 481) << "no size to scale to";
    EXPECT_FALSE(decode(withHeader([](Png &p) { p.interlace = 1; }), 5, 5));
    EXPECT_FALSE(decode(withHeader([](Png &p) { p.width = 70000; }), 5, 5)) << "over 65536 pixels wide";
}

} // namespace
