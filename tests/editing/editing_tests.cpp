// The editing core without a toolkit: the live check, the undo history, rows
// pasted from a spreadsheet, and the session's files, through a fake view.
#include "bundled_list.h"
#include "editor_session.h"
#include "fake_editor_view.h"
#include "fakes.h"
#include "live_check.h"
#include "platform.h"
#include "prize_table.h"
#include "recovery.h"
#include "slurp.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using authoring::Field;
using editing::PrizeTable;
using fakes::BundledList;
using Session = fakes::FakeSession;

const fs::path kSample = SAMPLE_DIR;

// Every check the live check shows for one request, until its pictures are judged.
std::vector<std::shared_ptr<const editing::ListCheck>>
checksOf(const authoring::PrizeDocument &document, const fs::path &dataIni,
         std::map<std::string, authoring::PictureBytes> planned = {})
{
    fakes::FakeEditorView view;
    editing::LiveCheck odds(view.judge, nullptr, [&view](std::function<void()> task) { view.post(std::move(task)); });
    std::vector<std::shared_ptr<const editing::ListCheck>> shown;
    odds.checked = [&] { shown.push_back(odds.latest()); };
    odds.request(document, dataIni, std::move(planned));
    view.runPostedUntil([&] { return odds.upToDate(); });
    return shown;
}

TEST(LiveCheck, OddsComeAtOnceAndPictureVerdictsFollowInTheSameCheck)
{
    BundledList list;
    fs::remove(list.folder.path() / "picture" / u8"金条.jpg");
    list.folder.write(u8"picture/保温杯.jpg", "no picture");
    const auto document = authoring::PrizeDocument::open(list.dataIni);
    const auto shown = checksOf(document, list.dataIni);
    ASSERT_EQ(shown.size(), 2u);

    const odds::OddsReport &first = shown[0]->report;
    const odds::OddsReport &last = shown[1]->report;
    EXPECT_EQ(shown[0]->picturesChecking.size(), 7u) << "every file that is there waits for its verdict";
    EXPECT_TRUE(shown[1]->picturesChecking.empty());
    ASSERT_EQ(first.prizes.size(), last.prizes.size());
    for (std::size_t k = 0; k < last.prizes.size(); ++k)
        EXPECT_EQ(first.prizes[k].count, last.prizes[k].count) << k;
    EXPECT_EQ(first.prizes[7].picture, odds::PictureState::Missing) << "a missing file is known at once";
    EXPECT_EQ(last.prizes[3].picture, odds::PictureState::Refused);
    EXPECT_EQ(last.prizes[0].picture, odds::PictureState::Loaded);
}

TEST(LiveCheck, APlannedPictureShowsAsCheckingUnderItsPrizesNameThenItsVerdict)
{
    BundledList list;
    list.folder.write(u8"picture/保温杯.jpg", "no picture"); // the plan replaces it before Save
    std::ifstream good(list.folder.path() / "picture" / u8"金条.jpg", std::ios::binary);
    const auto bytes =
        std::make_shared<const std::string>(std::istreambuf_iterator<char>(good), std::istreambuf_iterator<char>());
    const auto document = authoring::PrizeDocument::open(list.dataIni);
    const auto shown = checksOf(document, list.dataIni, {{"保温杯", bytes}});
    ASSERT_EQ(shown.size(), 2u);

    const odds::PrizeRow &first = shown[0]->report.prizes[3];
    const fs::path path = shown[0]->report.picturePathOf(first);
    EXPECT_EQ(path, list.folder.path() / "picture" / u8"保温杯.jpg");
    EXPECT_EQ(shown[0]->picturesChecking.count(path), 1u) << "the table finds the staged copy by the prize's own path";
    EXPECT_EQ(shown[1]->report.prizes[3].picture, odds::PictureState::Loaded);
}

TEST(LiveCheck, APictureChangedOnDiskIsJudgedAgainWithoutAnEditAndAFolderUnderItsNameIsRefused)
{
    BundledList list;
    const fs::path folder = list.folder.path() / "picture";
    const fs::path picture = folder / u8"保温杯.jpg";
    fakes::FakeEditorView view;
    editing::LiveCheck odds(view.judge, nullptr, [&view](std::function<void()> task) { view.post(std::move(task)); });
    odds.request(authoring::PrizeDocument::open(list.dataIni), list.dataIni);
    // Each change shows by itself: no edit asks for a check after the first.
    const auto shows = [&](odds::PictureState state) {
        return view.runPostedUntil([&] { return odds.upToDate() && odds.latest()->report.prizes[3].picture == state; });
    };
    EXPECT_TRUE(shows(odds::PictureState::Loaded));
    list.folder.write(u8"picture/保温杯.jpg", "no picture");
    EXPECT_TRUE(shows(odds::PictureState::Refused));
    fs::remove(picture);
    EXPECT_TRUE(shows(odds::PictureState::Missing));
    fs::create_directory(picture);
    EXPECT_TRUE(shows(odds::PictureState::Refused));
    // The folder gone, then made again: it is awaited in the list's folder.
    fs::remove_all(folder);
    EXPECT_TRUE(shows(odds::PictureState::Missing));
    fs::create_directory(folder);
    fs::copy_file(kSample / "picture" / u8"保温杯.jpg", picture);
    EXPECT_TRUE(shows(odds::PictureState::Loaded));
}

TEST(LiveCheck, FindsAPictureNamedInAnotherCaseWhereTheGameOpensIt)
{
    fakes::TempFolder folder;
    folder.write("data.ini", "100\r\n255\r\nCup\r\n1\r\n\r\n");
    fs::create_directory(folder.path() / "picture");
    fs::copy(kSample / "picture" / u8"金条.jpg", folder.path() / "picture" / "cUP.jpg");
    const auto shown = checksOf(authoring::PrizeDocument::open(folder.path() / "data.ini"), folder.path() / "data.ini");
    EXPECT_EQ(shown.back()->report.prizes[0].picture,
              catalogue::platform::fileNamesIgnoreCase() ? odds::PictureState::Loaded : odds::PictureState::Missing);
}

TEST(UndoHistory, IsCleanOnlyAtTheSavedStepAndAFailedBatchLeavesNoStep)
{
    editing::UndoStack undo;
    int value = 0;
    const auto set = [&](int to) {
        const int from = value;
        value = to;
        editing::EditBatch edit("set " + std::to_string(to));
        edit.add([&value, to] { value = to; }, [&value, from] { value = from; });
        edit.pushTo(undo);
    };
    set(1);
    undo.setClean();
    set(2);
    EXPECT_FALSE(undo.isClean());
    undo.undo();
    EXPECT_TRUE(undo.isClean());
    EXPECT_EQ(undo.redoText(), "set 2");
    undo.undo();
    set(3); // the saved step is out of reach for good
    while (undo.canUndo())
        undo.undo();
    EXPECT_FALSE(undo.isClean());
    EXPECT_EQ(value, 0);

    const std::size_t steps = undo.count();
    try {
        editing::EditBatch edit("half");
        value = 7;
        edit.add([&] { value = 7; }, [&] { value = 0; });
        throw std::runtime_error("the second step failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(value, 0) << "the steps done are undone";
    EXPECT_EQ(undo.count(), steps);
}

TEST(PastedRows, BecomePrizesInTheTablesOrderOrAsTheirHeaderSaysAsOneStep)
{
    editing::UndoStack undo;
    PrizeTable table(undo);
    std::vector<std::string> failures;
    table.editFailed = [&](const std::string &why) { failures.push_back(why); };
    table.addPrize(0);

    // As a spreadsheet puts rows on the clipboard: tabs, CR LF, a percent weight, a quoted tab.
    EXPECT_EQ(table.pasteRows("30%\t#FF0000\t小猫\t2\t\"a\tb\"\r\n70\t255\t伞\t1\t\r\n", 0), (std::vector<int>{0, 1}));
    ASSERT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.document().texts(0), (authoring::Texts{"30", "255", "小猫", "2", "a\tb"}));
    EXPECT_EQ(table.document().text(1, Field::Name), "伞");
    // What Ctrl+C gives pastes back the same.
    const std::string copied = table.rowsAsText({0, 1});
    EXPECT_EQ(copied, "30\t#FF0000\t小猫\t2\t\"a\tb\"\r\n70\t#FF0000\t伞\t1\t\r\n");
    table.pasteRows(copied, 3);
    EXPECT_EQ(table.document().texts(3), table.document().texts(0));

    // A header row in the user's own order, in Chinese.
    table.pasteRows("名称\t数量\t权重\n风筝\t5\t12\n", 0);
    EXPECT_EQ(table.document().text(0, Field::Name), "风筝");
    EXPECT_EQ(table.document().text(0, Field::Weight), "12");
    EXPECT_EQ(table.document().text(0, Field::Amount), "5");
    EXPECT_EQ(table.document().text(0, Field::Color), "65535") << "a column left out is as in a new prize";

    undo.undo(); // one paste, one step
    EXPECT_EQ(table.document().text(0, Field::Name), "小猫");
    const std::string before = table.document().bytes();
    EXPECT_TRUE(table.pasteRows("no\"quote\tclosed", 0).empty());
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(table.document().bytes(), before);
}

TEST(EditorSession, ANewListIsFirstSavedInTheDocumentsFolderAndRemembered)
{
    Session s;
    s.session.table().addPrize(0);
    s.view.listTarget =
        editing::EditorView::ListTarget{s.state.path() / u8"文档" / u8"年会" / "data.ini", authoring::Encoding::Gbk};
    s.view.confirmations = {true}; // make the folder
    ASSERT_TRUE(s.session.saveList());
    EXPECT_EQ(s.view.proposedTarget->file, s.state.path() / u8"文档" / "data.ini");
    EXPECT_TRUE(fs::exists(s.state.path() / u8"文档" / u8"年会" / "data.ini"));
    EXPECT_FALSE(s.session.modified());
    EXPECT_EQ(s.session.listName(), "data.ini");

    BundledList other;
    ASSERT_TRUE(s.session.openList(other.dataIni));
    EXPECT_EQ(s.session.recentLists(),
              (std::vector<fs::path>{other.dataIni, s.state.path() / u8"文档" / u8"年会" / "data.ini"}));
    fs::remove(other.dataIni);
    EXPECT_EQ(s.session.recentLists().size(), 1u) << "a list that is gone is not offered";
}

TEST(EditorSession, AnEditIsCheckedAndCopiedForRecoveryAndPlaySavesFirst)
{
    BundledList list;
    Session s;
    s.session.game = list.folder.path() / "prizedraw-game";
    list.folder.write("prizedraw-game", "the game");
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.session.table().setCell(0, PrizeTable::Weight, "50");
    ASSERT_TRUE(s.view.waitForOdds(s.session));
    EXPECT_NE(s.session.weightTotal().text.find("Weights add up to 120 of 100"), std::string::npos)
        << s.session.weightTotal().text;
    EXPECT_TRUE(s.session.weightTotal().off);

    ASSERT_TRUE(s.view.timer) << "a copy is kept a little after the edit";
    s.view.timer();
    EXPECT_TRUE(fs::exists(s.session.recoveryFile()));

    s.session.play(1.5);
    EXPECT_FALSE(s.session.modified());
    EXPECT_EQ(authoring::PrizeDocument::open(list.dataIni).text(0, Field::Weight), "50");
    EXPECT_FALSE(fs::exists(s.session.recoveryFile()));
    ASSERT_EQ(s.view.gamesStarted.size(), 1u) << (s.view.failures.empty() ? "" : s.view.failures.front());
    EXPECT_EQ(s.view.gamesStarted.front().scale, 1.5);
}

TEST(EditorSession, ASecondEditorNeverOffersOrDeletesTheLiveRecoveryCopyOfTheFirst)
{
    BundledList list;
    Session first; // this process, which runs
    ASSERT_TRUE(first.session.openList(list.dataIni));
    first.session.table().setText(0, Field::Weight, "29");
    first.session.keepRecoveryCopy();
    const fs::path copy = first.session.recoveryFile();
    ASSERT_TRUE(fs::exists(copy));
    {
        Session second;
        second.session.stateFolder = first.session.stateFolder;
        const authoring::ProcessId self = authoring::thisProcess();
        second.session.recoveryOwner = {self.number + 1, self.started}; // another editor
        ASSERT_TRUE(second.session.openList(list.dataIni));
        EXPECT_TRUE(second.view.questions.empty()) << second.view.questions.front();
        second.session.table().setText(0, Field::Weight, "31");
        second.session.keepRecoveryCopy();
        EXPECT_NE(second.session.recoveryFile(), copy);
        second.view.unsavedAnswers = {editing::EditorView::Unsaved::Discard};
        EXPECT_TRUE(second.session.keepOrDropChanges());
    }
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_EQ(authoring::readRecovery(slurp(copy)).document.text(0, Field::Weight), "29");
}

TEST(EditorSession, SaveAsksBeforeReplacingAListAnotherProgramSavedMeanwhile)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.session.table().setText(0, Field::Weight, "29");
    auto other = authoring::PrizeDocument::open(list.dataIni); // another editor, or prizelist
    other.setText(1, Field::Weight, "3");
    other.save(list.dataIni);
    const std::string theirs = slurp(list.dataIni);
    EXPECT_FALSE(s.session.saveList()); // cancelled
    ASSERT_EQ(s.view.questions.size(), 1u);
    EXPECT_NE(s.view.questions[0].find("changed by another program"), std::string::npos);
    EXPECT_EQ(slurp(list.dataIni), theirs);
    EXPECT_TRUE(s.session.modified());

    s.view.choices = {1}; // Overwrite
    EXPECT_TRUE(s.session.saveList());
    EXPECT_EQ(authoring::PrizeDocument::open(list.dataIni).text(0, Field::Weight), "29");
    s.session.table().setText(0, Field::Weight, "28");
    EXPECT_TRUE(s.session.saveList()); // its own save is no other program's
    EXPECT_EQ(s.view.questions.size(), 2u);
}

TEST(EditorSession, ACsvThatReadsAsTextBothWaysAsksWhichNamesAreRight)
{
    Session s;
    fakes::TempFolder folder;
    const fs::path csv = folder.write("prizes.csv", "weight,color,name,amount\r\n100,255,Caf\xC3\xA9,1\r\n");
    s.view.choices = {std::nullopt}; // cancelled: the list stays
    EXPECT_FALSE(s.session.importCsv(csv));
    EXPECT_EQ(s.session.table().rowCount(), 0);
    ASSERT_EQ(s.view.questions.size(), 1u);
    EXPECT_NE(s.view.questions[0].find("\"Café\""), std::string::npos) << s.view.questions[0];
    EXPECT_NE(s.view.questions[0].find("\"Caf茅\""), std::string::npos) << s.view.questions[0];

    for (const std::size_t answer : {0u, 1u}) {
        s.view.choices = {answer};
        ASSERT_TRUE(s.session.importCsv(csv));
        const std::string asked = s.view.questions.back();
        // The answer given is the reading whose names it showed in that place.
        const bool utf8First = asked.find("Café") < asked.find("Caf茅");
        EXPECT_EQ(s.session.table().document().text(0, Field::Name), (answer == 0) == utf8First ? "Café" : "Caf茅");
    }
}

} // namespace
