// The odds and warnings of the list being edited, computed off the
// user-interface thread so that typing never waits for them.
#pragma once

#include "cached_picture_loader.h"
#include "picture_plan.h"
#include "prize_document.h"
#include "prize_odds.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTemporaryDir>

#include <cstdint>
#include <map>
#include <filesystem>
#include <memory>
#include <optional>

namespace editor {

// One check of the list as it stood at one edit.
struct ListCheck {
    std::uint64_t generation = 0;
    odds::PrizeList list;     // its catalogue gives the preview what a card shows
    odds::OddsReport report;
    std::string error;        // why the list could not be checked at all
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

    // The newest finished check, or null before the first.
    const std::shared_ptr<const ListCheck> &latest() const { return latest_; }
    std::uint64_t requested() const { return requested_; }
    bool upToDate() const { return latest_ && latest_->generation == requested_; }

signals:
    // A check finished; latest() holds it.
    void checked();

private:
    struct Request {
        std::uint64_t generation;
        authoring::PrizeDocument document;
        std::optional<std::filesystem::path> dataIni;
        std::map<std::string, authoring::PictureBytes> planned;
    };
    // A file holding a planned picture, for the decoder, which reads files.
    std::filesystem::path staged(const authoring::PictureBytes &picture);
    void startNext();
    std::shared_ptr<const ListCheck> run(const Request &request);

    CachedPictureLoader pictures_;
    // Planned pictures written out in a folder of the editor's own, never
    // beside the list; only the pool thread of a check touches them.
    QTemporaryDir staging_;
    std::map<const std::string *, std::pair<authoring::PictureBytes, std::filesystem::path>> staged_;
    int stagedCount_ = 0;
    std::optional<Request> waiting_;
    QFutureWatcher<std::shared_ptr<const ListCheck>> running_;
    std::shared_ptr<const ListCheck> latest_;
    std::uint64_t requested_ = 0;
};

} // namespace editor
