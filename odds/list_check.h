// The odds and warnings of a list being edited, from the odds report's own
// code.
#pragma once

#include "prize_document.h"
#include "prize_odds.h"

namespace odds {

// The list as it would be saved to dataIni, read by the game's reader, with
// pictures from the picture folder beside dataIni (as listed, when given).
PrizeList prizeListOf(const authoring::PrizeDocument &document, const std::filesystem::path &dataIni,
                      catalogue::PictureLoader &pictures, PictureSizes *sizes = nullptr,
                      const FolderSnapshot *listed = nullptr);

OddsReport checkDocument(const authoring::PrizeDocument &document, const std::filesystem::path &dataIni,
                         catalogue::PictureLoader &pictures, window::TextMeasure *measure = nullptr);

} // namespace odds
