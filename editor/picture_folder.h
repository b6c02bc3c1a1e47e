// The picture folder beside a list: where each prize's picture lives, and
// pictures put in and renamed with their prize.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace editor {

// A file's bytes at one moment, or its absence, to put back on undo.
struct FileSnapshot {
    std::filesystem::path file;
    std::optional<std::string> bytes;

    static FileSnapshot of(const std::filesystem::path &file);
    // Writes the bytes back, or removes the file when there were none.
    // Throws authoring::ListError.
    void restore() const;
};

class PictureFolder {
public:
    explicit PictureFolder(const std::filesystem::path &dataIni) : folder_(dataIni.parent_path() / "picture") {}

    const std::filesystem::path &path() const { return folder_; }
    // Where the game looks for the picture of a prize of this name.
    std::filesystem::path fileOf(const std::string &name) const { return folder_ / (name + ".jpg"); }

    // Puts source in as the picture of name: a JPEG byte for byte, any other
    // picture the game's decoder accepts converted to JPEG. Throws
    // authoring::ListError for a name that cannot be a file name, a file
    // that is no picture, or one that cannot be written.
    void importPicture(const std::filesystem::path &source, const std::string &name) const;

private:
    std::filesystem::path folder_;
};

} // namespace editor
