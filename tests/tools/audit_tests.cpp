// The goodness-of-fit test, the draw and spin audits, and what the marker covers.
#include "audit.h"
#include "headless_window.h"
#include "list_folder.h"
#include "render.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

using namespace testing_odds;

TEST(ChiSquare, SurvivalMatchesTabulatedCriticalValues)
{
    // 5 % and 1 % critical values from standard tables.
    EXPECT_NEAR(odds::chiSquareSurvival(3.841459, 1), 0.05, 1e-6);
    EXPECT_NEAR(odds::chiSquareSurvival(11.070498, 5), 0.05, 1e-6);
    EXPECT_NEAR(odds::chiSquareSurvival(6.634897, 1), 0.01, 1e-6);
    EXPECT_NEAR(odds::chiSquareSurvival(124.342113, 100), 0.05, 1e-6);
    EXPECT_NEAR(odds::chiSquareSurvival(1.0, 2), std::exp(-0.5), 1e-12); // two degrees: e^(-x/2)
    EXPECT_NEAR(odds::chiSquareSurvival(100.0, 2), std::exp(-50.0), 1e-30);
    EXPECT_EQ(odds::chiSquareSurvival(0.0, 3), 1.0);
}

TEST(ChiSquare, OutcomeWithNoExpectedShareFailsTheFit)
{
    const auto perfect = odds::chiSquareFit({50, 30, 20, 0}, {5, 3, 2, 0});
    EXPECT_EQ(perfect.chiSquare, 0.0);
    EXPECT_EQ(perfect.degreesOfFreedom, 2);
    EXPECT_EQ(perfect.pValue, 1.0);
    EXPECT_FALSE(perfect.impossibleOutcome);

    const auto impossible = odds::chiSquareFit({50, 30, 19, 1}, {5, 3, 2, 0});
    EXPECT_TRUE(impossible.impossibleOutcome);
    EXPECT_EQ(impossible.pValue, 0.0);
}

TEST(DrawAudit, AgreesWithTheExactOddsOnAFixedSeed)
{
    ListFolder list;
    const auto report = list.report(weights({"50", "30", "12.5", "0", "-2"}));
    const auto exact = countsOf(report);
    constexpr std::uint64_t kDraws = 200'000;
    const auto audit = odds::simulateDraws(*list.list.catalogue, kDraws, 1, exact);
    ASSERT_EQ(audit.counts.size(), exact.size());
    for (std::size_t slot = 0; slot < exact.size(); ++slot) {
        const double p = static_cast<double>(exact[slot]) / odds::kDrawValues;
        const double sd = std::sqrt(kDraws * p * (1 - p));
        EXPECT_NEAR(static_cast<double>(audit.counts[slot]), kDraws * p, 5 * sd + 1e-9) << "slot " << slot;
    }
    EXPECT_EQ(audit.counts[3], 0u); // weight 0
    EXPECT_EQ(audit.counts[4], 0u); // negative weight
    EXPECT_GT(audit.counts[5], 0u); // the empty card takes the missing 7.5 %
    EXPECT_FALSE(audit.fit.impossibleOutcome);
    EXPECT_EQ(audit.fit.degreesOfFreedom, 3);
    EXPECT_GT(audit.fit.pValue, 0.001);

    EXPECT_EQ(odds::simulateDraws(*list.list.catalogue, 1000, 1, exact).counts,
              odds::simulateDraws(*list.list.catalogue, 1000, 1, exact).counts);
}

namespace {
reel::HeadlessWindow windowWithLefts(float a, float b, float c, float d)
{
    reel::HeadlessWindow window;
    const float lefts[] = {a, b, c, d};
    for (int i = 0; i < 4; ++i)
        window.setLeft(i, lefts[i]);
    return window;
}
} // namespace

TEST(MarkerView, TellsCardGapAndAnEdgeUnderTheBar)
{
    // Cards are 2655 wide; the tip is at 4080, the bar spans 4060 to 4110.
    auto view = odds::viewUnderMarker(windowWithLefts(-850, 1920, 4680, 7440));
    EXPECT_EQ(view.card, 1);
    EXPECT_FALSE(view.ambiguous);

    view = odds::viewUnderMarker(windowWithLefts(1300, 4100, 6875, 9650)); // card 0 ends at 3955
    EXPECT_EQ(view.card, -1);
    EXPECT_TRUE(view.ambiguous); // card 1 begins under the bar

    view = odds::viewUnderMarker(windowWithLefts(1405, 4080, 6855, 9630)); // card 0 ends at 4060
    EXPECT_EQ(view.card, 1);
    EXPECT_TRUE(view.ambiguous);

    view = odds::viewUnderMarker(windowWithLefts(1405, 4110, 6885, 9660)); // edges on the bar's sides
    EXPECT_EQ(view.card, -1);
    EXPECT_FALSE(view.ambiguous);
}

TEST(SpinAudit, EverySpinEndsOnACardOrAGapWithinTheReelsTickBounds)
{
    ListFolder list;
    const auto report = list.report(weights({"50", "30"}));
    constexpr std::uint64_t kSpins = 400;
    const auto audit = odds::auditSpins(*list.list.catalogue, kSpins, 3, countsOf(report));
    std::uint64_t onCards = 0;
    for (const auto count : audit.underTip)
        onCards += count;
    EXPECT_EQ(onCards + audit.gaps, kSpins);
    EXPECT_GT(audit.underTip[2], 0u); // the empty card stops under the marker too
    EXPECT_LE(audit.ambiguous, kSpins);
    // A spin from 4000 lasts 418 to 667 ticks, about 520 on average, and
    // refills about 36 cards.
    EXPECT_GE(audit.minTicks, 418);
    EXPECT_LE(audit.maxTicks, 667);
    EXPECT_LE(audit.minTicks, audit.medianTicks);
    EXPECT_LE(audit.medianTicks, audit.maxTicks);
    EXPECT_NEAR(audit.meanTicks, 520, 10);
    EXPECT_NEAR(audit.meanRefills, 36, 2);
    EXPECT_FALSE(audit.fit.impossibleOutcome);

    const auto again = odds::auditSpins(*list.list.catalogue, kSpins, 3, countsOf(report));
    EXPECT_EQ(again.underTip, audit.underTip);
    EXPECT_EQ(again.gaps, audit.gaps);
}

TEST(SpinAudit, NoSpinRestsOnAGapOrAnEdgeAndTheReportsCountTheEaseOnApart)
{
    ListFolder list;
    const auto report = list.report(weights({"50", "30"}));
    constexpr std::uint64_t kSpins = 400;
    odds::Audits audits;
    audits.spins = odds::auditSpins(*list.list.catalogue, kSpins, 3, countsOf(report));
    const odds::SpinAudit &audit = *audits.spins;
    EXPECT_EQ(audit.gaps, 0u);
    EXPECT_EQ(audit.ambiguous, 0u);
    // About one spin in 18 stops on a gap or an edge; the longest ease-on
    // crosses a gap of 400 and the bar, 3 twips a tick.
    EXPECT_GT(audit.easedOn, 0u);
    EXPECT_LT(audit.easedOn, kSpins / 8);
    EXPECT_GE(audit.meanEaseTicks, 1);
    EXPECT_LE(audit.meanEaseTicks, audit.maxEaseTicks);
    EXPECT_LE(audit.maxEaseTicks, 151);

    const auto json = nlohmann::json::parse(odds::renderJson(report, audits));
    EXPECT_EQ(json["spins"]["easedOn"]["spins"], audit.easedOn);
    EXPECT_EQ(json["spins"]["easedOn"]["ticks"]["max"], audit.maxEaseTicks);
    const std::string text = odds::renderText(report, audits);
    EXPECT_NE(text.find("gap or an edge: " + std::to_string(audit.easedOn) + " spins"), std::string::npos) << text;
}

TEST(SpinAudit, MedianOfAnEvenNumberOfSpinsIsTheMeanOfTheMiddleTwo)
{
    ListFolder list;
    const auto report = list.report(weights({"100"}));
    const auto one = odds::auditSpins(*list.list.catalogue, 1, 9, countsOf(report));
    EXPECT_EQ(one.minTicks, one.maxTicks);
    EXPECT_EQ(one.medianTicks, one.minTicks);
    EXPECT_EQ(one.meanTicks, one.minTicks);

    const auto two = odds::auditSpins(*list.list.catalogue, 2, 9, countsOf(report));
    EXPECT_EQ(two.minTicks, one.minTicks); // the first spin is the same spin
    EXPECT_EQ(two.medianTicks, (two.minTicks + two.maxTicks) / 2.0);
}
