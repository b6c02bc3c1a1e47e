// The PNG reader: chunks walked from a stream, image data inflated into one
// row at a time, each row unfiltered, turned into premultiplied samples and
// added into the output rows it overlaps.
#include "png_scaled.h"

#include "runtime_error.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace window {

using catalogue::ErrorCode;
using catalogue::RuntimeError;

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kReadBytes = 64 << 10;
// Wider pictures are left to another decoder: two rows of them would take
// more memory than a whole picture of the usual shape.
constexpr std::uint32_t kMaxWidth = 1 << 16;

[[noreturn]] void refuse() { throw RuntimeError(ErrorCode::InvalidPicture); }

std::uint32_t bigEndian32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void readExactly(std::istream &in, std::uint8_t *to, std::size_t count)
{
    in.read(reinterpret_cast<char *>(to), std::streamsize(count));
    if (std::size_t(in.gcount()) != count)
        refuse(); // cut short
}

void skipExactly(std::istream &in, std::uint64_t count)
{
    in.ignore(std::streamsize(count));
    if (std::uint64_t(in.gcount()) != count)
        refuse();
}

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int depth = 0;
    int colorType = 0;
    bool interlaced = false;

    int channels() const
    {
        switch (colorType) {
        case 2: return 3;
        case 4: return 2;
        case 6: return 4;
        default: return 1; // grey, palette index
        }
    }
    int bitsPerPixel() const { return depth * channels(); }
    std::uint64_t rowBytes() const { return (std::uint64_t(width) * unsigned(bitsPerPixel()) + 7) / 8; }
};

Header parseHeader(const std::uint8_t *data)
{
    Header header;
    header.width = bigEndian32(data);
    header.height = bigEndian32(data + 4);
    header.depth = data[8];
    header.colorType = data[9];
    if (header.width == 0 || header.height == 0 || header.width > 0x7FFFFFFF || header.height > 0x7FFFFFFF ||
        std::uint64_t(header.width) * header.height > kMaxPicturePixels)
        refuse();
    const int depth = header.depth;
    bool depthFits = false;
    switch (header.colorType) {
    case 0: depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16; break;
    case 3: depthFits = depth == 1 || depth == 2 || depth == 4 || depth == 8; break;
    case 2:
    case 4:
    case 6: depthFits = depth == 8 || depth == 16; break;
    default: break;
    }
    // Compression and filter method 0 are the only ones there are.
    if (!depthFits || data[10] != 0 || data[11] != 0 || data[12] > 1)
        refuse();
    header.interlaced = data[12] == 1;
    return header;
}

std::uint8_t paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return std::uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes the row's filter in place; prior is the previous row, unfiltered
// (zeros above the first). bpp: bytes per whole pixel, at least 1.
void unfilter(std::uint8_t type, std::uint8_t *row, const std::uint8_t *prior, std::size_t size, std::size_t bpp)
{
    switch (type) {
    case 0: break;
    case 1:
        for (std::size_t i = bpp; i < size; ++i)
            row[i] = std::uint8_t(row[i] + row[i - bpp]);
        break;
    case 2:
        for (std::size_t i = 0; i < size; ++i)
            row[i] = std::uint8_t(row[i] + prior[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < size; ++i)
            row[i] = std::uint8_t(row[i] + ((i >= bpp ? row[i - bpp] : 0) + prior[i]) / 2);
        break;
    case 4:
        for (std::size_t i = 0; i < size; ++i)
            row[i] = std::uint8_t(row[i] + (i >= bpp ? paeth(row[i - bpp], prior[i], prior[i - bpp]) : prior[i]));
        break;
    default: refuse();
    }
}

// The colours a palette image or a tRNS chunk adds to the header.
struct Colours {
    std::array<std::uint32_t, 256> palette{}; // 0xAARRGGBB, unpremultiplied
    int paletteSize = 0;
    std::optional<std::array<std::uint16_t, 3>> transparent; // grey or RGB samples, at the file's depth
};

std::uint8_t to8(std::uint32_t sample, int depth)
{
    switch (depth) {
    case 1: return std::uint8_t(sample * 255);
    case 2: return std::uint8_t(sample * 85);
    case 4: return std::uint8_t(sample * 17);
    case 16: return std::uint8_t((sample * 255 + 32767) / 65535);
    default: return std::uint8_t(sample);
    }
}

// One unfiltered row as unpremultiplied 0xAARRGGBB pixels.
void toArgb(const Header &header, const Colours &colours, const std::uint8_t *row, std::uint32_t *out)
{
    const int depth = header.depth;
    const std::size_t width = header.width;
    const auto sample = [&](std::size_t index) -> std::uint32_t { // the index-th sample of the row
        if (depth == 16)
            return std::uint32_t(row[2 * index]) << 8 | row[2 * index + 1];
        if (depth == 8)
            return row[index];
        const std::size_t bit = index * unsigned(depth);
        return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
    };
    const auto argb = [](std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return a << 24 | r << 16 | g << 8 | b;
    };
    switch (header.colorType) {
    case 0:
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t v = sample(x);
            const std::uint32_t g = to8(v, depth);
            out[x] = argb(colours.transparent && (*colours.transparent)[0] == v ? 0 : 255, g, g, g);
        }
        break;
    case 2:
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t r = sample(3 * x), g = sample(3 * x + 1), b = sample(3 * x + 2);
            const bool clear = colours.transparent && (*colours.transparent)[0] == r &&
                               (*colours.transparent)[1] == g && (*colours.transparent)[2] == b;
            out[x] = argb(clear ? 0 : 255, to8(r, depth), to8(g, depth), to8(b, depth));
        }
        break;
    case 3:
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t index = sample(x);
            // An index past the palette shows black, as common decoders show it.
            out[x] = int(index) < colours.paletteSize ? colours.palette[index] : 0xFF000000;
        }
        break;
    case 4:
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t g = to8(sample(2 * x), depth);
            out[x] = argb(to8(sample(2 * x + 1), depth), g, g, g);
        }
        break;
    default:
        for (std::size_t x = 0; x < width; ++x)
            out[x] = argb(to8(sample(4 * x + 3), depth), to8(sample(4 * x), depth), to8(sample(4 * x + 1), depth),
                          to8(sample(4 * x + 2), depth));
        break;
    }
}

// Sums of premultiplied samples, weighted by overlap in units where a source
// pixel is as wide as the output and an output pixel as wide as the source:
// every output pixel's weights add up to sourceWidth * sourceHeight. With at
// most 1e8 source pixels and 255 * 255 per sample, a sum stays under 2^43.
class AreaScaler {
public:
    AreaScaler(std::uint32_t sourceWidth, std::uint32_t sourceHeight, Pixels &out)
        : sw_(sourceWidth), sh_(sourceHeight), out_(out), rowSum_(std::size_t(out.width) * 4),
          sum_(std::size_t(out.width) * 4)
    {
    }

    void addRow(const std::uint32_t *argb)
    {
        std::fill(rowSum_.begin(), rowSum_.end(), 0);
        const std::uint64_t dw = std::uint64_t(out_.width);
        std::size_t ox = 0;
        for (std::uint64_t sx = 0; sx < sw_; ++sx) {
            const std::uint64_t pixel = argb[sx];
            const std::uint64_t a = pixel >> 24;
            const std::uint64_t premultiplied[4] = {a * 255, a * (pixel >> 16 & 0xFF), a * (pixel >> 8 & 0xFF),
                                                    a * (pixel & 0xFF)};
            for (std::uint64_t at = sx * dw, end = at + dw; at < end;) {
                const std::uint64_t boundary = (ox + 1) * sw_;
                const std::uint64_t until = std::min(boundary, end);
                for (int c = 0; c < 4; ++c)
                    rowSum_[4 * ox + std::size_t(c)] += premultiplied[c] * (until - at);
                at = until;
                if (until == boundary)
                    ++ox;
            }
        }
        const std::uint64_t dh = std::uint64_t(out_.height);
        for (std::uint64_t at = sy_ * dh, end = at + dh; at < end;) {
            const std::uint64_t boundary = (oy_ + 1) * sh_;
            const std::uint64_t until = std::min(boundary, end);
            for (std::size_t i = 0; i < sum_.size(); ++i)
                sum_[i] += rowSum_[i] * (until - at);
            at = until;
            if (until == boundary)
                emitRow();
        }
        ++sy_;
    }

private:
    void emitRow()
    {
        const std::uint64_t weight = std::uint64_t(sw_) * sh_ * 255;
        std::uint32_t *row = out_.argb.data() + oy_ * std::size_t(out_.width);
        for (std::size_t x = 0; x < std::size_t(out_.width); ++x) {
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c)
                pixel |= std::uint32_t((sum_[4 * x + std::size_t(c)] + weight / 2) / weight) << (24 - 8 * c);
            row[x] = pixel;
        }
        std::fill(sum_.begin(), sum_.end(), 0);
        ++oy_;
    }

    std::uint64_t sw_, sh_;
    Pixels &out_;
    std::vector<std::uint64_t> rowSum_; // A, R, G, B per output pixel of the current source row
    std::vector<std::uint64_t> sum_;    // the same over the output row being filled
    std::uint64_t sy_ = 0;
    std::size_t oy_ = 0;
};

class Inflater {
public:
    Inflater()
    {
        if (inflateInit(&stream_) != Z_OK)
            throw std::bad_alloc();
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater &) = delete;
    Inflater &operator=(const Inflater &) = delete;
    z_stream *operator->() { return &stream_; }
    // Z_OK, Z_STREAM_END or Z_BUF_ERROR (no room or no input); corrupt data refused.
    int inflate()
    {
        const int result = ::inflate(&stream_, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
            refuse();
        return result;
    }

private:
    z_stream stream_{};
};

} // namespace

bool pngScalesDown(std::span<const std::uint8_t> head, int width, int height)
{
    if (head.size() < 29 || !std::equal(kSignature, kSignature + 8, head.begin()) || head[28] != 0 ||
        bigEndian32(&head[16]) > kMaxWidth)
        return false;
    return width > 0 && height > 0 && bigEndian32(&head[16]) >= std::uint32_t(width) &&
           bigEndian32(&head[20]) >= std::uint32_t(height);
}

std::uint64_t pngScaledDecodeBytes(PictureSize picture, int width, int height)
{
    const std::uint64_t widest = std::uint64_t(picture.width) * 8 + 1; // 16-bit RGBA and the filter byte
    return 2 * widest + std::uint64_t(picture.width) * 4 + std::uint64_t(width) * unsigned(height) * 4 +
           std::uint64_t(width) * 64 + kReadBytes + (64 << 10);
}

std::optional<Pixels> decodePngScaled(std::istream &file, int width, int height)
{
    if (width <= 0 || height <= 0)
        refuse();
    std::uint8_t bytes[8];
    readExactly(file, bytes, 8);
    if (!std::equal(kSignature, kSignature + 8, bytes))
        refuse();

    Header header;
    Colours colours;
    bool seenHeader = false;
    std::optional<AreaScaler> scaler;
    Pixels out;
    std::vector<std::uint8_t> row, prior, input;
    std::vector<std::uint32_t> argb;
    std::optional<Inflater> inflater;
    std::size_t filled = 0;
    std::uint32_t rowsDone = 0;
    bool idatEnded = false;

    while (true) {
        readExactly(file, bytes, 8);
        const std::uint32_t length = bigEndian32(bytes);
        if (length > 0x7FFFFFFF)
            refuse();
        const auto is = [&](const char *type) { return std::memcmp(bytes + 4, type, 4) == 0; };
        if (!seenHeader && !is("IHDR"))
            refuse();
        if (inflater && !is("IDAT"))
            idatEnded = true;

        if (is("IHDR") && !seenHeader) {
            if (length != 13)
                refuse();
            std::uint8_t data[13];
            readExactly(file, data, 13);
            header = parseHeader(data);
            if (header.interlaced || header.width > kMaxWidth)
                return std::nullopt;
            seenHeader = true;
        } else if (is("PLTE") && !inflater) {
            if (length % 3 != 0 || length == 0 || length > 768)
                refuse();
            std::uint8_t data[768];
            readExactly(file, data, length);
            colours.paletteSize = int(length / 3);
            for (int i = 0; i < colours.paletteSize; ++i)
                colours.palette[std::size_t(i)] = 0xFF000000 | std::uint32_t(data[3 * i]) << 16 |
                                                  std::uint32_t(data[3 * i + 1]) << 8 | data[3 * i + 2];
        } else if (is("tRNS") && !inflater && length <= 256) {
            std::uint8_t data[256];
            readExactly(file, data, length);
            // A tRNS that does not fit its colour type is left out, as decoders do.
            if (header.colorType == 3) {
                for (std::size_t i = 0; i < std::min<std::size_t>(length, std::size_t(colours.paletteSize)); ++i)
                    colours.palette[i] = (colours.palette[i] & 0xFFFFFF) | std::uint32_t(data[i]) << 24;
            } else if ((header.colorType == 0 && length == 2) || (header.colorType == 2 && length == 6)) {
                std::array<std::uint16_t, 3> samples{};
                for (std::size_t i = 0; i < length / 2; ++i)
                    samples[i] = std::uint16_t(data[2 * i] << 8 | data[2 * i + 1]);
                colours.transparent = samples;
            }
        } else if (is("IDAT") && rowsDone < header.height) {
            if (idatEnded)
                refuse(); // image data resumed after another chunk
            if (!inflater) {
                if (header.colorType == 3 && colours.paletteSize == 0)
                    refuse();
                out.width = width;
                out.height = height;
                out.argb.resize(std::size_t(width) * std::size_t(height));
                scaler.emplace(header.width, header.height, out);
                row.resize(std::size_t(header.rowBytes()) + 1);
                prior.assign(row.size(), 0);
                argb.resize(header.width);
                input.resize(kReadBytes);
                inflater.emplace();
            }
            const std::size_t bpp = std::max(1, header.bitsPerPixel() / 8);
            for (std::uint32_t left = length; left > 0;) {
                const std::size_t piece = std::min<std::size_t>(left, input.size());
                readExactly(file, input.data(), piece);
                left -= std::uint32_t(piece);
                (*inflater)->next_in = input.data();
                (*inflater)->avail_in = uInt(piece);
                while ((*inflater)->avail_in > 0 && rowsDone < header.height) {
                    (*inflater)->next_out = row.data() + filled;
                    (*inflater)->avail_out = uInt(row.size() - filled);
                    const uInt inputBefore = (*inflater)->avail_in;
                    const int result = inflater->inflate();
                    const std::size_t before = filled;
                    filled = row.size() - (*inflater)->avail_out;
                    if (result == Z_BUF_ERROR && filled == before && (*inflater)->avail_in == inputBefore)
                        refuse(); // zlib can make no progress: never spin on it
                    if (filled == row.size()) {
                        unfilter(row[0], row.data() + 1, prior.data() + 1, row.size() - 1, bpp);
                        toArgb(header, colours, row.data() + 1, argb.data());
                        scaler->addRow(argb.data());
                        std::swap(row, prior);
                        filled = 0;
                        ++rowsDone;
                    } else if (result == Z_STREAM_END) {
                        refuse(); // the data ends before the last row
                    }
                }
            }
        } else if (is("IEND")) {
            if (rowsDone < header.height)
                refuse();
            skipExactly(file, std::uint64_t(length) + 4);
            return out;
        } else {
            skipExactly(file, length);
        }
        skipExactly(file, 4); // CRC
    }
}

} // namespace window
