// The pictures bundled with the game's sample list, known by their bytes, so
// that a warning can tell a user's picture from the sample it stands beside.
#pragma once

#include <filesystem>

namespace odds {

// Whether the file holds exactly one of the bundled sample pictures.
bool isBundledSample(const std::filesystem::path &file);

} // namespace odds
