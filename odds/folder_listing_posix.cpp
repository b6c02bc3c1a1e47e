// A folder's entries through readdir, each stamped relative to the open folder.
#include "folder_listing.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace odds {

namespace {
FileStamp stampFrom(const struct stat &status)
{
    return {std::uintmax_t(status.st_size), std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
            S_ISREG(status.st_mode)};
}
} // namespace

std::optional<std::vector<ListedFile>> listFolder(const std::filesystem::path &folder)
{
    std::vector<ListedFile> files;
    DIR *entries = opendir(folder.c_str());
    if (!entries)
        return errno == ENOENT || errno == ENOTDIR ? std::optional(files) : std::nullopt;
    while (const dirent *entry = readdir(entries)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat status {};
        if (fstatat(dirfd(entries), entry->d_name, &status, 0) != 0)
            continue; // gone since, or a link to nothing: as good as not there
        files.push_back({name, stampFrom(status), entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN});
    }
    closedir(entries);
    return files;
}

std::optional<FileStamp> stampOf(const std::filesystem::path &file)
{
    struct stat status {};
    if (stat(file.c_str(), &status) != 0)
        return std::nullopt;
    return stampFrom(status);
}

} // namespace odds
