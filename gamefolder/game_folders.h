// Game folders: the game reads data.ini and picture/ beside its own
// executable, so a list is played by a copy of the game placed beside it.
// The installed list is root's, so each user gets a game folder of their own.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace gamefolder {

// A game folder that cannot be made or filled; the message says what, where
// and why, in the user's language.
class FolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The installed game's folder for a program in programFolder (bin/ or
// games/): lib/prizedraw/ beside it, holding the game and the bundled
// data.ini and picture/.
std::filesystem::path installedGameFolder(const std::filesystem::path &programFolder);

// Copies the game's executable into folder unless the same program is there
// already (the same file, or the same bytes and executable); returns the
// copy. A copy is renamed into place, so a running game is never cut.
// Throws FolderError.
std::filesystem::path placeGame(const std::filesystem::path &folder, const std::filesystem::path &game);

// A user's own game folder: prizedraw/game in the XDG data home, which is
// xdgDataHome when that is an absolute path and else home/.local/share.
// An empty text stands for an unset variable. Throws FolderError when
// neither gives an absolute path.
std::filesystem::path ownGameFolder(std::string_view xdgDataHome, std::string_view home);
// The same, from this process's XDG_DATA_HOME and HOME.
std::filesystem::path ownGameFolder();

// Makes folder a game folder for game, or completes one: the bundled
// data.ini and picture/ beside game are copied in only where nothing of
// that name is (each appears whole, by way of a ".part" copy renamed into
// place), so a user's list and pictures are never overwritten, and the game
// is placed as placeGame does, so a newer installed game replaces the copy.
// Returns the game's copy. Throws FolderError.
std::filesystem::path makeOwnGameFolder(const std::filesystem::path &folder, const std::filesystem::path &game);

} // namespace gamefolder
