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
    connect(&running_, &QFutureWatcher<Result>::resultsReadyAt, this, [this](int, int end) {
        latest_ = running_.resultAt(end - 1);
        emit checked();
    });
    connect(&running_, &QFutureWatcher<Result>::finished, this, &LiveOdds::startNext);
}

LiveOdds::~LiveOdds()
{
    newerWaiting_ = true; // no picture is judged for a window that is going
    running_.waitForFinished();
}

void LiveOdds::request(const authoring::PrizeDocument &document, std::optional<std::filesystem::path> dataIni)
{
    waiting_ = Request{++requested_, document, std::move(dataIni)};
    if (running_.isRunning())
        newerWaiting_ = true;
    else
        startNext();
}

void LiveOdds::startNext()
{
    if (!waiting_)
        return;
    newerWaiting_ = false;
    running_.setFuture(QtConcurrent::run(
        [this, request = std::move(*waiting_)](QPromise<Result> &promise) { run(promise, request); }));
    waiting_.reset();
}

void LiveOdds::run(QPromise<Result> &promise, const Request &request)
{
    // The odds first, with pictures not judged yet counted as there; then
    // the pictures, and the same check again with their verdicts.
    CachedPictureLoader::Deferring deferring(pictures_);
    std::shared_ptr<ListCheck> first = check(request, deferring);
    first->picturesChecking = std::move(deferring.unjudged);
    promise.addResult(Result(first));
    if (first->picturesChecking.empty())
        return;
    for (const std::filesystem::path &file : first->picturesChecking) {
        if (newerWaiting_)
            return; // the next check judges what is left: verdicts are kept
        try {
            pictures_.load(file);
        } catch (const catalogue::RuntimeError &) {
            // a refusal is a verdict too, kept for the check below
        }
    }
    promise.addResult(check(request, pictures_));
}

std::shared_ptr<ListCheck> LiveOdds::check(const Request &request, catalogue::PictureLoader &pictures)
{
    auto check = std::make_shared<ListCheck>();
    check->generation = request.generation;
    try {
        NoPictures none;
        catalogue::PictureLoader &loader = request.dataIni ? pictures : none;
        check->list = odds::prizeListOf(request.document, request.dataIni.value_or("data.ini"), loader);
        check->report = odds::buildReport(check->list);
    } catch (const std::exception &error) {
        check->error = error.what();
    }
    return check;
}

} // namespace editor
