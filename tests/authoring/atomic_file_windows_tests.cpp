// Saving one file on Windows: the file that is there is respected, and a
// failure says what is on disk.
#include "atomic_file.h"
#include "authoring_fixtures.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace testing_authoring;
using authoring::ListError;
using authoring::replaceFile;
namespace fs = std::filesystem;

namespace {
std::string refusal(const fs::path &file, const std::string &bytes)
{
    try {
        replaceFile(file, bytes);
    } catch (const ListError &error) {
        return error.what();
    }
    return "saved";
}

DWORD attributesOf(const fs::path &file) { return GetFileAttributesW(file.c_str()); }
} // namespace

TEST(AtomicSave, KeepsTheAttributesOfTheFileThatWasThereAndItsBackup)
{
    fakes::TempFolder folder;
    const fs::path file = folder.write("data.ini", "old");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(attributesOf(file) & FILE_ATTRIBUTE_HIDDEN);
    replaceFile(file, "new");
    EXPECT_EQ(slurp(file), "new");
    EXPECT_EQ(slurp(folder.path() / "data.ini.bak"), "old");
    EXPECT_TRUE(attributesOf(file) & FILE_ATTRIBUTE_HIDDEN);
}

TEST(AtomicSave, RefusesAReadOnlyListAndSaysWhatIsOnDisk)
{
    fakes::TempFolder folder;
    const fs::path file = folder.write("data.ini", "old");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string message = refusal(file, "new");
    EXPECT_NE(message.find("read-only"), std::string::npos) << message;
    EXPECT_NE(message.find("nothing was written: the file there is as it was"), std::string::npos) << message;
    EXPECT_EQ(slurp(file), "old");
    EXPECT_TRUE(attributesOf(file) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(fs::exists(folder.path() / "data.ini.bak"));
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); // so that the folder can go

    // Where there was no file, the message says so.
    const std::string nowhere = refusal(folder.path() / "missing" / "data.ini", "new");
    EXPECT_NE(nowhere.find("no file was there, and none is now"), std::string::npos) << nowhere;
    EXPECT_EQ(nowhere.find("unchanged"), std::string::npos) << nowhere;
    EXPECT_EQ(nowhere.find_first_of("\r\n"), std::string::npos) << nowhere; // the system's words end in a line end
}

TEST(AtomicSave, RefusesASymbolicLinkAndLeavesIt)
{
    fakes::TempFolder folder;
    const fs::path target = folder.write("real.ini", "old");
    const fs::path link = folder.path() / "data.ini";
    const bool made = CreateSymbolicLinkW(link.c_str(), target.c_str(), 0) && attributesOf(link) != INVALID_FILE_ATTRIBUTES;
    if (!made || !(attributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "this system makes no symbolic links that programs can see as such";
    const std::string message = refusal(link, "new");
    EXPECT_NE(message.find("symbolic link"), std::string::npos) << message;
    EXPECT_NE(message.find("the link is as it was"), std::string::npos) << message;
    EXPECT_TRUE(attributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(slurp(target), "old");
}
