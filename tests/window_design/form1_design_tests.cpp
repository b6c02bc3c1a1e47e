// The window design's conversions, its order and its agreement with the reel.
#include "form1_design.h"
#include "reel_window.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace design = window::design;

namespace {
std::string names(const std::vector<const design::Control *> &controls)
{
    std::string all;
    for (const design::Control *c : controls)
        all += std::string(c->id.name) + (c->id.index >= 0 ? std::to_string(c->id.index) : "") + " ";
    return all;
}
} // namespace

TEST(DesignConversion, TwipsRoundToTheNearestPixelAndEachEdgeOnItsOwn)
{
    EXPECT_EQ(design::toPixels(7.0), 0);
    EXPECT_EQ(design::toPixels(8.0), 1);
    EXPECT_EQ(design::toPixels(22.5), 2); // 1.5 pixels: halves go to even
    EXPECT_EQ(design::toPixels(-850.0), -57);
    // A rectangle 7 twips wide from x = 7 spans one pixel, though 7 twips alone round to none.
    EXPECT_EQ(design::toPixels(design::TwipsRect{7, 0, 7, 15}), (design::PixelRect{0, 0, 1, 1}));
    EXPECT_EQ(design::toPixels(design::TwipsRect{-850, 1320, 2655, 2535}), (design::PixelRect{-57, 88, 177, 169}));
    EXPECT_EQ(design::toPixels(design::TwipsLine{4080, 1200, 3960, 960}), (design::PixelLine{272, 80, 264, 64}));
    EXPECT_EQ(design::pointsToPixels(12), 16);
    EXPECT_EQ(design::pointsToPixels(10.5), 14);
    EXPECT_EQ(design::borderPixels(design::Border::Thin), 2);
}

TEST(DesignConversion, At144DpiEverythingIsOneAndAHalfTimesAsLarge)
{
    EXPECT_EQ(design::toPixels(design::TwipsRect{-850, 1320, 2655, 2535}, 144),
              (design::PixelRect{-85, 132, 265, 254})); // right edge 180.5 to even, bottom 385.5 to 386
    // The client area: 808.5 and 610.5 go to even.
    EXPECT_EQ(design::toPixels(design::form().rect, 144), (design::PixelRect{0, 0, 808, 610}));
    EXPECT_EQ(design::pointsToPixels(12, 144), 24);
    EXPECT_EQ(design::pointsToPixels(10.5, 144), 21);
    EXPECT_EQ(design::borderPixels(design::Border::Thin, 144), 3);
}

TEST(DesignConversion, ANestedControlLiesInTheWindowWhereItsContainersPutIt)
{
    // Viewing area at y 88, card 1 at x 128 with a 2-pixel border, the name label at (8, 120) inside it.
    EXPECT_EQ(design::toWindowPixels(design::control("awardname", 1)), (design::PixelRect{138, 210, 161, 25}));
    EXPECT_EQ(design::toWindowPixels(design::control("awardname", 1), 144), (design::PixelRect{207, 315, 242, 38}));
    EXPECT_EQ(design::lineToWindowPixels(design::control("Line5")), (design::PixelLine{271, 80, 271, 264}));
}

TEST(DesignConversion, ColourNumbersAreRedGreenBlueFromTheLowByteUp)
{
    EXPECT_EQ(design::toRgb(0x00C000), (design::Rgb{0, 0xC0, 0}));
    EXPECT_EQ(design::toRgb(0x00FFFF), (design::Rgb{0xFF, 0xFF, 0}));
    EXPECT_EQ(design::toRgb(0x7F0000FF), (design::Rgb{0xFF, 0, 0})); // the fourth byte is ignored
    EXPECT_EQ(design::toRgb(-1), (design::Rgb{0xFF, 0xFF, 0xFF}));
}

TEST(Design, CardsAgreeWithTheReelAndHoldTheirControlsInside)
{
    EXPECT_EQ(names(design::children({"Picture1"})), "awardbox0 awardbox1 awardbox2 awardbox3 Line3 Line4 ");
    for (int i = 0; i < reel::design::kCardCount; ++i) {
        const design::Control &card = design::control("awardbox", i);
        EXPECT_EQ(card.rect.left, reel::design::kCardLeftsTwips[i]);
        EXPECT_EQ(card.rect.width, reel::design::kCardWidthTwips);
        EXPECT_EQ(names(design::children(card.id)),
                  "awardpic" + std::to_string(i) + " awardname" + std::to_string(i) + " x" + std::to_string(i) +
                      " award" + std::to_string(i) + " colorbox" + std::to_string(i) + " ");
        for (const design::Control *inside : design::children(card.id)) {
            EXPECT_GE(inside->rect.left, 0) << inside->id.name << i;
            EXPECT_LE(inside->rect.right(), card.rect.width) << inside->id.name << i;
            EXPECT_LE(inside->rect.bottom(), card.rect.height) << inside->id.name << i;
        }
    }
    EXPECT_EQ(design::find({"awardbox", reel::design::kCardCount}), nullptr);
}

TEST(Design, ListsStackingAndTabOrderAsDesigned)
{
    EXPECT_EQ(names(design::children({"Form1"})), "Picture2 Command1 Picture1 Line1 Line2 Line6 Line7 Line8 Timer1 ");
    EXPECT_EQ(names(design::tabOrder()), "Picture1 awardbox0 awardbox1 awardbox2 awardbox3 Command1 Picture2 ");
    EXPECT_THROW(design::control("Line9"), std::out_of_range);
}

TEST(Design, TheReelsMarkerBarIsWherePicture2Stands)
{
    // The reel eases on until a card holds the bar, in viewing-area twips.
    const auto &bar = design::control("Picture2").rect;
    const int viewLeft = design::control("Picture1").rect.left;
    EXPECT_EQ(bar.left - viewLeft, reel::design::kMarkerBarLeftTwips);
    EXPECT_EQ(bar.right() - viewLeft, reel::design::kMarkerBarRightTwips);
}
