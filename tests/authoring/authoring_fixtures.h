// Shared by the list document's tests: reading a file back whole.
#pragma once

#include "fakes.h"
#include "slurp.h"

#include <fstream>
#include <sstream>
#include <string>

namespace testing_authoring {

using ::slurp;

inline const std::filesystem::path kSample = SAMPLE_DIR;

// "荧光棒" and "棒棒糖" in GBK.
inline const std::string kGlowStick = "\xD3\xAB\xB9\xE2\xB0\xF4";
inline const std::string kLollipop = "\xB0\xF4\xB0\xF4\xCC\xC7";

} // namespace testing_authoring
