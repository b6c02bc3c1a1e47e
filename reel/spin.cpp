// The reel motion: positions are exact twips held in single precision.
#include "spin.h"

#include "draw.h"

#include <cmath>

namespace reel {

void Spin::start()
{
    window_.setTimerEnabled(true);
    speed_ = kStartSpeed;
    window_.setButtonEnabled(false);
}

void Spin::tick()
{
    const int speed = speed_.value_or(0);
    const int step = speed / 10; // speed is never negative between ticks
    const int cards = window_.cardCount();
    for (int i = 0; i < cards; ++i) {
        window_.setLeft(i, static_cast<float>(window_.left(i) - step));
        if (static_cast<float>(window_.width(i) + window_.left(i)) > kWrapThresholdTwips)
            continue;
        // Card 0 follows card 3 where card 3 stands before this tick moves it,
        // and gets no gap; the others follow their already moved predecessor.
        if (i == 0)
            window_.setLeft(0, static_cast<float>(window_.width(0) + window_.left(3)));
        else
            window_.setLeft(i, static_cast<float>(window_.left(i - 1) + kGapTwips + window_.width(i)));
        Newreset(window_, static_cast<std::int16_t>(i), prizes_, random_);
    }

    const float r1 = random_.next();
    const float r2 = random_.next();
    const int slowing = static_cast<int>(std::floor(speed * static_cast<double>(r1) / 900)) + 6 +
                        static_cast<int>(std::floor(static_cast<double>(r2) * 3));
    speed_ = speed - slowing;
    if (*speed_ <= 0) {
        speed_ = 0;
        window_.setTimerEnabled(false);
        window_.setButtonEnabled(true);
    }
}

} // namespace reel
