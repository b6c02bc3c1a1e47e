// Shared by the list document's tests: reading a file back whole.
#pragma once

#include "fakes.h"

#include <fstream>
#include <sstream>
#include <string>

namespace testing_authoring {

inline std::string slurp(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline const std::filesystem::path kSample = SAMPLE_DIR;

// "荧光棒" and "棒棒糖" in GBK.
inline const std::string kGlowStick = "\xD3\xAB\xB9\xE2\xB0\xF4";
inline const std::string kLollipop = "\xB0\xF4\xB0\xF4\xCC\xC7";

} // namespace testing_authoring
