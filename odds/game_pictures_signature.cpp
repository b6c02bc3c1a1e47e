// A Windows build without the window's loader yet: pictures judged by their
// first bytes only, until the Windows front end's decoder is built beside it.
#include "game_pictures.h"

#include "picture_files.h"

namespace odds {

std::unique_ptr<catalogue::PictureLoader> gamePictureLoader() { return std::make_unique<PictureFileLoader>(); }

std::unique_ptr<window::TextMeasure> gameTextMeasure() { return nullptr; }

} // namespace odds
