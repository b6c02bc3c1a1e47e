// The bundled sample pictures by size and 64-bit FNV-1a digest of their bytes
// (sample/picture/; a test checks the table against them).
#include "sample_pictures.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace odds {

namespace {
struct Sample {
    std::uintmax_t bytes;
    std::uint64_t digest;
};
constexpr std::array<Sample, 8> kSamples = {{
    {4850, 0x26f2bc50940ff06c}, // 保温杯
    {4764, 0x052ec11288b3ce19}, // 智能手表
    {7080, 0x262a1f737fa0506b}, // 棒棒糖
    {5715, 0x860b709bf8361a90}, // 玩具熊
    {5275, 0x3b8c54937de62b65}, // 电影票
    {6458, 0x06498170efc08eca}, // 荧光棒
    {7938, 0x44c3f42b4d0480f2}, // 蓝牙耳机
    {5338, 0x1c6539ec4dac2dc6}, // 金条
}};

std::uint64_t fnv1a(const std::string &bytes)
{
    std::uint64_t digest = 0xcbf29ce484222325;
    for (const char byte : bytes)
        digest = (digest ^ static_cast<unsigned char>(byte)) * 0x100000001b3;
    return digest;
}
} // namespace

bool isBundledSample(const std::filesystem::path &file)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    bool sized = false;
    for (const Sample &sample : kSamples)
        sized = sized || (!error && sample.bytes == size);
    if (!sized)
        return false;
    std::ifstream in(file, std::ios::binary);
    const std::uint64_t digest = fnv1a({std::istreambuf_iterator<char>(in), {}});
    for (const Sample &sample : kSamples)
        if (sample.bytes == size && sample.digest == digest)
            return true;
    return false;
}

} // namespace odds
