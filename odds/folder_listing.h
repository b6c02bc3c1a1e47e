// The files of one folder read in one pass, with what tells a changed file,
// so that checking a thousand prizes' pictures asks the system once per
// folder instead of once or twice per picture.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace odds {

// What changes when a file's bytes are replaced.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modified = 0; // in the system's own ticks
    bool regular = true;       // false: a folder or a device under a picture's name
    bool operator==(const FileStamp &) const = default;
};

struct ListedFile {
    std::string name; // UTF-8
    FileStamp stamp;
    bool linked = false; // a link, or maybe one: a change to what it leads to changes no entry here
    bool operator==(const ListedFile &) const = default;
};

// The entries of folder: none when it is not there, nothing when it cannot
// be read (its files may still open one by one).
std::optional<std::vector<ListedFile>> listFolder(const std::filesystem::path &folder);
// The stamp of one file, following links as opening it does; none when it is not there.
std::optional<FileStamp> stampOf(const std::filesystem::path &file);

class FolderSnapshot {
public:
    FolderSnapshot() = default;
    explicit FolderSnapshot(std::filesystem::path folder);

    enum class Seen { Elsewhere, Absent, Present };
    // Whether file, a file in this folder, was there, matched as the
    // platform opens names (regardless of case on Windows); Elsewhere for a
    // file in another folder, or in one that could not be listed, which the
    // snapshot cannot tell about.
    Seen find(const std::filesystem::path &file, FileStamp &stamp) const;
    // The UTF-8 names of its regular files, sorted.
    std::vector<std::string> regularNames() const;
    const std::filesystem::path &folder() const { return folder_; }
    // Whether a watch on the folder would see every change of its files.
    bool watchable() const;
    // The same entries, names, sizes and times.
    bool operator==(const FolderSnapshot &other) const
    {
        return folder_ == other.folder_ && listed_ == other.listed_ && files_ == other.files_;
    }

private:
    std::filesystem::path folder_;
    bool listed_ = false;
    std::vector<ListedFile> files_;
    std::unordered_map<std::string, std::size_t> byKey_;
};

} // namespace odds
