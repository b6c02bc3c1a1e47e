// The picture folder beside a list: where each prize's picture lives, and
// what a chosen picture becomes there.
#pragma once

#include <filesystem>
#include <string>

namespace editing {

class PictureFolder {
public:
    explicit PictureFolder(const std::filesystem::path &dataIni) : folder_(dataIni.parent_path() / "picture") {}

    const std::filesystem::path &path() const { return folder_; }
    // Where the game looks for the picture of a prize of this name.
    std::filesystem::path fileOf(const std::string &name) const { return folder_ / (name + ".jpg"); }

private:
    std::filesystem::path folder_;
};

} // namespace editing
