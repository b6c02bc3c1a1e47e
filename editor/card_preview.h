// The selected prize's card, drawn by the game's own card controls.
#pragma once

#include "card_controls.h"
#include "card_face.h"
#include "catalogue.h"

#include <QWidget>

#include <optional>

namespace editor {

class CardPreview : public QWidget {
public:
    explicit CardPreview(QWidget *parent = nullptr);

    // Shows slot j of the list as a draw that stops there writes it onto
    // card 0 of the game's window.
    void showSlot(const catalogue::Catalogue &prizes, int slot);
    // The card's frame, for comparing with the game's.
    QWidget &card() const { return *face_.awardbox; }
    // The prize name the card shows.
    QString name() const;

private:
    window::CardFace face_;
    window::CardMoves moves_;
    std::optional<window::CardControls> controls_;
};

} // namespace editor
