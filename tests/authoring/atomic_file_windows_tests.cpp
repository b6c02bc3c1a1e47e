// Saving one file on Windows: the file that is there is respected, and a
// failure says what is on disk.
#include "atomic_file.h"
#include "authoring_fixtures.h"
#include "file_system_windows.h"
#include "list_save.h"

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
    const bool made =
        CreateSymbolicLinkW(link.c_str(), target.c_str(), 0) && attributesOf(link) != INVALID_FILE_ATTRIBUTES;
    if (!made || !(attributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "this system makes no symbolic links that programs can see as such";
    const std::string message = refusal(link, "new");
    EXPECT_NE(message.find("symbolic link"), std::string::npos) << message;
    EXPECT_NE(message.find("the link is as it was"), std::string::npos) << message;
    EXPECT_TRUE(attributesOf(link) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(slurp(target), "old");
}

// ReplaceFileW's errors 1176 and 1177, which wine never gives: a scanner
// holding the new file on a real PC. The list is there afterwards, and the
// message says which.
TEST(AtomicSave, AfterReplaceErrors1176And1177TheOldListIsInPlaceAndTheBackupAsItWas)
{
    for (const unsigned long error : {ERROR_UNABLE_TO_MOVE_REPLACEMENT, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2}) {
        fakes::TempFolder folder;
        const fs::path file = folder.write("data.ini", "old");
        folder.write("data.ini.bak", "earlier");
        const auto files = authoring::windowsFileSystem(
            [error](const std::wstring &replaced, const std::wstring &, const std::wstring &backup) {
                if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) // the old file moved aside, the new one not in
                    MoveFileExW(replaced.c_str(), backup.c_str(), 0);
                return error;
            });
        std::string message;
        try {
            authoring::saveListFiles(file, "new", {}, authoring::Backup::Keep, *files);
        } catch (const ListError &failure) {
            message = failure.what();
        }
        EXPECT_NE(message.find("the old file is in place"), std::string::npos) << error << ": " << message;
        EXPECT_NE(message.find("the list and its pictures are as they were"), std::string::npos) << message;
        EXPECT_EQ(slurp(file), "old") << error;
        EXPECT_EQ(slurp(folder.path() / "data.ini.bak"), "earlier") << error;
        for (const auto &entry : fs::directory_iterator(folder.path()))
            EXPECT_FALSE(authoring::isSaveLeftover(entry.path())) << entry.path().string();
    }
}
