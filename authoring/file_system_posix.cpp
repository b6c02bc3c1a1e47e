// The save's file-system calls on a POSIX system.
#include "file_system.h"

#include "i18n.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

namespace authoring {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string &what, int error)
{
    throw FileSystemError(i18n::tr("{0}: {1}", what, std::strerror(error)));
}

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

class Disk : public FileSystem {
public:
    void write(const fs::path &file, std::string_view bytes, const fs::path &attributesOf) override
    {
        Descriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
        if (fd.get() < 0)
            fail(i18n::tr("cannot make {0}", file.string()), errno);
        takeOverAttributes(fd.get(), attributesOf);
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd.get(), bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                fail(i18n::tr("cannot write {0}", file.string()), written < 0 ? errno : ENOSPC);
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        if (::close(fd.release()) != 0)
            fail(i18n::tr("cannot write {0}", file.string()), errno);
    }

    void flush(const fs::path &file) override
    {
        Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC)); // fsync needs no write access
        if (fd.get() < 0 || ::fsync(fd.get()) != 0)
            fail(i18n::tr("cannot flush {0} to disk", file.string()), errno);
    }

    void rename(const fs::path &from, const fs::path &to) override
    {
        if (::rename(from.c_str(), to.c_str()) != 0)
            fail(i18n::tr("cannot rename {0} to {1}", from.string(), to.filename().string()), errno);
    }

    void link(const fs::path &existing, const fs::path &name) override
    {
        if (::unlink(name.c_str()) != 0 && errno != ENOENT)
            fail(i18n::tr("cannot remove {0}", name.string()), errno);
        if (::link(existing.c_str(), name.c_str()) == 0)
            return;
        const int error = errno;
        // A USB stick's FAT has no hard links: a copy does as well.
        if (error != EPERM && error != EXDEV && error != ENOTSUP && error != EOPNOTSUPP && error != EMLINK &&
            error != ENOSYS)
            fail(i18n::tr("cannot keep {0} as {1}", existing.string(), name.filename().string()), error);
        std::ifstream in(existing, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in)
            fail(i18n::tr("cannot read {0}", existing.string()), EIO);
        write(name, bytes.str(), existing);
        flush(name);
    }

    void replace(const fs::path &replaced, const fs::path &replacement, const fs::path &backup) override
    {
        link(replaced, backup);
        rename(replacement, replaced); // a rename keeps nothing of the old file: the new one took its owner and mode
    }

    void remove(const fs::path &file) override
    {
        if (::unlink(file.c_str()) != 0 && errno != ENOENT)
            fail(i18n::tr("cannot remove {0}", file.string()), errno);
    }

    void makeFolder(const fs::path &folder) override
    {
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
            fail(i18n::tr("cannot make the folder {0}", folder.string()), errno);
    }

    void removeFolder(const fs::path &folder) override
    {
        if (::rmdir(folder.c_str()) != 0 && errno != ENOENT && errno != ENOTEMPTY && errno != EEXIST)
            fail(i18n::tr("cannot remove the folder {0}", folder.string()), errno);
    }

    void flushFolder(const fs::path &folder) override
    {
        Descriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.get() < 0)
            fail(i18n::tr("cannot flush the folder {0} to disk", folder.string()), errno);
        // EINVAL: a file system that cannot flush a folder, where the rename is all there is.
        if (::fsync(fd.get()) != 0 && errno != EINVAL)
            fail(i18n::tr("cannot flush the folder {0} to disk", folder.string()), errno);
    }

private:
    // The old file's owner, group and mode, as far as the system lets this
    // user give them away; a new file keeps the mode the umask allows.
    static void takeOverAttributes(int fd, const fs::path &attributesOf)
    {
        struct stat old {};
        if (attributesOf.empty() || ::stat(attributesOf.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
            return;
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
            if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
                // Not a group of ours either: the file stays ours, as any new file would.
            }
        ::fchmod(fd, old.st_mode & 07777); // after fchown, which may clear set-id bits
    }
};

} // namespace

FileSystem &diskFileSystem()
{
    static Disk disk;
    return disk;
}

} // namespace authoring
