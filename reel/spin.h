// The reel motion: the start button's operation and the 5 ms tick.
#pragma once

#include "catalogue.h"
#include "random_source.h"
#include "reel_window.h"

#include <optional>

namespace reel {

// The card that covers the whole marker bar, both its edges at least
// kMarkerClearanceTwips clear of the bar, or -1 when the bar touches a gap,
// a card's edge or its border.
int cardHoldingMarkerBar(const ReelWindow &window);

class Spin {
public:
    static constexpr int kStartSpeed = 4000;
    static constexpr float kWrapThresholdTwips = 120;
    static constexpr float kGapTwips = 120;
    // The ease-on's move per tick: the reel's own step a few ticks before it
    // stops (speeds 30 to 39; it then slows to 1), so the strip creeps on at
    // a pace the eye has just seen rather than jumping; 40 pixels a second at
    // 96 dots per inch. The widest gap (up to 400, behind card 3) and the bar
    // take at most 151 ticks, 0.75 s.
    static constexpr int kEaseStepTwips = 3;

    Spin(ReelWindow &window, RandomSource &random, const catalogue::Catalogue &prizes)
        : window_(window), random_(random), prizes_(prizes)
    {
    }

    // Timer on, speed 4000, button off. Cards keep their places.
    void start();
    // Moves every card left by speed / 10 twips, wraps and refills the cards
    // that left the viewing area, then slows the reel. At speed 0 the spin
    // ends, unless the marker bar touches a gap or a card's edge: then the
    // following ticks ease the strip on, kEaseStepTwips at a time, until a
    // card holds the bar. The timer and the greyed button stay as they are
    // until the reel is at rest.
    void tick();

    // No value before the first spin, 0 after a spin, 1 to 4000 while spinning
    // and 0 while easing on.
    std::optional<int> speed() const { return speed_; }
    // From the start to the tick that leaves the reel at rest, ease-on included.
    bool running() const { return speed_.value_or(0) > 0 || easing_; }
    bool easing() const { return easing_; }
    // Ticks of this spin's ease-on so far (of the last one at rest): the
    // ticks of the motion itself are the spin's ticks less these.
    int easeTicks() const { return easeTicks_; }

private:
    void move(int stepTwips);
    void rest();

    ReelWindow &window_;
    RandomSource &random_;
    const catalogue::Catalogue &prizes_;
    std::optional<int> speed_;
    bool easing_ = false;
    int easeTicks_ = 0;
};

} // namespace reel
