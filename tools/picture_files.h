// A picture loader without a toolkit: the odds report needs to know whether
// the game can show a picture, not its pixels.
#pragma once

#include "picture_loader.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace odds {

enum class ImageFormat { Jpeg, Png };

// What the first bytes of a file say it is; JPEG and PNG are the formats
// the game's loader accepts.
std::optional<ImageFormat> imageFormatOf(std::string_view firstBytes);

// A picture the report can embed: where it is and what it holds.
struct PictureFile : catalogue::Picture {
    PictureFile(std::filesystem::path p, ImageFormat f) : path(std::move(p)), format(f) {}
    std::filesystem::path path;
    ImageFormat format;
};

// Accepts a readable regular file that begins with a JPEG or PNG signature.
// Throws FileNotFound (53) when nothing is there, PathFileAccessError (75)
// when it cannot be read, InvalidPicture (481) when it is not a picture.
class PictureFileLoader : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &file) override;
};

} // namespace odds
