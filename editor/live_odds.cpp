// Checking the list on a pool thread, newest request first.
#include "live_odds.h"

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
// copies, the others as the folder holds them.
class PlannedPictures : public catalogue::PictureLoader {
public:
    PlannedPictures(std::map<std::string, std::filesystem::path> staged, catalogue::PictureLoader &folder)
        : staged_(std::move(staged)), folder_(folder)
    {
    }
    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        std::string name = file.filename().string(); // the reader asks for picture/<name>.jpg
        name.resize(name.size() - std::min<std::size_t>(name.size(), 4));
        const auto planned = staged_.find(name);
        if (planned == staged_.end())
            return folder_.load(file);
        if (planned->second.empty())
            throw catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound); // planned to go
        return folder_.load(planned->second);
    }

private:
    std::map<std::string, std::filesystem::path> staged_; // empty path: no picture
    catalogue::PictureLoader &folder_;
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

void LiveOdds::request(const authoring::PrizeDocument &document, std::optional<std::filesystem::path> dataIni,
                       std::map<std::string, authoring::PictureBytes> planned)
{
    waiting_ = Request{++requested_, document, std::move(dataIni), std::move(planned)};
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
        std::map<std::string, std::filesystem::path> planned;
        for (const auto &[name, picture] : request.planned)
            planned[name] = picture ? staged(picture) : std::filesystem::path();
        // Pictures no plan holds any more are let go; their files stay until
        // the editor ends, as the check shown may still decode them.
        std::erase_if(staged_, [&](const auto &kept) {
            return std::none_of(request.planned.begin(), request.planned.end(),
                                [&](const auto &entry) { return entry.second.get() == kept.first; });
        });
        PlannedPictures loader(std::move(planned), request.dataIni ? static_cast<catalogue::PictureLoader &>(pictures_)
                                                                   : none);
        check->list = odds::prizeListOf(request.document, request.dataIni.value_or("data.ini"), loader);
        check->report = odds::buildReport(check->list);
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
        throw authoring::ListError("no temporary folder to check the chosen pictures in");
    const std::filesystem::path file =
        std::filesystem::path(QFile::encodeName(staging_.path()).toStdString()) / (std::to_string(++stagedCount_) + ".jpg");
    std::ofstream(file, std::ios::binary) << *picture;
    staged_[picture.get()] = {picture, file};
    return file;
}

} // namespace editor
