// The window's picture decoder behind a cache, so that checking a list again
// after every edit decodes only the picture files that changed.
#pragma once

#include "picture_loader.h"
#include "qt_picture_loader.h"
#include "runtime_error.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace editor {

class CachedPictureLoader : public catalogue::PictureLoader {
public:
    // Pictures are decoded at the card's picture box in device pixels.
    explicit CachedPictureLoader(qreal devicePixelRatio);

    // A window::QtPicture for a file the decoder accepts whole; throws the
    // decoder's run-time error otherwise. A file keeps its verdict until its
    // size or modification time changes. Any thread may call it.
    catalogue::PicturePtr load(const std::filesystem::path &file) override;

    // Decoding a thousand files takes seconds, so a check can go without:
    // a file that is there and has no verdict yet gives a picture still to
    // be judged, and its path goes into unjudged.
    class Deferring : public catalogue::PictureLoader {
    public:
        explicit Deferring(CachedPictureLoader &cache) : cache_(cache) {}
        catalogue::PicturePtr load(const std::filesystem::path &file) override;
        std::set<std::filesystem::path> unjudged;

    private:
        CachedPictureLoader &cache_;
    };

private:
    catalogue::PicturePtr load(const std::filesystem::path &file, bool judge);

    struct Verdict {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        catalogue::PicturePtr picture;
        std::optional<catalogue::RuntimeError> error;
    };

    window::ImageDecoder decoder_;
    std::mutex mutex_;
    std::map<std::filesystem::path, Verdict> verdicts_;
};

} // namespace editor
