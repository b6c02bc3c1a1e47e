// The reel motion: steps, wraps, refills, slowing, stopping, and whole spins.
#include "fakes.h"
#include "spin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>

using reel::Spin;

namespace {
constexpr float kLargestU = 0x1.fffffep-1f;
constexpr float kWidth = reel::design::kCardWidthTwips;

std::unique_ptr<catalogue::Catalogue> fourPrizes()
{
    auto prizes = std::make_unique<catalogue::Catalogue>();
    for (int k = 0; k < 4; ++k) {
        prizes->prize(k).pr = "25";
        prizes->prize(k).name = "p" + std::to_string(k);
    }
    prizes->prizeCount = 4;
    catalogue::cumulativePass(*prizes);
    return prizes;
}

std::array<float, 4> leftsOf(const reel::ReelWindow &window)
{
    return {window.left(0), window.left(1), window.left(2), window.left(3)};
}

struct Rig {
    explicit Rig(std::vector<float> script) : random(std::move(script)) {}
    std::unique_ptr<catalogue::Catalogue> prizes = fourPrizes();
    reel::HeadlessWindow window;
    fakes::ScriptedRandom random;
    Spin spin{window, random, *prizes};

    // Ticks until the reel stops; returns the number of ticks.
    int spinToStop()
    {
        spin.start();
        int ticks = 0;
        while (window.timerOn) {
            spin.tick();
            ++ticks;
            if (ticks > 10'000)
                throw std::logic_error("the reel never stops");
        }
        return ticks;
    }
};

// Notes where the cards stand each time a number is taken.
struct WatchingRandom : fakes::ScriptedRandom {
    WatchingRandom(const reel::ReelWindow &window, std::vector<float> script)
        : ScriptedRandom(std::move(script), true), window(window)
    {
    }
    float next() override
    {
        leftsAtDraw.push_back(leftsOf(window));
        return ScriptedRandom::next();
    }
    const reel::ReelWindow &window;
    std::vector<std::array<float, 4>> leftsAtDraw;
};
} // namespace

TEST(Spin, StartSwitchesTheTimerOnSetsFullSpeedAndDisablesTheButton)
{
    auto prizes = fourPrizes();
    fakes::RecordingWindow window;
    fakes::ScriptedRandom random({0});
    Spin spin(window, random, *prizes);
    EXPECT_FALSE(spin.speed().has_value());
    spin.start();
    EXPECT_EQ(window.log, (std::vector<std::string>{"timer on", "button off"}));
    EXPECT_EQ(spin.speed(), 4000);
    EXPECT_EQ(leftsOf(window), (std::array<float, 4>{-850, 1920, 4680, 7440}));
}

TEST(Spin, TheFirstTickMovesEveryCardBy400AndSlowsBy6To12)
{
    for (float u : {0.0f, 0.5f, kLargestU}) {
        Rig rig({u});
        rig.spin.start();
        rig.spin.tick();
        EXPECT_EQ(leftsOf(rig.window), (std::array<float, 4>{-1250, 1520, 4280, 7040}));
        EXPECT_GE(*rig.spin.speed(), 4000 - 12);
        EXPECT_LE(*rig.spin.speed(), 4000 - 6);
    }
    Rig slowest({kLargestU});
    slowest.spin.start();
    slowest.spin.tick();
    EXPECT_EQ(slowest.spin.speed(), 4000 - 4 - 6 - 2);
}

TEST(Spin, EachTickMovesTheCardsByATenthOfTheSpeedRoundedDown)
{
    Rig rig({0}); // slows by 6 a tick: 4000, 3994, 3988
    rig.spin.start();
    for (int tick = 0; tick < 3; ++tick)
        rig.spin.tick();
    EXPECT_EQ(rig.window.left(2), 4680 - 400 - 399 - 398);
}

TEST(Spin, ACardWrapsWhenItsRightEdgeReaches120AndNotAt121)
{
    Rig rig({0});
    rig.spin.start();
    // Step 400: card 1 ends with its right edge at exactly 120, card 2 at 121.
    rig.window.setLeft(1, 120 - kWidth + 400);
    rig.window.setLeft(2, 121 - kWidth + 400);
    rig.window.setLeft(3, 9000);
    rig.spin.tick();
    EXPECT_EQ(rig.window.left(1), rig.window.left(0) + 120 + kWidth);
    EXPECT_EQ(rig.window.left(2), 121 - kWidth);
    EXPECT_EQ(rig.random.taken, 1u + 2u) << "one refill, then the two slowing numbers";
}

TEST(Spin, CardZeroFollowsCardThreeWithoutAGapAndCardThreeStillMoves)
{
    Rig rig({0});
    rig.spin.start();
    // With every number 0 the speed drops by 6 a tick: 4000, 3994, ... 3964 (step 396) at tick 7.
    for (int tick = 0; tick < 6; ++tick)
        rig.spin.tick();
    ASSERT_EQ(rig.spin.speed(), 3964);
    rig.window.setLeft(0, 120 - kWidth + 396);
    rig.window.setLeft(3, 5000);
    rig.spin.tick();
    EXPECT_EQ(rig.window.left(0), 5000 + kWidth);
    EXPECT_EQ(rig.window.left(0) - rig.window.left(3), kWidth + 396);
}

TEST(Spin, CardZeroWrapsInTheFifthTickFromTheDesignedPositions)
{
    for (float u : {0.0f, 0.5f, kLargestU}) {
        Rig rig({u});
        rig.spin.start();
        for (int tick = 1; tick <= 5; ++tick) {
            rig.spin.tick();
            const bool wrapped = rig.window.left(0) > 0;
            EXPECT_EQ(wrapped, tick == 5) << "tick " << tick << ", u " << u;
        }
    }
}

TEST(Spin, EachWrapRefillsAtOnceAndTheSlowingNumbersComeAfterAllRefills)
{
    auto prizes = fourPrizes();
    fakes::RecordingWindow window;
    // Card 0 is drawn p3 (0.9), card 1 p1 (0.3); r1 = 0.5, r2 = 0.7 slow by 2 + 6 + 2.
    fakes::ScriptedRandom random({0.9f, 0.3f, 0.5f, 0.7f}, true);
    Spin spin(window, random, *prizes);
    spin.start();
    window.setLeft(0, 120 - kWidth + 400);
    window.setLeft(1, 120 - kWidth + 400);
    window.log.clear();
    spin.tick();

    EXPECT_EQ(random.taken, 4u);
    EXPECT_EQ(spin.speed(), 4000 - 10);
    EXPECT_EQ(window.log.back(), "1:picture none");
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "0:name p3"), 1);
    EXPECT_EQ(std::count(window.log.begin(), window.log.end(), "1:name p1"), 1);
    // Card 1 is placed after card 0 had been placed anew.
    EXPECT_EQ(window.left(1), window.left(0) + 120 + kWidth);
}

TEST(Spin, TheSlowingTakesItsSpeedTermFromTheFirstNumberAndItsZeroToTwoTermFromTheSecond)
{
    // floor(4000 x 0.901 / 900) = 4 (3 from any lower speed) and floor(0.1 x 3) = 0;
    // the other way round the terms would be 0 and 2.
    Rig rig({0.901f, 0.1f});
    rig.spin.start();
    rig.spin.tick();
    EXPECT_EQ(rig.spin.speed(), 4000 - 4 - 6 - 0);
}

TEST(Spin, ARefillDrawsAfterItsCardHasMovedAndBeforeTheNextCardMoves)
{
    auto prizes = fourPrizes();
    reel::HeadlessWindow window;
    WatchingRandom random(window, {0.9f, 0.5f, 0.7f});
    Spin spin(window, random, *prizes);
    spin.start();
    window.setLeft(1, 120 - kWidth + 400); // only card 1 wraps
    spin.tick();

    ASSERT_EQ(random.leftsAtDraw.size(), 3u);
    const auto after = leftsOf(window);
    EXPECT_EQ(random.leftsAtDraw[0], (std::array<float, 4>{after[0], after[1], after[2] + 400, after[3] + 400}));
    EXPECT_EQ(random.leftsAtDraw[1], after) << "the slowing draws once every card has moved";
    EXPECT_EQ(window.card(1).name, "p3");
}

TEST(Spin, BelowSpeedTenTheCardsStandStillWhileTheSpeedRunsOut)
{
    Rig rig({0});
    rig.spin.start();
    while (*rig.spin.speed() >= 10)
        rig.spin.tick();
    const auto before = leftsOf(rig.window);
    rig.spin.tick();
    EXPECT_EQ(leftsOf(rig.window), before);
}

TEST(Spin, ASpeedOfExactlyZeroOrBelowStopsTheSpinInOrder)
{
    // r1 = 0.5, r2 = 0.7 slow the first tick to 3990; then 6 a tick to exactly 0.
    Rig exact({0.5f, 0.7f, 0.0f});
    EXPECT_EQ(exact.spinToStop(), 1 + 665);
    EXPECT_EQ(exact.spin.speed(), 0);

    auto prizes = fourPrizes();
    fakes::RecordingWindow window;
    fakes::ScriptedRandom random({0});
    Spin spin(window, random, *prizes);
    spin.start();
    for (int tick = 0; tick < 667; ++tick)
        spin.tick();
    EXPECT_EQ(spin.speed(), 0); // 4 - 6 would be -2
    EXPECT_EQ(std::vector<std::string>(window.log.end() - 2, window.log.end()),
              (std::vector<std::string>{"timer off", "button on"}));
    EXPECT_FALSE(window.positions.timerOn);
    EXPECT_TRUE(window.positions.buttonOn);
}

TEST(Spin, LastsFrom418To667TicksAtTheExtremesOfChance)
{
    EXPECT_EQ(Rig({0.0f}).spinToStop(), 667);
    EXPECT_EQ(Rig({kLargestU}).spinToStop(), 418);
}

TEST(Spin, TheNextSpinStartsAgainFromFullSpeedWhereTheCardsStopped)
{
    Rig rig({0.3f});
    rig.spinToStop();
    const auto stopped = leftsOf(rig.window);
    rig.spin.start();
    EXPECT_EQ(rig.spin.speed(), 4000);
    EXPECT_EQ(leftsOf(rig.window), stopped);
    rig.spin.tick();
    for (int i = 0; i < 4; ++i) {
        const bool wrapped = rig.window.left(i) > stopped[i];
        if (!wrapped) {
            EXPECT_EQ(rig.window.left(i), stopped[i] - 400) << i;
        }
    }
}

TEST(Spin, OverManySeededSpinsLastsAbout520TicksAndWrapsAbout36Cards)
{
    auto prizes = fourPrizes();
    reel::HeadlessWindow window;
    reel::Mt19937Source random(7);
    Spin spin(window, random, *prizes);
    constexpr int kSpins = 2000;
    std::vector<int> ticks;
    long wraps = 0;
    for (int s = 0; s < kSpins; ++s) {
        spin.start();
        int n = 0;
        while (window.timerOn) {
            const auto before = leftsOf(window);
            spin.tick();
            ++n;
            for (int i = 0; i < 4; ++i)
                wraps += window.left(i) > before[i];
        }
        ticks.push_back(n - spin.easeTicks()); // the motion's ticks; an ease-on counts apart
        // A wrapped card never overlaps the card it follows.
        for (int i = 1; i < 4; ++i)
            EXPECT_TRUE(window.left(i) >= window.left(i - 1) + kWidth || window.left(i) + kWidth <= window.left(i - 1));
    }
    EXPECT_GE(*std::min_element(ticks.begin(), ticks.end()), 418);
    EXPECT_LE(*std::max_element(ticks.begin(), ticks.end()), 667);
    const double meanTicks = std::accumulate(ticks.begin(), ticks.end(), 0.0) / kSpins;
    const double meanWraps = static_cast<double>(wraps) / kSpins;
    RecordProperty("mean_ticks", std::to_string(meanTicks));
    RecordProperty("mean_wraps", std::to_string(meanWraps));
    std::printf("mean ticks %.2f, mean wraps %.2f over %d spins\n", meanTicks, meanWraps, kSpins);
    EXPECT_NEAR(meanTicks, 520, 10);
    EXPECT_NEAR(meanWraps, 36, 2);
}

namespace {
// A spin of all-zero numbers slows by 6 a tick, to 4 after 666 ticks; the
// cards are then placed where the 667th tick, which moves nothing, stops them.
struct StopAt {
    explicit StopAt(std::array<float, 4> lefts)
    {
        spin.start();
        for (int tick = 0; tick < 666; ++tick)
            spin.tick();
        for (int i = 0; i < 4; ++i)
            window.setLeft(i, lefts[i]);
        spin.tick();
        stopped = leftsOf(window);
        takenAtStop = random.taken;
        logAtStop = window.log.size();
    }

    // Ticks on until the reel rests; the greyed button and the timer stay as
    // they are until then. Returns the number of ticks.
    int easeToRest()
    {
        int ticks = 0;
        while (window.positions.timerOn) {
            EXPECT_FALSE(window.positions.buttonOn) << "after " << ticks << " ease ticks";
            spin.tick();
            if (++ticks > 1000)
                throw std::logic_error("the ease-on never ends");
        }
        return ticks;
    }

    std::unique_ptr<catalogue::Catalogue> prizes = fourPrizes();
    fakes::RecordingWindow window;
    fakes::ScriptedRandom random{{0}};
    Spin spin{window, random, *prizes};
    std::array<float, 4> stopped{};
    std::size_t takenAtStop = 0;
    std::size_t logAtStop = 0;
};
} // namespace

TEST(Spin, AStopOnAGapOrAnEdgeEasesTheStripOnUntilTheNextCardHoldsTheBar)
{
    // The bar runs from x 4060 to 4110; a card holds it when its left edge is
    // at most 4030 and its right edge at least 4140, the bar clear of its
    // border. Gaps are 120 but between card 3 and card 0, where a wrap left
    // the step of its tick.
    struct Case {
        const char *stop;
        std::array<float, 4> lefts;
        int easeTicks;
        int holder;
    };
    const Case cases[] = {
        {"wholly inside card 2, clear of its border", {-1520, 1255, 4030, 6805}, 0, 2},
        {"on card 2's border", {-1491, 1284, 4059, 6834}, 10, 2},
        {"on the 120 gap between cards 1 and 2", {-1430, 1345, 4120, 6895}, 30, 2},
        {"on the gap of a step of 196 between cards 3 and 0", {4176, 6951, 9726, 1325}, 49, 0},
        {"across card 2's left edge", {-1460, 1315, 4090, 6865}, 20, 2},
        {"with card 2's left edge on the bar's left side", {-1490, 1285, 4060, 6835}, 10, 2},
        {"across card 1's right edge", {-1345, 1430, 4205, 6980}, 59, 2},
        {"with card 1's right edge on the bar's right side", {-1320, 1455, 4230, 7005}, 67, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stop);
        StopAt rig(c.lefts);
        EXPECT_EQ(rig.spin.speed(), 0);
        EXPECT_EQ(rig.stopped, c.lefts) << "the stopping tick moves nothing";
        EXPECT_EQ(rig.spin.easing(), c.easeTicks > 0);
        EXPECT_EQ(rig.easeToRest(), c.easeTicks);
        EXPECT_EQ(rig.spin.easeTicks(), c.easeTicks);
        EXPECT_EQ(reel::cardHoldingMarkerBar(rig.window), c.holder);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(rig.window.left(i), c.lefts[i] - 3.0f * c.easeTicks) << "card " << i;
        EXPECT_EQ(rig.random.taken, rig.takenAtStop) << "the ease-on draws no slowing numbers";
        const std::vector<std::string> rest{"timer off", "button on"};
        EXPECT_EQ(std::vector<std::string>(rig.window.log.begin() + std::ptrdiff_t(rig.logAtStop) -
                                               (c.easeTicks == 0 ? 2 : 0),
                                           rig.window.log.end()),
                  rest);
    }
}

TEST(Spin, ACardThatLeavesTheViewDuringTheEaseOnWrapsAndIsRefilledAsInTheSpin)
{
    // The bar on the gap before card 2 (30 ticks of 3); card 0's right edge
    // reaches 120 on the tenth and it follows card 3 with a gap of one step.
    StopAt rig({150 - kWidth, 1345, 4120, 6895});
    EXPECT_EQ(rig.easeToRest(), 30);
    EXPECT_EQ(rig.window.left(0) - rig.window.left(3), kWidth + 3);
    EXPECT_EQ(rig.random.taken, rig.takenAtStop + 1) << "one refill, and no other number";
    EXPECT_EQ(rig.window.log.back(), "button on");
}
