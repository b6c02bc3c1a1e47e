// Checking the list on a worker thread, newest request first.
#include "live_check.h"

#include "i18n.h"
#include "list_check.h"
#include "process.h"

#include <chrono>
#include <fstream>

namespace editing {

namespace fs = std::filesystem;

namespace {
// A list that has no folder yet has no pictures.
class NoPictures : public catalogue::PictureLoader {
public:
    catalogue::PicturePtr load(const fs::path &) override
    {
        throw catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound);
    }
    catalogue::PicturePtr tryLoad(const fs::path &, std::optional<catalogue::RuntimeError> &refused) override
    {
        refused = catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound);
        return nullptr;
    }
};
// The pictures as they will be once saved: planned ones from their staged
// copies, the others as the folder holds them. A list not saved yet has no
// folder, but its planned pictures show all the same.
class PlannedPictures : public catalogue::PictureLoader {
public:
    PlannedPictures(std::map<std::string, fs::path> staged, catalogue::PictureLoader &files,
                    catalogue::PictureLoader &folder)
        : staged_(std::move(staged)), files_(files), folder_(folder)
    {
    }
    catalogue::PicturePtr load(const fs::path &file) override
    {
        std::optional<catalogue::RuntimeError> refused;
        auto picture = tryLoad(file, refused);
        if (refused)
            throw *refused;
        return picture;
    }
    catalogue::PicturePtr tryLoad(const fs::path &file, std::optional<catalogue::RuntimeError> &refused) override
    {
        if (staged_.empty())
            return folder_.tryLoad(file, refused);
        const auto planned = staged_.find(nameOf(file));
        if (planned == staged_.end())
            return folder_.tryLoad(file, refused);
        if (planned->second.empty()) {
            refused = catalogue::RuntimeError(catalogue::ErrorCode::FileNotFound); // planned to go
            return nullptr;
        }
        listPathOf[planned->second] = file;
        return files_.tryLoad(planned->second, refused);
    }
    fs::path fileRead(const fs::path &file) override
    {
        if (staged_.empty())
            return folder_.fileRead(file);
        const auto planned = staged_.find(nameOf(file));
        return planned == staged_.end() ? folder_.fileRead(file) : planned->second;
    }
    // The list's own path of each staged copy loaded, as the table names it.
    std::map<fs::path, fs::path> listPathOf;

private:
    static std::string nameOf(const fs::path &file)
    {
        const std::u8string spelt = file.filename().u8string(); // the reader asks for picture/<name>.jpg
        std::string name(spelt.begin(), spelt.end());
        name.resize(name.size() - std::min<std::size_t>(name.size(), 4));
        return name;
    }
    std::map<std::string, fs::path> staged_; // empty path: no picture
    catalogue::PictureLoader &files_;
    catalogue::PictureLoader &folder_;
};

fs::path stagingFolder()
{
    static int count = 0;
    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    if (error)
        return {};
    return temp / ("prizeedit-" + std::to_string(authoring::thisProcess().number) + "-" + std::to_string(++count));
}
} // namespace

LiveCheck::LiveCheck(PictureDecoder &decoder, window::TextMeasure *measure, Post post)
    : pictures_(decoder), measure_(measure), post_(std::move(post)), alive_(std::make_shared<LiveCheck *>(this)),
      staging_(stagingFolder()), worker_([this] { work(); })
{
}

LiveCheck::~LiveCheck()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true; // no picture is judged for a window that is going
    }
    wake_.notify_one();
    worker_.join();
    alive_.reset();
    std::error_code ignored; // a copy the system still holds goes with the temporary folder
    if (!staging_.empty())
        fs::remove_all(staging_, ignored);
}

void LiveCheck::request(const authoring::PrizeDocument &document, std::optional<fs::path> dataIni,
                        std::map<std::string, authoring::PictureBytes> planned)
{
    {
        const std::lock_guard lock(mutex_);
        waiting_ = Request{++requested_, document, std::move(dataIni), std::move(planned)};
    }
    wake_.notify_one();
}

void LiveCheck::folderWritten()
{
    const std::lock_guard lock(mutex_);
    folderWritten_ = true;
}

void LiveCheck::work()
{
    // Idle, the worker looks at the folder's watch now and then, so that
    // pictures copied in beside the editor show without an edit.
    constexpr auto kFolderLook = std::chrono::milliseconds(300);
    for (;;) {
        std::optional<Request> request;
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, kFolderLook, [this] { return stopping_ || waiting_; });
            if (stopping_)
                return;
            request = std::exchange(waiting_, std::nullopt);
        }
        if (request) {
            run(*request);
            lastRun_ = std::move(request);
        } else if (lastRun_ && folderChangedOnItsOwn()) {
            run(*lastRun_);
        }
    }
}

const odds::FolderSnapshot &LiveCheck::listing(const fs::path &folder)
{
    bool written = false;
    {
        const std::lock_guard lock(mutex_);
        written = std::exchange(folderWritten_, false);
    }
    if (written || !listed_ || listed_->folder() != folder || !watch_ || watch_->mayHaveChanged() ||
        !listed_->watchable())
        relist(folder);
    return *listed_;
}

void LiveCheck::relist(const fs::path &folder)
{
    // Watched before it is listed: a change made while it is listed shows at
    // the next check. A folder not there yet is awaited in the list's own.
    watch_.reset();
    if (!folder.empty()) {
        watch_ = std::make_unique<odds::FolderWatch>(folder);
        if (!watch_->watching())
            watch_ = std::make_unique<odds::FolderWatch>(folder.parent_path());
    }
    listed_.emplace(folder);
}

bool LiveCheck::folderChangedOnItsOwn()
{
    if (!listed_ || !watch_ || !watch_->watching() || !watch_->mayHaveChanged())
        return false;
    const odds::FolderSnapshot before = std::move(*listed_);
    relist(before.folder());
    return !(*listed_ == before); // the editor's own save, seen late, changes nothing
}

void LiveCheck::deliver(Result result)
{
    post_([alive = std::weak_ptr(alive_), result = std::move(result)] {
        if (const auto self = alive.lock()) {
            (*self)->latest_ = result;
            (*self)->checked();
        }
    });
}

void LiveCheck::run(const Request &request)
{
    // The picture folder listed once for the whole check, and not again
    // while nothing in it changes: a thousand pictures then cost no call to
    // the system each.
    const odds::FolderSnapshot &listed =
        listing(request.dataIni ? request.dataIni->parent_path() / "picture" : fs::path());
    // The odds first, with pictures not judged yet counted as there; then
    // the pictures, and the same check again with their verdicts.
    PictureVerdicts::Reader deferring(pictures_, listed, PictureVerdicts::Reader::Unjudged::Defer);
    std::map<fs::path, fs::path> listPathOf;
    std::shared_ptr<ListCheck> first = check(request, deferring, listed, &listPathOf);
    for (const fs::path &file : deferring.unjudged) {
        const auto planned = listPathOf.find(file); // a staged copy shows as the list's own picture
        first->picturesChecking.insert(planned == listPathOf.end() ? file : planned->second);
    }
    deliver(first);
    if (deferring.unjudged.empty())
        return;
    for (const fs::path &file : deferring.unjudged) {
        {
            const std::lock_guard lock(mutex_);
            if (waiting_ || stopping_)
                return; // the next check judges what is left: verdicts are kept
        }
        pictures_.judge(file);
    }
    PictureVerdicts::Reader judged(pictures_, listed, PictureVerdicts::Reader::Unjudged::Judge);
    deliver(check(request, judged, listed));
}

std::shared_ptr<ListCheck> LiveCheck::check(const Request &request, catalogue::PictureLoader &pictures,
                                            const odds::FolderSnapshot &listed,
                                            std::map<fs::path, fs::path> *listPathOf)
{
    auto check = std::make_shared<ListCheck>();
    check->generation = request.generation;
    try {
        NoPictures none;
        std::map<std::string, fs::path> planned;
        for (const auto &[name, picture] : request.planned)
            planned[name] = picture ? staged(picture) : fs::path();
        // Pictures no plan holds any more are let go; their files stay until
        // the editor ends, as the check shown may still decode them.
        std::erase_if(staged_, [&](const auto &kept) {
            return std::none_of(request.planned.begin(), request.planned.end(),
                                [&](const auto &entry) { return entry.second.get() == kept.first; });
        });
        PlannedPictures loader(std::move(planned), pictures, request.dataIni ? pictures : none);
        check->list = odds::prizeListOf(request.document, request.dataIni.value_or("data.ini"), loader, &sizes_,
                                        request.dataIni ? &listed : nullptr);
        // The folder as Save will leave it; a list not saved yet has none.
        check->list.pictureFolderFiles = authoring::filesAfterSave(
            request.dataIni ? std::move(check->list.pictureFolderFiles) : std::vector<std::string>(), request.planned);
        if (listPathOf)
            *listPathOf = std::move(loader.listPathOf);
        check->report = odds::buildReport(check->list, measure_, &labelFits_);
    } catch (const std::exception &error) {
        check->error = error.what();
    }
    return check;
}

fs::path LiveCheck::staged(const authoring::PictureBytes &picture)
{
    auto found = staged_.find(picture.get());
    if (found != staged_.end())
        return found->second.second;
    std::error_code error;
    if (staging_.empty() || (fs::create_directories(staging_, error), error))
        throw authoring::ListError(i18n::tr("no temporary folder to check the chosen pictures in"));
    const fs::path file = staging_ / (std::to_string(++stagedCount_) + ".jpg");
    std::ofstream(file, std::ios::binary) << *picture;
    staged_[picture.get()] = {picture, file};
    return file;
}

} // namespace editing
