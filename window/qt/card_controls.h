// One card of the reel: the controls with the same index in the card
// arrays, bound to the fields that the draw writes.
#pragma once

#include "graphical_controls.h"
#include "picture_box.h"
#include "reel_window.h"

#include <vector>

namespace window {

class CardControls;

// Moving a widget costs Qt heap allocations and a repaint, too much for
// every 5 ms tick, and a screen shows no more than one position per frame.
// So while the reel spins, the card frames' moves are held and shown
// together once per display frame; and at the end of any tick that changed
// a card's content, so that new content never shows at a card's old place,
// nor the cards out of step with each other.
class CardMoves {
public:
    void add(CardControls &card) { cards_.push_back(&card); }
    // Releasing shows every held move.
    void setHeld(bool held);
    bool held() const { return held_; }
    void noteHeldMove() { movesHeld_ = true; }
    void noteContentChange() { contentChanged_ = true; }
    // The pixels per inch the cards are placed at (the design's, or a scaled
    // window's); changing it places every card anew.
    double dpi() const { return dpi_; }
    void setDpi(double dpi);
    bool contentChanged() const { return contentChanged_; }
    // Moves every card's frame to where its card stands.
    void showAll();
    void showAllIfContentChanged()
    {
        if (contentChanged_)
            showAll();
    }

private:
    std::vector<CardControls *> cards_;
    double dpi_ = 96;
    bool held_ = false;
    bool movesHeld_ = false;
    bool contentChanged_ = false;
};

class CardControls : public reel::Card {
public:
    // The frame is placed at leftTwips at once.
    CardControls(PictureBox &awardbox, Image &awardpic, Label &awardname, Label &award, Shape &colorbox,
                 float leftTwips, CardMoves &moves);
    CardControls(const CardControls &) = delete;
    CardControls &operator=(const CardControls &) = delete;

    // Colours outside 0 to 16777215 are refused with Overflow and leave the
    // strip as it was.
    void setFillColor(std::int32_t color) override;
    void setBorderColor(std::int32_t color) override;
    void setName(std::string_view text) override;
    void setAmount(std::string_view text) override;
    void setPicture(const catalogue::PicturePtr &picture) override;

    // The card stands at the pixel nearest to leftTwips; its frame moves
    // there now, or with the other held moves. The widget's own position is
    // never read back: twips are the truth, pixels only show them.
    void place(float leftTwips);
    // Moves the frame to where the card stands, when it is not there.
    void showPlace();
    // Places the frame anew after the dpi changed.
    void replace();

private:
    PictureBox &awardbox_;
    Image &awardpic_;
    Label &awardname_;
    Label &award_;
    Shape &colorbox_;
    CardMoves &moves_;
    float leftTwips_;
    int standsX_; // pixels
    int shownX_;
};

} // namespace window
