// The picture folder beside a list: where each prize's picture lives, and
// what a chosen picture becomes there.
#pragma once

#include "picture_loader.h"

#include <filesystem>
#include <string>

namespace editing {

class PictureFolder {
public:
    explicit PictureFolder(const std::filesystem::path &dataIni) : folder_(dataIni.parent_path() / "picture") {}

    const std::filesystem::path &path() const { return folder_; }
    // Where the game looks for the picture of a prize of this name; empty for
    // a name that cannot name a file there.
    std::filesystem::path fileOf(const std::string &name) const { return catalogue::pictureFileOf(folder_, name); }

private:
    std::filesystem::path folder_;
};

} // namespace editing
