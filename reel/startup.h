// The start-up sequence of the window: seed, read the prize list and its
// pictures, make the weights cumulative, fill every card.
#pragma once

#include "catalogue.h"
#include "random_source.h"
#include "reel_window.h"

#include <filesystem>

namespace reel {

// folder is the executable's folder, holding data.ini and picture/. Until the
// first record has been read whole every failure propagates (a missing or too
// short data.ini); after that a failing step is skipped silently.
catalogue::ReadReport startUp(const std::filesystem::path &folder, catalogue::Catalogue &prizes,
                              catalogue::PictureLoader &pictures, RandomSource &random, ReelWindow &window);

} // namespace reel
