// Pictures as the odds report keeps them: where the file is and what it
// holds, so that the sheet can embed it. The report needs no pixels.
#pragma once

#include "picture_loader.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace odds {

// The card's picture box, 2655 x 1695 twips, in pixels at 15 twips each.
constexpr int kPictureBoxWidth = 177;
constexpr int kPictureBoxHeight = 113;
// The sheet's pictures are twice the box, so that a printed sheet stays
// sharp; stretched to fill it and turned upright as the card shows them.
constexpr int kSheetPictureScale = 2;
constexpr int kSheetJpegQuality = 85; // of 100

struct PictureFile : catalogue::Picture {
    PictureFile(std::filesystem::path p, std::string type) : path(std::move(p)), mimeType(std::move(type)) {}
    std::filesystem::path path;
    std::string mimeType; // "image/jpeg", say
    // The picture as a JPEG at twice the card's size, for the sheet, made
    // only when asked; empty when it cannot be made. Without it the sheet
    // embeds the file itself.
    std::function<std::string()> cardSizeJpeg;
};

// "image/jpeg" or "image/png" when the first bytes of a file carry that
// signature.
std::optional<std::string> signatureMimeType(std::string_view firstBytes);

// A loader without a toolkit: accepts a readable regular file that begins
// with a JPEG or PNG signature. Throws FileNotFound (53) when nothing is
// there, PathFileAccessError (75) when it cannot be read, InvalidPicture
// (481) when it does not begin like a picture.
class PictureFileLoader : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &file) override;
};

} // namespace odds
