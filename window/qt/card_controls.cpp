// Binding of the draw's card fields to the card's controls.
#include "card_controls.h"

#include "runtime_error.h"
#include "twips.h"

#include <utility>

namespace window {

namespace {
QColor checkedColor(std::int32_t color)
{
    if (color < 0 || color > 0xFFFFFF)
        throw catalogue::RuntimeError(catalogue::ErrorCode::Overflow);
    return fromColorNumber(color);
}
} // namespace

void CardMoves::setHeld(bool held)
{
    held_ = held;
    if (!held_)
        showAll();
}

void CardMoves::setDpi(double dpi)
{
    dpi_ = dpi;
    for (CardControls *card : cards_)
        card->replace();
}

void CardMoves::showAll()
{
    contentChanged_ = false;
    if (!std::exchange(movesHeld_, false))
        return;
    for (CardControls *card : cards_)
        card->showPlace();
}

CardControls::CardControls(PictureBox &awardbox, Image &awardpic, Label &awardname, Label &award, Shape &colorbox,
                           float leftTwips, CardMoves &moves)
    : awardbox_(awardbox), awardpic_(awardpic), awardname_(awardname), award_(award), colorbox_(colorbox),
      moves_(moves), leftTwips_(leftTwips), standsX_(toPixels(leftTwips, moves.dpi())), shownX_(standsX_)
{
    awardbox_.move(shownX_, 0);
    moves_.add(*this);
}

void CardControls::setFillColor(std::int32_t color)
{
    const QColor checked = checkedColor(color);
    moves_.noteContentChange();
    colorbox_.setFillColor(checked);
}

void CardControls::setBorderColor(std::int32_t color)
{
    const QColor checked = checkedColor(color);
    moves_.noteContentChange();
    colorbox_.setBorderColor(checked);
}

void CardControls::setName(std::string_view text)
{
    moves_.noteContentChange();
    awardname_.setCaption(text);
}

void CardControls::setAmount(std::string_view text)
{
    moves_.noteContentChange();
    award_.setCaption(text);
}

void CardControls::setPicture(const catalogue::PicturePtr &picture)
{
    moves_.noteContentChange();
    awardpic_.setPicture(picture);
}

void CardControls::place(float leftTwips)
{
    leftTwips_ = leftTwips;
    standsX_ = toPixels(leftTwips, moves_.dpi());
    if (standsX_ == shownX_)
        return;
    if (moves_.held())
        moves_.noteHeldMove();
    else
        showPlace();
}

void CardControls::replace()
{
    standsX_ = toPixels(leftTwips_, moves_.dpi());
    shownX_ = standsX_;
    awardbox_.move(shownX_, 0);
}

void CardControls::showPlace()
{
    if (standsX_ == shownX_)
        return;
    shownX_ = standsX_;
    awardbox_.move(shownX_, 0); // every card sits at the top of the viewing area
}

} // namespace window
