// Where Play runs the game: the game reads data.ini and the picture folder
// beside its own executable, so the list must sit beside a copy of it.
#pragma once

#include "game_folders.h"
#include "picture_folder.h"
#include "prize_document.h"

#include <filesystem>

namespace editing {

// The game's executable for an editor in editorFolder: installed, the game
// lives in its own folder lib/prizedraw/ and bin/prizedraw is only a launcher
// of the bundled list; built or unpacked, it sits beside the editor.
std::filesystem::path gameFor(const std::filesystem::path &editorFolder);

// Whether the game can run in the list's own folder: the list is named
// data.ini and the folder is writable, or already holds a game named as game.
// dataIni is absolute.
bool canPlayInListFolder(const std::filesystem::path &dataIni, const std::filesystem::path &game);

// The game to run in the list's folder when canPlayInListFolder: a fresh
// copy of game where the folder is writable, else the game already there.
// Throws authoring::ListError or gamefolder::FolderError.
std::filesystem::path gameInListFolder(const std::filesystem::path &dataIni, const std::filesystem::path &game);

using gamefolder::placeGame;

// Makes or refreshes a game folder elsewhere: the game, the list as data.ini
// (the old one kept as data.ini.bak) and the pictures of its prizes. Returns
// the game's executable there. Throws authoring::ListError or
// gamefolder::FolderError.
std::filesystem::path fillGameFolder(const std::filesystem::path &folder, const authoring::PrizeDocument &document,
                                     const PictureFolder &pictures, const std::filesystem::path &game);

} // namespace editing
