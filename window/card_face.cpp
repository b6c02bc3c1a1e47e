// One card's controls, in twips as designed.
#include "card_face.h"

#include "reel_window.h"
#include "runtime_error.h"
#include "twips.h"

namespace window {

namespace {

const QColor kDesignedStrip(0xFF, 0x00, 0x00);

// The design asks for the Song face of the GB2312 character set; where that
// is not installed, other faces that cover GB2312, Song/Ming style first.
QFont labelFont(double points, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("AR PL SungtiL GB"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pointsToPixels(points));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

// Widths of the name labels of cards 0 to 3, in twips.
constexpr int kNameWidthsTwips[reel::design::kCardCount] = {1815, 2175, 1935, 1335};

} // namespace

CardFace::CardFace(QWidget *parent, int index)
{
    if (index < 0 || index >= reel::design::kCardCount)
        throw catalogue::RuntimeError(catalogue::ErrorCode::SubscriptOutOfRange);
    const QFont nameFont = labelFont(12, true);
    const QFont amountFont = labelFont(10.5, false);
    awardbox = new PictureBox(parent, QStringLiteral("awardbox%1").arg(index),
                              toPixels(0, 0, int(reel::design::kCardWidthTwips), 2535), QPalette::Button,
                              PictureBox::Border::Thin);
    ControlSurface &card = awardbox->surface();
    // From the top of the card's stacking order down.
    awardpic = &card.add<Image>(toPixels(0, 0, 2655, 1695));
    awardname = &card.add<Label>(toPixels(120, 1800, kNameWidthsTwips[index], 375), nameFont, "荧光棒");
    x = &card.add<Label>(toPixels(120, 2040, 255, 255), amountFont, "x");
    award = &card.add<Label>(toPixels(240, 2040, 375, 255), amountFont, "10");
    colorbox = &card.add<Shape>(toPixels(0, 1680, 2655, 855), kDesignedStrip, kDesignedStrip);
}

} // namespace window
