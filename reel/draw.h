// The weighted draw that fills a card with a prize.
#pragma once

#include "catalogue.h"
#include "random_source.h"
#include "reel_window.h"

#include <cstdint>

namespace reel {

// r = u x 100, rounded to single precision: 0 <= r < 100 for every u in [0, 1).
float drawValue(float u);

// Whether the walk stops at slot j for r: j >= 1 and the bound of slot j - 1
// is not above r. A bound that is not a number counts as above every r.
bool stopsAt(const catalogue::Catalogue &prizes, int j, float r);

// The slot the walk draws for r: the highest j from prizeCount down to 1 at
// which it stops, else 0. Never decreases as r grows.
int drawnSlot(const catalogue::Catalogue &prizes, float r);

// The colour a card shows for a colour field: its number when that is a whole
// colour 0 to 16777215 after rounding half to even, else black (0).
std::int32_t cardColor(const catalogue::Variant &color);

// Writes slot j onto a card as a draw that stops there does: fill and border
// colour, name, amount and picture. Slot prizeCount is the empty card.
void showSlot(Card &card, const catalogue::Catalogue &prizes, int j);

// Draws one prize by weight and writes it onto card i: fill and border colour,
// name, amount, and the prize's own picture or none. Takes exactly one random
// number, first. Throws SubscriptOutOfRange, writing nothing, when i names no card.
void Newreset(ReelWindow &window, std::int16_t i, const catalogue::Catalogue &prizes, RandomSource &random);

} // namespace reel
