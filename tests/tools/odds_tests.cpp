// Exact odds and warnings for prize lists read from files.
//
// The expected counts are worked out by hand: r = k x 100 / 2^24 rounded to
// single precision, and a slot starts at the first k whose r reaches its
// lower bound. 50 is hit exactly at k = 2^23; 80 = 13421772.8 / 2^24 x 100, and
// k = 13421773 is the first whose r rounds up to 80 (floats near 80 are 2^-17
// apart), and so on for the other bounds named below.
#include "gbk_encoder.h"
#include "list_folder.h"
#include "picture_matches.h"
#include "platform.h"
#include "sample_pictures.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace testing_odds;
using Counts = std::vector<std::uint32_t>;

namespace {
constexpr std::uint32_t kAll = odds::kDrawValues;

// A record as the game reads it, its name in GBK.
std::string gbkRecord(const std::string &weight, const std::string &utf8Name)
{
    std::string unencodable;
    return fakes::record(weight, "255", *authoring::GbkEncoder().encode(utf8Name, unencodable), "1");
}

// A file in the picture folder as messages name it, with the platform's separator.
std::string inFolder(const std::string &file)
{
    return "picture" + std::string(1, static_cast<char>(std::filesystem::path::preferred_separator)) + file;
}
} // namespace

TEST(ExactOdds, SplitEachBoundAtTheFirstDrawValueThatReachesIt)
{
    ListFolder list;
    // First k reaching 50: 8388608; reaching 80: 13421773.
    EXPECT_EQ(countsOf(list.report(weights({"50", "30", "20"}))), (Counts{8388608, 5033165, 3355443, 0}));
    // The same bounds with the last prize missing leave its share to the empty card.
    const auto short100 = list.report(weights({"50", "30"}));
    EXPECT_EQ(countsOf(short100), (Counts{8388608, 5033165, 3355443}));
    EXPECT_EQ(codesFor(short100, std::nullopt), Codes{Code::TotalNot100});
}

TEST(ExactOdds, CutTheRunningTotalAt100)
{
    ListFolder list;
    // First k reaching 60: 10066330; reaching 90: 15099494 (its r rounds up to 90).
    const auto report = list.report(weights({"60", "30", "20"}));
    EXPECT_EQ(countsOf(report), (Counts{10066330, 5033164, 1677722, 0}));
    EXPECT_EQ(codesFor(report, 2), Codes{Code::Cut});
    EXPECT_TRUE(codesFor(report, 0).empty());
    EXPECT_TRUE(codesFor(report, 1).empty());
}

TEST(ExactOdds, NegativeWeightIsNeverDrawnAndCutsThePrizesBeforeIt)
{
    ListFolder list;
    // Bounds 50, 40, 100: prize 0 keeps r below 40 (first k reaching 40: 6710887).
    const auto report = list.report(weights({"50", "-10", "60"}));
    EXPECT_EQ(countsOf(report), (Counts{6710887, 0, 10066329, 0}));
    EXPECT_EQ(codesFor(report, 0), Codes{Code::Cut});
    EXPECT_EQ(codesFor(report, 1), Codes{Code::WeightNegative});
    EXPECT_TRUE(codesFor(report, 2).empty());
}

TEST(ExactOdds, WeightThatIsNoNumberCountsAsZero)
{
    ListFolder list;
    // Bounds 10, 10, 70; first k reaching 10: 1677722, reaching 70: 11744051.
    const auto report = list.report(weights({"10", "abc", "60"}));
    EXPECT_EQ(countsOf(report), (Counts{1677722, 0, 10066329, 5033165}));
    EXPECT_EQ(report.prizes[1].weightText, "abc");
    EXPECT_FALSE(report.prizes[1].weightIsNumber);
    EXPECT_EQ(codesFor(report, 1), Codes{Code::WeightNotANumber});
}

TEST(ExactOdds, EmptyListShowsTheEmptyCardOnEveryDraw)
{
    ListFolder list;
    const auto report = list.report("");
    EXPECT_TRUE(report.prizes.empty());
    EXPECT_EQ(report.emptyCount, kAll);
    EXPECT_EQ(codesFor(report, std::nullopt), Codes{Code::NoPrizes});
}

TEST(ExactOdds, ThreeThirdsLeaveSeventeenDrawValuesToTheEmptyCard)
{
    ListFolder list;
    // The bounds 33.3333, 66.6666 and 99.9999 fall between draw values; only the
    // 17 values with r >= 99.9999 show the empty card.
    const auto report = list.report(weights({"33.3333", "33.3333", "33.3333"}));
    EXPECT_EQ(countsOf(report), (Counts{5592400, 5592400, 5592399, 17}));
    EXPECT_EQ(codesFor(report, std::nullopt), Codes{Code::TotalNot100});
    EXPECT_NE(report.warnings[0].message.find("0.0001%"), std::string::npos) << report.warnings[0].message;
}

TEST(ExactOdds, CountsCoverEveryDrawValueOnceForAThousandPrizes)
{
    ListFolder list;
    std::string bytes;
    for (int k = 0; k < 1003; ++k)
        bytes += fakes::record(k % 7 == 3 ? "-0.05" : "0.1", "0", "p" + std::to_string(k), "1");
    const auto report = list.report(bytes);
    ASSERT_EQ(report.prizes.size(), 1000u);
    const auto counts = countsOf(report);
    EXPECT_EQ(std::accumulate(counts.begin(), counts.end(), std::uint64_t{0}), kAll);
    EXPECT_EQ(codesFor(report, std::nullopt).front(), Code::RecordsIgnored);
}

TEST(OddsWarnings, ListThatAddsUpTo100WithPicturesRaisesNone)
{
    ListFolder list;
    // 0.1 a thousand times adds up to 100 only up to rounding: not worth a word.
    std::string bytes;
    for (int k = 0; k < 1000; ++k)
        bytes += fakes::record("0.1", "65280", "p", "1");
    list.picture("p");
    const auto report = list.report(bytes);
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].code, Code::NameDuplicate); // said once for the thousand
    for (const auto &prize : report.prizes)
        EXPECT_NEAR(prize.count, kAll / 1000.0, 2.0);
}

TEST(OddsWarnings, NameThePrizeTheyAreAbout)
{
    ListFolder list;
    list.picture("ok");
    list.folder.write("picture/fake.jpg", "GIF89a, not a picture the game shows");
    std::filesystem::create_directories(list.folder.path() / "picture" / "folder.jpg");
    const auto report =
        list.report(fakes::record("99.995", "255", "ok", "1") + fakes::record("0.005", "16777216", "fake", "1") +
                    fakes::record("0", "blue", "folder", "1") + fakes::record("0", "-1", "a/b", "1") +
                    fakes::record("0", "0", "gone", "1"));
    EXPECT_TRUE(allCodesFor(report, 0).empty());
    EXPECT_EQ(allCodesFor(report, 1), (Codes{Code::Rare, Code::ColorUnusable, Code::PictureRefused}));
    EXPECT_EQ(allCodesFor(report, 2), (Codes{Code::WeightZero, Code::ColorUnusable, Code::PictureRefused}));
    EXPECT_EQ(allCodesFor(report, 3), (Codes{Code::WeightZero, Code::ColorUnusable, Code::PictureUnsafeName}));
    EXPECT_EQ(allCodesFor(report, 4), (Codes{Code::WeightZero, Code::ColorHidesName, Code::PictureMissing}));
    EXPECT_EQ(report.prizes[1].pictureError, "481 Invalid picture");
    EXPECT_EQ(report.prizes[2].pictureError, "75 Path/File access error");
    EXPECT_EQ(report.prizes[1].color, 0);
    EXPECT_EQ(report.prizes[4].color, 0);
    EXPECT_TRUE(report.prizes[4].colorUsable); // black written as 0 is meant
    EXPECT_EQ(report.warnings[1].name, "fake");
}

TEST(OddsWarnings, NameThePictureFileAndTheNearMissBesideIt)
{
    ListFolder list;
    std::filesystem::create_directories(list.folder.path() / "picture");
    list.folder.write("picture/ipad.JPEG", "any bytes");
    list.folder.write(std::filesystem::path("picture") / catalogue::utf8Path("\xEF\xBC\xA1\xEF\xBC\x91.png"),
                      "any bytes"); // full-width "A1", named by UTF-8 on every platform
    list.folder.write("picture/old.jpg", "any bytes");
    list.folder.write("picture/notes.txt", "any bytes");
    list.picture("dup");
    const auto report = list.report(fakes::record("20", "255", " iPad", "1") + fakes::record("20", "255", "a1", "1") +
                                    fakes::record("20", "255", "dup", "1") + fakes::record("20", "255", "dup", "1") +
                                    fakes::record("20", "255", "COM1", "1"));
    using V = std::vector<std::string>;
    EXPECT_EQ(allCodesFor(report, 0), (Codes{Code::PictureMissing, Code::PictureNearMiss}));
    EXPECT_EQ(report.warnings[0].file, inFolder(" iPad.jpg"));
    EXPECT_NE(report.warnings[0].message.find("\"" + inFolder(" iPad.jpg") + "\" is missing"), std::string::npos);
    EXPECT_EQ(report.warnings[1].file, inFolder("ipad.JPEG"));
    EXPECT_EQ(allCodesFor(report, 1), (Codes{Code::PictureMissing, Code::PictureNearMiss}));
    EXPECT_TRUE(allCodesFor(report, 2).empty());
    EXPECT_EQ(allCodesFor(report, 3), (Codes{Code::NameDuplicate}));
    // Said on every platform; on Windows the name also opens no file at all.
    const auto windowsCodes = codesFor(report, 4);
    ASSERT_FALSE(windowsCodes.empty());
    EXPECT_EQ(windowsCodes.back(), Code::NameNotWindowsFile);
    // Neither a near miss already offered nor a prize's own picture is unused.
    V unused;
    for (const auto &warning : report.warnings)
        if (warning.code == Code::PictureUnused)
            unused.push_back(warning.file);
    EXPECT_EQ(unused, (V{inFolder("notes.txt"), inFolder("old.jpg")}));
}

TEST(PictureFolderMatch, NamesWindowsUsersMakeAreNearMissesClosestFirst)
{
    const std::vector<std::string> files = {"保温杯.jpg.jpg",        "电影票.jpg.png",
                                            "金条.jpeg.jpg",         "荧光棒 - 副本.jpg",
                                            "玩具熊 - Copy (2).JPG", "棒棒糖(1).jpg",
                                            "手表 (2).png",          "蓝牙耳机.jpeg",
                                            "电动牙刷.JPG",          "\xEF\xBC\xA9pad.png", // full-width I
                                            "a.jpg - 副本.jpg",      "礼品.png",
                                            "礼品(1).jpg",           "notes(1).txt"};
    const std::vector<std::string> names = {"保温杯",   "电影票",   "金条", "荧光棒", "玩具熊", "棒棒糖", "手表",
                                            "蓝牙耳机", "电动牙刷", "iPad", "A",      "礼品",   "notes"};
    const odds::PictureFolderMatch folder(files, names, false);
    for (std::size_t i = 0; i + 3 < names.size(); ++i)
        EXPECT_EQ(folder.nearMiss(names[i]), files[i]) << names[i];
    EXPECT_EQ(folder.nearMiss("a"), "a.jpg - 副本.jpg");
    EXPECT_EQ(folder.nearMiss("礼品"), "礼品.png"); // before the second download
    EXPECT_EQ(folder.nearMiss("notes"), std::nullopt);
    EXPECT_EQ(folder.nearMiss("棒棒糖(1)"), "棒棒糖(1).jpg"); // a name that ends in a number is no copy's
}

TEST(PictureFolderMatch, WhereNamesIgnoreCaseTheFileTheGameOpensIsThePrizesOwn)
{
    const std::vector<std::string> files = {"iphone手机壳.jpg", "电动牙刷.JPG", "Ёлка.jpg"};
    const std::vector<std::string> names = {"iPhone手机壳", "电动牙刷", "ёлка"};
    const odds::PictureFolderMatch windows(files, names, true);
    const odds::PictureFolderMatch posix(files, names, false);
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_TRUE(windows.isOwn(files[i]));
        EXPECT_EQ(windows.ownFile(names[i]), files[i]);
        EXPECT_EQ(windows.nearMiss(names[i]), std::nullopt);
        EXPECT_FALSE(posix.isOwn(files[i]));
        EXPECT_EQ(posix.nearMiss(names[i]), files[i]);
    }
}

TEST(OddsWarnings, PicturesThatDifferOnlyInCaseAreJudgedAsThePlatformOpensThem)
{
    ListFolder list;
    list.picture("iphone手机壳");
    list.picture("Cup", "red.jpg");
    std::filesystem::rename(list.folder.path() / "picture" / "Cup.jpg", list.folder.path() / "picture" / "CUP.JPG");
    const auto report = list.report(gbkRecord("50", "iPhone手机壳") + gbkRecord("50", "Cup"));
    if (catalogue::platform::fileNamesIgnoreCase()) {
        EXPECT_EQ(report.prizes[0].picture, odds::PictureState::Loaded);
        EXPECT_EQ(report.prizes[1].picture, odds::PictureState::Loaded);
        EXPECT_TRUE(report.warnings.empty()) << report.warnings[0].message;
    } else {
        EXPECT_EQ(allCodesFor(report, 0), (Codes{Code::PictureMissing, Code::PictureNearMiss}));
        EXPECT_EQ(allCodesFor(report, 1), (Codes{Code::PictureMissing, Code::PictureNearMiss}));
        EXPECT_FALSE(hasCode(report, Code::PictureUnused));
    }
}

TEST(OddsWarnings, ANearMissBesideThePictureTheCardShowsNamesBoth)
{
    ListFolder list;
    list.picture("蓝牙耳机");
    list.folder.write(std::filesystem::path("picture") / catalogue::utf8Path("蓝牙耳机.jpeg"), "any bytes");
    const auto report = list.report(gbkRecord("100", "蓝牙耳机"));
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].code, Code::PictureNearMiss);
    EXPECT_EQ(report.warnings[0].file, inFolder("蓝牙耳机.jpeg"));
    EXPECT_NE(report.warnings[0].message.find("\"" + inFolder("蓝牙耳机.jpeg") +
                                              "\" looks meant for this prize, but "
                                              "the card shows \"" +
                                              inFolder("蓝牙耳机.jpg") + "\""),
              std::string::npos)
        << report.warnings[0].message;
    // Taking the file as the prize's picture is the editor's to offer, not the tools'.
    EXPECT_TRUE(report.warnings[0].message.ends_with("replace \"" + inFolder("蓝牙耳机.jpg") + "\" with it"))
        << report.warnings[0].message;

    // Beside the bundled sample, the warning says so. Every bundled picture is
    // known, and only they are.
    std::filesystem::copy_file(std::filesystem::path(SAMPLE_DIR) / "picture" / catalogue::utf8Path("蓝牙耳机.jpg"),
                               list.folder.path() / "picture" / catalogue::utf8Path("蓝牙耳机.jpg"),
                               std::filesystem::copy_options::overwrite_existing);
    const auto besideSample = list.report();
    ASSERT_EQ(besideSample.warnings.size(), 1u);
    EXPECT_NE(besideSample.warnings[0].message.find("\"" + inFolder("蓝牙耳机.jpg") + "\", the bundled sample picture"),
              std::string::npos)
        << besideSample.warnings[0].message;
    for (const auto &sample : std::filesystem::directory_iterator(std::filesystem::path(SAMPLE_DIR) / "picture"))
        EXPECT_TRUE(odds::isBundledSample(sample.path())) << sample.path();
    EXPECT_FALSE(odds::isBundledSample(kData / "red.jpg"));
}

TEST(OddsWarnings, APortraitPictureIsSaidToShowSquashedWithItsProportions)
{
    ListFolder list;
    list.picture("landscape");
    // A PNG's signature and header are all the judge and the warning read.
    const auto png = [](std::uint32_t width, std::uint32_t height) {
        std::string bytes("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
        for (const std::uint32_t value : {width, height})
            for (int shift = 24; shift >= 0; shift -= 8)
                bytes += static_cast<char>((value >> shift) & 0xFF);
        return bytes;
    };
    list.folder.write("picture/portrait.jpg", png(3000, 4000));
    list.folder.write("picture/square.jpg", png(1000, 1100));
    const auto report =
        list.report(fakes::record("40", "255", "landscape", "1") + fakes::record("30", "255", "portrait", "1") +
                    fakes::record("30", "255", "square", "1"));
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].code, Code::PicturePortrait);
    EXPECT_EQ(report.warnings[0].index, 1);
    EXPECT_NE(report.warnings[0].message.find("3000 x 4000 pixels, taller than wide (3:4)"), std::string::npos)
        << report.warnings[0].message;
    EXPECT_NE(report.warnings[0].message.find("48% of its height"), std::string::npos) << report.warnings[0].message;
}

TEST(OddsWarnings, AStripDarkerThan3To1AgainstTheBlackNameIsNamed)
{
    ListFolder list;
    list.picture("p");
    list.picture("q");
    // Greys 89 and 90 lie either side of 3:1 (2.99 and 3.04).
    const auto report = list.report(fakes::record("50", std::to_string(89 * 65793), "p", "1") +
                                    fakes::record("50", std::to_string(90 * 65793), "q", "1"));
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].code, Code::ColorHidesName);
    EXPECT_EQ(report.warnings[0].index, 0);
    EXPECT_NE(report.warnings[0].message.find("#595959"), std::string::npos);
}

namespace {
// A SimSun-like font at 12 pixels: 12 for a Chinese character, 6 for ASCII,
// nothing past U+FFFF.
class FixedWidthText : public window::TextMeasure {
public:
    int widthPixels(const window::design::Font &, std::string_view utf8) override
    {
        int width = 0;
        for (const char byte : utf8)
            if (const auto b = static_cast<unsigned char>(byte); b < 0x80)
                width += 6;
            else if (b >= 0xC0)
                width += 12;
        return width;
    }
    bool hasCharacter(const window::design::Font &, char32_t c) override { return c <= 0xFFFF; }
};
} // namespace

TEST(OddsWarnings, ANameOrAmountWiderThanItsLabelOrAFontWithoutACharacterIsNamed)
{
    ListFolder list;
    for (const char *name : {"一二三四五六七八九十一二三", "一二三四五六七八九十一二三四", "礼物🎁"})
        list.picture(name);
    // The name label is 161 pixels: 13 characters of 12 fit, 14 do not; the
    // amount label is 153: 25 digits of 6 fit, 26 do not.
    list.write("\xEF\xBB\xBF" + fakes::record("30", "255", "一二三四五六七八九十一二三", std::string(25, '9')) +
               fakes::record("30", "255", "一二三四五六七八九十一二三四", std::string(26, '9')) +
               fakes::record("40", "255", "礼物🎁", "1"));
    list.list = odds::loadPrizeList(list.dataIni(), list.loader);
    FixedWidthText text;
    const auto report = odds::buildReport(list.list, &text);

    EXPECT_EQ(codesFor(report, 0), Codes{});
    EXPECT_EQ(codesFor(report, 1), (Codes{Code::NameTooWide, Code::AmountTooWide}));
    EXPECT_EQ(codesFor(report, 2), Codes{Code::NameCharacterMissing});
    const auto messageOf = [&](Code code) {
        for (const auto &warning : report.warnings)
            if (warning.code == code)
                return warning.message;
        return std::string();
    };
    EXPECT_NE(messageOf(Code::NameTooWide)
                  .find("168 pixels wide in the card's font, but the card has room for 161: it "
                        "shows only \"一二三四五六七八九十一二三\""),
              std::string::npos);
    EXPECT_NE(messageOf(Code::NameCharacterMissing).find("U+1F381"), std::string::npos);
    EXPECT_FALSE(hasCode(odds::buildReport(list.list), Code::NameTooWide)); // nothing to measure with
}

TEST(OddsWarnings, NoteTheFileAsAWhole)
{
    ListFolder list;
    // GBK bytes of 荧光棒, then a record cut short after its name.
    list.picture("荧光棒", "blue.png");
    auto report = list.report(fakes::record("60", "255", "\xD3\xAB\xB9\xE2\xB0\xF4", "10") + "40\r\n255\r\ncut");
    ASSERT_EQ(report.prizes.size(), 2u);
    EXPECT_EQ(report.prizes[0].name, "荧光棒");
    EXPECT_EQ(report.prizes[0].picture, odds::PictureState::Loaded);
    EXPECT_EQ(codesFor(report, 1).front(), Code::LastRecordCutShort);
    EXPECT_FALSE(hasCode(report, Code::ReadAsUtf8));

    report = list.report("\xEF\xBB\xBF" + fakes::record("100", "255", "荧光棒", "10"));
    EXPECT_EQ(report.prizes[0].name, "荧光棒");
    EXPECT_EQ(codesFor(report, std::nullopt), Codes{Code::ReadAsUtf8});
}

TEST(OddsWarnings, TellWhichLineTheGameCutsShort)
{
    ListFolder list;
    const std::string tooLong(catalogue::PrizeListFile::kMaxLineBytes + 1, 'n');
    const auto report =
        list.report(fakes::record("50", "255", tooLong, "1") + fakes::record("50", "65535", "b", "1", tooLong));
    ASSERT_EQ(report.prizes.size(), 2u);
    EXPECT_EQ(report.prizes[0].name, tooLong.substr(1));
    EXPECT_EQ(codesFor(report, 0).front(), Code::LineCut);
    ASSERT_EQ(codesFor(report, 1), Codes{Code::LineCut});
    const auto note = std::find_if(report.warnings.begin(), report.warnings.end(),
                                   [](const odds::Warning &w) { return w.code == Code::LineCut && w.index == 1; });
    EXPECT_NE(note->message.find("its note (line 10)"), std::string::npos) << note->message;
}

TEST(OddsWarnings, APictureFarSmallerThanTheCardIsSaidToLookBlurry)
{
    ListFolder list;
    list.picture("card");             // the size of the card's picture box
    list.picture("icon", "blue.png"); // 16 x 10
    const auto report =
        list.report(fakes::record("50", "65280", "card", "1") + fakes::record("50", "65280", "icon", "1"));
    EXPECT_TRUE(codesFor(report, 0).empty());
    ASSERT_EQ(codesFor(report, 1), Codes{Code::PictureTooSmall});
    EXPECT_NE(report.warnings[0].message.find("only 16 × 10 pixels"), std::string::npos) << report.warnings[0].message;
}

TEST(OddsWarnings, ANameThatCannotBeAFileNameSaysWhichCharacterIsTheProblem)
{
    ListFolder list;
    const auto report = list.report(fakes::record("20", "255", "a/b", "1") + fakes::record("20", "255", "a\\b", "1") +
                                    fakes::record("20", "255", "..", "1") + fakes::record("20", "255", "x?y", "1") +
                                    fakes::record("20", "255", "con", "1"));
    const auto said = [&](int prize) {
        std::string text;
        for (const auto &warning : report.warnings)
            if (warning.index == prize &&
                (warning.code == Code::PictureUnsafeName || warning.code == Code::NameNotWindowsFile))
                text += warning.message;
        return text;
    };
    EXPECT_NE(said(0).find("the name holds \"/\", which a file name cannot hold"), std::string::npos) << said(0);
    EXPECT_NE(said(1).find("the name holds \"\\\""), std::string::npos) << said(1);
    EXPECT_NE(said(2).find("the name \"..\" cannot be a file name"), std::string::npos) << said(2);
    EXPECT_NE(said(3).find("on Windows a file name cannot hold \"?\""), std::string::npos) << said(3);
    EXPECT_NE(said(4).find("\"con\" is the name of a device"), std::string::npos) << said(4);
}

TEST(OddsWarnings, ExplainAListSavedAsUtf8WithoutAByteOrderMark)
{
    ListFolder list;
    auto report = list.report(fakes::record("60", "255", "荧光棒", "10") + fakes::record("40", "0", "x", "1"));
    EXPECT_EQ(codesFor(report, std::nullopt), Codes{Code::Utf8WithoutBom});

    // GBK that happens to be valid UTF-8 ("卤" is U+00B7 as UTF-8) is no CJK text.
    report = list.report(fakes::record("100", "255", "\xC2\xB7", "1"));
    EXPECT_FALSE(hasCode(report, Code::Utf8WithoutBom));

    odds::PictureFileLoader loader;
    const auto bundled = odds::buildReport(odds::loadPrizeList(std::filesystem::path(SAMPLE_DIR) / "data.ini", loader));
    EXPECT_TRUE(bundled.warnings.empty());
}

TEST(OddsLoading, FailsAsTheGameDoesBeforeTheFirstWholeRecord)
{
    ListFolder list;
    auto numberOfError = [&] {
        try {
            list.report();
        } catch (const catalogue::RuntimeError &error) {
            return error.number();
        }
        return 0;
    };
    EXPECT_EQ(numberOfError(), 53);
    list.write("50\r\n255\r\nname\r\n");
    EXPECT_EQ(numberOfError(), 62);
    std::filesystem::remove(list.dataIni());
    std::filesystem::create_directory(list.dataIni());
    EXPECT_EQ(numberOfError(), 75);
}

TEST(PictureFileLoader, AcceptsJpegAndPngBySignatureOnly)
{
    odds::PictureFileLoader loader;
    auto typeOf = [&](const std::filesystem::path &file) {
        return std::dynamic_pointer_cast<const odds::PictureFile>(loader.load(file))->mimeType;
    };
    EXPECT_EQ(typeOf(kData / "red.jpg"), "image/jpeg");
    EXPECT_EQ(typeOf(kData / "blue.png"), "image/png");

    fakes::TempFolder folder;
    auto errorOf = [&](const std::filesystem::path &file) {
        try {
            loader.load(file);
        } catch (const catalogue::RuntimeError &error) {
            return error.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf(folder.path() / "none.jpg"), 53);
    EXPECT_EQ(errorOf(folder.path()), 75);
    EXPECT_EQ(errorOf(folder.write("short.jpg", "\xFF\xD8")), 481);
    EXPECT_EQ(errorOf(folder.write("empty.jpg", "")), 481);
}
