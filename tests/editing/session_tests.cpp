// The session on real files: the odds and the total as shown, warnings and
// their fixes, edits kept across a crash, saves that are refused or fail,
// and Play's game folders.
#include "bundled_list.h"
#include "fake_editor_view.h"
#include "game_folder.h"
#include "picture_folder.h"
#include "slurp.h"

#include <gtest/gtest.h>

#include <map>

namespace {

namespace fs = std::filesystem;
using authoring::Field;
using editing::EditorSession;
using editing::PrizeTable;
using fakes::BundledList;
using Session = fakes::FakeSession;

const fs::path kToolsData = TOOLS_DATA_DIR;

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

TEST(EditorSession, AChangedWeightChangesTheExactOddsAndTheTotal)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    ASSERT_TRUE(s.waitForOdds());
    EXPECT_EQ(s.table().cellText(0, PrizeTable::Draws), "5033165");
    EXPECT_EQ(s.session.weightTotal().percent, 100);
    EXPECT_FALSE(s.session.weightTotal().off);

    s.table().setCell(0, PrizeTable::Weight, "20");
    ASSERT_TRUE(s.waitForOdds());
    EXPECT_EQ(s.table().cellText(0, PrizeTable::Draws), "3355444"); // r rounds to single precision
    EXPECT_EQ(s.table().cellText(0, PrizeTable::Chance), "20.0000 %");
    EXPECT_EQ(s.session.weightTotal().percent, 90);
    EXPECT_TRUE(contains(s.session.weightTotal().text, "the empty card takes 10.0000 %"))
        << s.session.weightTotal().text;
    EXPECT_TRUE(s.session.weightTotal().off); // under 100 must not look right
    EXPECT_TRUE(s.session.modified());

    s.table().setCell(0, PrizeTable::Weight, "50");
    ASSERT_TRUE(s.waitForOdds());
    EXPECT_EQ(s.session.weightTotal().percent, 100);
    EXPECT_TRUE(s.session.weightTotal().off); // nor over
    s.undo().undo();
    s.undo().undo();
    ASSERT_TRUE(s.waitForOdds());
    EXPECT_FALSE(s.session.weightTotal().off);
}

TEST(EditorSession, AWarningNamesItsPrizeWhollyAndTakesANearMissPictureAtSave)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.table().addPrize(8);
    s.table().setText(8, Field::Name, "iPad");
    EXPECT_EQ(s.table().cellText(8, PrizeTable::Index), "9"); // counted as the warning counts
    // Another extension: a near miss whatever the platform's rule for letter case.
    fs::copy_file(kToolsData / "red.jpg", list.folder.path() / "picture" / "ipad.jpeg");
    ASSERT_TRUE(s.waitForOdds());
    std::size_t index = 0;
    std::string shown;
    const EditorSession::WarningItem *offer = nullptr;
    for (std::size_t k = 0; k < s.session.warnings().size(); ++k) {
        const auto &item = s.session.warnings()[k];
        shown += item.text + "\n";
        if (item.fix == EditorSession::WarningItem::Fix::TakePicture && item.prize == 8)
            offer = &s.session.warnings()[index = k];
    }
    ASSERT_NE(offer, nullptr) << shown;
    EXPECT_EQ(offer->text.rfind("Prize 9 \"iPad\": ", 0), 0u) << offer->text;
    EXPECT_TRUE(contains(offer->text, "ipad.jpeg\" is there")) << offer->text; // after the platform's separator
    s.session.fixWarning(index);
    const fs::path ipad = list.folder.path() / "picture" / "iPad.jpg";
    EXPECT_FALSE(fs::exists(ipad)); // planned, written at Save
    ASSERT_TRUE(s.session.saveList());
    EXPECT_EQ(slurp(ipad), slurp(kToolsData / "red.jpg"));
}

TEST(EditorSession, AListInUtf8WithoutAMarkIsReopenedAsUtf8FromItsWarningAndSavedWithOne)
{
    fakes::TempFolder folder;
    const fs::path dataIni = folder.path() / "data.ini";
    folder.writeDataIni(fakes::record("100", "255", "荧光棒", "10")); // UTF-8 bytes, no mark
    Session s;
    ASSERT_TRUE(s.session.openList(dataIni));
    ASSERT_TRUE(s.waitForOdds());
    std::size_t index = 0;
    const EditorSession::WarningItem *offer = nullptr;
    for (std::size_t k = 0; k < s.session.warnings().size(); ++k)
        if (contains(s.session.warnings()[k].text, "reopen the list as UTF-8"))
            offer = &s.session.warnings()[index = k];
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(offer->fix, EditorSession::WarningItem::Fix::ReopenUtf8);
    // One remedy a line, this editor's first.
    const std::string text = offer->text;
    const auto second = text.find('\n') + 1;
    const auto third = text.find('\n', second) + 1;
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
    EXPECT_EQ(text.compare(second, 48, "Double-click here to reopen the list as UTF-8; S"), 0) << text;
    EXPECT_EQ(text.compare(third, 20, "Or to write it in GB"), 0) << text;
    EXPECT_TRUE(contains(text.substr(third), "prizelist encode data.ini --from utf8 --to gbk")) << text;

    s.session.fixWarning(index);
    EXPECT_EQ(s.table().document().text(0, Field::Name), "荧光棒");
    // A change like any other: Play and Save write what the table shows, and undo reads it as before.
    EXPECT_TRUE(s.session.modified());
    ASSERT_TRUE(s.waitForOdds());
    for (const auto &item : s.session.warnings())
        EXPECT_FALSE(contains(item.text, "begins with a UTF-8 byte-order mark")) << item.text;
    s.undo().undo();
    EXPECT_NE(s.table().document().text(0, Field::Name), "荧光棒");
    EXPECT_FALSE(s.session.modified());
    s.undo().redo();
    ASSERT_TRUE(s.session.saveList());
    EXPECT_EQ(slurp(dataIni), "\xEF\xBB\xBF" + fakes::record("100", "255", "荧光棒", "10"));
}

TEST(EditorSession, UnusedPicturesAreListedAsTheFolderWillBeAfterSave)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.table().setText(0, Field::Name, "Glow stick"); // 荧光棒.jpg is to become Glow stick.jpg
    ASSERT_TRUE(s.waitForOdds());
    std::vector<std::string> unused;
    for (const odds::Warning &warning : s.session.latestCheck()->report.warnings)
        if (warning.code == odds::WarningCode::PictureUnused)
            unused.push_back(warning.file);
    EXPECT_EQ(unused, std::vector<std::string>()) << "荧光棒.jpg goes at Save, and Glow stick.jpg is prize 0's";
}

TEST(EditorSession, UnsavedEditsKeptBeforeACrashComeBackWhenTheListIsOpenedAgain)
{
    BundledList list;
    const auto before = filesUnder(list.folder.path());
    fakes::TempFolder state;
    fs::path copy;
    {
        Session crashed;
        crashed.session.stateFolder = state.path();
        const authoring::ProcessId self = authoring::thisProcess();
        crashed.session.recoveryOwner = {self.number, self.started + 1}; // an editor that has ended since
        ASSERT_TRUE(crashed.session.openList(list.dataIni));
        crashed.table().setText(0, Field::Weight, "29");
        crashed.table().setPicture(1, kToolsData / "red.jpg");
        ASSERT_TRUE(crashed.view.timer) << "a copy is kept a little after the edit";
        crashed.view.timer();
        copy = crashed.session.recoveryFile();
        EXPECT_TRUE(fs::exists(copy));
    } // ended without Save, Discard or Close, as by a crash
    EXPECT_EQ(filesUnder(list.folder.path()), before); // nothing written beside the list

    Session s;
    s.session.stateFolder = state.path();
    s.view.confirmations = {true};
    ASSERT_TRUE(s.session.openList(list.dataIni));
    ASSERT_EQ(s.view.questions.size(), 1u);
    EXPECT_TRUE(contains(s.view.questions[0], "Restore")) << s.view.questions[0];
    EXPECT_EQ(s.table().document().text(0, Field::Weight), "29");
    EXPECT_EQ(*s.table().pictures().picture("棒棒糖"), slurp(kToolsData / "red.jpg"));
    EXPECT_TRUE(s.session.modified());
    ASSERT_TRUE(s.session.saveList());
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_EQ(slurp(list.folder.path() / "picture" / u8"棒棒糖.jpg"), slurp(kToolsData / "red.jpg"));

    s.table().setText(0, Field::Weight, "28");
    s.session.keepRecoveryCopy();
    EXPECT_TRUE(fs::exists(s.session.recoveryFile()));
    s.view.unsavedAnswers = {editing::EditorView::Unsaved::Discard};
    EXPECT_TRUE(s.session.keepOrDropChanges());
    EXPECT_FALSE(fs::exists(s.session.recoveryFile()));
}

TEST(EditorSession, ANameGbkCannotHoldRefusesSaveAndOffersUtf8)
{
    BundledList list;
    const std::string original = slurp(list.dataIni);
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.table().setText(7, Field::Name, "金条😀");

    s.view.choices = {std::nullopt}; // cancelled
    EXPECT_FALSE(s.session.saveList());
    ASSERT_EQ(s.view.questions.size(), 1u);
    EXPECT_TRUE(contains(s.view.questions[0], "GBK")) << s.view.questions[0];
    EXPECT_TRUE(contains(s.view.questions[0], "[Save as UTF-8]")) << s.view.questions[0];
    EXPECT_EQ(slurp(list.dataIni), original);
    EXPECT_TRUE(s.session.modified());
    EXPECT_EQ(s.table().document().text(7, Field::Name), "金条😀");

    s.view.choices = {0u};
    EXPECT_TRUE(s.session.saveList());
    EXPECT_EQ(slurp(list.dataIni).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(authoring::PrizeDocument::open(list.dataIni).text(7, Field::Name), "金条😀");
}

TEST(EditorSession, AFailedSaveOrOpenExplainsAndKeepsTheEdits)
{
    BundledList list;
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.table().setText(0, Field::Weight, "31");

    EXPECT_FALSE(s.session.saveListAs(list.folder.path() / "no-such-folder" / "data.ini", authoring::Encoding::Gbk));
    ASSERT_EQ(s.view.questions.size(), 1u); // answered no
    EXPECT_TRUE(contains(s.view.questions[0], "does not exist")) << s.view.questions[0];
    EXPECT_FALSE(fs::exists(list.folder.path() / "no-such-folder"));

    EXPECT_FALSE(s.session.saveListAs(list.folder.path() / "picture", authoring::Encoding::Gbk));
    EXPECT_FALSE(s.session.openList(list.folder.path()));
    ASSERT_EQ(s.view.failures.size(), 2u);
    EXPECT_EQ(s.view.failures[0].rfind("Could not save", 0), 0u) << s.view.failures[0];
    EXPECT_EQ(s.view.failures[1].rfind("Could not open", 0), 0u) << s.view.failures[1];

    EXPECT_EQ(s.table().document().text(0, Field::Weight), "31");
    EXPECT_EQ(s.session.file(), list.dataIni);
    EXPECT_TRUE(s.session.modified());
}

TEST(EditorSession, SaveAsIntoAnotherFolderTakesThePicturesAlongAndLeavesThatFoldersOwnAlone)
{
    BundledList list;
    const auto before = filesUnder(list.folder.path());
    fakes::TempFolder other;
    other.write(fs::path("picture") / u8"金条.jpg", "theirs");
    Session s;
    ASSERT_TRUE(s.session.openList(list.dataIni));
    s.table().setText(0, Field::Name, "Glow stick"); // planned: 荧光棒.jpg becomes Glow stick.jpg
    s.table().setPicture(1, kToolsData / "red.jpg");
    ASSERT_TRUE(s.session.saveListAs(other.path() / "data.ini", authoring::Encoding::Gbk)) << s.failure();

    const fs::path pictures = other.path() / "picture";
    EXPECT_EQ(slurp(pictures / "Glow stick.jpg"), before.at("picture/荧光棒.jpg"));
    EXPECT_EQ(slurp(pictures / u8"棒棒糖.jpg"), slurp(kToolsData / "red.jpg"));
    EXPECT_EQ(slurp(pictures / u8"电影票.jpg"), before.at("picture/电影票.jpg"));
    EXPECT_EQ(slurp(pictures / u8"金条.jpg"), "theirs");
    EXPECT_FALSE(fs::exists(pictures / u8"荧光棒.jpg"));
    EXPECT_EQ(filesUnder(list.folder.path()), before);
    ASSERT_TRUE(s.waitForOdds());
    EXPECT_EQ(s.table().cellText(2, PrizeTable::Picture), "loaded") << "the table shows the new folder's";
}

TEST(Play, StartsTheGameByItsAbsolutePathForAListOpenedByARelativeOne)
{
    BundledList list;
    fakes::TempFolder elsewhere;
    Session s;
    s.session.game = elsewhere.write("prizedraw", "the game");
    const fs::path here = fs::current_path();
    fs::current_path(list.folder.path().parent_path());
    const bool opened = s.session.openList(list.folder.path().filename() / "data.ini");
    if (opened)
        s.session.play(2.0);
    fs::current_path(list.folder.path()); // the list's folder itself, named "data.ini"
    if (opened && s.session.openList("data.ini"))
        s.session.play();
    fs::current_path(here);
    ASSERT_EQ(s.view.gamesStarted.size(), 2u) << s.failure();
    for (const auto &start : s.view.gamesStarted) {
        EXPECT_EQ(start.program, list.folder.path() / "prizedraw");
        EXPECT_EQ(start.folder, list.folder.path());
    }
    EXPECT_EQ(s.view.gamesStarted[0].scale, 2.0);
    EXPECT_EQ(s.view.gamesStarted[1].scale, 1.0);
    EXPECT_EQ(slurp(list.folder.path() / "prizedraw"), "the game");
}

TEST(Play, AGameFolderHoldsTheGameTheListAsDataIniAndItsPictures)
{
    BundledList list;
    fakes::TempFolder elsewhere, build;
    const fs::path built = build.write("prizedraw", "the game");
    auto document = authoring::PrizeDocument::open(list.dataIni);
    document.setText(0, Field::Weight, "29");
    const fs::path game = editing::fillGameFolder(elsewhere.path(), document, editing::PictureFolder(list.dataIni), built);
    EXPECT_EQ(game, elsewhere.path() / "prizedraw");
    EXPECT_EQ(slurp(game), "the game");
    EXPECT_EQ(slurp(elsewhere.path() / "data.ini"), document.bytes());
    for (const auto &picture : fs::directory_iterator(list.folder.path() / "picture"))
        EXPECT_EQ(slurp(elsewhere.path() / "picture" / picture.path().filename()), slurp(picture.path()));

    EXPECT_FALSE(editing::canPlayInListFolder(list.folder.path() / "prizes.ini", game)); // the game reads only data.ini
    EXPECT_TRUE(editing::canPlayInListFolder(list.dataIni, game));
    EXPECT_EQ(editing::placeGame(elsewhere.path(), game), game); // already there: nothing copied over itself

    // Installed, bin/prizedraw is only the launcher of the bundled list: Play copies the game itself.
    const fs::path bin = elsewhere.path() / "bin";
    EXPECT_EQ(editing::gameFor(bin), bin / "prizedraw");
    fs::create_directories(elsewhere.path() / "lib" / "prizedraw");
    fs::copy_file(game, elsewhere.path() / "lib" / "prizedraw" / "prizedraw");
    EXPECT_EQ(editing::gameFor(bin), elsewhere.path() / "lib" / "prizedraw" / "prizedraw");
}

} // namespace
