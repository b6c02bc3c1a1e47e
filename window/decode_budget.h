// A process-wide bound on the memory that picture decoding takes at once:
// a decoder that cannot scale while it decodes holds a whole picture's pixels,
// and one such picture per core would add up to gigabytes.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace window {

class DecodeBudget {
public:
    explicit DecodeBudget(std::uint64_t bytes) : bytes_(bytes) {}
    DecodeBudget(const DecodeBudget &) = delete;
    DecodeBudget &operator=(const DecodeBudget &) = delete;

    // Holds its bytes of the budget until it goes.
    class Share {
    public:
        Share(DecodeBudget &budget, std::uint64_t bytes);
        ~Share();
        Share(const Share &) = delete;
        Share &operator=(const Share &) = delete;

    private:
        DecodeBudget &budget_;
        std::uint64_t bytes_;
    };

    // Waits until the bytes fit beside those in use; a request larger than
    // the whole budget waits until nothing else is in use, and then runs alone.
    Share take(std::uint64_t bytes) { return Share(*this, bytes); }
    std::uint64_t inUse() const;

    // The one the Windows decoder shares between its threads.
    static DecodeBudget &pictures();

private:
    const std::uint64_t bytes_;
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    std::uint64_t inUse_ = 0;
};

} // namespace window
