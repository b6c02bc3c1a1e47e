// Replacing a file atomically: temporary file, fsync, rename, fsync of the folder.
#include "atomic_file.h"

#include "i18n.h"
#include "save_failure.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace authoring {

namespace fs = std::filesystem;

namespace {

// Linux gives up after as many links in a row.
constexpr int kMaxLinks = 40;

std::string modeText(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// One save of one file: what was there, how far the save got, and the
// message that says both when it fails.
class Save {
public:
    Save(const fs::path &requested, Backup backup) : requested_(requested), backup_(backup) {}

    // Follows links to the file they name, which is the one replaced.
    void resolve()
    {
        target_ = requested_;
        for (int links = 0;; ++links) {
            struct stat entry {};
            if (::lstat(target_.c_str(), &entry) != 0) {
                if (errno != ENOENT)
                    fail(i18n::tr("cannot look at it"), errno);
                state_.found = links == 0 ? Found::Nothing : Found::Link;
                return; // nothing there yet: the link, if any, is left pointing at the new file
            }
            if (!S_ISLNK(entry.st_mode)) {
                old_ = entry;
                state_.found = S_ISREG(entry.st_mode) ? Found::File : Found::Other;
                return;
            }
            state_.found = Found::Link;
            if (links == kMaxLinks) {
                target_ = requested_;
                fail(
                    i18n::tr("it is a symbolic link that leads back to itself (a loop), so it names no file to write"));
            }
            std::error_code ec;
            const fs::path next = fs::read_symlink(target_, ec);
            if (ec)
                fail(i18n::tr("cannot read the symbolic link"), ec.value());
            target_ = next.is_absolute() ? next : target_.parent_path() / next;
        }
    }

    // Refuses a file that is not a plain file or that its owner marked read-only.
    void checkWritable()
    {
        if (!old_)
            return;
        if (S_ISDIR(old_->st_mode))
            fail(i18n::tr("it is a folder, not a file"));
        if (!S_ISREG(old_->st_mode))
            fail(i18n::tr("it is not a regular file but a device, pipe or socket"));
        // Root may write any file, so a file with no write bit at all counts
        // as read-only for root too: its owner meant it to stay as it is.
        if ((old_->st_mode & 0222) == 0)
            fail(i18n::tr("the file is read-only (mode {0})", modeText(old_->st_mode)), 0, makeWritableAdvice());
        if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
            fail(i18n::tr("you may not write to it (mode {0})", modeText(old_->st_mode)), errno, makeWritableAdvice());
    }

    void write(std::string_view bytes)
    {
        const fs::path where = target_;
        const fs::path folder = where.parent_path().empty() ? fs::path(".") : where.parent_path();
        TemporaryFile next(*this, folder);
        next.write(bytes);
        // The old file's copy takes the backup's name only once the new
        // file is in place: a failed save leaves the backup there was.
        std::optional<TemporaryFile> kept;
        if (old_ && backup_ == Backup::Keep) {
            kept.emplace(*this, folder);
            kept->write(oldContents());
        }
        next.renameTo(where, i18n::tr("cannot rename the new file to {0}", where.filename().string()));
        state_.stage = Stage::Replaced;
        if (kept) {
            kept->renameTo(backupPath(),
                           i18n::tr("cannot rename the copy of the old file to {0}", backupPath().filename().string()));
            state_.stage = Stage::BackupMade;
        }
        syncFolder(folder);
    }

    const fs::path &target() const { return target_; }

    [[noreturn]] void fail(const std::string &what, int error = 0, const std::string &advice = {}) const
    {
        SaveState state = state_;
        state.shown = shown();
        state.keepBackup = backup_ == Backup::Keep;
        state.backupPath = backupPath().string();
        throwSaveFailure(state, what, error != 0 ? std::strerror(error) : "", advice);
    }

private:
    using Found = SaveState::Found;
    using Stage = SaveState::Stage;

    // A temporary file beside the target that is removed unless it is renamed.
    class TemporaryFile {
    public:
        TemporaryFile(const Save &save, const fs::path &folder) : save_(save)
        {
            std::string pattern = (folder / ("." + save.target_.filename().string() + ".XXXXXX")).string();
            fd_ = mkstemp(pattern.data());
            if (fd_ < 0)
                save.fail(i18n::tr("cannot make a file in {0}", folder.string()), errno);
            path_ = pattern;
            save.takeOverAttributes(fd_);
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
                    save_.fail(i18n::tr("cannot write"), written < 0 ? errno : ENOSPC);
                bytes.remove_prefix(static_cast<std::size_t>(written));
            }
            if (::fsync(fd_) != 0)
                save_.fail(i18n::tr("cannot flush the new file to disk"), errno);
            const int fd = fd_;
            fd_ = -1;
            if (::close(fd) != 0)
                save_.fail(i18n::tr("cannot write"), errno);
        }
        void renameTo(const fs::path &final, const std::string &failure)
        {
            if (::rename(path_.c_str(), final.c_str()) != 0)
                save_.fail(failure, errno);
            path_.clear();
        }

    private:
        const Save &save_;
        fs::path path_;
        int fd_ = -1;
    };

    // The old file's owner, group and mode, as far as the system lets this
    // user give them away; a new file gets the mode the umask allows.
    void takeOverAttributes(int fd) const
    {
        if (!old_) {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd, 0666 & ~mask);
            return;
        }
        // Only root may give a file away; anyone may pass it to a group they are in.
        if (old_->st_uid != ::geteuid() || old_->st_gid != ::getegid())
            if (::fchown(fd, old_->st_uid, old_->st_gid) != 0 &&
                ::fchown(fd, static_cast<uid_t>(-1), old_->st_gid) != 0) {
                // Not a group of ours either: the file stays ours, as any new file would.
            }
        ::fchmod(fd, old_->st_mode & 07777); // after fchown, which may clear set-id bits
    }

    std::string oldContents() const
    {
        std::ifstream in(target_, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in)
            fail(i18n::tr("cannot read the old file to keep it as {0}", backupPath().filename().string()), EIO);
        return bytes.str();
    }

    // Without this the renames may not reach the disk before a power cut.
    void syncFolder(const fs::path &folder) const
    {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            fail(i18n::tr("its folder cannot be opened to flush it to disk"), errno);
        const int synced = ::fsync(fd);
        const int error = errno;
        ::close(fd);
        // EINVAL: a file system that cannot sync a folder, where the rename is all there is.
        if (synced != 0 && error != EINVAL)
            fail(i18n::tr("its folder cannot be flushed to disk"), error);
    }

    fs::path backupPath() const { return fs::path(target_.string() + ".bak"); }

    std::string shown() const
    {
        if (target_ == requested_)
            return requested_.string();
        return i18n::tr("{0} (a link to {1})", requested_.string(), target_.string());
    }

    fs::path requested_;
    fs::path target_;
    Backup backup_;
    std::optional<struct stat> old_; // the file that was there
    SaveState state_;                // what was there and how far the save got
};

} // namespace

void replaceFile(const fs::path &requested, std::string_view bytes, Backup backup)
{
    Save save(requested, backup);
    save.resolve();
    save.checkWritable();
    save.write(bytes);
}

fs::path checkedTarget(const fs::path &requested)
{
    Save save(requested, Backup::None);
    save.resolve();
    save.checkWritable();
    return save.target();
}

} // namespace authoring
