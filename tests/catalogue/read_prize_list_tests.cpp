// Reading whole prize lists into the tables, picture loading and the cumulative pass.
#include "catalogue.h"
#include "fakes.h"
#include "file_names.h"

#include <gtest/gtest.h>

using namespace catalogue;
using fakes::record;

namespace {
struct Loaded {
    std::unique_ptr<Catalogue> prizes = std::make_unique<Catalogue>();
    fakes::FakePictureLoader pictures;
    FailureRegime regime;
    ReadReport report;
};

// Reads folder/data.ini the way start-up does: read, close, cumulative pass.
std::unique_ptr<Loaded> load(const fakes::TempFolder &folder)
{
    auto loaded = std::make_unique<Loaded>();
    PrizeListFile file(folder.path() / "data.ini");
    loaded->report = readPrizeList(*loaded->prizes, file, folder.path() / "picture", loaded->pictures, loaded->regime);
    file.close();
    cumulativePass(*loaded->prizes);
    return loaded;
}

std::vector<double> bounds(const Catalogue &prizes)
{
    std::vector<double> result;
    for (int i = 0; i <= prizes.prizeCount; ++i)
        result.push_back(prizes.prize(i).pr.toDouble());
    return result;
}

using Bounds = std::vector<double>;
} // namespace

TEST(ReadPrizeList, ReadsRecordsMakesWeightsCumulativeAndLoadsTheirPictures)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("10", "255", "Golden Cup", "1") + record("30", "65280", "Mug", "2") +
                        record("60", "16711680", "Pen", "30", "anything at all"));
    folder.addPicture("Golden Cup");
    folder.addPicture("Pen");

    auto loaded = load(folder);
    const Catalogue &prizes = *loaded->prizes;
    EXPECT_EQ(prizes.prizeCount, 3);
    EXPECT_EQ(bounds(prizes), (Bounds{10, 40, 100, 100}));
    EXPECT_EQ(prizes.prize(0).name.toText(), "Golden Cup");
    EXPECT_EQ(prizes.prize(1).color.toText(), "65280");
    EXPECT_EQ(prizes.prize(2).amount.toText(), "30");
    EXPECT_TRUE(prizes.prize(3).name.isEmpty());
    EXPECT_TRUE(prizes.prize(3).color.isEmpty());
    EXPECT_TRUE(prizes.prize(0).picture.isEmpty()); // pictures live in the picture table

    EXPECT_EQ(fakes::pathOf(prizes.picture(0).picture()), folder.path() / "picture" / "Golden Cup.jpg");
    EXPECT_TRUE(prizes.picture(1).isEmpty()); // missing file: no message, no picture
    EXPECT_EQ(fakes::pathOf(prizes.picture(2).picture()), folder.path() / "picture" / "Pen.jpg");
    EXPECT_TRUE(prizes.picture(3).isEmpty());
    EXPECT_FALSE(loaded->report.lastRecordCutShort);
}

TEST(ReadPrizeList, AFinalLineBreakMakesNoDifference)
{
    fakes::TempFolder with, without;
    const std::string list = record("50", "1", "a", "1") + record("50", "2", "b", "2", "end");
    with.writeDataIni(list);
    without.writeDataIni(list.substr(0, list.size() - 2));
    auto a = load(with), b = load(without);
    EXPECT_EQ(a->prizes->prizeCount, 2);
    EXPECT_EQ(b->prizes->prizeCount, 2);
    EXPECT_EQ(bounds(*a->prizes), bounds(*b->prizes));
    EXPECT_FALSE(b->report.lastRecordCutShort);
}

TEST(ReadPrizeList, ATrailingEmptyLineAddsAPrizeThatWeighsNothing)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("10", "1", "a", "1") + record("30", "1", "b", "1") + record("60", "1", "c", "1") +
                        "\r\n");
    auto loaded = load(folder);
    EXPECT_EQ(loaded->prizes->prizeCount, 4);
    EXPECT_EQ(bounds(*loaded->prizes), (Bounds{10, 40, 100, 100, 100}));
    // The cut-short record repeats the last line read into every missing field.
    EXPECT_EQ(loaded->prizes->prize(3).pr.kind(), Variant::Kind::Double);
    EXPECT_EQ(loaded->prizes->prize(3).name.toText(), "");
    EXPECT_TRUE(loaded->report.lastRecordCutShort);
}

TEST(ReadPrizeList, AnEmptyFileGivesNoPrizesAndAZeroTotal)
{
    fakes::TempFolder folder;
    folder.writeDataIni("");
    auto loaded = load(folder);
    EXPECT_EQ(loaded->prizes->prizeCount, 0);
    EXPECT_EQ(bounds(*loaded->prizes), (Bounds{0}));
    EXPECT_TRUE(loaded->pictures.requested.empty());
    EXPECT_FALSE(loaded->regime.skipping()); // no record was read whole
}

TEST(ReadPrizeList, FewerThanFiveLinesIsInputPastEndOfFile)
{
    fakes::TempFolder folder;
    folder.writeDataIni("10\r\n255\r\nname\r\n1\r\n");
    try {
        load(folder);
        FAIL() << "a four-line list loaded";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 62);
    }
}

TEST(ReadPrizeList, SwitchesToSkippingFailuresOnceTheFirstRecordIsWhole)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("50", "1", "a", "1") + "50\r\n2\r\nb"); // second record cut short
    auto loaded = load(folder);
    EXPECT_TRUE(loaded->regime.skipping());
    EXPECT_TRUE(loaded->report.lastRecordCutShort);
    ASSERT_EQ(loaded->prizes->prizeCount, 2);
    const award &cut = loaded->prizes->prize(1);
    EXPECT_EQ(cut.name.toText(), "b");
    EXPECT_EQ(cut.amount.toText(), "b"); // the failed read left the line buffer as it was
    EXPECT_EQ(bounds(*loaded->prizes), (Bounds{50, 100, 100}));
    // Its picture is still tried, with whatever its name holds.
    EXPECT_EQ(loaded->pictures.requested.back().filename(), "b.jpg");
}

TEST(ReadPrizeList, AWeightThatIsNoNumberCountsAsZeroAndTheSumCarriesOn)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("10", "1", "a", "1") + record("abc", "1", "b", "1") + record("60", "1", "c", "1"));
    EXPECT_EQ(bounds(*load(folder)->prizes), (Bounds{10, 10, 70, 70}));
}

TEST(ReadPrizeList, NegativeAndOddlyWrittenWeightsTakePartAsNumbers)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("50", "1", "a", "1") + record(" -10 ", "1", "b", "1") + record("6e1", "1", "c", "1") +
                        record("1,5", "1", "d", "1") + record("1e999", "1", "e", "1"));
    EXPECT_EQ(bounds(*load(folder)->prizes), (Bounds{50, 40, 100, 100, 100, 100}));
}

TEST(ReadPrizeList, StopsAfterTheThousandthRecordAndKeepsTheLastSlotForTheTotal)
{
    fakes::TempFolder folder;
    std::string list;
    for (int i = 0; i < 1005; ++i)
        list += record("0.1", "1", "p" + std::to_string(i), "1");
    folder.writeDataIni(list);
    auto loaded = load(folder);
    const Catalogue &prizes = *loaded->prizes;
    EXPECT_EQ(prizes.prizeCount, 1000);
    EXPECT_TRUE(loaded->report.recordsIgnored);
    EXPECT_EQ(loaded->pictures.requested.size(), 1000u);
    EXPECT_EQ(prizes.prize(999).name.toText(), "p999");
    EXPECT_NEAR(prizes.prize(1000).pr.toDouble(), 100.0, 1e-9);
    EXPECT_THROW(prizes.prize(1001), RuntimeError);
}

TEST(ReadPrizeList, ExactlyAThousandRecordsAreAllReadWithoutAWarning)
{
    fakes::TempFolder folder;
    std::string list;
    for (int i = 0; i < 1000; ++i)
        list += record("0.1", "1", "p", "1");
    folder.writeDataIni(list);
    auto loaded = load(folder);
    EXPECT_EQ(loaded->prizes->prizeCount, 1000);
    EXPECT_FALSE(loaded->report.recordsIgnored);
}

TEST(ReadPrizeList, GbkNamesNameTheirPicturesInUtf8)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("100", "255", "\xD3\xAB\xB9\xE2\xB0\xF4", "10")); // 荧光棒 in GBK
    folder.addPicture("荧光棒");
    auto loaded = load(folder);
    EXPECT_EQ(loaded->prizes->prize(0).name.toText(), "荧光棒");
    EXPECT_EQ(fakes::pathOf(loaded->prizes->picture(0).picture()), folder.path() / "picture" / utf8Path("荧光棒.jpg"));
}

TEST(ReadPrizeList, NeverOpensAPictureOutsideThePictureFolder)
{
    fakes::TempFolder folder;
    folder.write("x.jpg", "outside");
    folder.write("picture/sub/y.jpg", "nested");
    std::string list;
    for (const std::string &name :
         std::vector<std::string>{"../x", "sub/y", "sub\\y", "", ".", "..", std::string("x\0y", 3)})
        list += record("10", "1", name, "1");
    list += record("10", "1", "fine", "1");
    folder.writeDataIni(list);
    folder.addPicture("fine");

    auto loaded = load(folder);
    EXPECT_EQ(loaded->prizes->prizeCount, 8);
    ASSERT_EQ(loaded->pictures.requested.size(), 1u);
    EXPECT_EQ(loaded->pictures.requested[0].filename(), "fine.jpg");
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(loaded->prizes->picture(i).isEmpty()) << i;
}

TEST(PictureFileOf, JoinsAsTheSlashDoesHoweverTheFolderIsSpelt)
{
    for (const char *folder : {"picture", "a/picture", "a/picture/", "", "/", "C:", "C:\\picture"})
        EXPECT_EQ(pictureFileOf(folder, "荧光棒").native(),
                  (std::filesystem::path(folder) / utf8Path("荧光棒.jpg")).native())
            << folder;
}

TEST(IsSafePictureName, AllowsOrdinaryNamesWithDotsAndBlanks)
{
    EXPECT_TRUE(isSafePictureName("Golden Cup"));
    EXPECT_TRUE(isSafePictureName("v1.5 ...x"));
    EXPECT_TRUE(isSafePictureName("..."));
    EXPECT_FALSE(isSafePictureName("a/.."));
}

TEST(IsWindowsFileName, RefusesDeviceNamesReservedCharactersAndTrailingDotsOrBlanks)
{
    for (const char *name : {"CON", "con", "Nul.txt", "aux.tar.gz", "COM1", "lpt9.jpg", "PRN .x", "a:b", "a<b", "a>b",
                             "a\"b", "a|b", "a?", "*", "tab\there", "Cup.", "Cup "})
        EXPECT_FALSE(isWindowsFileName(name)) << name;
    for (const char *name :
         {"荧光棒", "Golden Cup", "v1.5 ...x", "CONSOLE", "COM10", "LPT0", "NUL-free", "x.con", ".jpg"})
        EXPECT_TRUE(isWindowsFileName(name)) << name;
}

TEST(UpperCaseFold, FoldsLettersOfEveryScriptAsWindowsComparesFileNames)
{
    EXPECT_EQ(upperCaseFold("iPhone手机壳.jpg"), "IPHONE手机壳.JPG");
    EXPECT_EQ(upperCaseFold("\xEF\xBD\x81\xEF\xBD\x9A"), "\xEF\xBC\xA1\xEF\xBC\xBA"); // full-width a, z
    EXPECT_EQ(upperCaseFold("čaj ñandú ÿ"), "ČAJ ÑANDÚ Ÿ");
    EXPECT_EQ(upperCaseFold("чай ёж ς"), "ЧАЙ ЁЖ Σ");
    EXPECT_EQ(upperCaseFold("\xFF\xC3x\xE4\xB8"), "\xFF\xC3X\xE4\xB8"); // broken bytes kept
    EXPECT_EQ(upperCaseFold("×÷ß"), "×÷ß");                             // no simple upper case
}

TEST(ReadPrizeList, ReadsTheBundledGbkListWithAPictureForEveryPrize)
{
    const std::filesystem::path sample = SAMPLE_DIR;
    auto prizes = std::make_unique<Catalogue>();
    fakes::FakePictureLoader pictures;
    FailureRegime regime;
    PrizeListFile file(sample / "data.ini");
    const ReadReport report = readPrizeList(*prizes, file, sample / "picture", pictures, regime);
    cumulativePass(*prizes);

    EXPECT_FALSE(report.readAsUtf8);
    EXPECT_FALSE(report.lastRecordCutShort);
    ASSERT_EQ(prizes->prizeCount, 8);
    EXPECT_EQ(prizes->prize(0).name.toText(), "荧光棒");
    EXPECT_EQ(prizes->prize(0).amount.toText(), "10");
    EXPECT_DOUBLE_EQ(prizes->prize(8).pr.toDouble(), 100);
    for (int k = 0; k < 8; ++k)
        EXPECT_FALSE(prizes->picture(k).isEmpty()) << prizes->prize(k).name.toText();
}
