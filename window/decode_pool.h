// Threads that decode the prize pictures in the background, in the order of
// the prize list, so that start-up only has to look the files up; pictures
// that a card shows go first. And the loader that hands the pictures out.
#pragma once

#include "picture_loader.h"
#include "runtime_error.h"

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

namespace window {

// A picture whose pixels some thread has yet to decode.
class Decodable {
public:
    virtual ~Decodable() = default;
    // Decodes unless another thread has started on it or it is done.
    virtual void decodeUnlessTaken() const = 0;
};

class DecodePool {
public:
    // One thread per core.
    static constexpr int kAllCores = -1;

    // threads: how many decode; 0 leaves every picture to be decoded where
    // it is first needed. Threads start with the first picture handed in.
    explicit DecodePool(int threads = kAllCores);
    // Drops what is still queued, lets each thread finish the picture in
    // hand and joins them all.
    ~DecodePool();
    DecodePool(const DecodePool &) = delete;
    DecodePool &operator=(const DecodePool &) = delete;

    // Queues a picture behind those handed in before it. A picture decoded
    // meanwhile by someone else is skipped when its turn comes.
    void add(std::shared_ptr<const Decodable> picture);
    // Puts a picture ahead of everything queued: a card is showing it.
    void decodeNext(std::shared_ptr<const Decodable> picture);
    // While the reel spins, fewer threads than the machine has cores (but at
    // least one) take up a picture, so that the 5 ms tick and the painting
    // keep a core to themselves; a thread busy with one finishes it first.
    void setSpinning(bool spinning);
    // Whether nothing is queued or being decoded.
    bool idle() const;
    // Blocks until idle.
    void waitUntilIdle() const;
    int threadCount() const { return threads_; }

private:
    void startWorkers();
    void work(std::stop_token stop);

    int threads_;
    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    mutable std::condition_variable idle_;
    std::deque<std::shared_ptr<const Decodable>> queue_;
    int busy_ = 0;
    int allowed_;                       // how many threads may be busy at once
    std::vector<std::jthread> workers_; // last, so that they stop before the rest goes
};

// Hands out one picture per file, in list order, its file checked and its
// pixels decoded later: by the pool, or where a card first needs it when
// there is none. Opening a thousand files would hold up the window's first
// frame, so only a file that is not there is refused at once (FileNotFound,
// or PathFileAccessError for what is no file), leaving its prize without a
// picture; a file refused by the later check or decode shows no picture
// either, without a message.
// Picture: a front end's catalogue::Picture and Decodable, which checks its
// file when it decodes.
template <typename Picture>
class LazyPictureLoader : public catalogue::PictureLoader {
public:
    explicit LazyPictureLoader(DecodePool *pool) : pool_(pool) {}

    catalogue::PicturePtr load(const std::filesystem::path &file) override
    {
        if (const auto known = byFile_.find(file); known != byFile_.end())
            return known->second;
        catalogue::requireRegularFile(file);
        auto picture = makePicture(file);
        byFile_.emplace(file, picture);
        inOrder_.push_back(picture);
        if (pool_)
            pool_->add(picture);
        return picture;
    }

protected:
    // The front end's picture of a file, nothing of it read yet.
    virtual std::shared_ptr<const Picture> makePicture(const std::filesystem::path &file) const = 0;
    const std::vector<std::shared_ptr<const Picture>> &inOrder() const { return inOrder_; }
    DecodePool *pool() const { return pool_; }

private:
    DecodePool *pool_;
    // Prizes that name the same file share one picture, decoded once.
    std::map<std::filesystem::path, std::shared_ptr<const Picture>> byFile_;
    std::vector<std::shared_ptr<const Picture>> inOrder_;
};

} // namespace window
