// Checking the list on a pool thread, newest request first.
#include "live_odds.h"

#include "i18n.h"
#include "list_check.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

#include <fstream>

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
// The pictures as they will be once saved: planned ones from their staged
// copies, the others as the folder holds them. A list not saved yet has no
// folder, but its planned pictures show all the same.
class PlannedPictures : public catalogue::PictureLoader {
public:
    PlannedPictures(std::map<std::string, std::filesystem::path> staged, catalogue::PictureLoader &files,
                    catalogue::PictureLoader &folder)
        : staged_(std::move(staged)), files_(files), folder_(folder)
    {
    }
    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        const auto planned = staged_.find(nameOf(file));
        if (planned == staged_.end())
            return folder_.load(file);
        if (planned->second.empty())
            throw catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound); // planned to go
        listPathOf[planned->second] = file;
        return files_.load(planned->second);
    }
    std::filesystem::path fileRead(const std::filesystem::path &file) override
    {
        const auto planned = staged_.find(nameOf(file));
        return planned == staged_.end() ? folder_.fileRead(file) : planned->second;
    }
    // The list's own path of each staged copy loaded, as the table names it.
    std::map<std::filesystem::path, std::filesystem::path> listPathOf;

private:
    static std::string nameOf(const std::filesystem::path &file)
    {
        std::string name = file.filename().string(); // the reader asks for picture/<name>.jpg
        name.resize(name.size() - std::min<std::size_t>(name.size(), 4));
        return name;
    }
    std::map<std::string, std::filesystem::path> staged_; // empty path: no picture
    catalogue::PictureLoader &files_;
    catalogue::PictureLoader &folder_;
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

void LiveOdds::request(const authoring::PrizeDocument &document, std::optional<std::filesystem::path> dataIni,
                       std::map<std::string, authoring::PictureBytes> planned)
{
    waiting_ = Request{++requested_, document, std::move(dataIni), std::move(planned)};
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
    std::map<std::filesystem::path, std::filesystem::path> listPathOf;
    std::shared_ptr<ListCheck> first = check(request, deferring, &listPathOf);
    for (const std::filesystem::path &file : deferring.unjudged) {
        const auto planned = listPathOf.find(file); // a staged copy shows as the list's own picture
        first->picturesChecking.insert(planned == listPathOf.end() ? file : planned->second);
    }
    promise.addResult(Result(first));
    if (deferring.unjudged.empty())
        return;
    for (const std::filesystem::path &file : deferring.unjudged) {
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

std::shared_ptr<ListCheck> LiveOdds::check(const Request &request, catalogue::PictureLoader &pictures,
                                           std::map<std::filesystem::path, std::filesystem::path> *listPathOf)
{
    auto check = std::make_shared<ListCheck>();
    check->generation = request.generation;
    try {
        NoPictures none;
        std::map<std::string, std::filesystem::path> planned;
        for (const auto &[name, picture] : request.planned)
            planned[name] = picture ? staged(picture) : std::filesystem::path();
        // Pictures no plan holds any more are let go; their files stay until
        // the editor ends, as the check shown may still decode them.
        std::erase_if(staged_, [&](const auto &kept) {
            return std::none_of(request.planned.begin(), request.planned.end(),
                                [&](const auto &entry) { return entry.second.get() == kept.first; });
        });
        PlannedPictures loader(std::move(planned), pictures, request.dataIni ? pictures : none);
        check->list = odds::prizeListOf(request.document, request.dataIni.value_or("data.ini"), loader, &sizes_);
        // The folder as Save will leave it; a list not saved yet has none.
        check->list.pictureFolderFiles = authoring::filesAfterSave(
            request.dataIni ? std::move(check->list.pictureFolderFiles) : std::vector<std::string>(), request.planned);
        if (listPathOf)
            *listPathOf = std::move(loader.listPathOf);
        check->report = odds::buildReport(check->list, &texts_);
    } catch (const std::exception &error) {
        check->error = error.what();
    }
    return check;
}

std::filesystem::path LiveOdds::staged(const authoring::PictureBytes &picture)
{
    auto found = staged_.find(picture.get());
    if (found != staged_.end())
        return found->second.second;
    if (!staging_.isValid())
        throw authoring::ListError(i18n::tr("no temporary folder to check the chosen pictures in"));
    const std::filesystem::path file = std::filesystem::path(QFile::encodeName(staging_.path()).toStdString()) /
                                       (std::to_string(++stagedCount_) + ".jpg");
    std::ofstream(file, std::ios::binary) << *picture;
    staged_[picture.get()] = {picture, file};
    return file;
}

} // namespace editor
