// The odds and warnings of the list being edited, computed off the
// user-interface thread so that typing never waits for them.
#pragma once

#include "cached_picture_loader.h"
#include "picture_plan.h"
#include "prize_document.h"
#include "prize_odds.h"
#include "qt_text_measure.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QTemporaryDir>

#include <atomic>
#include <cstdint>
#include <map>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

namespace editor {

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

class LiveOdds : public QObject {
    Q_OBJECT
public:
    explicit LiveOdds(qreal pictureRatio, QObject *parent = nullptr);
    ~LiveOdds() override;

    // Checks a copy of the document as it would be saved to dataIni: the
    // planned pictures by prize name, the others from the folder beside
    // dataIni (none for a list not yet saved). A request made while a check
    // runs waits for it, and only the newest one waiting is checked.
    void request(const authoring::PrizeDocument &document, std::optional<std::filesystem::path> dataIni,
                 std::map<std::string, authoring::PictureBytes> planned = {});

    // The newest check shown, or null before the first.
    const std::shared_ptr<const ListCheck> &latest() const { return latest_; }
    std::uint64_t requested() const { return requested_; }
    // The odds of the newest request are shown, with its pictures judged.
    bool upToDate() const { return latest_ && latest_->generation == requested_ && latest_->picturesChecking.empty(); }

signals:
    // A check is ready, and latest() holds it: the odds at once, then, when
    // pictures were still to be judged, the same check with their verdicts.
    void checked();

private:
    struct Request {
        std::uint64_t generation;
        authoring::PrizeDocument document;
        std::optional<std::filesystem::path> dataIni;
        std::map<std::string, authoring::PictureBytes> planned;
    };
    using Result = std::shared_ptr<const ListCheck>;
    // A file holding a planned picture, for the decoder, which reads files.
    std::filesystem::path staged(const authoring::PictureBytes &picture);
    void startNext();
    void run(QPromise<Result> &promise, const Request &request);
    // listPathOf receives, for each staged copy loaded, the list's path it stands for.
    std::shared_ptr<ListCheck> check(const Request &request, catalogue::PictureLoader &pictures,
                                     std::map<std::filesystem::path, std::filesystem::path> *listPathOf = nullptr);

    CachedPictureLoader pictures_;
    odds::PictureSizes sizes_;    // only the pool thread of a check uses it
    window::QtTextMeasure texts_; // only the pool thread of a check uses it
    // Planned pictures written out in a folder of the editor's own, never
    // beside the list; only the pool thread of a check touches them.
    QTemporaryDir staging_;
    std::map<const std::string *, std::pair<authoring::PictureBytes, std::filesystem::path>> staged_;
    int stagedCount_ = 0;
    std::optional<Request> waiting_;
    std::atomic<bool> newerWaiting_{false}; // the running check leaves its pictures to the next one
    QFutureWatcher<Result> running_;
    Result latest_;
    std::uint64_t requested_ = 0;
};

} // namespace editor
