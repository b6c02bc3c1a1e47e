// Picture services of the Windows editor.
#include "wic_pictures.h"

#include "i18n.h"
#include "picture_plan.h"
#include "picture_rules.h"
#include "prize_odds.h"
#include "runtime_error.h"

#include <algorithm>
#include <fstream>

namespace editor_win32 {

namespace fs = std::filesystem;
using catalogue::ErrorCode;
using catalogue::RuntimeError;

namespace {
constexpr std::size_t kHeadBytes = 64 * 1024;

std::string utf8Of(const fs::path &file)
{
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

window::PictureSize headerOf(const fs::path &file)
{
    std::error_code error;
    const auto bytes = fs::file_size(file, error);
    if (error)
        throw RuntimeError(fs::exists(file, error) ? ErrorCode::PathFileAccessError : ErrorCode::FileNotFound);
    if (bytes > window::kMaxPictureFileBytes)
        throw RuntimeError(ErrorCode::InvalidPicture);
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw RuntimeError(ErrorCode::PathFileAccessError);
    std::vector<std::uint8_t> head(std::min<std::uintmax_t>(bytes, kHeadBytes));
    in.read(reinterpret_cast<char *>(head.data()), std::streamsize(head.size()));
    const auto size = window::headerSize(head);
    if (!size || size->width == 0 || size->height == 0 ||
        std::uint64_t(size->width) * size->height > window::kMaxPicturePixels)
        throw RuntimeError(ErrorCode::InvalidPicture);
    return *size;
}
} // namespace

void WicPictureDecoder::judge(const fs::path &file) { headerOf(file); }

catalogue::PicturePtr WicPictureDecoder::pictureOf(const fs::path &file)
{
    return std::make_shared<window::win32::WicPicture>(file, size_, 0xC0C0C0); // the card's grey behind
}

std::string jpegOf(const fs::path &source)
{
    window::PictureSize size;
    try {
        size = headerOf(source);
    } catch (const RuntimeError &error) {
        throw authoring::ListError(utf8Of(source) + ": " + odds::runTimeErrorText(error));
    }
    auto whole = authoring::readFileIfAny(source);
    if (!whole)
        throw authoring::ListError(i18n::tr("cannot read {0}", utf8Of(source)));
    if (whole->starts_with("\xFF\xD8\xFF"))
        return std::move(*whole);
    try {
        const auto pixels = window::win32::decodePicture(source, {int(size.width), int(size.height)});
        std::string jpeg = window::win32::encodeJpeg(pixels, 0.92F);
        if (jpeg.empty())
            throw authoring::ListError(i18n::tr("{0}: cannot be converted to JPEG", utf8Of(source)));
        return jpeg;
    } catch (const RuntimeError &error) {
        throw authoring::ListError(utf8Of(source) + ": " + odds::runTimeErrorText(error));
    }
}

} // namespace editor_win32
