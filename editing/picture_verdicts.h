// Picture verdicts kept per file in front of the front end's decoder, so that
// checking a list again after every edit decodes only the files that changed.
#pragma once

#include "folder_listing.h"
#include "picture_loader.h"
#include "runtime_error.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <unordered_map>

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

class PictureVerdicts {
public:
    explicit PictureVerdicts(PictureDecoder &decoder) : decoder_(decoder) {}

    // Pictures as one check sees them: a file keeps its verdict until its
    // size or modification time changes. Files in the listed folder are
    // found in the listing, others are asked about one by one.
    class Reader : public catalogue::PictureLoader {
    public:
        // Deferring: decoding a thousand files takes seconds, so a check can
        // go without. A file that is there and has no verdict yet then gives
        // a picture still to be judged, and its path goes into unjudged.
        enum class Unjudged { Judge, Defer };
        Reader(PictureVerdicts &verdicts, const odds::FolderSnapshot &listed, Unjudged unjudged)
            : verdicts_(verdicts), listed_(listed), defer_(unjudged == Unjudged::Defer)
        {
        }
        catalogue::PicturePtr load(const std::filesystem::path &file) override;
        catalogue::PicturePtr tryLoad(const std::filesystem::path &file,
                                      std::optional<catalogue::RuntimeError> &refused) override;
        std::set<std::filesystem::path> unjudged;

    private:
        PictureVerdicts &verdicts_;
        const odds::FolderSnapshot &listed_;
        bool defer_;
    };

    // Judges file now unless its verdict stands. Any thread may call it.
    void judge(const std::filesystem::path &file);

private:
    struct Verdict {
        odds::FileStamp stamp;
        catalogue::PicturePtr picture;
        std::optional<catalogue::RuntimeError> error;
    };
    // The verdict on file as stamped, judging it first unless defer; none
    // when deferred.
    std::optional<Verdict> verdictOn(const std::filesystem::path &file, const odds::FileStamp &stamp, bool defer);

    PictureDecoder &decoder_;
    std::mutex mutex_;
    std::unordered_map<std::filesystem::path::string_type, Verdict> verdicts_; // by the path as spelt
};

} // namespace editing
