// Binding of the draw's card fields to the card's controls.
#include "card_controls.h"

#include "runtime_error.h"
#include "twips.h"

namespace window {

namespace {
QColor checkedColor(std::int32_t color)
{
    if (color < 0 || color > 0xFFFFFF)
        throw catalogue::RuntimeError(catalogue::ErrorCode::Overflow);
    return fromColorNumber(color);
}
} // namespace

CardControls::CardControls(PictureBox &awardbox, Image &awardpic, Label &awardname, Label &award, Shape &colorbox,
                           float leftTwips)
    : awardbox_(awardbox), awardpic_(awardpic), awardname_(awardname), award_(award), colorbox_(colorbox),
      placedX_(toPixels(leftTwips))
{
    awardbox_.move(placedX_, 0);
}

void CardControls::setFillColor(std::int32_t color) { colorbox_.setFillColor(checkedColor(color)); }

void CardControls::setBorderColor(std::int32_t color) { colorbox_.setBorderColor(checkedColor(color)); }

void CardControls::place(float leftTwips)
{
    const int x = toPixels(leftTwips);
    if (x == placedX_)
        return;
    placedX_ = x;
    awardbox_.move(x, 0); // every card sits at the top of the viewing area
}

} // namespace window
