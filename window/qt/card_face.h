// The controls of one card as designed: its frame with the picture, the
// colour strip, the name and the amount, in the game's fonts.
#pragma once

#include "designed_controls.h"
#include "graphical_controls.h"
#include "picture_box.h"

class QWidget;

namespace window {

struct CardFace {
    // Builds card `index` (0 to 3) inside parent, its frame at the parent's
    // top left.
    CardFace(QWidget *parent, int index);
    // Card `index` among controls already built.
    CardFace(const DesignedControls &built, int index);

    PictureBox *awardbox;
    Image *awardpic;
    Label *awardname;
    Label *x;
    Label *award;
    Shape *colorbox;
};

} // namespace window
