// Picture verdicts kept per file.
#include "cached_picture_loader.h"

#include "twips.h"

namespace editor {

namespace {
// The card's picture box, as the game's window has it.
QSize pictureBoxPixels(qreal ratio)
{
    const QRect box = window::pixelRect(window::design::control("awardpic", 0).rect);
    return QSize(qRound(box.width() * ratio), qRound(box.height() * ratio));
}
} // namespace

CachedPictureLoader::CachedPictureLoader(qreal devicePixelRatio)
    : decoder_(pictureBoxPixels(devicePixelRatio), devicePixelRatio)
{
}

catalogue::PicturePtr CachedPictureLoader::load(const std::filesystem::path &file) { return load(file, true); }

catalogue::PicturePtr CachedPictureLoader::Deferring::load(const std::filesystem::path &file)
{
    auto picture = cache_.load(file, false);
    if (!picture) {
        picture = std::make_shared<window::QtPicture>(file, cache_.decoder_); // decoded only if shown
        unjudged.insert(file);
    }
    return picture;
}

catalogue::PicturePtr CachedPictureLoader::load(const std::filesystem::path &file, bool judge)
{
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(file, error);
    const auto size = error ? 0 : std::filesystem::file_size(file, error);
    if (error) {
        catalogue::requireRegularFile(file); // throws the game's error for what is not there
        if (!judge)
            return nullptr;
        decoder_.decode(file); // nothing to key a verdict on: throws the decoder's own error
        return std::make_shared<window::QtPicture>(file, decoder_);
    }

    const std::lock_guard lock(mutex_);
    auto found = verdicts_.find(file);
    if (found == verdicts_.end() || found->second.modified != modified || found->second.size != size) {
        if (!judge)
            return nullptr;
        Verdict verdict{modified, size, nullptr, std::nullopt};
        try {
            decoder_.decode(file); // the whole file, so that a cut one is refused now
            verdict.picture = std::make_shared<window::QtPicture>(file, decoder_);
        } catch (const catalogue::RuntimeError &refused) {
            verdict.error = refused;
        }
        found = verdicts_.insert_or_assign(file, std::move(verdict)).first;
    }
    if (found->second.error)
        throw *found->second.error;
    return found->second.picture;
}

} // namespace editor
