// Pictures looked up at start-up, checked and decoded later: on demand, by
// the pool, or never when the file is refused; a spinning reel never waits.
#include "decode_pool.h"
#include "form1.h"
#include "qt_picture_loader.h"
#include "window_fixtures.h"

#include "runtime_error.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

using window::DecodePool;
using window::Form1;
using window::ImageDecoder;
using window::QtPicture;
using window::QtPictureLoader;

const QSize kBox(177, 113);

std::shared_ptr<const QtPicture> asQt(const catalogue::PicturePtr &picture)
{
    return std::dynamic_pointer_cast<const QtPicture>(picture);
}

int channelDistance(QColor a, QColor b)
{
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// A flat colour that JPEG keeps within a few levels.
QColor colourOf(int k) { return QColor::fromHsv((k * 47) % 360, 200, 200); }

// A JPEG cut off after its header: it passes the check, which reads only the
// header, and fails when decoded.
void writeCutShortJpeg(const std::filesystem::path &file)
{
    windowtests::writeJpeg(file, Qt::red, QSize(300, 200));
    std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
}

// The colour in the middle of card i's picture box, as the card paints it.
QColor pictureColourOn(const Form1 &form, int i)
{
    const QImage card = form.awardbox(i).grab().toImage();
    return card.pixelColor(window::PictureBox::kThinBorderPixels + kBox.width() / 2,
                           window::PictureBox::kThinBorderPixels + kBox.height() / 2);
}

// A fixed seed that the load handler's clock seeding cannot change.
class SeededRandom : public reel::Mt19937Source {
public:
    explicit SeededRandom(std::uint32_t seed) : Mt19937Source(seed) {}
    void randomize() override {}
};

class Loader : public ::testing::Test {
protected:
    fakes::TempFolder folder;
    ImageDecoder decoder{kBox, 1.0};

    std::filesystem::path picture(int k)
    {
        const auto file = folder.path() / ("p" + std::to_string(k) + ".jpg");
        windowtests::writeJpeg(file, colourOf(k), QSize(64, 48));
        return file;
    }
};

TEST_F(Loader, LooksEachFileUpAtOnceAndChecksAndDecodesItOnlyWhenFirstNeeded)
{
    QtPictureLoader loader(decoder); // no pool: nothing decodes until asked
    const auto picture = asQt(loader.load(this->picture(0)));
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->decoded());

    const QImage *image = picture->image();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(picture->decoded());
    EXPECT_EQ(image->size(), kBox);
    EXPECT_LE(channelDistance(image->pixelColor(88, 56), colourOf(0)), 8);
    EXPECT_EQ(picture->image(), image); // decoded once, kept

    // A missing file stays an empty slot, as ever; one that is no picture is
    // opened only when needed, and then has none.
    EXPECT_THROW(loader.load(folder.path() / "missing.jpg"), catalogue::RuntimeError);
    const auto text = asQt(loader.load(folder.write("text.jpg", "no picture\r\n")));
    ASSERT_TRUE(text);
    EXPECT_FALSE(text->decoded());
    EXPECT_EQ(text->image(), nullptr);
}

TEST_F(Loader, AFileThatFailsOnlyWhenDecodedLeavesNoPictureAndNoError)
{
    QtPictureLoader loader(decoder);
    const auto cutShort = folder.path() / "cut.jpg";
    writeCutShortJpeg(cutShort);
    EXPECT_THROW(decoder.decode(cutShort), catalogue::RuntimeError);
    const auto picture = asQt(loader.load(cutShort)); // the header alone is fine
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->image(), nullptr);
    EXPECT_TRUE(picture->decoded());

    // A file replaced after its check.
    const auto replaced = this->picture(1);
    const auto later = asQt(loader.load(replaced));
    folder.write("p1.jpg", "not a picture any more");
    EXPECT_EQ(later->image(), nullptr);
}

TEST_F(Loader, PicturesNeededBeforeThePoolReachesThemAreDecodedWhereNeededAndNeverTwice)
{
    constexpr int kPictures = 40;
    std::vector<std::shared_ptr<const QtPicture>> pictures;
    DecodePool pool(2);
    {
        QtPictureLoader loader(decoder, &pool);
        for (int k = 0; k < kPictures; ++k)
            pictures.push_back(asQt(loader.load(picture(k))));
    }
    // The pool works from the first picture on; this thread needs them from the last.
    std::vector<const QImage *> seen(kPictures);
    for (int k = kPictures - 1; k >= 0; --k) {
        seen[k] = pictures[k]->image();
        ASSERT_NE(seen[k], nullptr) << k;
        EXPECT_LE(channelDistance(seen[k]->pixelColor(88, 56), colourOf(k)), 8) << k;
    }
    pool.waitUntilIdle();
    for (int k = 0; k < kPictures; ++k) {
        EXPECT_TRUE(pictures[k]->decoded());
        EXPECT_EQ(pictures[k]->image(), seen[k]);
        EXPECT_LE(channelDistance(pictures[k]->image()->pixelColor(88, 56), colourOf(k)), 8) << k;
    }
}

// Counts the paint events a widget receives.
struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(Loader, AnImageThatWaitsForNoPictureLeavesItsBoxEmptyUntilThePixelsAreThere)
{
    QtPictureLoader loader(decoder); // no pool: nothing decodes unless asked
    const auto first = asQt(loader.load(picture(1)));
    const auto second = asQt(loader.load(picture(2)));
    window::PictureBox box(nullptr, QStringLiteral("box"), QRect(QPoint(0, 0), kBox), QPalette::Window,
                           window::PictureBox::Border::None);
    box.setBackgroundColor(Qt::black);
    auto &image = box.surface().add<window::Image>(QRect(QPoint(0, 0), kBox));
    image.setPicture(first);
    image.setWaitsForPicture(false); // as while the reel spins
    PaintCount count;
    box.installEventFilter(&count);
    box.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return count.paints > 0; }));

    EXPECT_EQ(box.grab().toImage().pixelColor(88, 56), QColor(Qt::black));
    EXPECT_FALSE(first->decoded()) << "painting must neither decode nor wait";
    first->decodeUnlessTaken(); // as a pool thread would
    const int before = count.paints;
    image.showIfDecoded();
    EXPECT_TRUE(QTest::qWaitFor([&] { return count.paints > before; })) << "the arrived picture is painted";
    EXPECT_LE(channelDistance(box.grab().toImage().pixelColor(88, 56), colourOf(1)), 8);

    // At rest the box waits for its picture, decoding it here if need be.
    image.setPicture(second);
    image.setWaitsForPicture(true);
    EXPECT_LE(channelDistance(box.grab().toImage().pixelColor(88, 56), colourOf(2)), 8);
}

// Ten prizes of weight 10, P0 to P9, each with a picture of its own colour.
struct TenPrizes {
    fakes::TempFolder folder;
    TenPrizes()
    {
        std::string list;
        for (int k = 0; k < 10; ++k) {
            list += fakes::record("10", "255", "P" + std::to_string(k), "1");
            windowtests::writeJpeg(folder.path() / "picture" / ("P" + std::to_string(k) + ".jpg"), colourOf(k));
        }
        folder.writeDataIni(list);
    }
    static int prizeOn(const Form1 &form, int card) { return form.awardname(card).caption().mid(1).toInt(); }
};

TEST(PicturePipeline, ACardDecodesItsPictureItselfWhenNoThreadHasAndTheWalkDecodesNothing)
{
    TenPrizes prizes;
    // No decoding threads: only what a card needs is ever decoded.
    std::vector<int> errors;
    Form1 form(
        prizes.folder.path(), std::make_unique<SeededRandom>(3),
        [&](int number, const std::string &) { errors.push_back(number); }, 0);
    form.show();
    QCoreApplication::processEvents();

    std::set<int> shown;
    for (int i = 0; i < Form1::kCards; ++i) {
        const int prize = TenPrizes::prizeOn(form, i);
        shown.insert(prize);
        EXPECT_LE(channelDistance(pictureColourOn(form, i), colourOf(prize)), 12) << "card " << i;
    }
    ASSERT_LT(shown.size(), 10u);
    // The draw walked over every prize's picture on its way; only the cards'
    // own were decoded.
    for (int k = 0; k < 10; ++k) {
        const auto picture = asQt(form.prizes().picture(k).picture());
        ASSERT_TRUE(picture) << k;
        EXPECT_EQ(picture->decoded(), shown.count(k) == 1) << "prize " << k;
    }
    EXPECT_TRUE(errors.empty());
}

TEST(PicturePipeline, APictureThatFailsOnlyWhenDecodedShowsAsIfItsFileWereMissing)
{
    fakes::TempFolder folder;
    folder.writeDataIni(fakes::record("25", "255", "Fine", "1") + fakes::record("25", "255", "Cut", "1") +
                        fakes::record("25", "255", "Missing", "1") + fakes::record("25", "255", "Fine", "1"));
    windowtests::writeJpeg(folder.path() / "picture" / "Fine.jpg", Qt::blue);
    writeCutShortJpeg(folder.path() / "picture" / "Cut.jpg");
    std::vector<std::pair<int, QString>> errors;
    Form1 form(folder.path(), std::make_unique<fakes::ScriptedRandom>(std::vector<float>{0.1f, 0.3f, 0.6f, 0.9f}),
               [&](int number, const std::string &text) { errors.emplace_back(number, QString::fromStdString(text)); });
    form.show();
    ASSERT_TRUE(form.loaded());
    ASSERT_EQ(form.awardname(1).caption(), QStringLiteral("Cut"));
    ASSERT_EQ(form.awardname(2).caption(), QStringLiteral("Missing"));

    EXPECT_TRUE(form.prizes().picture(1).picture()); // it passed the check
    EXPECT_TRUE(form.prizes().picture(2).isEmpty());
    const QColor face = form.awardbox(0).backgroundColor();
    EXPECT_EQ(pictureColourOn(form, 1), face);
    EXPECT_EQ(pictureColourOn(form, 2), face);
    const QRect pictureBox =
        QRect(QPoint(window::PictureBox::kThinBorderPixels, window::PictureBox::kThinBorderPixels), kBox) &
        form.awardbox(1).surface().clientRect(); // the box runs past the card's right border
    EXPECT_EQ(form.awardbox(1).grab(pictureBox).toImage(), form.awardbox(2).grab(pictureBox).toImage())
        << "a picture that fails to decode must show exactly as a missing one";
    EXPECT_LE(channelDistance(pictureColourOn(form, 0), Qt::blue), 12);
    EXPECT_TRUE(errors.empty());
}

TEST(PicturePipeline, TheWindowShowsBeforeAnyPictureNoCardNeedsIsReadAndARefusedOneShowsAsNone)
{
    fakes::TempFolder folder;
    // Cards 0 to 3 draw Fine, Text, Missing and Last; Unseen is on no card.
    folder.writeDataIni(fakes::record("20", "255", "Fine", "1") + fakes::record("20", "255", "Text", "1") +
                        fakes::record("20", "255", "Missing", "1") + fakes::record("20", "255", "Unseen", "1") +
                        fakes::record("20", "255", "Last", "1"));
    windowtests::writeJpeg(folder.path() / "picture" / "Fine.jpg", Qt::blue);
    windowtests::writeJpeg(folder.path() / "picture" / "Last.jpg", Qt::darkGreen);
    folder.write("picture/Text.jpg", "no picture\r\n");
    folder.write("picture/Unseen.jpg", "no picture either\r\n");
    Form1 form(folder.path(), std::make_unique<fakes::ScriptedRandom>(std::vector<float>{0.1f, 0.3f, 0.5f, 0.9f}),
               window::reportRunTimeError, 0); // no threads: nothing is read unless a card needs it
    form.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(form.awardname(3).caption(), QStringLiteral("Last"));

    const auto unseen = asQt(form.prizes().picture(3).picture());
    ASSERT_TRUE(unseen);
    EXPECT_FALSE(unseen->decoded()) << "a picture on no card must not be read before the window shows";
    EXPECT_TRUE(form.prizes().picture(2).isEmpty());

    const QColor face = form.awardbox(0).backgroundColor();
    EXPECT_EQ(pictureColourOn(form, 1), face);
    EXPECT_EQ(pictureColourOn(form, 2), face);
    EXPECT_LE(channelDistance(pictureColourOn(form, 0), Qt::blue), 12);
    EXPECT_LE(channelDistance(pictureColourOn(form, 3), Qt::darkGreen), 12);
}

TEST(PicturePipeline, ASpinOverRefusedPicturesEndsWithTheirCardsShowingNone)
{
    TenPrizes prizes;
    for (int k = 1; k < 10; k += 2)
        prizes.folder.write("picture/P" + std::to_string(k) + ".jpg", "no picture");
    Form1 form(prizes.folder.path(), std::make_unique<SeededRandom>(4), window::reportRunTimeError, 1);
    form.show();
    form.Command1().click(); // at the first frame, while the pool is still at the pictures
    for (int tick = 0; tick < 2000 && form.Timer1().isActive(); ++tick)
        QMetaObject::invokeMethod(&form.Timer1(), "timeout", Qt::DirectConnection);
    ASSERT_FALSE(form.Timer1().isActive());
    const QColor face = form.awardbox(0).backgroundColor();
    for (int i = 0; i < Form1::kCards; ++i) {
        const int prize = TenPrizes::prizeOn(form, i);
        if (prize % 2)
            EXPECT_EQ(pictureColourOn(form, i), face) << "card " << i;
        else
            EXPECT_LE(channelDistance(pictureColourOn(form, i), colourOf(prize)), 12) << "card " << i;
    }
}

TEST(PicturePipeline, AListWithEveryPictureMissingLoadsWithEmptySlotsAndPlainCards)
{
    fakes::TempFolder folder; // no picture folder at all
    std::string list;
    for (int k = 0; k < 5; ++k)
        list += fakes::record("20", "65280", "Gone" + std::to_string(k), "1");
    folder.writeDataIni(list);
    std::vector<int> errors;
    Form1 form(folder.path(), std::make_unique<SeededRandom>(5),
               [&](int number, const std::string &) { errors.push_back(number); });
    form.show();
    ASSERT_TRUE(form.loaded());
    EXPECT_TRUE(errors.empty());
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(form.prizes().picture(k).isEmpty()) << k;
    EXPECT_TRUE(form.pictureDecoding().idle());
    for (int i = 0; i < Form1::kCards; ++i) {
        EXPECT_EQ(form.awardpic(i).picture(), nullptr);
        EXPECT_EQ(pictureColourOn(form, i), form.awardbox(i).backgroundColor()) << "card " << i;
    }
}

TEST(PicturePipeline, AListWhosePicturesAreAllTheSameFileShowsItOnEveryCard)
{
    fakes::TempFolder folder;
    const auto pictures = folder.path() / "picture";
    windowtests::writeJpeg(pictures / "Same.jpg", Qt::darkGreen);
    std::string list;
    // Six prizes of one name share one file; six more name hard links to it.
    for (int k = 0; k < 6; ++k)
        list += fakes::record("8", "255", "Same", "1");
    for (int k = 0; k < 6; ++k) {
        const std::string name = "Link" + std::to_string(k);
        std::filesystem::create_hard_link(pictures / "Same.jpg", pictures / (name + ".jpg"));
        list += fakes::record("8", "255", name, "1");
    }
    folder.writeDataIni(list);
    Form1 form(folder.path(), std::make_unique<SeededRandom>(11));
    form.show();
    ASSERT_TRUE(form.loaded());
    form.pictureDecoding().waitUntilIdle();

    const auto shared = asQt(form.prizes().picture(0).picture());
    ASSERT_TRUE(shared);
    for (int k = 0; k < 12; ++k) {
        const auto picture = asQt(form.prizes().picture(k).picture());
        ASSERT_TRUE(picture) << k;
        EXPECT_TRUE(picture->decoded()) << k;
        ASSERT_NE(picture->image(), nullptr) << k;
        EXPECT_LE(channelDistance(picture->image()->pixelColor(88, 56), Qt::darkGreen), 12) << k;
        if (k < 6) {
            EXPECT_EQ(picture, shared) << "prizes naming one file share its picture";
        }
    }
    for (int i = 0; i < Form1::kCards; ++i)
        EXPECT_LE(channelDistance(pictureColourOn(form, i), Qt::darkGreen), 12) << "card " << i;
}

// 200 prizes, each with its own name for one 1600 x 1200 picture of colour:
// enough decoding for the pool to be busy for a while.
void writeBigPictureList(fakes::TempFolder &folder, Qt::GlobalColor colour)
{
    const auto pictures = folder.path() / "picture";
    windowtests::writeJpeg(pictures / "Big.jpg", colour, QSize(1600, 1200));
    std::string list;
    for (int k = 0; k < 200; ++k) {
        const std::string name = "Big" + std::to_string(k);
        std::filesystem::create_hard_link(pictures / "Big.jpg", pictures / (name + ".jpg"));
        list += fakes::record("0.5", "255", name, "1");
    }
    folder.writeDataIni(list);
}

TEST(PicturePipeline, ASpinWhilePicturesStillDecodeEndsWithEveryCardShowingItsPicture)
{
    fakes::TempFolder folder;
    writeBigPictureList(folder, Qt::darkCyan);
    Form1 form(folder.path(), std::make_unique<SeededRandom>(7), window::reportRunTimeError, 1);
    form.show();
    ASSERT_TRUE(form.loaded());
    form.Command1().click();
    for (int tick = 0; tick < 2000 && form.Timer1().isActive(); ++tick)
        QMetaObject::invokeMethod(&form.Timer1(), "timeout", Qt::DirectConnection);
    ASSERT_FALSE(form.Timer1().isActive());
    for (int i = 0; i < Form1::kCards; ++i)
        EXPECT_LE(channelDistance(pictureColourOn(form, i), Qt::darkCyan), 12) << "card " << i;
}

TEST(PicturePipeline, ClosingTheWindowWhileThePoolDecodesStopsItsThreads)
{
    fakes::TempFolder folder;
    writeBigPictureList(folder, Qt::gray);
    auto form = std::make_unique<Form1>(folder.path(), std::make_unique<SeededRandom>(1));
    form->show();
    ASSERT_TRUE(form->loaded());
    ASSERT_FALSE(form->pictureDecoding().idle()) << "the pool should still be at work when the window goes";
    // The last picture that no card shows: only the pool would decode it.
    std::shared_ptr<const QtPicture> last;
    for (int k = 199; k >= 0 && !last; --k) {
        bool onACard = false;
        for (int i = 0; i < Form1::kCards; ++i)
            onACard = onACard || form->awardpic(i).picture() == form->prizes().picture(k).picture();
        if (!onACard)
            last = asQt(form->prizes().picture(k).picture());
    }
    ASSERT_TRUE(last);
    form.reset(); // joins the pool; sanitizer builds catch any thread left touching what is gone
    EXPECT_FALSE(last->decoded()) << "queued pictures are dropped, not decoded, at close";
}

} // namespace
