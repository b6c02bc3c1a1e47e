// The game's Qt picture decoder as the editing core uses it: picture
// verdicts, the table's thumbnails and the preview, and chosen pictures
// made into JPEGs for the picture folder.
#pragma once

#include "picture_verdicts.h"
#include "qt_picture_loader.h"

#include <filesystem>
#include <string>

namespace editor {

class QtPictureDecoder : public editing::PictureDecoder {
public:
    // Pictures are decoded at the card's picture box in device pixels.
    explicit QtPictureDecoder(qreal devicePixelRatio);
    // The header alone: a thousand twelve-megapixel photos are judged in a
    // second, and a thumbnail is decoded only when its row is shown.
    void judge(const std::filesystem::path &file) override { decoder_.check(file); }
    catalogue::PicturePtr pictureOf(const std::filesystem::path &file) override
    {
        return std::make_shared<window::QtPicture>(file, decoder_);
    }

private:
    window::ImageDecoder decoder_;
};

// What source becomes in the picture folder: a JPEG byte for byte, any other
// picture the game's decoder accepts converted to JPEG. Throws
// authoring::ListError for a file that is no picture or cannot be read.
std::string jpegOf(const std::filesystem::path &source);

} // namespace editor
