// The reel motion: the start button's operation and the 5 ms tick.
#pragma once

#include "catalogue.h"
#include "random_source.h"
#include "reel_window.h"

#include <optional>

namespace reel {

class Spin {
public:
    static constexpr int kStartSpeed = 4000;
    static constexpr float kWrapThresholdTwips = 120;
    static constexpr float kGapTwips = 120;

    Spin(ReelWindow &window, RandomSource &random, const catalogue::Catalogue &prizes)
        : window_(window), random_(random), prizes_(prizes)
    {
    }

    // Timer on, speed 4000, button off. Cards keep their places.
    void start();
    // Moves every card left by speed / 10 twips, wraps and refills the cards
    // that left the viewing area, then slows the reel and stops it at 0.
    void tick();

    // No value before the first spin, 0 after a spin, 1 to 4000 while spinning.
    std::optional<int> speed() const { return speed_; }
    // From the start to the tick that stops the reel.
    bool running() const { return speed_.value_or(0) > 0; }

private:
    ReelWindow &window_;
    RandomSource &random_;
    const catalogue::Catalogue &prizes_;
    std::optional<int> speed_;
};

} // namespace reel
