// The Windows window's picture decoder (the Windows Imaging Component), used
// as a judge.
#include "game_pictures.h"

#include "picture_files.h"
#include "gdi_text_measure.h"
#include "runtime_error.h"
#include "wic_picture_loader.h"

#include <fstream>

namespace odds {

namespace {
constexpr window::win32::DeviceSize kPictureBoxPixels{kPictureBoxWidth, kPictureBoxHeight};

std::string cardSizeJpeg(const std::filesystem::path &file)
{
    try {
        return window::win32::encodeJpeg(window::win32::decodePicture(file, {kPictureBoxWidth * kSheetPictureScale,
                                                                             kPictureBoxHeight * kSheetPictureScale}),
                                         kSheetJpegQuality / 100.0F);
    } catch (const catalogue::RuntimeError &) {
        return {};
    }
}

// The formats the imaging component reads besides JPEG and PNG.
std::string otherMimeType(std::string_view head)
{
    if (head.starts_with("GIF8"))
        return "image/gif";
    return head.starts_with("BM") ? "image/bmp" : "application/octet-stream";
}

class WicPictureJudge : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        window::win32::decodePicture(file, kPictureBoxPixels); // throws the game's own run-time error
        char head[16] = {};
        std::ifstream in(file, std::ios::binary);
        in.read(head, sizeof head);
        const auto type = signatureMimeType(std::string_view(head, static_cast<std::size_t>(in.gcount())));
        auto picture = std::make_shared<PictureFile>(file, type ? *type : otherMimeType(head));
        picture->cardSizeJpeg = [file] { return cardSizeJpeg(file); };
        return picture;
    }
};
} // namespace

std::unique_ptr<catalogue::PictureLoader> gamePictureLoader() { return std::make_unique<WicPictureJudge>(); }

std::unique_ptr<window::TextMeasure> gameTextMeasure() { return std::make_unique<window::win32::GdiTextMeasure>(); }

} // namespace odds
