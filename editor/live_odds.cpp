// Checking the list on a pool thread, newest request first.
#include "live_odds.h"

#include "list_check.h"

#include <QtConcurrent/QtConcurrentRun>

namespace editor {

namespace {
// A list that has no folder yet has no pictures.
class NoPictures : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const std::filesystem::path &) override
    {
        throw catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound);
    }
};
} // namespace

LiveOdds::LiveOdds(qreal pictureRatio, QObject *parent) : QObject(parent), pictures_(pictureRatio)
{
    connect(&running_, &QFutureWatcher<std::shared_ptr<const ListCheck>>::finished, this, [this] {
        latest_ = running_.result();
        startNext();
        emit checked();
    });
}

LiveOdds::~LiveOdds() { running_.waitForFinished(); }

void LiveOdds::request(const authoring::PrizeDocument &document, std::optional<std::filesystem::path> dataIni)
{
    waiting_ = Request{++requested_, document, std::move(dataIni)};
    if (!running_.isRunning())
        startNext();
}

void LiveOdds::startNext()
{
    if (!waiting_)
        return;
    running_.setFuture(QtConcurrent::run([this, request = std::move(*waiting_)] { return run(request); }));
    waiting_.reset();
}

std::shared_ptr<const ListCheck> LiveOdds::run(const Request &request)
{
    auto check = std::make_shared<ListCheck>();
    check->generation = request.generation;
    try {
        NoPictures none;
        catalogue::PictureLoader &loader = request.dataIni ? static_cast<catalogue::PictureLoader &>(pictures_) : none;
        check->list = odds::prizeListOf(request.document, request.dataIni.value_or("data.ini"), loader);
        check->report = odds::buildReport(check->list);
    } catch (const std::exception &error) {
        check->error = error.what();
    }
    return check;
}

} // namespace editor
