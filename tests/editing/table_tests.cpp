// The prize table's edits on real files: weights scaled to 100, colours as
// typed, exact bytes after undo, rows moved and dropped, pictures that
// follow their prize, and edits that fail leaving no trace.
#include "bundled_list.h"
#include "fake_editor_view.h"
#include "slurp.h"

#include <gtest/gtest.h>

#include <map>

namespace {

namespace fs = std::filesystem;
using authoring::Field;
using editing::PrizeTable;
using fakes::BundledList;
using Session = fakes::FakeSession;

const fs::path kToolsData = TOOLS_DATA_DIR;

std::vector<std::string> column(const PrizeTable &table, PrizeTable::Column column)
{
    std::vector<std::string> out;
    for (int row = 0; row < table.rowCount(); ++row)
        out.push_back(table.cellText(row, column));
    return out;
}

TEST(PrizeTable, ScalingWeightsTo100IsExactAtTheListsDecimalsAndOneUndo)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    PrizeTable &table = s.table();

    // Chosen rows take what the others leave: 88 taken, so 8, 4, 1 share 12 by largest remainders.
    table.setCell(0, PrizeTable::Weight, "31");
    const auto before = column(table, PrizeTable::Weight);
    table.scaleWeightsTo100({5, 6, 7});
    auto after = before;
    after[5] = "7", after[6] = "4", after[7] = "1";
    EXPECT_EQ(column(table, PrizeTable::Weight), after);
    ASSERT_TRUE(s.waitForOdds());
    EXPECT_EQ(s.session.weightTotal().text.rfind("Weights add up to 100 of 100", 0), 0u)
        << s.session.weightTotal().text;
    s.undo().undo();
    EXPECT_EQ(column(table, PrizeTable::Weight), before);

    // All rows, at the one decimal the list now uses: 103.5 scaled to exactly 100.0.
    table.setCell(0, PrizeTable::Weight, "33.5");
    s.session.scaleWeightsTo100({3}); // one row chosen is rarely meant: all of them
    int tenths = 0;
    for (const std::string &weight : column(table, PrizeTable::Weight)) {
        ASSERT_EQ(weight.find('.'), weight.size() - 2) << weight;
        tenths += std::stoi(weight.substr(0, weight.size() - 2)) * 10 + (weight.back() - '0');
    }
    EXPECT_EQ(tenths, 1000);
    s.undo().undo();
    EXPECT_EQ(table.cellText(0, PrizeTable::Weight), "33.5");
}

TEST(PrizeTable, ScalingKeepsEqualWeightsEqualWithMoreDecimalsWhereNeeded)
{
    fakes::TempFolder folder;
    folder.writeDataIni(fakes::record("10", "255", "a", "1") + fakes::record("10", "255", "b", "1") +
                        fakes::record("10", "255", "c", "1") + fakes::record("10", "255", "d", "1") +
                        fakes::record("57", "255", "e", "1"));
    Session s;
    ASSERT_TRUE(s.session.openList(folder.path() / "data.ini"));
    s.table().scaleWeightsTo100({}); // 97 to 100: never 11, 10, 10, 10
    EXPECT_EQ(column(s.table(), PrizeTable::Weight), (std::vector<std::string>{"10.3", "10.3", "10.3", "10.3", "58.8"}));
    s.undo().undo();
    s.table().scaleWeightsTo100({0, 1, 2, 3}); // 43 left for four
    EXPECT_EQ(column(s.table(), PrizeTable::Weight),
              (std::vector<std::string>{"10.75", "10.75", "10.75", "10.75", "57"}));
}

TEST(PrizeTable, ScalingSaysWhatItDoesWithWeightsThatAreNoNumberOrNegativeAndTheTotalNeverLooksRight)
{
    fakes::TempFolder folder;
    // 十 in GBK
    folder.writeDataIni(fakes::record("\xCA\xAE", "255", "a", "1") + fakes::record("-5", "255", "b", "1") +
                        fakes::record("50", "255", "c", "1") + fakes::record("30", "255", "d", "1"));
    Session s;
    ASSERT_TRUE(s.session.openList(folder.path() / "data.ini"));
    s.table().scaleWeightsTo100({});
    ASSERT_EQ(s.view.messages.size(), 1u);
    const std::string &said = s.view.messages[0];
    EXPECT_NE(said.find("\"a\": its weight \"十\" is no number, so the game counts it as 0"), std::string::npos) << said;
    EXPECT_NE(said.find("\"b\": its weight -5 is negative"), std::string::npos) << said;
    // Counted as the game counts them: 0 - 5 + 66 + 39.
    EXPECT_EQ(column(s.table(), PrizeTable::Weight), (std::vector<std::string>{"十", "-5", "66", "39"}));
    ASSERT_TRUE(s.waitForOdds());
    const auto total = s.session.weightTotal();
    EXPECT_EQ(total.text.rfind("Weights add up to 100 of 100; weights that are no number count as 0 (1); "
                               "negative weights are subtracted (1)",
                               0),
              0u)
        << total.text;
    EXPECT_TRUE(total.off);
}

TEST(PrizeTable, TheColourColumnShowsHashRrggbbKeepsTheGamesNumberAndRefusesWhatIsNoColour)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    PrizeTable &table = s.table();
    const auto color = [&] { return table.document().text(0, Field::Color); };
    EXPECT_TRUE(table.setCell(0, PrizeTable::Color, "#FF0000"));
    EXPECT_EQ(color(), "255");
    EXPECT_EQ(table.cellText(0, PrizeTable::Color), "#FF0000");
    EXPECT_TRUE(table.setCell(0, PrizeTable::Color, "1e90ff")); // no #, but a letter
    EXPECT_EQ(color(), std::to_string(0x1E + 256 * 0x90 + 65536 * 0xFF));
    EXPECT_TRUE(table.setCell(0, PrizeTable::Color, "65280"));
    EXPECT_EQ(table.cellText(0, PrizeTable::Color), "#00FF00");

    const std::size_t steps = s.undo().count();
    for (const char *typed : {"red", "#FF00", "16777216", "-1", "12.5", ""}) {
        s.view.failures.clear();
        EXPECT_FALSE(table.setCell(0, PrizeTable::Color, typed)) << typed;
        ASSERT_EQ(s.view.failures.size(), 1u) << typed;
        EXPECT_NE(s.view.failures[0].find("for example #FF0000"), std::string::npos) << s.view.failures[0];
    }
    EXPECT_EQ(color(), "65280");
    EXPECT_EQ(s.undo().count(), steps);
}

TEST(PrizeTable, UndoingEveryKindOfEditSavesTheExactBytesThatWereRead)
{
    BundledList list;
    const std::string original = slurp(list.dataIni);
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    PrizeTable &table = s.table();
    table.setText(1, Field::Amount, "7");
    table.addPrize(2);
    table.duplicatePrizes({0, 3});
    table.movePrizes({4, 5}, -1);
    table.movePrizesBefore({0, 6}, 9);
    table.removePrizes({1, 2});
    table.pasteRows("5\t255\t伞\t1\t\r\n", 3);
    table.scaleWeightsTo100({});
    EXPECT_NE(table.document().bytes(), original);

    while (s.undo().canUndo())
        s.undo().undo();
    ASSERT_TRUE(s.session.saveList());
    EXPECT_EQ(slurp(list.dataIni), original);
    EXPECT_FALSE(s.session.modified());
}

TEST(PrizeTable, UndoAfterSavingInTheOtherEncodingWritesNoBytesOfTheOldOne)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.table().setText(0, Field::Name, "Glow stick");
    ASSERT_TRUE(s.session.saveListAs(list.dataIni, authoring::Encoding::Utf8));
    s.undo().undo(); // brings back the record as read, in GBK
    ASSERT_TRUE(s.session.saveList());
    EXPECT_EQ(slurp(list.dataIni).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(authoring::PrizeDocument::open(list.dataIni).text(0, Field::Name), "荧光棒");
}

TEST(PrizeTable, RowsDraggedBeforeARowKeepTheirOrderAndOnlyThisTablesOwnRowsAreMoved)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    PrizeTable &table = s.table();
    table.movePrizesBefore({0, 2, 6}, 5);
    EXPECT_EQ(column(table, PrizeTable::Name), (std::vector<std::string>{"棒棒糖", "保温杯", "蓝牙耳机", "荧光棒",
                                                                         "玩具熊", "智能手表", "电影票", "金条"}));

    // Rows dragged from a longer list in another window, or no rows at all.
    const std::string bytes = table.document().bytes();
    const std::size_t steps = s.undo().count();
    const std::string ours = table.draggedRows({7});
    const std::string source = ours.substr(0, ours.find(' '));
    PrizeTable other(s.undo());
    for (const std::string &dragged : {source + " 7 12", source + " 7 -1", source + " 7 7", source + " x",
                                       source + "  7", std::string("prizeedit:1:abc 7"), std::string(),
                                       other.draggedRows({0})})
        table.dropRows(dragged, 0);
    EXPECT_EQ(table.document().bytes(), bytes);
    EXPECT_EQ(s.undo().count(), steps);
    table.dropRows(ours, 0);
    EXPECT_EQ(table.cellText(0, PrizeTable::Name), "金条");
}

TEST(PrizeTable, APictureGoesIntoThePictureFolderAtSaveAndFollowsItsPrizesName)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    PrizeTable &table = s.table();
    table.addPrize(8);
    table.setText(8, Field::Name, "风筝");
    s.view.filesToOpen = {kToolsData / "red.jpg"};
    s.session.choosePicture(8);
    const fs::path kite = list.folder.path() / "picture" / u8"风筝.jpg";
    ASSERT_TRUE(s.waitForOdds());
    EXPECT_EQ(table.cellText(8, PrizeTable::Picture), "loaded"); // shown as it will be
    EXPECT_FALSE(fs::exists(kite));                               // written only at Save
    ASSERT_TRUE(s.session.saveList());
    EXPECT_EQ(slurp(kite), slurp(kToolsData / "red.jpg")); // a JPEG as it is

    table.setText(8, Field::Name, "无人机");
    const fs::path drone = list.folder.path() / "picture" / u8"无人机.jpg";
    ASSERT_TRUE(s.session.saveList());
    EXPECT_TRUE(fs::exists(drone));
    EXPECT_FALSE(fs::exists(kite));
    s.undo().undo();
    ASSERT_TRUE(s.session.saveList());
    EXPECT_TRUE(fs::exists(kite));
    EXPECT_FALSE(fs::exists(drone));

    table.setText(8, Field::Name, "a/b");
    ASSERT_TRUE(s.session.saveList());
    ASSERT_TRUE(s.waitForOdds());
    EXPECT_EQ(table.cellText(8, PrizeTable::Picture), "unsafe name");
    EXPECT_TRUE(fs::exists(kite)); // a name that is no file name takes no picture with it
}

TEST(PrizeTable, PrizesThatShareANameKeepTheirPictureWhenOneIsRenamed)
{
    BundledList list;
    const std::string glowStick = slurp(list.folder.path() / "picture" / u8"荧光棒.jpg");
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.table().duplicatePrizes({0});
    s.table().setText(1, Field::Name, "荧光棒 大");
    ASSERT_TRUE(s.session.saveList());
    EXPECT_EQ(slurp(list.folder.path() / "picture" / u8"荧光棒.jpg"), glowStick); // copied, not moved
    EXPECT_EQ(slurp(list.folder.path() / "picture" / u8"荧光棒 大.jpg"), glowStick);
}

TEST(PrizeTable, UndoAndDiscardAfterRenamesRemovalsAndPicturesLeaveEveryFileAsItWas)
{
    BundledList list;
    const auto before = filesUnder(list.folder.path());
    {
        Session s;
        ASSERT_TRUE(s.session.openList(list.dataIni));
        PrizeTable &table = s.table();
        s.view.confirmations = {true};
        table.setText(0, Field::Name, "Glow stick"); // a picture renamed
        table.setPicture(1, kToolsData / "red.jpg"); // one replaced
        table.setText(2, Field::Name, "棒棒糖");     // one overwritten by a rename, asked
        EXPECT_EQ(s.view.questions.size(), 1u);
        table.removePrizes({3});
        table.addPrize(0);
        table.setPicture(0, kToolsData / "blue.png");  // one added
        EXPECT_EQ(filesUnder(list.folder.path()), before); // the disk changes only at Save

        while (s.undo().canUndo())
            s.undo().undo();
        EXPECT_EQ(*table.pictures().picture("棒棒糖"), before.at("picture/棒棒糖.jpg"));
        EXPECT_EQ(table.pictures().picture("Glow stick"), nullptr);
        ASSERT_TRUE(s.session.saveList());
        auto saved = filesUnder(list.folder.path());
        saved.erase("data.ini.bak");
        EXPECT_EQ(saved, before);

        table.setText(0, Field::Name, "Glow stick");
        table.setPicture(1, kToolsData / "red.jpg");
        s.view.unsavedAnswers = {editing::EditorView::Unsaved::Discard};
        EXPECT_TRUE(s.session.keepOrDropChanges());
    }
    auto discarded = filesUnder(list.folder.path());
    discarded.erase("data.ini.bak");
    EXPECT_EQ(discarded, before);
}

TEST(PrizeTable, AnEditThatFailsHalfWayLeavesTheListAndTheUndoHistoryAsTheyWere)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    PrizeTable &table = s.table();
    table.setText(0, Field::Weight, "29");
    const std::string bytes = table.document().bytes();
    const std::size_t steps = s.undo().count();

    // A question that fails half-way through a rename whose picture would replace another.
    table.confirm = [](const std::string &) -> bool { throw std::runtime_error("the question could not be asked"); };
    EXPECT_FALSE(table.setCell(0, PrizeTable::Name, "棒棒糖"));
    EXPECT_EQ(s.view.failures, std::vector<std::string>{"The change was not made.\nthe question could not be asked"});
    EXPECT_EQ(table.document().bytes(), bytes);
    EXPECT_EQ(*table.pictures().picture("荧光棒"), slurp(list.folder.path() / "picture" / u8"荧光棒.jpg"));
    EXPECT_EQ(s.undo().count(), steps);
    EXPECT_EQ(s.undo().index(), steps);
    // No batch left open: the next edits are steps of their own.
    table.setText(1, Field::Weight, "19");
    table.movePrizes({7}, -1);
    EXPECT_EQ(s.undo().count(), steps + 2);
    s.undo().undo();
    EXPECT_EQ(table.document().text(1, Field::Weight), "19");
}

} // namespace
