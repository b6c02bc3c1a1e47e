// What the game logic needs of the window: the cards' contents, their
// positions in twips, the timer and the start button.
#pragma once

#include "variant.h"

#include <cstdint>
#include <string_view>

namespace reel {

// One card's content, as the draw writes it.
class Card {
public:
    virtual ~Card() = default;
    // Colours are red + 256 * green + 65536 * blue, 0 to 16777215.
    virtual void setFillColor(std::int32_t color) = 0;
    virtual void setBorderColor(std::int32_t color) = 0;
    virtual void setName(std::string_view text) = 0;
    virtual void setAmount(std::string_view text) = 0;
    // Null clears the picture area to the card's background.
    virtual void setPicture(const catalogue::PicturePtr &picture) = 0;
};

// The window operations of the spin and the draw. Card indices run from 0 to
// cardCount() - 1; anything else throws SubscriptOutOfRange.
class ReelWindow {
public:
    virtual ~ReelWindow() = default;
    virtual int cardCount() const = 0;
    virtual Card &card(int i) = 0;
    // Left edge and width of card i in twips.
    virtual float left(int i) const = 0;
    virtual void setLeft(int i, float twips) = 0;
    virtual float width(int i) const = 0;
    virtual void setTimerEnabled(bool on) = 0;
    virtual void setButtonEnabled(bool on) = 0;
};

} // namespace reel

namespace reel::design {
// The cards as the window is designed: equal widths, and left edges with
// card 0 reaching 850 twips past the viewing area's left edge.
inline constexpr float kCardWidthTwips = 2655;
inline constexpr float kCardLeftsTwips[4] = {-850, 1920, 4680, 7440};
inline constexpr int kCardCount = 4;
// The yellow marker bar, in viewing-area twips: the card it lies on is the
// outcome the room sees.
inline constexpr float kMarkerBarLeftTwips = 4060;
inline constexpr float kMarkerBarRightTwips = 4110;
// A card holds the bar only with the bar clear of the card's thin border (two
// pixels at 96 dpi), so that on a wall the bar never hides the card's edge.
inline constexpr float kMarkerClearanceTwips = 30;
} // namespace reel::design
