// The one pseudo-random sequence of the program, handed to the core.
#pragma once

#include <cstdint>
#include <random>

namespace reel {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Seeds the sequence from the clock; start-up does this once.
    virtual void randomize() = 0;
    // The next uniform number in [0, 1), single precision.
    virtual float next() = 0;
};

// Mersenne Twister; each number is k / 2^24 from its top 24 bits, so every
// value is exact in single precision and 1.0 can never come up.
class Mt19937Source : public RandomSource {
public:
    explicit Mt19937Source(std::uint32_t seed = 5489u) : engine_(seed) {}
    void randomize() override;
    float next() override { return static_cast<float>(engine_() >> 8) * 0x1p-24f; }

private:
    std::mt19937 engine_;
};

} // namespace reel
