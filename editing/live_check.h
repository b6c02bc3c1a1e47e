// The odds and warnings of the list being edited, computed on a worker
// thread so that typing never waits for them, and handed to the user-interface
// thread through the front end's post.
#pragma once

#include "folder_watch.h"
#include "picture_plan.h"
#include "picture_verdicts.h"
#include "prize_document.h"
#include "prize_odds.h"
#include "text_measure.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace editing {

// One check of the list as it stood at one edit.
struct ListCheck {
    std::uint64_t generation = 0;
    odds::PrizeList list; // its catalogue gives the preview what a card shows
    odds::OddsReport report;
    std::string error; // why the list could not be checked at all
    // Picture files still being judged: their prizes count as having a
    // picture until a later check of the same generation says otherwise.
    std::set<std::filesystem::path> picturesChecking;
};

class LiveCheck {
public:
    // Runs a task on the user-interface thread; callable from any thread.
    using Post = std::function<void(std::function<void()>)>;

    // decoder and measure are used on the worker thread only, and must
    // outlive this.
    LiveCheck(PictureDecoder &decoder, window::TextMeasure *measure, Post post);
    ~LiveCheck();
    LiveCheck(const LiveCheck &) = delete;
    LiveCheck &operator=(const LiveCheck &) = delete;

    // Checks a copy of the document as it would be saved to dataIni: the
    // planned pictures by prize name, the others from the folder beside
    // dataIni (none for a list not yet saved). A request made while a check
    // runs waits for it, and only the newest one waiting is checked.
    void request(const authoring::PrizeDocument &document, std::optional<std::filesystem::path> dataIni,
                 std::map<std::string, authoring::PictureBytes> planned = {});

    // The session wrote into the picture folder: the next check lists it
    // again without waiting for the system to tell of the change.
    void folderWritten();

    // The newest check shown, or null before the first.
    const std::shared_ptr<const ListCheck> &latest() const { return latest_; }
    std::uint64_t requested() const { return requested_; }
    // The odds of the newest request are shown, with its pictures judged.
    bool upToDate() const { return latest_ && latest_->generation == requested_ && latest_->picturesChecking.empty(); }

    // A check is ready, and latest() holds it: the odds at once, then, when
    // pictures were still to be judged, the same check with their verdicts;
    // and the same list checked again when its picture folder changes.
    // Called on the user-interface thread.
    std::function<void()> checked = [] {};

private:
    struct Request {
        std::uint64_t generation;
        authoring::PrizeDocument document;
        std::optional<std::filesystem::path> dataIni;
        std::map<std::string, authoring::PictureBytes> planned;
    };
    using Result = std::shared_ptr<const ListCheck>;

    void work();
    void run(const Request &request);
    // The picture folder beside the list, listed again only when the system
    // does not vouch that nothing in it changed.
    const odds::FolderSnapshot &listing(const std::filesystem::path &folder);
    void relist(const std::filesystem::path &folder);
    // Lists the folder again when its watch saw a change; true when that
    // changed what is in it.
    bool folderChangedOnItsOwn();
    void deliver(Result result);
    // A file holding a planned picture, for the decoder, which reads files.
    std::filesystem::path staged(const authoring::PictureBytes &picture);
    // listPathOf receives, for each staged copy loaded, the list's path it stands for.
    std::shared_ptr<ListCheck> check(const Request &request, catalogue::PictureLoader &pictures,
                                     const odds::FolderSnapshot &listed,
                                     std::map<std::filesystem::path, std::filesystem::path> *listPathOf = nullptr);

    PictureVerdicts pictures_;
    window::TextMeasure *measure_;
    odds::LabelFits labelFits_; // worker thread only
    Post post_;
    // Tasks posted by the worker check this before they touch the checker.
    std::shared_ptr<LiveCheck *> alive_;

    // Worker thread only.
    odds::PictureSizes sizes_;
    std::optional<odds::FolderSnapshot> listed_;
    std::unique_ptr<odds::FolderWatch> watch_;
    std::optional<Request> lastRun_; // checked again when its folder changes
    // Planned pictures written out in a folder of the editor's own, never
    // beside the list.
    std::filesystem::path staging_;
    std::map<const std::string *, std::pair<authoring::PictureBytes, std::filesystem::path>> staged_;
    int stagedCount_ = 0;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Request> waiting_;
    bool folderWritten_ = false;
    bool stopping_ = false;

    // User-interface thread only.
    Result latest_;
    std::uint64_t requested_ = 0;

    std::thread worker_; // last: started once everything above is made
};

} // namespace editing
