// One card's controls, found among those built from the design.
#include "card_face.h"

#include "runtime_error.h"

namespace window {

namespace {
DesignedControls buildCard(QWidget *parent, int index)
{
    if (!design::find({"awardbox", index}))
        throw catalogue::RuntimeError(catalogue::ErrorCode::SubscriptOutOfRange);
    DesignedControls built;
    built.buildPictureBox(parent, design::control("awardbox", index)).move(0, 0);
    return built;
}
} // namespace

CardFace::CardFace(QWidget *parent, int index) : CardFace(buildCard(parent, index), index) {}

CardFace::CardFace(const DesignedControls &built, int index)
    : awardbox(&built.get<PictureBox>("awardbox", index)), awardpic(&built.get<Image>("awardpic", index)),
      awardname(&built.get<Label>("awardname", index)), x(&built.get<Label>("x", index)),
      award(&built.get<Label>("award", index)), colorbox(&built.get<Shape>("colorbox", index))
{
}

} // namespace window
