// Seeded runs of the game's draw and reel, and the goodness-of-fit test.
#include "audit.h"

#include "draw.h"
#include "headless_window.h"
#include "random_source.h"
#include "spin.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

namespace odds {

using catalogue::Catalogue;

namespace {

// A copy of the list whose names are the slot numbers: the walk reads only
// the bounds, so the name a card ends up showing tells which slot was drawn.
std::unique_ptr<Catalogue> taggedCopy(const Catalogue &prizes)
{
    auto tagged = std::make_unique<Catalogue>(prizes);
    for (int slot = 0; slot <= prizes.prizeCount; ++slot)
        tagged->prize(slot).name = std::to_string(slot);
    return tagged;
}

std::size_t slotShownBy(reel::HeadlessCard &card)
{
    std::size_t slot = 0;
    const std::string &name = card.name;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), slot);
    if (ec != std::errc() || end != name.data() + name.size())
        throw std::logic_error("card shows no slot tag: " + name);
    return slot;
}

class CountingRandom : public reel::RandomSource {
public:
    explicit CountingRandom(std::uint32_t seed) : inner_(seed) {}
    void randomize() override { inner_.randomize(); }
    float next() override
    {
        ++taken;
        return inner_.next();
    }
    std::uint64_t taken = 0;

private:
    reel::Mt19937Source inner_;
};

// Reports about a hundred times over a run.
class ProgressPacer {
public:
    ProgressPacer(const Progress &progress, std::uint64_t total)
        : progress_(progress), total_(total), every_(std::max<std::uint64_t>(total / 100, 1))
    {
    }
    void step(std::uint64_t done)
    {
        if (progress_ && (done % every_ == 0 || done == total_))
            progress_(done, total_);
    }

private:
    const Progress &progress_;
    std::uint64_t total_;
    std::uint64_t every_;
};

// Regularised lower incomplete gamma P(a, x) by its series, for x < a + 1.
double gammaSeries(double a, double x)
{
    double term = 1 / a;
    double sum = term;
    for (int n = 1; n < 10000; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::abs(term) < std::abs(sum) * 1e-16)
            break;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// Regularised upper incomplete gamma Q(a, x) by its continued fraction
// (modified Lentz), for x >= a + 1.
double gammaFraction(double a, double x)
{
    constexpr double tiny = 1e-300;
    double b = x + 1 - a;
    double c = 1 / tiny;
    double d = 1 / b;
    double h = d;
    for (int i = 1; i < 10000; ++i) {
        const double an = -i * (i - a);
        b += 2;
        d = an * d + b;
        if (std::abs(d) < tiny)
            d = tiny;
        c = b + an / c;
        if (std::abs(c) < tiny)
            c = tiny;
        d = 1 / d;
        const double delta = d * c;
        h *= delta;
        if (std::abs(delta - 1) < 1e-16)
            break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

} // namespace

double chiSquareSurvival(double x, int degreesOfFreedom)
{
    if (degreesOfFreedom <= 0 || x <= 0)
        return 1;
    const double a = degreesOfFreedom / 2.0;
    const double half = x / 2;
    return half < a + 1 ? 1 - gammaSeries(a, half) : gammaFraction(a, half);
}

FitTest chiSquareFit(const std::vector<std::uint64_t> &observed, const std::vector<std::uint32_t> &expectedWeights)
{
    FitTest fit;
    if (observed.size() != expectedWeights.size())
        throw std::invalid_argument("observed and expected differ in length");
    double n = 0;
    double weightSum = 0;
    for (std::size_t i = 0; i < observed.size(); ++i) {
        n += static_cast<double>(observed[i]);
        weightSum += expectedWeights[i];
    }
    int categories = 0;
    for (std::size_t i = 0; i < observed.size(); ++i) {
        if (expectedWeights[i] == 0) {
            fit.impossibleOutcome = fit.impossibleOutcome || observed[i] > 0;
            continue;
        }
        const double expected = n * expectedWeights[i] / weightSum;
        const double difference = static_cast<double>(observed[i]) - expected;
        fit.chiSquare += difference * difference / expected;
        ++categories;
    }
    fit.degreesOfFreedom = std::max(categories - 1, 0);
    fit.pValue = fit.impossibleOutcome ? 0 : chiSquareSurvival(fit.chiSquare, fit.degreesOfFreedom);
    return fit;
}

DrawAudit simulateDraws(const Catalogue &prizes, std::uint64_t draws, std::uint32_t seed,
                        const std::vector<std::uint32_t> &exact, const Progress &progress)
{
    const auto tagged = taggedCopy(prizes);
    reel::HeadlessWindow window;
    reel::Mt19937Source random(seed);
    DrawAudit audit;
    audit.draws = draws;
    audit.seed = seed;
    audit.counts.assign(static_cast<std::size_t>(prizes.prizeCount) + 1, 0);
    ProgressPacer pacer(progress, draws);
    for (std::uint64_t done = 1; done <= draws; ++done) {
        reel::Newreset(window, 0, *tagged, random);
        ++audit.counts.at(slotShownBy(window.card(0)));
        pacer.step(done);
    }
    audit.fit = chiSquareFit(audit.counts, exact);
    return audit;
}

TipView viewUnderMarker(const reel::ReelWindow &window)
{
    TipView view;
    for (int i = 0; i < window.cardCount(); ++i) {
        const float left = window.left(i);
        const float right = left + window.width(i);
        if (left <= marker::kTipTwips && marker::kTipTwips < right)
            view.card = i;
        for (const float edge : {left, right})
            if (marker::kBarLeftTwips < edge && edge < marker::kBarRightTwips)
                view.ambiguous = true;
    }
    return view;
}

SpinAudit auditSpins(const Catalogue &prizes, std::uint64_t spins, std::uint32_t seed,
                     const std::vector<std::uint32_t> &exact, const Progress &progress)
{
    // A spin from 4000 lasts at most 667 ticks; far more means a broken reel.
    constexpr int kTickLimit = 100'000;
    const auto tagged = taggedCopy(prizes);
    reel::HeadlessWindow window;
    CountingRandom random(seed);
    for (int i = 0; i < window.cardCount(); ++i)
        reel::Newreset(window, static_cast<std::int16_t>(i), *tagged, random);
    reel::Spin spin(window, random, *tagged);

    SpinAudit audit;
    audit.spins = spins;
    audit.seed = seed;
    audit.underTip.assign(static_cast<std::size_t>(prizes.prizeCount) + 1, 0);
    std::vector<std::uint64_t> tickHistogram;
    std::uint64_t totalTicks = 0;
    std::uint64_t totalEaseTicks = 0;
    std::uint64_t refills = 0;
    ProgressPacer pacer(progress, spins);

    for (std::uint64_t done = 1; done <= spins; ++done) {
        const std::uint64_t takenBefore = random.taken;
        spin.start();
        int ticks = 0;
        do {
            spin.tick();
            if (++ticks > kTickLimit)
                throw std::logic_error("a spin did not stop");
        } while (window.timerOn);
        if (spin.easeTicks() > 0) {
            ++audit.easedOn;
            totalEaseTicks += static_cast<std::uint64_t>(spin.easeTicks());
            audit.maxEaseTicks = std::max(audit.maxEaseTicks, spin.easeTicks());
            ticks -= spin.easeTicks();
        }
        // Each tick of the motion takes two numbers for the slowing, each
        // refill one; the ease-on takes none of its own.
        refills += random.taken - takenBefore - 2 * static_cast<std::uint64_t>(ticks);
        totalTicks += static_cast<std::uint64_t>(ticks);
        if (tickHistogram.size() <= static_cast<std::size_t>(ticks))
            tickHistogram.resize(static_cast<std::size_t>(ticks) + 1, 0);
        ++tickHistogram[static_cast<std::size_t>(ticks)];

        const TipView view = viewUnderMarker(window);
        if (view.card < 0)
            ++audit.gaps;
        else
            ++audit.underTip.at(slotShownBy(window.card(view.card)));
        if (view.ambiguous)
            ++audit.ambiguous;
        pacer.step(done);
    }

    if (spins > 0) {
        audit.meanTicks = static_cast<double>(totalTicks) / static_cast<double>(spins);
        audit.meanRefills = static_cast<double>(refills) / static_cast<double>(spins);
        if (audit.easedOn > 0)
            audit.meanEaseTicks = static_cast<double>(totalEaseTicks) / static_cast<double>(audit.easedOn);
        std::uint64_t seen = 0;
        int lower = -1;
        for (std::size_t ticks = 0; ticks < tickHistogram.size(); ++ticks) {
            if (tickHistogram[ticks] == 0)
                continue;
            if (seen == 0)
                audit.minTicks = static_cast<int>(ticks);
            audit.maxTicks = static_cast<int>(ticks);
            // The median is the mean of the middle two of the sorted tick counts.
            const std::uint64_t before = seen;
            seen += tickHistogram[ticks];
            const std::uint64_t lowMiddle = (spins - 1) / 2; // zero-based ranks
            const std::uint64_t highMiddle = spins / 2;
            if (lower < 0 && lowMiddle < seen && lowMiddle >= before)
                lower = static_cast<int>(ticks);
            if (highMiddle < seen && highMiddle >= before)
                audit.medianTicks = (lower + static_cast<double>(ticks)) / 2;
        }
    }
    audit.fit = chiSquareFit(audit.underTip, exact);
    return audit;
}

} // namespace odds
