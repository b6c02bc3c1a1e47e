// The reel motion: positions are exact twips held in single precision.
#include "spin.h"

#include "draw.h"

#include <cmath>

namespace reel {

int cardHoldingMarkerBar(const ReelWindow &window)
{
    for (int i = 0; i < window.cardCount(); ++i) {
        const float left = window.left(i);
        if (left <= design::kMarkerBarLeftTwips - design::kMarkerClearanceTwips &&
            left + window.width(i) >= design::kMarkerBarRightTwips + design::kMarkerClearanceTwips)
            return i;
    }
    return -1;
}

void Spin::start()
{
    window_.setTimerEnabled(true);
    speed_ = kStartSpeed;
    easing_ = false;
    easeTicks_ = 0;
    window_.setButtonEnabled(false);
}

void Spin::move(int stepTwips)
{
    const int cards = window_.cardCount();
    for (int i = 0; i < cards; ++i) {
        window_.setLeft(i, static_cast<float>(window_.left(i) - stepTwips));
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
}

void Spin::rest()
{
    easing_ = false;
    window_.setTimerEnabled(false);
    window_.setButtonEnabled(true);
}

void Spin::tick()
{
    if (easing_) {
        // Always ends: a card is far wider than the bar and a step together,
        // so the next card holds the bar once one gap and the bar have passed.
        // Which card that is depends on positions alone, never on what the
        // cards show, so each prize keeps the share its weight gives it.
        move(kEaseStepTwips);
        ++easeTicks_;
        if (cardHoldingMarkerBar(window_) >= 0)
            rest();
        return;
    }

    const int speed = speed_.value_or(0);
    move(speed / 10); // speed is never negative between ticks

    const float r1 = random_.next();
    const float r2 = random_.next();
    const int slowing = static_cast<int>(std::floor(speed * static_cast<double>(r1) / 900)) + 6 +
                        static_cast<int>(std::floor(static_cast<double>(r2) * 3));
    speed_ = speed - slowing;
    if (*speed_ <= 0) {
        speed_ = 0;
        if (cardHoldingMarkerBar(window_) >= 0)
            rest();
        else
            easing_ = true;
    }
}

} // namespace reel
