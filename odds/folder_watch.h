// The system's word that nothing in a folder changed, so that a folder listed
// once need not be listed again at every check.
#pragma once

#include <filesystem>

namespace odds {

class FolderWatch {
public:
    // Watches the names, sizes and times of folder's entries from now on.
    explicit FolderWatch(const std::filesystem::path &folder);
    ~FolderWatch();
    FolderWatch(const FolderWatch &) = delete;
    FolderWatch &operator=(const FolderWatch &) = delete;

    // False while the system could not watch the folder (not there, or out
    // of watches): then nothing is vouched for.
    bool watching() const;
    // False only while the system vouches that nothing in the folder changed
    // since this watch was made. Once true, true for good: make a new watch.
    // Never waits.
    bool mayHaveChanged();

private:
    // A file descriptor on Linux, a change-notification handle on Windows.
    void *handle_ = nullptr;
    bool changed_ = false;
};

} // namespace odds
