// The decoding threads: a queue in prize-list order, worked at a lower
// priority than the user-interface thread and by fewer threads while the
// reel spins.
#include "decode_pool.h"

#include "thread_priority.h"

#include <algorithm>
#include <system_error>

namespace window {

DecodePool::DecodePool(int threads)
    : threads_(threads == kAllCores ? std::max(1, int(std::thread::hardware_concurrency())) : std::max(0, threads)),
      allowed_(threads_)
{
}

DecodePool::~DecodePool()
{
    for (auto &worker : workers_)
        worker.request_stop();
    workers_.clear(); // joins
}

void DecodePool::add(std::shared_ptr<const Decodable> picture)
{
    if (threads_ == 0)
        return;
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(picture));
    }
    if (workers_.empty())
        startWorkers();
    wake_.notify_one();
}

void DecodePool::decodeNext(std::shared_ptr<const Decodable> picture)
{
    if (threads_ == 0)
        return;
    {
        const std::lock_guard lock(mutex_);
        queue_.push_front(std::move(picture)); // its place further back is skipped when reached
    }
    wake_.notify_one();
}

void DecodePool::setSpinning(bool spinning)
{
    {
        const std::lock_guard lock(mutex_);
        const int cores = std::max(1, int(std::thread::hardware_concurrency()));
        allowed_ = spinning ? std::max(1, std::min(threads_, cores - 1)) : threads_;
    }
    wake_.notify_all();
}

void DecodePool::startWorkers()
{
    workers_.reserve(std::size_t(threads_));
    try {
        for (int t = 0; t < threads_; ++t)
            workers_.emplace_back([this](std::stop_token stop) { work(std::move(stop)); });
    } catch (const std::system_error &) {
        // Out of threads: fewer decode, or none, and cards decode the rest.
    }
    if (workers_.empty()) {
        const std::lock_guard lock(mutex_);
        threads_ = 0;
        queue_.clear();
    }
}

bool DecodePool::idle() const
{
    const std::lock_guard lock(mutex_);
    return queue_.empty() && busy_ == 0;
}

void DecodePool::waitUntilIdle() const
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && busy_ == 0; });
}

void DecodePool::work(std::stop_token stop)
{
    lowerThisThreadsPriority();
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, stop, [this] { return !queue_.empty() && busy_ < allowed_; });
        if (stop.stop_requested())
            break;
        std::shared_ptr<const Decodable> picture = std::move(queue_.front());
        queue_.pop_front();
        ++busy_;
        lock.unlock();
        picture->decodeUnlessTaken();
        picture.reset();
        lock.lock();
        --busy_;
        if (queue_.empty() && busy_ == 0)
            idle_.notify_all();
    }
    // Stopped: whatever is queued is never decoded.
    queue_.clear();
    if (busy_ == 0)
        idle_.notify_all();
}

} // namespace window
