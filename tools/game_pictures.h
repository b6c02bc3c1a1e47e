// The game's own verdict on a picture file, for the odds tool: what the
// window's loader refuses, the report calls refused.
#pragma once

#include "picture_loader.h"
#include "qt_picture_loader.h"

namespace odds {

// Decodes each file with the window's decoder, at the size of the card's
// picture box, and keeps the file for the sheet rather than the pixels.
class GamePictureLoader : public catalogue::PictureLoader {
public:
    GamePictureLoader();
    catalogue::PicturePtr load(const std::filesystem::path &file) override;

private:
    window::ImageDecoder decoder_;
};

} // namespace odds
