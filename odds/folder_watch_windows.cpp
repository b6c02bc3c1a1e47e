// A folder watched through a change notification, which the system signals
// when an entry's name, size, time or attributes change.
#include "folder_watch.h"

#include <windows.h>

namespace odds {

FolderWatch::FolderWatch(const std::filesystem::path &folder)
{
    const HANDLE watch = FindFirstChangeNotificationW(folder.c_str(), FALSE,
                                                      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                                          FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                                          FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (watch != INVALID_HANDLE_VALUE)
        handle_ = watch;
}

FolderWatch::~FolderWatch()
{
    if (handle_)
        FindCloseChangeNotification(handle_);
}

bool FolderWatch::watching() const { return handle_ != nullptr; }

bool FolderWatch::mayHaveChanged()
{
    if (changed_ || !handle_)
        return true;
    changed_ = WaitForSingleObject(handle_, 0) != WAIT_TIMEOUT;
    return changed_;
}

} // namespace odds
