// Game folders for the launcher and for Play.
#include "game_folders.h"

#include "i18n.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace gamefolder {

namespace fs = std::filesystem;

namespace {

// The same bytes in both files, and the copy runnable.
bool sameProgram(const fs::path &game, const fs::path &copy)
{
    std::error_code gameError, copyError;
    if (fs::file_size(game, gameError) != fs::file_size(copy, copyError) || gameError || copyError)
        return false;
    if ((fs::status(copy, copyError).permissions() & fs::perms::owner_exec) == fs::perms::none)
        return false;
    std::ifstream a(game, std::ios::binary), b(copy, std::ios::binary);
    std::vector<char> bytesA(1 << 16), bytesB(1 << 16);
    while (a && b) {
        a.read(bytesA.data(), static_cast<std::streamsize>(bytesA.size()));
        b.read(bytesB.data(), static_cast<std::streamsize>(bytesB.size()));
        if (a.gcount() != b.gcount() || !std::equal(bytesA.begin(), bytesA.begin() + a.gcount(), bytesB.begin()))
            return false;
    }
    return a.eof() && b.eof();
}

// Copies source, a file or a folder, to target unless something is there
// already. The copy is made as "<target>.part" and renamed, so target never
// appears half-made; a ".part" left by an interrupted start is made afresh.
void supplyIfMissing(const fs::path &target, const fs::path &source)
{
    std::error_code error;
    const fs::file_type there = fs::symlink_status(target, error).type();
    if (there != fs::file_type::not_found) {
        if (error)
            throw FolderError(i18n::tr("cannot look at {0}: {1}", target.string(), error.message()));
        return;
    }
    if (!fs::exists(source, error))
        throw FolderError(i18n::tr("the bundled {0} is missing; install the game again", source.string()));
    const fs::path part = target.string() + ".part";
    fs::remove_all(part, error);
    if (!error)
        fs::copy(source, part, fs::copy_options::recursive, error);
    if (!error)
        fs::rename(part, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove_all(part, ignored);
        throw FolderError(i18n::tr("cannot copy {0} to {1}: {2}", source.string(), target.string(), error.message()));
    }
}

} // namespace

fs::path installedGameFolder(const fs::path &programFolder)
{
    return programFolder.parent_path() / "lib" / "prizedraw";
}

fs::path placeGame(const fs::path &folder, const fs::path &game)
{
    const fs::path placed = folder / game.filename();
    std::error_code error;
    if (fs::equivalent(game, placed, error) || sameProgram(game, placed))
        return placed;
    // Beside the copy first, then renamed over, so a running game is never cut.
    const fs::path part = folder / (game.filename().string() + ".part");
    fs::copy_file(game, part, fs::copy_options::overwrite_existing, error);
    if (!error)
        fs::rename(part, placed, error);
    if (error) {
        std::error_code ignored;
        fs::remove(part, ignored);
        throw FolderError(i18n::tr("cannot copy the game into {0}: {1}", folder.string(), error.message()));
    }
    return placed;
}

fs::path ownGameFolder(std::string_view xdgDataHome, std::string_view home)
{
    // The base directory rules: a relative path in XDG_DATA_HOME is invalid and ignored.
    const fs::path dataHome(xdgDataHome);
    if (dataHome.is_absolute())
        return dataHome / "prizedraw" / "game";
    const fs::path homeFolder(home);
    if (homeFolder.is_absolute())
        return homeFolder / ".local" / "share" / "prizedraw" / "game";
    throw FolderError(i18n::tr("no home folder to keep your list in: HOME is not set to a full path; set HOME (or "
                               "XDG_DATA_HOME) and start again"));
}

fs::path ownGameFolder()
{
    const auto variable = [](const char *name) {
        const char *value = std::getenv(name);
        return std::string_view(value ? value : "");
    };
    return ownGameFolder(variable("XDG_DATA_HOME"), variable("HOME"));
}

fs::path makeOwnGameFolder(const fs::path &folder, const fs::path &game)
{
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw FolderError(i18n::tr("cannot make your game folder {0}: {1}; check that you may write there and that "
                                   "the disk is not full",
                                   folder.string(), error.message()));
    if (!fs::is_regular_file(game, error))
        throw FolderError(i18n::tr("the game {0} is missing; install the game again", game.string()));
    supplyIfMissing(folder / "data.ini", game.parent_path() / "data.ini");
    supplyIfMissing(folder / "picture", game.parent_path() / "picture");
    return placeGame(folder, game);
}

} // namespace gamefolder
