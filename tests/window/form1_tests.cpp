// The window as rendered and as driven through the real event loop.
#include "form1.h"
#include "window_fixtures.h"

#include "draw.h"
#include "headless_window.h"
#include "qt_text_measure.h"
#include "startup.h"
#include "twips.h"

#include <QEventLoop>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

using window::Form1;
using windowtests::FourPrizes;

// A fixed seed that the load handler's clock seeding cannot change.
class SeededRandom : public reel::Mt19937Source {
public:
    explicit SeededRandom(std::uint32_t seed) : Mt19937Source(seed) {}
    void randomize() override {}
};

// Throws a run-time error in place of the n-th number.
class FailingRandom : public SeededRandom {
public:
    explicit FailingRandom(int failAt) : SeededRandom(7), failAt_(failAt) {}
    float next() override
    {
        if (++taken_ == failAt_)
            throw catalogue::RuntimeError(catalogue::ErrorCode::Overflow);
        return SeededRandom::next();
    }

private:
    int failAt_;
    int taken_ = 0;
};

struct Report {
    std::vector<std::pair<int, QString>> errors;
    window::ErrorReport sink()
    {
        return
            [this](int number, const std::string &text) { errors.emplace_back(number, QString::fromStdString(text)); };
    }
};

int channelDistance(QColor a, QColor b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

::testing::AssertionResult near(QColor actual, QColor expected, int tolerance = 0)
{
    if (channelDistance(actual, expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.name().toStdString() << " where " << expected.name().toStdString()
                                         << " was expected";
}

// Pixels of the client area as the user sees them.
QImage rendered(Form1 &form)
{
    QCoreApplication::processEvents();
    return form.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A point of card i given in its client coordinates, in window pixels, from
// the card's position in twips.
QPoint onCard(const Form1 &form, int i, int clientX, int clientY)
{
    const int left = window::toPixels(form.left(i));
    return QPoint(left + window::PictureBox::kThinBorderPixels + clientX,
                  window::toPixels(1320) + window::PictureBox::kThinBorderPixels + clientY);
}

class Form1Shown : public ::testing::Test {
protected:
    FourPrizes prizes;
    Report report;
    // Cards 0 to 3 draw prizes 0 to 3.
    Form1 form{prizes.folder.path(),
               std::make_unique<fakes::ScriptedRandom>(std::vector<float>{0.1f, 0.3f, 0.6f, 0.9f}), report.sink()};

    void SetUp() override { form.show(); }
};

TEST_F(Form1Shown, ShowsTheDesignedFrameAndFixedParts)
{
    const QImage pixels = rendered(form);
    EXPECT_EQ(pixels.size(), QSize(539, 407));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // cannot be resized
    EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("仿VORTA开奖软件 Powered by MALQUENTIS"));
    EXPECT_EQ(form.Command1().text(), QStringLiteral("试试手气"));

    const QColor background(0x40, 0x40, 0x40);
    EXPECT_TRUE(near(pixels.pixelColor(20, 20), background));
    EXPECT_TRUE(near(pixels.pixelColor(500, 380), background));
    // The rules above and below the viewing area, in the window-text colour.
    const QColor rule = form.palette().color(QPalette::WindowText);
    EXPECT_TRUE(near(pixels.pixelColor(20, 80), rule));
    EXPECT_TRUE(near(pixels.pixelColor(20, 264), rule));
    // The marker column runs over the cards, from the top rule to below the bottom one.
    for (int y = 80; y <= 264; y += 4)
        EXPECT_TRUE(near(pixels.pixelColor(272, y), QColor(0xFF, 0xFF, 0))) << "y " << y;
    // The button face, away from the caption and the bevel.
    EXPECT_TRUE(near(pixels.pixelColor(200, 345), QColor(0, 0xC0, 0)));
    EXPECT_TRUE(near(pixels.pixelColor(345, 312), QColor(0, 0xC0, 0)));
}

TEST_F(Form1Shown, CardsSitAtTheirDesignedPlacesCutAtBothEdges)
{
    const QImage pixels = rendered(form);
    const QColor face = form.awardbox(0).backgroundColor();
    const QColor background(0x40, 0x40, 0x40);
    // Card 0 shows its right 1805 twips, up to x = 120 px; the gap follows.
    EXPECT_EQ(window::toPixels(form.left(0)) + 177, 120);
    EXPECT_TRUE(near(pixels.pixelColor(110, 150), face) ||
                near(pixels.pixelColor(110, 150), FourPrizes::kPicture[0], 24));
    EXPECT_TRUE(near(pixels.pixelColor(122, 150), background));
    // Card 1 from 128, the gap between cards 1 and 2 shows the background.
    EXPECT_TRUE(near(pixels.pixelColor(127, 150), background));
    EXPECT_FALSE(near(pixels.pixelColor(129, 150), background));
    EXPECT_TRUE(near(pixels.pixelColor(308, 150), background));
    // Card 3 from 496 runs past the client area's right edge.
    EXPECT_TRUE(near(pixels.pixelColor(495, 240), background));
    EXPECT_TRUE(near(pixels.pixelColor(538, 240), QColor(0xFF, 0xFF, 0)));

    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form.awardbox(i).geometry(), QRect(window::toPixels(reel::design::kCardLeftsTwips[i]), 0, 177, 169));
        EXPECT_EQ(form.left(i), reel::design::kCardLeftsTwips[i]);
    }
}

TEST_F(Form1Shown, EachCardShowsItsDrawnPrize)
{
    const QImage pixels = rendered(form);
    const QColor face = form.awardbox(0).backgroundColor();
    for (int i = 0; i < 4; ++i) {
        // A point of the strip below the labels, and one of the picture, that lie in view.
        const int stripX = i == 0 ? 160 : i == 3 ? 30 : 100;
        const int pictureX = i == 0 ? 120 : i == 3 ? 20 : 88;
        const QColor strip = window::fromColorNumber(FourPrizes::kStrip[i]);
        EXPECT_TRUE(near(pixels.pixelColor(onCard(form, i, stripX, 160)), strip)) << "card " << i;
        EXPECT_EQ(form.colorbox(i).fillColor(), strip);
        EXPECT_EQ(form.colorbox(i).borderColor(), strip);
        const QColor picture = FourPrizes::kPicture[i].isValid() ? FourPrizes::kPicture[i] : face;
        EXPECT_TRUE(near(pixels.pixelColor(onCard(form, i, pictureX, 50)), picture, 24)) << "card " << i;
    }
    EXPECT_EQ(form.awardpic(2).picture(), nullptr); // Kite has no picture file
    EXPECT_EQ(form.awardname(1).caption(), QStringLiteral("Ball"));
    EXPECT_EQ(form.award(1).caption(), QStringLiteral("2"));
    EXPECT_EQ(form.awardname(3).caption(), QStringLiteral("荧光棒"));
    EXPECT_EQ(form.x(3).caption(), QStringLiteral("x"));
}

TEST_F(Form1Shown, EveryCardShowsAWholeNameOfEightCharactersAndAFourDigitAmount)
{
    for (int i = 0; i < 4; ++i) {
        form.card(i).setName("四等奖保温杯套装");
        form.card(i).setAmount("1000");
    }
    const int labelsEnd = window::toPixels(reel::design::kCardWidthTwips - 120);
    for (int i = 0; i < 4; ++i)
        for (const window::Label *label : {&form.awardname(i), &form.award(i)}) {
            EXPECT_EQ(label->bounds().x() + label->bounds().width(), labelsEnd) << "card " << i;
            EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->caption()), label->bounds().width())
                << label->caption().toStdString() << " on card " << i;
        }
}

TEST_F(Form1Shown, TheTextMeasureMeasuresInTheLabelsOwnFontsAndKnowsTheirCharacters)
{
    window::QtTextMeasure measure;
    const QString name = QStringLiteral("四等奖保温杯套装加长版赠品");
    form.card(0).setName(name.toStdString());
    const auto &designed = window::design::control("awardname", 0).font;
    EXPECT_EQ(measure.widthPixels(designed, name.toStdString()),
              std::ceil(QFontMetricsF(form.awardname(0).font()).horizontalAdvance(form.awardname(0).caption()) - 1e-6));
    EXPECT_GT(measure.widthPixels(designed, name.toStdString()), form.awardname(0).bounds().width());
    EXPECT_TRUE(measure.hasCharacter(designed, U'奖'));
    EXPECT_FALSE(measure.hasCharacter(designed, U'\U0001FAE0')); // an emoji none of the faces has
}

TEST_F(Form1Shown, LabelFontsCoverChinese)
{
    for (const window::Label *label : {&form.awardname(0), &form.x(0), &form.award(0)}) {
        const QFontInfo resolved(label->font());
        EXPECT_TRUE(QFontDatabase::writingSystems(resolved.family()).contains(QFontDatabase::SimplifiedChinese))
            << resolved.family().toStdString();
        EXPECT_FALSE(resolved.italic());
    }
    EXPECT_EQ(form.awardname(0).font().families().front(), QStringLiteral("宋体"));
}

TEST_F(Form1Shown, StartsIdleWithTheFocusOnTheViewingArea)
{
    EXPECT_FALSE(form.Timer1().isActive());
    EXPECT_TRUE(form.Command1().isEnabled());
    EXPECT_FALSE(form.spin().speed().has_value());
    EXPECT_EQ(form.focusWidget(), &form.Picture1());
    // Tab order: viewing area, cards 0 to 3, button, marker bar.
    std::vector<QWidget *> order{&form.Picture1()};
    for (int i = 0; i < 4; ++i)
        order.push_back(&form.awardbox(i));
    order.push_back(&form.Command1());
    order.push_back(&form.Picture2());
    for (std::size_t k = 0; k + 1 < order.size(); ++k)
        EXPECT_EQ(order[k]->nextInFocusChain(), order[k + 1]) << k;
    EXPECT_TRUE(report.errors.empty());
}

// Run again by ctest with Qt's options -reverse and -style windows (see CMakeLists.txt).
TEST_F(Form1Shown, DrawsLeftToRightWithTheButtonInItsOwnFaceWhateverQtWasTold)
{
    const QImage pixels = rendered(form);
    EXPECT_EQ(form.layoutDirection(), Qt::LeftToRight);
    EXPECT_TRUE(near(pixels.pixelColor(200, 345), QColor(0, 0xC0, 0)));
    EXPECT_TRUE(near(pixels.pixelColor(345, 312), QColor(0, 0xC0, 0)));
    // Card 1's name "Ball" starts at the left edge of its 145-pixel label.
    int inkLeft = 0;
    int inkRight = 0;
    for (int y = 120; y < 135; ++y) {
        for (int x = 8; x < 8 + 145; ++x) {
            const QColor c = pixels.pixelColor(onCard(form, 1, x, y));
            if (std::max({c.red(), c.green(), c.blue()}) < 64)
                ++(x < 8 + 72 ? inkLeft : inkRight);
        }
    }
    EXPECT_GT(inkLeft, 0);
    EXPECT_EQ(inkRight, 0);
}

TEST_F(Form1Shown, EnterStartsASpinOnlyFromTheFocusedButton)
{
    QTest::keyClick(&form.Picture1(), Qt::Key_Return);
    EXPECT_FALSE(form.Timer1().isActive());
    QTest::keyClick(&form.Command1(), Qt::Key_Return);
    EXPECT_TRUE(form.Timer1().isActive());
    EXPECT_FALSE(form.Command1().isEnabled());
}

TEST_F(Form1Shown, F11FillsTheScreenWithTheDesignScaledAndEscapeGivesBackTheDesignedWindow)
{
    const QRect designedButton = form.Command1().geometry();
    QTest::keyClick(&form.Picture1(), Qt::Key_F11);
    ASSERT_TRUE(form.game().fullScreen());
    const QRect screen = form.screen()->geometry();
    const window::design::ScreenFit fit = window::design::fitToScreen(screen.width(), screen.height());
    EXPECT_DOUBLE_EQ(form.dpi(), fit.dpi);
    const QPoint origin(fit.left, fit.top);
    EXPECT_EQ(form.Command1().geometry(),
              window::pixelRect(window::design::control("Command1").rect, fit.dpi).translated(origin));
    EXPECT_EQ(form.awardbox(1).geometry().size(),
              window::pixelRect(window::design::control("awardbox", 1).rect, fit.dpi).size());
    EXPECT_EQ(form.awardname(1).font().pixelSize(), window::design::pointsToPixels(12, fit.dpi));
    // The viewing area's hidden right end stays hidden past the designed client area.
    EXPECT_LE(form.Picture1().mask().boundingRect().translated(form.Picture1().pos()).right(), fit.client.right() - 1);

    QTest::keyClick(&form.Picture1(), Qt::Key_PageDown);
    EXPECT_TRUE(form.Timer1().isActive()) << "a presenter's clicker spins in full screen";
    const auto speed = form.spin().speed();
    QTest::keyClick(&form.Picture1(), Qt::Key_Space);
    EXPECT_EQ(form.spin().speed(), speed) << "and does nothing while the reel runs";

    QTest::keyClick(&form.Picture1(), Qt::Key_Escape);
    EXPECT_FALSE(form.game().fullScreen());
    EXPECT_EQ(form.Command1().geometry(), designedButton);
    EXPECT_EQ(form.size(), QSize(539, 407));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(form.Picture1().mask().isEmpty());
}

TEST(Form1Scaled, AScaleDrawsTheWholeDesignThatManyTimesAsLarge)
{
    FourPrizes prizes;
    Report report;
    Form1 form(prizes.folder.path(), std::make_unique<fakes::ScriptedRandom>(std::vector<float>{0.5f}), report.sink(),
               1, 2.0);
    EXPECT_EQ(form.size(), QSize(1078, 814));
    EXPECT_EQ(form.Command1().geometry(), QRect(384, 608, 322, 98));
    EXPECT_EQ(form.awardbox(2).geometry(), QRect(624, 0, 354, 338));
    EXPECT_EQ(form.awardname(0).font().pixelSize(), 32);
    EXPECT_EQ(form.line(1).line(), QLine(0, 160, 1184, 160));
}

// Runs the event loop until the reel stops or the deadline passes.
int runSpin(Form1 &form, std::vector<bool> *buttonWhileTicking = nullptr)
{
    int ticks = 0;
    QObject::connect(&form.Timer1(), &QTimer::timeout, &form, [&] {
        ++ticks;
        if (buttonWhileTicking)
            buttonWhileTicking->push_back(form.Command1().isEnabled());
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!form.Timer1().isActive())
            loop.quit();
    });
    poll.start(20);
    QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
    loop.exec();
    return ticks;
}

TEST(Form1Spin, AClickSpinsTheReelThroughTheRealEventLoopAsTheHeadlessReelWould)
{
    FourPrizes prizes;
    Report report;
    Form1 form(prizes.folder.path(), std::make_unique<SeededRandom>(2024), report.sink());
    form.show();

    QTest::mouseClick(&form.Command1(), Qt::LeftButton);
    EXPECT_TRUE(form.Timer1().isActive());
    EXPECT_FALSE(form.Command1().isEnabled());
    EXPECT_EQ(form.spin().speed(), 4000);
    QTest::mouseClick(&form.Command1(), Qt::LeftButton); // greyed: nothing happens
    EXPECT_EQ(form.spin().speed(), 4000);

    std::vector<bool> buttonWhileTicking;
    const int ticks = runSpin(form, &buttonWhileTicking);
    EXPECT_FALSE(form.Timer1().isActive());
    EXPECT_TRUE(form.Command1().isEnabled());
    EXPECT_EQ(form.spin().speed(), 0);
    ASSERT_GE(ticks, 418);
    EXPECT_LE(ticks, 667);
    // Seen after each tick: greyed throughout, enabled by the tick that stops.
    EXPECT_EQ(std::count(buttonWhileTicking.begin(), buttonWhileTicking.end(), true), 1);
    EXPECT_TRUE(buttonWhileTicking.back());
    EXPECT_TRUE(report.errors.empty());

    // The same seed on the headless reel gives the same stop, card for card.
    catalogue::Catalogue headlessPrizes;
    fakes::FakePictureLoader pictures;
    SeededRandom random(2024);
    reel::HeadlessWindow headless;
    reel::startUp(prizes.folder.path(), headlessPrizes, pictures, random, headless);
    reel::Spin spin(headless, random, headlessPrizes);
    spin.start();
    int headlessTicks = 0;
    while (headless.timerOn) {
        spin.tick();
        ++headlessTicks;
    }
    EXPECT_EQ(ticks, headlessTicks);
    const QImage pixels = rendered(form);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form.left(i), headless.left(i)) << "card " << i;
        EXPECT_NE(form.left(i), reel::design::kCardLeftsTwips[i]);
        EXPECT_EQ(form.awardbox(i).x(), window::toPixels(headless.left(i)));
        EXPECT_EQ(form.awardname(i).caption().toStdString(), headless.card(i).name);
        EXPECT_EQ(form.colorbox(i).fillColor(), window::fromColorNumber(headless.card(i).fillColor));
        EXPECT_EQ(form.awardpic(i).picture() == nullptr, headless.card(i).picture == nullptr);
        const QPoint strip = onCard(form, i, 160, 160);
        if (pixels.rect().contains(strip)) {
            EXPECT_TRUE(near(pixels.pixelColor(strip), form.colorbox(i).fillColor())) << "card " << i;
        }
    }

    // The next spin starts again from 4000 with the cards where they stopped.
    QTest::mouseClick(&form.Command1(), Qt::LeftButton);
    EXPECT_EQ(form.spin().speed(), 4000);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form.left(i), headless.left(i));
}

TEST(Form1Spin, ARefilledCardIsShownAtOnceWhereItNowStandsAndTheOthersWithIt)
{
    // Between display frames the cards' widgets lag behind their places;
    // new content must never show at a card's old place, nor cards out of step.
    FourPrizes prizes;
    Form1 form(prizes.folder.path(), std::make_unique<SeededRandom>(8), Report().sink());
    form.show();
    QTest::mouseClick(&form.Command1(), Qt::LeftButton);
    int wraps = 0;
    for (int tick = 0; tick < 200 && form.Timer1().isActive(); ++tick) {
        std::array<float, 4> before{};
        for (int i = 0; i < 4; ++i)
            before[i] = form.left(i);
        QMetaObject::invokeMethod(&form.Timer1(), "timeout", Qt::DirectConnection);
        bool wrapped = false;
        for (int i = 0; i < 4; ++i)
            wrapped = wrapped || form.left(i) > before[i];
        if (!wrapped)
            continue;
        ++wraps;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(form.awardbox(i).x(), window::toPixels(form.left(i))) << "card " << i << " tick " << tick;
    }
    EXPECT_GE(wraps, 5);
}

TEST(Form1Errors, AnErrorInATickGoesToTheReportAndStopsTheTimer)
{
    FourPrizes prizes;
    Report report;
    // 4 numbers at load, then the first tick's slowing fails.
    Form1 form(prizes.folder.path(), std::make_unique<FailingRandom>(5), report.sink());
    form.show();
    QTest::mouseClick(&form.Command1(), Qt::LeftButton);
    // Until the first tick has run: on a loaded machine under the sanitizers
    // the first paint alone can take 100 ms.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !report.errors.empty(); }, 30'000));
    QTest::qWait(20); // time for further ticks, if the timer were left running
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_EQ(report.errors[0].first, 6);
    EXPECT_EQ(report.errors[0].second, QStringLiteral("Overflow"));
    EXPECT_FALSE(form.Timer1().isActive());
}

TEST(Form1Errors, AFailedLoadReportsAndNeverShowsTheWindow)
{
    fakes::TempFolder empty;
    Report report;
    Form1 form(empty.path(), nullptr, report.sink());
    form.show();
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_EQ(report.errors[0].first, 53);
    EXPECT_FALSE(form.isVisible());
    form.show(); // the load runs once, and its failure stands
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(report.errors.size(), 1u);
}

TEST(Form1Errors, AColourOutsideTwentyFourBitsIsRefusedAndLeavesTheStrip)
{
    FourPrizes prizes;
    Form1 form(prizes.folder.path(), std::make_unique<SeededRandom>(1), Report().sink());
    const QColor before = form.colorbox(0).fillColor();
    EXPECT_THROW(form.card(0).setFillColor(0x1000000), catalogue::RuntimeError);
    EXPECT_THROW(form.card(0).setBorderColor(-1), catalogue::RuntimeError);
    EXPECT_EQ(form.colorbox(0).fillColor(), before);
    EXPECT_THROW(form.card(4), catalogue::RuntimeError);
}

} // namespace
