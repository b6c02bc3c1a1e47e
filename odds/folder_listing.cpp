// One folder's files, looked up by name as the platform opens them.
#include "folder_listing.h"

#include "file_names.h"
#include "platform.h"

#include <algorithm>

namespace odds {

namespace {
std::string keyOf(std::string_view utf8Name)
{
    return catalogue::platform::fileNamesIgnoreCase() ? catalogue::upperCaseFold(utf8Name) : std::string(utf8Name);
}
} // namespace

FolderSnapshot::FolderSnapshot(std::filesystem::path folder) : folder_(std::move(folder))
{
    if (folder_.empty())
        return; // a list not saved yet has no folder
    auto files = listFolder(folder_);
    listed_ = files.has_value();
    if (listed_)
        files_ = std::move(*files);
    for (std::size_t i = 0; i < files_.size(); ++i)
        byKey_.emplace(keyOf(files_[i].name), i); // two names one file would open: the first listed stands
}

FolderSnapshot::Seen FolderSnapshot::find(const std::filesystem::path &file, FileStamp &stamp) const
{
    // Compared as spelt, without taking paths apart: this runs once per prize.
    using Native = std::filesystem::path::string_type;
    const Native &spelt = file.native();
    const Native &folder = folder_.native();
    if (!listed_ || spelt.size() <= folder.size() + 1 || spelt.compare(0, folder.size(), folder) != 0 ||
        spelt[folder.size()] != std::filesystem::path::preferred_separator)
        return Seen::Elsewhere;
    const Native name = spelt.substr(folder.size() + 1);
    if (name.find(std::filesystem::path::preferred_separator) != Native::npos)
        return Seen::Elsewhere;
    const std::u8string utf8 = std::filesystem::path(name).u8string();
    const auto found = byKey_.find(keyOf(std::string(utf8.begin(), utf8.end())));
    if (found == byKey_.end())
        return Seen::Absent;
    stamp = files_[found->second].stamp;
    return Seen::Present;
}

bool FolderSnapshot::watchable() const
{
    return std::none_of(files_.begin(), files_.end(), [](const ListedFile &file) { return file.linked; });
}

std::vector<std::string> FolderSnapshot::regularNames() const
{
    std::vector<std::string> names;
    for (const ListedFile &file : files_)
        if (file.stamp.regular)
            names.push_back(file.name);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace odds
