// Picture verdicts kept per file.
#include "picture_verdicts.h"

namespace editing {

using catalogue::ErrorCode;
using catalogue::RuntimeError;

catalogue::PicturePtr PictureVerdicts::Reader::load(const std::filesystem::path &file)
{
    std::optional<RuntimeError> refused;
    auto picture = tryLoad(file, refused);
    if (refused)
        throw *refused;
    return picture;
}

catalogue::PicturePtr PictureVerdicts::Reader::tryLoad(const std::filesystem::path &file,
                                                       std::optional<RuntimeError> &refused)
{
    odds::FileStamp stamp;
    switch (listed_.find(file, stamp)) {
    case odds::FolderSnapshot::Seen::Absent:
        refused = RuntimeError(ErrorCode::FileNotFound);
        return nullptr;
    case odds::FolderSnapshot::Seen::Elsewhere:
        if (const auto stamped = odds::stampOf(file)) {
            stamp = *stamped;
            break;
        }
        try {
            catalogue::requireRegularFile(file); // the game's error for what is not there
            refused = RuntimeError(ErrorCode::FileNotFound);
        } catch (const RuntimeError &error) {
            refused = error;
        }
        return nullptr;
    case odds::FolderSnapshot::Seen::Present: break;
    }
    if (!stamp.regular) {
        refused = RuntimeError(ErrorCode::PathFileAccessError); // a folder under a picture's name
        return nullptr;
    }
    const std::optional<Verdict> verdict = verdicts_.verdictOn(file, stamp, defer_);
    if (!verdict) {
        unjudged.insert(file);
        return verdicts_.decoder_.pictureOf(file); // decoded only if shown
    }
    refused = verdict->error;
    return verdict->picture;
}

void PictureVerdicts::judge(const std::filesystem::path &file)
{
    if (const auto stamp = odds::stampOf(file); stamp && stamp->regular)
        verdictOn(file, *stamp, false);
}

std::optional<PictureVerdicts::Verdict> PictureVerdicts::verdictOn(const std::filesystem::path &file,
                                                           const odds::FileStamp &stamp, bool defer)
{
    const std::lock_guard lock(mutex_);
    auto found = verdicts_.find(file.native());
    if (found != verdicts_.end() && found->second.stamp == stamp)
        return found->second;
    if (defer)
        return std::nullopt;
    Verdict verdict{stamp, nullptr, std::nullopt};
    try {
        decoder_.judge(file);
        verdict.picture = decoder_.pictureOf(file);
    } catch (const RuntimeError &refused) {
        verdict.error = refused;
    }
    return verdicts_.insert_or_assign(file.native(), std::move(verdict)).first->second;
}

} // namespace editing
