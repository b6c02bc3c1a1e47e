// Picture verdicts kept per file in front of the front end's decoder, so that
// checking a list again after every edit decodes only the files that changed.
#pragma once

#include "picture_loader.h"
#include "runtime_error.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace editing {

// The game's own decoder, as each front end has it. Any thread may call it.
class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;
    // Reads as much of the file as tells whether the game would show it
    // (its header, its size); throws the game's catalogue::RuntimeError for
    // a file it would not.
    virtual void judge(const std::filesystem::path &file) = 0;
    // The file as a card's picture, its pixels decoded when first drawn.
    virtual catalogue::PicturePtr pictureOf(const std::filesystem::path &file) = 0;
};

class PictureVerdicts : public catalogue::PictureLoader {
public:
    explicit PictureVerdicts(PictureDecoder &decoder) : decoder_(decoder) {}

    // A picture for a file the decoder accepts whole; throws the decoder's
    // run-time error otherwise. A file keeps its verdict until its size or
    // modification time changes. Any thread may call it.
    catalogue::PicturePtr load(const std::filesystem::path &file) override { return load(file, true); }

    // Decoding a thousand files takes seconds, so a check can go without:
    // a file that is there and has no verdict yet gives a picture still to
    // be judged, and its path goes into unjudged.
    class Deferring : public catalogue::PictureLoader {
    public:
        explicit Deferring(PictureVerdicts &verdicts) : verdicts_(verdicts) {}
        catalogue::PicturePtr load(const std::filesystem::path &file) override;
        std::set<std::filesystem::path> unjudged;

    private:
        PictureVerdicts &verdicts_;
    };

private:
    catalogue::PicturePtr load(const std::filesystem::path &file, bool judge);

    struct Verdict {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        catalogue::PicturePtr picture;
        std::optional<catalogue::RuntimeError> error;
    };

    PictureDecoder &decoder_;
    std::mutex mutex_;
    std::map<std::filesystem::path, Verdict> verdicts_;
};

} // namespace editing
