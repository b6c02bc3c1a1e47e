// Picture verdicts kept per file.
#include "picture_verdicts.h"

namespace editing {

catalogue::PicturePtr PictureVerdicts::Deferring::load(const std::filesystem::path &file)
{
    auto picture = verdicts_.load(file, false);
    if (!picture) {
        picture = verdicts_.decoder_.pictureOf(file); // decoded only if shown
        unjudged.insert(file);
    }
    return picture;
}

catalogue::PicturePtr PictureVerdicts::load(const std::filesystem::path &file, bool judge)
{
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(file, error);
    const auto size = error ? 0 : std::filesystem::file_size(file, error);
    if (error) {
        catalogue::requireRegularFile(file); // throws the game's error for what is not there
        if (!judge)
            return nullptr;
        decoder_.judge(file); // nothing to key a verdict on: throws the decoder's own error
        return decoder_.pictureOf(file);
    }

    const std::lock_guard lock(mutex_);
    auto found = verdicts_.find(file);
    if (found == verdicts_.end() || found->second.modified != modified || found->second.size != size) {
        if (!judge)
            return nullptr;
        Verdict verdict{modified, size, nullptr, std::nullopt};
        try {
            decoder_.judge(file);
            verdict.picture = decoder_.pictureOf(file);
        } catch (const catalogue::RuntimeError &refused) {
            verdict.error = refused;
        }
        found = verdicts_.insert_or_assign(file, std::move(verdict)).first;
    }
    if (found->second.error)
        throw *found->second.error;
    return found->second.picture;
}

} // namespace editing
