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
        EXPECT_EQ(names(design::children(card.id)), "awardpic" + std::to_string(i) + " awardname" + std::to_string(i) +
                                                        " x" + std::to_string(i) + " award" + std::to_string(i) +
                                                        " colorbox" + std::to_string(i) + " ");
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

TEST(DesignScaled, EveryControlLiesWithinAPixelOfItsDesignTimesTheScale)
{
    for (const double scale : {1.5, 2.0, 1080.0 / 407, 2160.0 / 407}) {
        const double dpi = design::kDesignDpi * scale;
        const double pixelsPerTwip = dpi / design::kTwipsPerInch;
        for (const design::Control &c : design::controls()) {
            if (c.kind == design::Kind::Form || c.kind == design::Kind::Timer || c.kind == design::Kind::Line)
                continue;
            // Exact: the design's twips, each container's border past it, times the scale.
            double x = c.rect.left, y = c.rect.top, borders = 0;
            for (design::ControlId in = c.container; in.name != "Form1";) {
                const design::Control &box = design::control(in.name, in.index);
                x += box.rect.left;
                y += box.rect.top;
                borders += design::borderPixels(box.border, dpi);
                in = box.container;
            }
            const design::PixelRect r = design::toWindowPixels(c, dpi);
            const std::string what =
                std::string(c.id.name) + std::to_string(c.id.index) + " at " + std::to_string(scale);
            // Each level rounds on its own: half a pixel per level, two levels at most.
            EXPECT_NEAR(r.left, x * pixelsPerTwip + borders, 1.0) << what;
            EXPECT_NEAR(r.top, y * pixelsPerTwip + borders, 1.0) << what;
            EXPECT_NEAR(r.width, c.rect.width * pixelsPerTwip, 1.0) << what;
            EXPECT_NEAR(r.height, c.rect.height * pixelsPerTwip, 1.0) << what;
        }
    }
}

TEST(DesignScaled, AWholeScreenGetsTheLargestUniformScaleCentred)
{
    const design::ScreenFit hd = design::fitToScreen(1920, 1080);
    EXPECT_DOUBLE_EQ(hd.dpi, 96.0 * 1080 / 407);
    EXPECT_EQ(hd.client, (design::PixelRect{245, 0, 1430, 1080}));
    const design::ScreenFit uhd = design::fitToScreen(3840, 2160);
    EXPECT_EQ(uhd.client, (design::PixelRect{489, 0, 2861, 2160}));
    // 4:3 and wide laptop screens: the width or the height decides.
    EXPECT_EQ(design::fitToScreen(1024, 768).client, (design::PixelRect{3, 0, 1017, 768}));
    EXPECT_EQ(design::fitToScreen(1366, 768).client, (design::PixelRect{174, 0, 1017, 768}));
    EXPECT_EQ(design::fitToScreen(539, 407).dpi, 96);
    EXPECT_EQ(design::fitToScreen(0, 0).dpi, 96) << "no screen: the design, never a zero scale";
}

TEST(DesignRoles, EachRoleNamesItsControlsAndACardsPartsKnowTheirCard)
{
    EXPECT_EQ(design::control(design::Role::StartButton).id, (design::ControlId{"Command1"}));
    EXPECT_EQ(design::control(design::Role::ViewingArea).id, (design::ControlId{"Picture1"}));
    EXPECT_EQ(design::control(design::Role::Marker).id, (design::ControlId{"Picture2"}));
    EXPECT_EQ(design::control(design::Role::Timer).id, (design::ControlId{"Timer1"}));
    for (int i = 0; i < design::kCardCount; ++i) {
        EXPECT_EQ(design::control(design::Role::CardName, i).id, (design::ControlId{"awardname", i}));
        EXPECT_EQ(design::control(design::Role::CardAmount, i).id, (design::ControlId{"award", i}));
        EXPECT_EQ(design::cardOf(design::control(design::Role::CardStrip, i)), i);
        EXPECT_EQ(design::cardOf(design::control(design::Role::CardFrame, i)), i);
    }
    EXPECT_EQ(design::cardOf(design::control(design::Role::StartButton)), -1);
    EXPECT_THROW(design::control(design::Role::CardName, 4), std::out_of_range);
}

TEST(DesignRoles, AClickFindsTheTopmostControlThatTakesTheFocusWithCardsWhereTheReelPutThem)
{
    const float designed[4] = {-850, 1920, 4680, 7440};
    const auto at = [&](int x, int y, double dpi = 96, const float *lefts = nullptr) {
        const design::Control *hit =
            design::focusableAt(x, y, dpi, std::span<const float>(lefts ? lefts : designed, 4));
        return hit ? std::string(hit->id.name) + (hit->id.index >= 0 ? std::to_string(hit->id.index) : "") : "none";
    };
    EXPECT_EQ(at(200, 320), "Command1");
    EXPECT_EQ(at(271, 150), "Picture2") << "the marker lies over the cards";
    EXPECT_EQ(at(200, 150), "awardbox1") << "a label on a card is the card's";
    EXPECT_EQ(at(125, 150), "Picture1") << "the gap between cards 0 and 1";
    EXPECT_EQ(at(5, 150), "awardbox0") << "card 0 where it shows, right of the viewing area's edge";
    EXPECT_EQ(at(538, 150), "awardbox3");
    EXPECT_EQ(at(539, 150), "none") << "past the client area";
    EXPECT_EQ(at(20, 20), "none");
    const float moved[4] = {100, 2865, 5625, 8385};
    EXPECT_EQ(at(5, 150, 96, moved), "Picture1") << "card 0 moved right, off that pixel";
    EXPECT_EQ(at(400, 640, 192), "Command1") << "twice as large";
}

TEST(Design, TheReelsMarkerBarIsWherePicture2Stands)
{
    // The reel eases on until a card holds the bar, in viewing-area twips.
    const auto &bar = design::control("Picture2").rect;
    const int viewLeft = design::control("Picture1").rect.left;
    EXPECT_EQ(bar.left - viewLeft, reel::design::kMarkerBarLeftTwips);
    EXPECT_EQ(bar.right() - viewLeft, reel::design::kMarkerBarRightTwips);
}
