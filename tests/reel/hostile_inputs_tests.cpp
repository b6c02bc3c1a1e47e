// Prize lists written by hand, badly or with ill will: each has one clear outcome.
#include "startup_outcome.h"

#include <gtest/gtest.h>

using namespace catalogue;
using fakes::Outcome;
using fakes::record;
using fakes::startUpIn;

namespace {
bool anyCardNamed(Outcome &outcome, const std::string &name)
{
    for (int i = 0; i < 4; ++i)
        if (outcome.window.card(i).name == name)
            return true;
    return false;
}
} // namespace

TEST(HostileInput, MissingFolderOrShortListsEndStartUpWithTheirError)
{
    fakes::TempFolder missing, fourLines, folderInstead;
    fourLines.writeDataIni("1\r\n2\r\n3\r\n4");
    std::filesystem::create_directory(folderInstead.path() / "data.ini");
    EXPECT_EQ(startUpIn(missing)->error, 53);
    EXPECT_EQ(startUpIn(fourLines)->error, 62);
    EXPECT_EQ(startUpIn(folderInstead)->error, 75);
}

TEST(HostileInput, AnEmptyListGivesFourBlackCards)
{
    fakes::TempFolder folder;
    folder.writeDataIni("");
    auto outcome = startUpIn(folder);
    EXPECT_EQ(outcome->error, 0);
    EXPECT_EQ(outcome->prizes->prizeCount, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(outcome->window.card(i).fillColor, 0);
}

TEST(HostileInput, ATenMegabyteLineIsCutAndOpensNoPicture)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("100", "255", std::string(10 << 20, 'n'), "1"));
    auto outcome = startUpIn(folder);
    EXPECT_EQ(outcome->error, 0);
    EXPECT_EQ(outcome->prizes->prize(0).name.toText().size(), PrizeListFile::kMaxLineBytes);
    EXPECT_TRUE(outcome->prizes->picture(0).isEmpty());
    EXPECT_EQ(outcome->window.card(0).fillColor, 255);
}

TEST(HostileInput, AHundredThousandRecordsKeepTheFirstThousand)
{
    fakes::TempFolder folder;
    std::string list;
    for (int i = 0; i < 100'000; ++i)
        list += record("0.1", "255", "p", "1");
    folder.writeDataIni(list);
    auto outcome = startUpIn(folder);
    EXPECT_EQ(outcome->error, 0);
    EXPECT_EQ(outcome->prizes->prizeCount, 1000);
    EXPECT_EQ(outcome->pictures.requested.size(), 1000u);
    EXPECT_TRUE(anyCardNamed(*outcome, "p"));
}

TEST(HostileInput, ANulInsideANameIsShownButOpensNoFile)
{
    fakes::TempFolder folder;
    const std::string name("Cup\0.jpg", 8);
    folder.writeDataIni(record("100", "255", name, "1"));
    folder.addPicture("Cup");
    auto outcome = startUpIn(folder);
    EXPECT_EQ(outcome->error, 0);
    EXPECT_TRUE(outcome->pictures.requested.empty());
    EXPECT_EQ(outcome->window.card(0).name, name);
}

TEST(HostileInput, InvalidGbkBytesShowAsReplacementCharacters)
{
    fakes::TempFolder folder;
    folder.writeDataIni(record("100", "255", "\xFF\xD3\xAB\x81", "\x80\xFF"));
    auto outcome = startUpIn(folder);
    EXPECT_EQ(outcome->window.card(0).name, "\uFFFD荧\uFFFD");
    EXPECT_EQ(outcome->window.card(0).amount, "€\uFFFD");
}

TEST(HostileInput, CarriageReturnsAloneEndLinesToo)
{
    fakes::TempFolder folder;
    folder.writeDataIni("40\r255\rCup\r1\r\r60\r65280\rPen\r2\r");
    auto outcome = startUpIn(folder);
    EXPECT_EQ(outcome->prizes->prizeCount, 2);
    EXPECT_EQ(outcome->prizes->prize(1).name.toText(), "Pen");
    EXPECT_DOUBLE_EQ(outcome->prizes->prize(2).pr.toDouble(), 100);
}

TEST(HostileInput, ANameThatClimbsOutOfThePictureFolderOpensNothing)
{
    fakes::TempFolder folder;
    folder.write("x.jpg", "one level up");
    folder.writeDataIni(record("100", "255", "../x", "1"));
    auto outcome = startUpIn(folder);
    EXPECT_EQ(outcome->error, 0);
    EXPECT_TRUE(outcome->pictures.requested.empty());
    EXPECT_EQ(outcome->window.card(0).picture, nullptr);
    EXPECT_EQ(outcome->window.card(0).name, "../x");
}

TEST(HostileInput, APictureFolderThatIsAFileLeavesEveryPrizeWithoutAPicture)
{
    fakes::TempFolder folder;
    folder.write("picture", "not a folder");
    folder.writeDataIni(record("100", "255", "Cup", "1"));
    auto outcome = startUpIn(folder);
    EXPECT_EQ(outcome->error, 0);
    EXPECT_TRUE(outcome->prizes->picture(0).isEmpty());
    EXPECT_EQ(outcome->window.card(0).name, "Cup");
}
