// One card's controls, found among those built from the design.
#include "card_face.h"

#include "runtime_error.h"

namespace window {

namespace {
DesignedControls buildCard(QWidget *parent, int index)
{
    if (index < 0 || index >= design::kCardCount)
        throw catalogue::RuntimeError(catalogue::ErrorCode::SubscriptOutOfRange);
    DesignedControls built;
    built.buildPictureBox(parent, design::control(design::Role::CardFrame, index)).move(0, 0);
    return built;
}
} // namespace

CardFace::CardFace(QWidget *parent, int index) : CardFace(buildCard(parent, index), index) {}

CardFace::CardFace(const DesignedControls &built, int index)
    : awardbox(&built.get<PictureBox>(design::control(design::Role::CardFrame, index))),
      awardpic(&built.get<Image>(design::control(design::Role::CardPicture, index))),
      awardname(&built.get<Label>(design::control(design::Role::CardName, index))),
      x(&built.get<Label>(design::control(design::Role::CardTimesSign, index))),
      award(&built.get<Label>(design::control(design::Role::CardAmount, index))),
      colorbox(&built.get<Shape>(design::control(design::Role::CardStrip, index)))
{
}

} // namespace window
