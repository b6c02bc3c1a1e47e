// The Windows Imaging Component as the editing core's picture services: a
// file judged by its header as the game would take it, pictures decoded at
// the card's size, and chosen pictures made into JPEGs for the folder.
#pragma once

#include "picture_verdicts.h"
#include "wic_picture_loader.h"

#include <filesystem>
#include <string>

namespace editor_win32 {

class WicPictureDecoder : public editing::PictureDecoder {
public:
    // size: the card's picture box in device pixels.
    explicit WicPictureDecoder(window::win32::DeviceSize size) : size_(size) {}
    void judge(const std::filesystem::path &file) override;
    catalogue::PicturePtr pictureOf(const std::filesystem::path &file) override;

private:
    window::win32::DeviceSize size_;
};

// A JPEG byte for byte; any other picture the game takes, converted to a
// JPEG at its own size. Throws authoring::ListError saying why not.
std::string jpegOf(const std::filesystem::path &source);

} // namespace editor_win32
