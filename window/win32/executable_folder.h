// Where the running program lies: the game's list and pictures, and the
// editor's game, sit beside it.
#pragma once

#include <filesystem>

namespace window::win32 {

// The folder of the running executable, whatever its length and characters.
std::filesystem::path executableFolder();

} // namespace window::win32
