// Threads that decode the prize pictures in the background, in the order of
// the prize list, so that start-up only has to look the files up; pictures
// that a card shows go first.
#pragma once

#include <condition_variable>
#include <deque>
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
    int allowed_; // how many threads may be busy at once
    std::vector<std::jthread> workers_; // last, so that they stop before the rest goes
};

} // namespace window
