// The game's own verdict on a picture file, for the tools: what the window's
// loader refuses, the report calls refused; and the game's own fonts, to tell
// whether a text shows whole. Each platform's build gives those of its own
// window (game_pictures_<platform>.cpp).
#pragma once

#include "picture_loader.h"
#include "text_measure.h"

#include <memory>

namespace odds {

// Decodes each file as the window would, at the size of the card's picture
// box, and keeps the file for the sheet rather than the pixels (a
// PictureFile). The decoder's own complaints are silenced: the report
// already says what it refused.
std::unique_ptr<catalogue::PictureLoader> gamePictureLoader();

// Measures label texts as the window draws them; null where this build has no
// window to measure with.
std::unique_ptr<window::TextMeasure> gameTextMeasure();

} // namespace odds
