// The weighted draw: shares, the tie-break at a bound, what a card shows, and
// the order of its writes and random numbers.
#include "draw.h"
#include "fakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace catalogue;
using reel::Newreset;

namespace {
struct Prize {
    std::string weight;
    std::string color = "255";
    bool hasPicture = false;
};

// A catalogue as start-up leaves it: prize k is named pk with amount ak.
std::unique_ptr<Catalogue> catalogueOf(const std::vector<Prize> &list)
{
    auto prizes = std::make_unique<Catalogue>();
    for (std::size_t k = 0; k < list.size(); ++k) {
        award &a = prizes->prize(static_cast<int>(k));
        a.pr = list[k].weight;
        a.color = list[k].color;
        a.name = "p" + std::to_string(k);
        a.amount = "a" + std::to_string(k);
        if (list[k].hasPicture)
            prizes->picture(static_cast<int>(k)) =
                PicturePtr(std::make_shared<fakes::FakePicture>("p" + std::to_string(k) + ".jpg"));
    }
    prizes->prizeCount = static_cast<std::int16_t>(list.size());
    cumulativePass(*prizes);
    return prizes;
}

std::vector<Prize> weights(std::initializer_list<const char *> ws)
{
    std::vector<Prize> list;
    for (const char *w : ws)
        list.push_back({w});
    return list;
}

// Draws once with the scripted u and returns the card.
reel::HeadlessCard drawWith(const Catalogue &prizes, float u, reel::HeadlessWindow &window)
{
    fakes::ScriptedRandom random({u}, true);
    Newreset(window, 0, prizes, random);
    return window.card(0);
}

reel::HeadlessCard drawWith(const Catalogue &prizes, float u)
{
    reel::HeadlessWindow window;
    return drawWith(prizes, u, window);
}

// The largest u the generator can give: (2^24 - 1) / 2^24.
constexpr float kLargestU = 0x1.fffffep-1f;
} // namespace

TEST(Newreset, SharesFollowTheWeightsWithinSamplingError)
{
    struct Case {
        std::vector<Prize> list;
        std::map<std::string, double> shares; // by card name; "" is the slot past the last prize
    };
    const std::vector<Case> cases = {
        {weights({"50", "30", "20"}), {{"p0", .5}, {"p1", .3}, {"p2", .2}}},
        {weights({"50", "30"}), {{"p0", .5}, {"p1", .3}, {"", .2}}},
        {weights({"60", "30", "20"}), {{"p0", .6}, {"p1", .3}, {"p2", .1}}},
        {weights({"40", "0", "60"}), {{"p0", .4}, {"p2", .6}}},
        {weights({"50", "-10", "60"}), {{"p0", .4}, {"p2", .6}}},
        {weights({"100"}), {{"p0", 1}}},
        {weights({}), {{"", 1}}},
    };
    constexpr int kDraws = 1'000'000;
    for (std::size_t c = 0; c < cases.size(); ++c) {
        SCOPED_TRACE("case " + std::to_string(c));
        auto prizes = catalogueOf(cases[c].list);
        reel::HeadlessWindow window;
        reel::Mt19937Source random(20261207u + static_cast<unsigned>(c));
        std::map<std::string, int> counts;
        for (int k = 0; k < kDraws; ++k) {
            Newreset(window, 0, *prizes, random);
            ++counts[window.card(0).name];
        }
        for (const auto &[name, count] : counts)
            EXPECT_TRUE(cases[c].shares.count(name)) << name << " came up " << count << " times";
        for (const auto &[name, p] : cases[c].shares) {
            // Five standard deviations of a binomial count: a fair draw fails
            // this less than once in a million.
            const double tolerance = 5 * std::sqrt(kDraws * p * (1 - p)) + 1;
            EXPECT_NEAR(counts[name], kDraws * p, tolerance) << name;
        }
    }
}

TEST(Newreset, AValueOnABoundGoesToThePrizeThatStartsThere)
{
    auto prizes = catalogueOf(weights({"50", "30", "20"}));
    EXPECT_EQ(reel::drawValue(0.5f), 50.0f);
    EXPECT_EQ(reel::drawValue(0.8f), 80.0f);
    EXPECT_EQ(drawWith(*prizes, 0.0f).name, "p0");
    EXPECT_EQ(drawWith(*prizes, std::nextafter(0.5f, 0.0f)).name, "p0");
    EXPECT_EQ(drawWith(*prizes, 0.5f).name, "p1");
    EXPECT_EQ(drawWith(*prizes, 0.625f).name, "p1");
    EXPECT_EQ(drawWith(*prizes, 0.8f).name, "p2");
    EXPECT_EQ(drawWith(*prizes, kLargestU).name, "p2");
    EXPECT_LT(reel::drawValue(kLargestU), 100.0f);
}

TEST(Newreset, ShowsTheDrawnPrizesOwnPictureOrNone)
{
    // Pictures for prizes 0, 2 and 3 only.
    auto prizes = catalogueOf({{"25", "1", true}, {"25", "2", false}, {"25", "3", true}, {"15", "4", true}});
    reel::HeadlessWindow window;

    auto card = drawWith(*prizes, 0.0f, window);
    EXPECT_EQ(fakes::pathOf(card.picture), "p0.jpg");

    card = drawWith(*prizes, 0.3f, window); // prize 1, after a prize with a picture
    EXPECT_EQ(card.name, "p1");
    EXPECT_EQ(card.picture, nullptr);

    card = drawWith(*prizes, 0.6f, window);
    EXPECT_EQ(fakes::pathOf(card.picture), "p2.jpg");
    card = drawWith(*prizes, 0.8f, window);
    EXPECT_EQ(fakes::pathOf(card.picture), "p3.jpg");
    card = drawWith(*prizes, 0.95f, window); // the slot past the last prize
    EXPECT_EQ(card.name, "");
    EXPECT_EQ(card.amount, "");
    EXPECT_EQ(card.fillColor, 0);
    EXPECT_EQ(card.picture, nullptr);
}

TEST(Newreset, AnUnusableColourShowsBlackAndNeverFailsTheDraw)
{
    auto prizes = catalogueOf({{"10", "abc"},
                               {"10", "65280"},
                               {"10", "16777216"},
                               {"10", "-1"},
                               {"10", "2147483648"},
                               {"10", "255.5"},
                               {"10", ""},
                               {"10", " 16777215 "},
                               {"10", "1e999"},
                               {"10", "12abc"}});
    const std::vector<std::int32_t> expected = {0, 65280, 0, 0, 0, 256, 0, 16777215, 0, 0};
    for (std::size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(k);
        auto card = drawWith(*prizes, static_cast<float>(k) / 10 + 0.05f);
        EXPECT_EQ(card.name, "p" + std::to_string(k));
        EXPECT_EQ(card.fillColor, expected[k]);
        EXPECT_EQ(card.borderColor, expected[k]);
    }
}

TEST(Newreset, AnEmptyListShowsABlackCardWithoutTextOrPicture)
{
    auto prizes = catalogueOf({});
    reel::HeadlessWindow window;
    window.card(0).picture = std::make_shared<fakes::FakePicture>("old.jpg");
    auto card = drawWith(*prizes, 0.3f, window);
    EXPECT_EQ(card.fillColor, 0);
    EXPECT_EQ(card.borderColor, 0);
    EXPECT_EQ(card.name, "");
    EXPECT_EQ(card.picture, nullptr);
}

namespace {
// Logs each number it hands out into the window's log, to see the order.
struct LoggingRandom : reel::RandomSource {
    LoggingRandom(std::vector<std::string> &log, float u) : log(log), u(u) {}
    void randomize() override { log.push_back("randomize"); }
    float next() override
    {
        log.push_back("random");
        return u;
    }
    std::vector<std::string> &log;
    float u;
};
} // namespace

TEST(Newreset, TakesOneNumberFirstThenWalksDownWritingInOrder)
{
    auto prizes = catalogueOf({{"50", "1", false}, {"30", "2", true}, {"20", "3", true}});
    fakes::RecordingWindow window;
    LoggingRandom random(window.log, 0.625f); // r = 62.5: prize 1
    Newreset(window, 2, *prizes, random);

    const std::vector<std::string> defaultFill = {"2:fill 1", "2:border 1", "2:name p0", "2:amount a0"};
    std::vector<std::string> expected = {"random"};
    for (const char *picture : {"2:picture none", "2:picture p2.jpg", "2:picture p1.jpg"}) {
        expected.insert(expected.end(), defaultFill.begin(), defaultFill.end());
        expected.push_back(picture);
    }
    for (const char *write : {"2:fill 2", "2:border 2", "2:name p1", "2:amount a1", "2:picture p1.jpg"})
        expected.push_back(write);
    EXPECT_EQ(window.log, expected);
}

TEST(Newreset, ACardIndexOutsideTheWindowFailsBeforeAnyWrite)
{
    auto prizes = catalogueOf(weights({"100"}));
    fakes::RecordingWindow window;
    LoggingRandom random(window.log, 0.5f);
    try {
        Newreset(window, 4, *prizes, random);
        FAIL() << "card 4 was filled";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 9);
    }
    EXPECT_EQ(window.log, std::vector<std::string>{"random"});
}

TEST(DrawnSlot, NeverDecreasesAsTheValueGrowsEvenWithNegativeWeights)
{
    auto prizes = catalogueOf(weights({"50", "-10", "60", "abc", "-70", "80"}));
    int previous = 0;
    for (float r = 0; r < 100; r += 0.25f) {
        const int slot = reel::drawnSlot(*prizes, r);
        EXPECT_GE(slot, previous) << r;
        previous = slot;
    }
}
