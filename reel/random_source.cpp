// Clock seeding of the program's random sequence.
#include "random_source.h"

#include <chrono>

namespace reel {

void Mt19937Source::randomize()
{
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    engine_.seed(seed);
}

} // namespace reel
