// Audits that run the game's own draw and reel, headless, from a seed.
#pragma once

#include "catalogue.h"
#include "reel_window.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace odds {

// Called now and then with the work done so far and the whole.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Pearson's goodness of fit of observed counts to expected shares.
struct FitTest {
    double chiSquare = 0;
    int degreesOfFreedom = 0;
    double pValue = 1;
    // A slot with no expected share came up: the fit fails outright.
    bool impossibleOutcome = false;
};

// expectedWeights are any non-negative weights (the exact counts out of
// 2^24, say); a slot of weight 0 takes no part unless it was observed.
FitTest chiSquareFit(const std::vector<std::uint64_t> &observed, const std::vector<std::uint32_t> &expectedWeights);

// P(X >= x) for X chi-square distributed with the given degrees of freedom.
double chiSquareSurvival(double x, int degreesOfFreedom);

struct DrawAudit {
    std::uint64_t draws = 0;
    std::uint32_t seed = 0;
    std::vector<std::uint64_t> counts; // per slot 0 to prizeCount
    FitTest fit;
};

// Runs the game's draw `draws` times on one headless card.
// exact holds the exact counts per slot (exactCounts) for the fit.
DrawAudit simulateDraws(const catalogue::Catalogue &prizes, std::uint64_t draws, std::uint32_t seed,
                        const std::vector<std::uint32_t> &exact, const Progress &progress = {});

// What sits under the marker after a spin, in viewing-area twips.
namespace marker {
inline constexpr float kTipTwips = 4080;
inline constexpr float kBarLeftTwips = reel::design::kMarkerBarLeftTwips;
inline constexpr float kBarRightTwips = reel::design::kMarkerBarRightTwips;
} // namespace marker

struct TipView {
    int card = -1;          // the card covering the tip, or -1 for a gap
    bool ambiguous = false; // a card edge lies strictly inside the marker bar
};
TipView viewUnderMarker(const reel::ReelWindow &window);

struct SpinAudit {
    std::uint64_t spins = 0;
    std::uint32_t seed = 0;
    std::vector<std::uint64_t> underTip; // per slot 0 to prizeCount
    std::uint64_t gaps = 0;
    std::uint64_t ambiguous = 0;
    // Ticks of the motion, from the click to the tick that brings the speed
    // to 0; an ease-on's ticks are counted apart.
    int minTicks = 0;
    double medianTicks = 0;
    int maxTicks = 0;
    double meanTicks = 0;
    double meanRefills = 0; // cards wrapped and refilled per spin
    // Spins that stopped with the bar on a gap or an edge and eased on to a card.
    std::uint64_t easedOn = 0;
    int maxEaseTicks = 0;
    double meanEaseTicks = 0; // over the spins that eased on
    FitTest fit;              // of the prizes under the tip, gaps left out
};

// Fills the four cards as start-up does, then runs `spins` whole spins of the
// game's reel from the designed positions, each going on from the last.
SpinAudit auditSpins(const catalogue::Catalogue &prizes, std::uint64_t spins, std::uint32_t seed,
                     const std::vector<std::uint32_t> &exact, const Progress &progress = {});

} // namespace odds
