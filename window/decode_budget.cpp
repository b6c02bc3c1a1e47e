// The decode budget: a byte count that threads take from and give back.
#include "decode_budget.h"

namespace window {

DecodeBudget::Share::Share(DecodeBudget &budget, std::uint64_t bytes) : budget_(budget), bytes_(bytes)
{
    std::unique_lock lock(budget_.mutex_);
    budget_.freed_.wait(lock, [&] { return budget_.inUse_ == 0 || budget_.inUse_ + bytes_ <= budget_.bytes_; });
    budget_.inUse_ += bytes_;
}

DecodeBudget::Share::~Share()
{
    {
        const std::lock_guard lock(budget_.mutex_);
        budget_.inUse_ -= bytes_;
    }
    budget_.freed_.notify_all();
}

std::uint64_t DecodeBudget::inUse() const
{
    const std::lock_guard lock(mutex_);
    return inUse_;
}

DecodeBudget &DecodeBudget::pictures()
{
    // Two 12-megapixel photos decoded whole at 4 bytes a pixel, and then some:
    // photos still decode side by side, a 100-megapixel picture alone.
    static DecodeBudget budget(std::uint64_t(256) << 20);
    return budget;
}

} // namespace window
