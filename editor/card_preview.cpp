// A card on its own, written by the game's draw.
#include "card_preview.h"

#include "draw.h"

namespace editor {

CardPreview::CardPreview(QWidget *parent) : QWidget(parent), face_(this, 0)
{
    controls_.emplace(*face_.awardbox, *face_.awardpic, *face_.awardname, *face_.award, *face_.colorbox, 0.0f,
                      moves_);
    setFixedSize(face_.awardbox->size());
}

void CardPreview::showSlot(const catalogue::Catalogue &prizes, int slot)
{
    reel::showSlot(*controls_, prizes, slot);
}

} // namespace editor
