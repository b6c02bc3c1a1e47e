// The user's own game folder: made from the bundled list, completed after an
// interrupted start, and never overwriting the user's list or pictures.
#include "game_folders.h"

#include "fakes.h"
#include "slurp.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using gamefolder::FolderError;
using gamefolder::makeOwnGameFolder;

namespace {

// An installation as the package lays it out: lib/prizedraw/ with the game
// beside the bundled data.ini and picture/, and the user's home beside it.
struct Installed {
    fakes::TempFolder root;
    fs::path game = root.path() / "lib" / "prizedraw" / "prizedraw";
    fs::path own = root.path() / "home" / ".local" / "share" / "prizedraw" / "game";

    Installed()
    {
        fs::create_directories(game.parent_path());
        fs::copy(fs::path(SAMPLE_DIR) / "data.ini", game.parent_path() / "data.ini");
        fs::copy(fs::path(SAMPLE_DIR) / "picture", game.parent_path() / "picture");
        installGame("the game, version 1");
    }
    void installGame(const std::string &bytes) const
    {
        root.write(game.lexically_relative(root.path()), bytes);
        fs::permissions(game, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    }
    // Every file under folder with its bytes, to compare whole folders.
    static std::map<std::string, std::string> files(const fs::path &folder)
    {
        std::map<std::string, std::string> found;
        for (const auto &entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                found[entry.path().lexically_relative(folder).string()] = slurp(entry.path());
        return found;
    }
};

TEST(OwnGameFolder, LivesInTheXdgDataHomeElseUnderHome)
{
    EXPECT_EQ(gamefolder::ownGameFolder("/data", "/home/u"), fs::path("/data/prizedraw/game"));
    EXPECT_EQ(gamefolder::ownGameFolder("", "/home/u"), fs::path("/home/u/.local/share/prizedraw/game"));
    // A relative XDG_DATA_HOME is invalid and ignored.
    EXPECT_EQ(gamefolder::ownGameFolder("share", "/home/u"), fs::path("/home/u/.local/share/prizedraw/game"));
    try {
        gamefolder::ownGameFolder("", "");
        FAIL() << "no folder without HOME";
    } catch (const FolderError &error) {
        EXPECT_NE(std::string(error.what()).find("HOME"), std::string::npos) << error.what();
    }
    EXPECT_EQ(gamefolder::installedGameFolder("/usr/games"), fs::path("/usr/lib/prizedraw"));
}

TEST(OwnGameFolder, TheFirstStartMakesItFromTheBundledListAndASecondLeavesTheUsersFilesAlone)
{
    const Installed installed;
    const fs::path bundled = installed.game.parent_path();
    const fs::path copy = makeOwnGameFolder(installed.own, installed.game);
    EXPECT_EQ(copy, installed.own / "prizedraw");
    EXPECT_NE(fs::status(copy).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_EQ(Installed::files(installed.own), Installed::files(bundled)); // and no ".part" left

    installed.root.write(installed.own.lexically_relative(installed.root.path()) / "data.ini", "my list");
    fs::remove(installed.own / "picture" / "金条.jpg");
    installed.root.write(installed.own.lexically_relative(installed.root.path()) / "picture" / "玩具熊.jpg", "my bear");
    const auto edited = Installed::files(installed.own);
    makeOwnGameFolder(installed.own, installed.game);
    EXPECT_EQ(Installed::files(installed.own), edited);
}

TEST(OwnGameFolder, AnInterruptedFirstStartIsCompletedWithoutOverwriting)
{
    const Installed installed;
    const fs::path bundled = installed.game.parent_path();
    const fs::path own = installed.own.lexically_relative(installed.root.path());
    // The list there, the pictures half copied when the start was cut short.
    installed.root.write(own / "data.ini", "my list");
    installed.root.write(own / "picture.part" / "荧光棒.jpg", "half a pic");
    makeOwnGameFolder(installed.own, installed.game);
    EXPECT_EQ(slurp(installed.own / "data.ini"), "my list");
    EXPECT_EQ(Installed::files(installed.own / "picture"), Installed::files(bundled / "picture"));
    EXPECT_FALSE(fs::exists(installed.own / "picture.part"));

    // The other way round: the user's pictures there, the list cut short.
    const Installed other;
    const fs::path otherOwn = other.own.lexically_relative(other.root.path());
    other.root.write(otherOwn / "picture" / "my.jpg", "my picture");
    other.root.write(otherOwn / "data.ini.part", "30\r\n");
    other.root.write(otherOwn / "prizedraw.part", "half a game");
    makeOwnGameFolder(other.own, other.game);
    EXPECT_EQ(slurp(other.own / "data.ini"), slurp(other.game.parent_path() / "data.ini"));
    EXPECT_EQ(Installed::files(other.own / "picture"), (std::map<std::string, std::string>{{"my.jpg", "my picture"}}));
    EXPECT_EQ(slurp(other.own / "prizedraw"), "the game, version 1");
    EXPECT_FALSE(fs::exists(other.own / "data.ini.part"));
    EXPECT_FALSE(fs::exists(other.own / "prizedraw.part"));
}

TEST(OwnGameFolder, ANewerInstalledGameReplacesTheCopyOnlyTheCopy)
{
    const Installed installed;
    makeOwnGameFolder(installed.own, installed.game);
    const auto inode = [](const fs::path &file) {
        struct stat status {};
        ::stat(file.c_str(), &status);
        return status.st_ino;
    };
    const auto before = inode(installed.own / "prizedraw");
    makeOwnGameFolder(installed.own, installed.game); // the same program: not copied again
    EXPECT_EQ(inode(installed.own / "prizedraw"), before);

    installed.root.write(installed.own.lexically_relative(installed.root.path()) / "data.ini", "my list");
    installed.installGame("the game, version 2");
    makeOwnGameFolder(installed.own, installed.game);
    EXPECT_EQ(slurp(installed.own / "prizedraw"), "the game, version 2");
    EXPECT_EQ(slurp(installed.own / "data.ini"), "my list");
}

TEST(OwnGameFolder, AHomeItCannotWriteInSaysWhatAndWhere)
{
    const Installed installed;
    // Root writes anywhere, so a home that is a file stands in for a read-only one there.
    const fs::path home = installed.root.path() / "home";
    const bool root = ::geteuid() == 0;
    if (root)
        installed.root.write("home", "not a folder");
    else {
        fs::create_directory(home);
        fs::permissions(home, fs::perms::owner_read | fs::perms::owner_exec);
    }
    try {
        makeOwnGameFolder(installed.own, installed.game);
        FAIL() << "a folder was made in a home that cannot hold one";
    } catch (const FolderError &error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("cannot make your game folder " + installed.own.string()), std::string::npos) << message;
        EXPECT_NE(message.find(root ? "Not a directory" : "Permission denied"), std::string::npos) << message;
    }
    fs::permissions(home, fs::perms::owner_all);
}

} // namespace
