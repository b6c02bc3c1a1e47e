// Scaling a list's weights so that they add up to exactly 100, keeping their
// proportions, and what it leaves alone: plain C++, no toolkit.
#pragma once

#include "prize_document.h"

#include <string>
#include <utility>
#include <vector>

namespace editing {

struct WeightScaling {
    // The rows scaled, each with its new weight as written.
    std::vector<std::pair<int, std::string>> weights;
    // For the user when the list holds weights that are no number or
    // negative: scaling leaves them as they are and counts them as the
    // game does; empty otherwise.
    std::string note;
};

// Scales the positive weights of rows (all rows when empty; each a row of the
// document) so that the list's weights add up to exactly 100, as the game
// counts them. Written with as many decimals as the list's weights use, and
// more where equal weights would otherwise come out unequal (up to 6, the
// most the game's single-precision bounds can tell apart; past that the
// sum stays exact and equal weights differ by 0.000001 at most). Throws
// authoring::ListError when no row has a weight to scale, or the other rows
// already reach 100.
WeightScaling scaleWeightsTo100(const authoring::PrizeDocument &document, std::vector<int> rows);

} // namespace editing
