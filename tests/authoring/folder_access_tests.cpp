// Whether the editor may put the game beside a list: the platform's answer.
#include "folder_access.h"

#include "fakes.h"
#include "picture_loader.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(FolderAccess, AFolderFilesCanBeMadeInIsWritableAndTheCheckLeavesNothingThere)
{
    fakes::TempFolder folder;
    const fs::path prizes = folder.path() / catalogue::utf8Path("奖品");
    fs::create_directory(prizes);
    EXPECT_TRUE(authoring::canWriteIn(prizes));
    EXPECT_TRUE(fs::is_empty(prizes));
    EXPECT_FALSE(authoring::canWriteIn(prizes / "not-there"));
}
