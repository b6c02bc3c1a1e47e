// Replacing a file atomically: temporary file, fsync, rename.
#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace authoring {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const fs::path &target, const std::string &what, int error)
{
    throw ListError("cannot save " + target.string() + ": " + what + ": " + std::strerror(error) +
                    "; the file that was there is unchanged");
}

// A temporary file beside target that is removed unless it is renamed.
class TemporaryFile {
public:
    TemporaryFile(const fs::path &target, mode_t mode) : target_(target)
    {
        std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
        fd_ = mkstemp(pattern.data());
        if (fd_ < 0)
            fail(target, "cannot make a file in " + target.parent_path().string(), errno);
        path_ = pattern;
        fchmod(fd_, mode);
    }
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    void write(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                fail(target_, "cannot write", written < 0 ? errno : ENOSPC);
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        if (::fsync(fd_) != 0)
            fail(target_, "cannot flush to disk", errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            fail(target_, "cannot write", errno);
    }
    void renameTo(const fs::path &final)
    {
        if (::rename(path_.c_str(), final.c_str()) != 0)
            fail(target_, "cannot rename the new file to " + final.filename().string(), errno);
        path_.clear();
    }

private:
    fs::path target_;
    fs::path path_;
    int fd_ = -1;
};

std::string contentsOf(const fs::path &file, const fs::path &target)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in.good() && !in.eof())
        fail(target, "cannot read the old file to keep it as .bak", EIO);
    return bytes.str();
}

void syncFolder(const fs::path &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the rename itself is already atomic
        ::close(fd);
    }
}

} // namespace

void replaceFile(const fs::path &requested, std::string_view bytes, Backup backup)
{
    // Through a link, replace what it points to and keep the link.
    std::error_code ec;
    const fs::path target = fs::is_symlink(requested, ec) ? fs::weakly_canonical(requested, ec) : requested;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const fs::path where = folder / target.filename();

    struct stat old {};
    const bool exists = ::stat(where.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        fail(where, "it is not a regular file", EISDIR);
    const mode_t mode = exists ? (old.st_mode & 07777) : [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();

    TemporaryFile next(where, mode);
    next.write(bytes);
    if (exists && backup == Backup::Keep) {
        TemporaryFile kept(where, mode);
        kept.write(contentsOf(where, where));
        kept.renameTo(fs::path(where.string() + ".bak"));
    }
    next.renameTo(where);
    syncFolder(folder);
}

} // namespace authoring
