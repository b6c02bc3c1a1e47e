// A folder watched through inotify: the kernel queues an event before the
// call that changed the folder returns, so a change is never seen late.
#include "folder_watch.h"

#include <cerrno>
#include <cstdint>
#include <sys/inotify.h>
#include <unistd.h>

namespace odds {

namespace {
int fdOf(void *handle) { return int(reinterpret_cast<std::intptr_t>(handle)) - 1; } // null: none
} // namespace

FolderWatch::FolderWatch(const std::filesystem::path &folder)
{
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0)
        return;
    constexpr std::uint32_t kChanges = IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_DELETE_SELF | IN_MODIFY |
                                       IN_MOVE_SELF | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR;
    if (inotify_add_watch(fd, folder.c_str(), kChanges) < 0) {
        close(fd);
        return;
    }
    handle_ = reinterpret_cast<void *>(std::intptr_t(fd) + 1);
}

FolderWatch::~FolderWatch()
{
    if (handle_)
        close(fdOf(handle_));
}

bool FolderWatch::watching() const { return handle_ != nullptr; }

bool FolderWatch::mayHaveChanged()
{
    if (changed_ || !handle_)
        return true;
    alignas(inotify_event) char events[4096];
    const ssize_t read = ::read(fdOf(handle_), events, sizeof events);
    changed_ = read != 0 && !(read < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)); // an error vouches for nothing
    return changed_;
}

} // namespace odds
