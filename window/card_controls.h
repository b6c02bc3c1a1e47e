// One card of the reel: the controls with the same index in the card
// arrays, bound to the fields that the draw writes.
#pragma once

#include "graphical_controls.h"
#include "picture_box.h"
#include "reel_window.h"

namespace window {

class CardControls : public reel::Card {
public:
    // The frame is placed at leftTwips at once.
    CardControls(PictureBox &awardbox, Image &awardpic, Label &awardname, Label &award, Shape &colorbox,
                 float leftTwips);

    // Colours outside 0 to 16777215 are refused with Overflow and leave the
    // strip as it was.
    void setFillColor(std::int32_t color) override;
    void setBorderColor(std::int32_t color) override;
    void setName(std::string_view text) override { awardname_.setCaption(text); }
    void setAmount(std::string_view text) override { award_.setCaption(text); }
    void setPicture(const catalogue::PicturePtr &picture) override { awardpic_.setPicture(picture); }

    // Places the card frame at the pixel nearest to leftTwips; moves the
    // widget only when that pixel changes. The widget's own position is
    // never read back: twips are the truth, pixels only show them.
    void place(float leftTwips);

private:
    PictureBox &awardbox_;
    Image &awardpic_;
    Label &awardname_;
    Label &award_;
    Shape &colorbox_;
    int placedX_;
};

} // namespace window
