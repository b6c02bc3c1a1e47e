// A card on its own, written by the game's draw.
#include "card_preview.h"

#include "draw.h"

#include <memory>

namespace editor {

CardPreview::CardPreview(QWidget *parent) : QWidget(parent), face_(this, 0)
{
    controls_.emplace(*face_.awardbox, *face_.awardpic, *face_.awardname, *face_.award, *face_.colorbox, 0.0f, moves_);
    setFixedSize(face_.awardbox->size());
    // The empty card until a list is checked: never the design's sample texts.
    showSlot(*std::make_unique<catalogue::Catalogue>(), 0);
}

void CardPreview::showSlot(const catalogue::Catalogue &prizes, int slot) { reel::showSlot(*controls_, prizes, slot); }

QString CardPreview::name() const { return face_.awardname->caption(); }

} // namespace editor
