// The weighted draw: a walk down the cumulative bounds from the slot past the
// last prize, writing the card as it goes.
#include "draw.h"

#include <cmath>

namespace reel {

using catalogue::Catalogue;
using catalogue::FailureRegime;
using catalogue::Variant;

namespace {
std::string_view textOf(const Variant &value, std::string &scratch)
{
    if (const std::string *text = value.textIf())
        return *text; // the common case: no copy inside the tick
    scratch = value.isEmpty() ? std::string() : value.toText();
    return scratch;
}

void writePrize(Card &card, const catalogue::award &prize)
{
    std::string scratch;
    card.setFillColor(cardColor(prize.color));
    card.setBorderColor(cardColor(prize.color));
    card.setName(textOf(prize.name, scratch));
    card.setAmount(textOf(prize.amount, scratch));
}
} // namespace

float drawValue(float u) { return static_cast<float>(static_cast<double>(u) * 100.0); }

bool stopsAt(const Catalogue &prizes, int j, float r)
{
    if (j < 1)
        return false;
    const auto bound = prizes.prize(j - 1).pr.numberIf();
    return bound && !(*bound > static_cast<double>(r));
}

int drawnSlot(const Catalogue &prizes, float r)
{
    for (int j = prizes.prizeCount; j >= 1; --j)
        if (stopsAt(prizes, j, r))
            return j;
    return 0;
}

std::int32_t cardColor(const Variant &color)
{
    const auto number = color.numberIf();
    if (!number || std::isnan(*number))
        return 0;
    const double rounded = std::nearbyint(*number); // half to even
    if (rounded < 0 || rounded > 0xFFFFFF)
        return 0;
    return static_cast<std::int32_t>(rounded);
}

void showSlot(Card &card, const Catalogue &prizes, int j)
{
    writePrize(card, prizes.prize(j));
    card.setPicture(prizes.picture(j).picture());
}

void Newreset(ReelWindow &window, std::int16_t i, const Catalogue &prizes, RandomSource &random)
{
    const float r = drawValue(random.next());
    Card &card = window.card(i);
    FailureRegime regime;
    // Every pass writes the default from slot 0 and its own slot's picture;
    // the pass that stops overwrites both with its own slot.
    for (int j = prizes.prizeCount; j >= 0; --j) {
        writePrize(card, prizes.prize(0));
        regime.skipFailures();
        regime.run([&] { card.setPicture(prizes.picture(j).picture()); });
        if (stopsAt(prizes, j, r)) {
            regime.run([&] { writePrize(card, prizes.prize(j)); });
            regime.run([&] { card.setPicture(prizes.picture(j).picture()); });
            return;
        }
    }
}

} // namespace reel
