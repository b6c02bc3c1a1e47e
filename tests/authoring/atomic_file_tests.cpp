// Saving one file: the file that is there is respected, and a failure says what is on disk.
#include "atomic_file.h"
#include "authoring_fixtures.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

using namespace testing_authoring;
using authoring::Backup;
using authoring::ListError;
using authoring::replaceFile;
namespace fs = std::filesystem;

namespace {
enum class SyncFailure { None, Files, Folders };
SyncFailure failingSync = SyncFailure::None;
} // namespace

// Stands in for the C library's fsync in this test program, so that a test
// can make the disk refuse to flush a file or a folder.
extern "C" int fsync(int fd)
{
    struct stat entry {};
    if (failingSync != SyncFailure::None && ::fstat(fd, &entry) == 0 &&
        S_ISDIR(entry.st_mode) == (failingSync == SyncFailure::Folders)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// The message of a save that fails, or "saved".
std::string outcome(const fs::path &file, std::string_view bytes)
{
    try {
        replaceFile(file, bytes);
    } catch (const ListError &error) {
        return error.what();
    }
    return "saved";
}

struct stat statOf(const fs::path &file)
{
    struct stat entry {};
    EXPECT_EQ(::stat(file.c_str(), &entry), 0) << file;
    return entry;
}

} // namespace

TEST(AtomicSave, RefusesAFileItsUserMayNotWriteAndLeavesItAsItWas)
{
    fakes::TempFolder folder;
    const auto file = folder.write("data.ini", "old");
    // No write bit at all: refused for its owner, and for root, who could write it.
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string message = outcome(file, "new");
    EXPECT_NE(message.find("read-only (mode 0444)"), std::string::npos) << message;
    EXPECT_NE(message.find("nothing was written: the file there is as it was"), std::string::npos) << message;
    EXPECT_EQ(slurp(file), "old");
    EXPECT_FALSE(fs::exists(folder.path() / "data.ini.bak"));

    if (::geteuid() != 0)
        GTEST_SKIP() << "saving another user's file needs root to make that user";
    // Root's file, 0644, in a folder that nobody may write: the folder does not make the file theirs.
    fs::permissions(file,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(::chown(folder.path().c_str(), kNobody, kNogroup), 0);
    EXPECT_EXIT(
        {
            if (::setgroups(0, nullptr) != 0 || ::setresgid(kNogroup, kNogroup, kNogroup) != 0 ||
                ::setresuid(kNobody, kNobody, kNobody) != 0)
                ::_exit(2);
            std::cerr << outcome(file, "new");
            ::_exit(0);
        },
        ::testing::ExitedWithCode(0), "you may not write to it \\(mode 0644\\).*the file there is as it was");
    EXPECT_EQ(slurp(file), "old");
}

TEST(AtomicSave, KeepsTheOwnerGroupAndModeOfTheFileThatWasThere)
{
    fakes::TempFolder folder;
    const auto file = folder.write("data.ini", "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), kNobody, kNogroup), 0);
    }
    const struct stat before = statOf(file);

    replaceFile(file, "new");
    for (const fs::path &written : {file, folder.path() / "data.ini.bak"}) {
        const struct stat after = statOf(written);
        EXPECT_EQ(after.st_mode & 07777, 0640u) << written;
        EXPECT_EQ(after.st_uid, before.st_uid) << written;
        EXPECT_EQ(after.st_gid, before.st_gid) << written;
    }
    EXPECT_EQ(slurp(file), "new");
}

TEST(AtomicSave, WritesTheFileALinkNamesAndKeepsTheLink)
{
    fakes::TempFolder folder;
    const auto target = folder.write("lists/real.ini", "old");
    const auto link = folder.path() / "data.ini";
    fs::create_symlink("lists/real.ini", link);
    replaceFile(link, "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(slurp(target), "new");
    EXPECT_EQ(slurp(folder.path() / "lists/real.ini.bak"), "old");

    // A link to a file not made yet: the file is made where it points.
    const auto ahead = folder.path() / "ahead.ini";
    fs::create_symlink("later.ini", ahead);
    EXPECT_EQ(outcome(ahead, "new"), "saved");
    EXPECT_TRUE(fs::is_symlink(ahead));
    EXPECT_EQ(slurp(folder.path() / "later.ini"), "new");

    // A link that leads back to itself names no file: nothing is made or replaced.
    const auto loop = folder.path() / "loop.ini";
    fs::create_symlink("loop.ini", loop);
    const std::string message = outcome(loop, "new");
    EXPECT_NE(message.find("symbolic link that leads back to itself"), std::string::npos) << message;
    EXPECT_NE(message.find("nothing was written: the link is as it was"), std::string::npos) << message;
    EXPECT_TRUE(fs::is_symlink(loop));
}

TEST(AtomicSave, AFailedSyncFailsTheSaveAndSaysWhatIsOnDisk)
{
    fakes::TempFolder folder;
    const auto file = folder.write("data.ini", "old");
    struct Reset {
        ~Reset() { failingSync = SyncFailure::None; }
    } reset;

    failingSync = SyncFailure::Files;
    std::string message = outcome(file, "new");
    EXPECT_NE(message.find("cannot flush the new file to disk: " + std::string(std::strerror(EIO)) +
                           "; nothing was written: the file there is as it was"),
              std::string::npos)
        << message;
    EXPECT_EQ(slurp(file), "old");
    EXPECT_FALSE(fs::exists(folder.path() / "data.ini.bak"));

    // The rename has happened, but only the folder's sync makes it last.
    failingSync = SyncFailure::Folders;
    message = outcome(file, "new");
    EXPECT_NE(message.find(file.string() + " was saved, but its folder cannot be flushed to disk"), std::string::npos)
        << message;
    EXPECT_NE(message.find("the old file is kept as " + file.string() + ".bak"), std::string::npos) << message;
    EXPECT_EQ(slurp(file), "new");

    failingSync = SyncFailure::None;
    message = outcome(folder.path() / "missing" / "data.ini", "new");
    EXPECT_NE(message.find("nothing was written: no file was there, and none is now"), std::string::npos) << message;
}
