// The service that turns a picture file into a Picture; the window provides
// the real one, tests provide fakes.
#pragma once

#include "variant.h"

#include <filesystem>
#include <string_view>

namespace catalogue {

class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // Returns a picture, or throws a RuntimeError when the file is missing,
    // unreadable or not an acceptable picture.
    virtual PicturePtr load(const std::filesystem::path &file) = 0;
};

// A prize name can be used as a file name in the picture folder only if it
// cannot name anything outside it: not empty, ".", "..", and no '/', '\\' or NUL.
bool isSafePictureName(std::string_view name);

} // namespace catalogue
