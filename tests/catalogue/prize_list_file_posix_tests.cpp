// Failures to open data.ini that need the POSIX file system: links, permissions.
#include "fakes.h"
#include "prize_list_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using catalogue::ErrorCode;
using catalogue::PrizeListFile;
using catalogue::RuntimeError;

namespace {
ErrorCode openError(const std::filesystem::path &path)
{
    try {
        PrizeListFile file(path);
    } catch (const RuntimeError &e) {
        return e.code();
    }
    ADD_FAILURE() << "opened " << path;
    return ErrorCode::Overflow;
}
} // namespace

TEST(PrizeListFile, TellsAMissingFileFromOneThatCannotBeRead)
{
    fakes::TempFolder folder;
    EXPECT_EQ(openError(folder.path() / "data.ini"), ErrorCode::FileNotFound);
    std::filesystem::create_directory(folder.path() / "folder.ini");
    EXPECT_EQ(openError(folder.path() / "folder.ini"), ErrorCode::PathFileAccessError);
    std::filesystem::create_symlink(folder.path() / "nowhere", folder.path() / "dangling.ini");
    EXPECT_EQ(openError(folder.path() / "dangling.ini"), ErrorCode::FileNotFound);

    if (geteuid() != 0) { // root reads everything
        const auto locked = folder.write("locked.ini", "1\r\n");
        chmod(locked.c_str(), 0);
        EXPECT_EQ(openError(locked), ErrorCode::PathFileAccessError);
    }
}
