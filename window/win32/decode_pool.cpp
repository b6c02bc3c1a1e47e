// The decoding threads, below the user-interface thread's priority, each with
// COM set up for the imaging component.
#include "decode_pool.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <system_error>

namespace window::win32 {

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
    if (workers_.empty())
        startWorkers();
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

void DecodePool::waitUntilIdle() const
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && busy_ == 0; });
}

void DecodePool::work(std::stop_token stop)
{
    // Painting and the 5 ms tick win the core whenever they want it.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
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
    queue_.clear();
    if (busy_ == 0)
        idle_.notify_all();
    lock.unlock();
    if (com)
        CoUninitialize();
}

} // namespace window::win32
