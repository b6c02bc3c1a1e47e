// The editor on real files: odds that follow edits, exact bytes after undo,
// pictures that follow their prize, refused saves, and the game's own card.
#include "editor_application.h"
#include "editor_window.h"
#include "fakes.h"
#include "form1.h"
#include "game_folder.h"
#include "live_check.h"
#include "translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QTableView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTimer>

#include "slurp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using authoring::Field;
using editor::EditorWindow;
using editor::PrizeTableModel;
using editing::PrizeTable;

const fs::path kSample = SAMPLE_DIR;
const fs::path kToolsData = TOOLS_DATA_DIR;

// The bundled list and its pictures, copied into a temporary folder.
struct BundledList {
    fakes::TempFolder folder;
    fs::path dataIni = folder.path() / "data.ini";
    BundledList()
    {
        fs::copy(kSample / "data.ini", dataIni);
        fs::copy(kSample / "picture", folder.path() / "picture");
    }
};

void waitForOdds(EditorWindow &window)
{
    QElapsedTimer waited;
    waited.start();
    while (!window.oddsUpToDate() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(window.oddsUpToDate());
}

std::map<std::string, std::string> filesIn(const fs::path &folder)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = slurp(entry.path());
    return files;
}

std::string cell(EditorWindow &window, int row, int column)
{
    return window.model().index(row, column).data().toString().toStdString();
}

// Answers the next message box that opens with the button whose text
// starts with `button`, and keeps what it said.
class NextMessageBox {
public:
    explicit NextMessageBox(QString button) : button_(std::move(button))
    {
        QTimer::singleShot(0, &guard_, [this] { answer(); });
    }
    QString text;

private:
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, &guard_, [this] { answer(); });
            return;
        }
        text = box->text();
        for (QAbstractButton *button : box->buttons())
            if (button->text().remove(QLatin1Char('&')).startsWith(button_))
                button->click();
    }
    QString button_;
    QObject guard_; // stops the polling when no box came
};

TEST(Editor, AChangedWeightChangesTheExactOddsAndTheTotal)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    waitForOdds(window);
    EXPECT_EQ(cell(window, 0, PrizeTable::Draws), "5033165");
    EXPECT_EQ(window.weightTotal().value(), 100);

    window.model().setData(window.model().index(0, PrizeTable::Weight), "20", Qt::EditRole);
    waitForOdds(window);
    EXPECT_EQ(cell(window, 0, PrizeTable::Draws), "3355444"); // r rounds to single precision
    EXPECT_EQ(cell(window, 0, PrizeTable::Chance), "20.0000 %");
    EXPECT_EQ(window.weightTotal().value(), 90);
    EXPECT_TRUE(window.weightTotal().format().contains("the empty card takes 10.0000 %"));
    EXPECT_TRUE(window.isWindowModified());

    // A total off 100 must not look like a full bar, over or under.
    const QColor full = QApplication::palette(&window.weightTotal()).color(QPalette::Highlight);
    EXPECT_NE(window.weightTotal().palette().color(QPalette::Highlight), full);
    window.model().setData(window.model().index(0, PrizeTable::Weight), "50", Qt::EditRole);
    waitForOdds(window);
    EXPECT_EQ(window.weightTotal().value(), 100);
    EXPECT_NE(window.weightTotal().palette().color(QPalette::Highlight), full);
    window.undoStack().undo();
    window.undoStack().undo();
    waitForOdds(window);
    EXPECT_EQ(window.weightTotal().palette().color(QPalette::Highlight), full);
}

std::vector<std::string> weights(EditorWindow &window)
{
    std::vector<std::string> out;
    for (int row = 0; row < window.model().rowCount(); ++row)
        out.push_back(cell(window, row, PrizeTable::Weight));
    return out;
}

TEST(Editor, ScalingWeightsTo100IsExactAtTheListsDecimalsAndOneUndo)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    PrizeTableModel &model = window.model();
    const auto setWeight = [&](int row, const char *weight) {
        model.setData(model.index(row, PrizeTable::Weight), weight, Qt::EditRole);
    };

    // Chosen rows take what the others leave: 88 taken, so 8, 4, 1 share 12 by largest remainders.
    setWeight(0, "31");
    const auto before = weights(window);
    window.prizes().scaleWeightsTo100({5, 6, 7});
    auto after = before;
    after[5] = "7", after[6] = "4", after[7] = "1";
    EXPECT_EQ(weights(window), after);
    waitForOdds(window);
    EXPECT_TRUE(window.weightTotal().format().startsWith("Weights add up to 100 of 100"))
        << window.weightTotal().format().toStdString();
    window.undoStack().undo();
    EXPECT_EQ(weights(window), before);

    // All rows, at the one decimal the list now uses: 103.5 scaled to exactly 100.0.
    setWeight(0, "33.5");
    window.prizes().scaleWeightsTo100({});
    int tenths = 0;
    for (const std::string &weight : weights(window)) {
        ASSERT_EQ(weight.find('.'), weight.size() - 2) << weight;
        tenths += std::stoi(weight.substr(0, weight.size() - 2)) * 10 + (weight.back() - '0');
    }
    EXPECT_EQ(tenths, 1000);
    window.undoStack().undo();
    EXPECT_EQ(cell(window, 0, PrizeTable::Weight), "33.5");
}

TEST(Editor, ScalingKeepsEqualWeightsEqualWithMoreDecimalsWhereNeeded)
{
    fakes::TempFolder folder;
    folder.writeDataIni(fakes::record("10", "255", "a", "1") + fakes::record("10", "255", "b", "1") +
                        fakes::record("10", "255", "c", "1") + fakes::record("10", "255", "d", "1") +
                        fakes::record("57", "255", "e", "1"));
    EditorWindow window;
    ASSERT_TRUE(window.openList(folder.path() / "data.ini"));
    window.prizes().scaleWeightsTo100({}); // 97 to 100: never 11, 10, 10, 10
    EXPECT_EQ(weights(window), (std::vector<std::string>{"10.3", "10.3", "10.3", "10.3", "58.8"}));
    window.undoStack().undo();
    window.prizes().scaleWeightsTo100({0, 1, 2, 3}); // 43 left for four
    EXPECT_EQ(weights(window), (std::vector<std::string>{"10.75", "10.75", "10.75", "10.75", "57"}));
}

TEST(Editor, ScalingSaysWhatItDoesWithWeightsThatAreNoNumberOrNegativeAndTheBarNeverLooksRight)
{
    fakes::TempFolder folder;
    // 十 in GBK
    folder.writeDataIni(fakes::record("\xCA\xAE", "255", "a", "1") + fakes::record("-5", "255", "b", "1") +
                        fakes::record("50", "255", "c", "1") + fakes::record("30", "255", "d", "1"));
    EditorWindow window;
    ASSERT_TRUE(window.openList(folder.path() / "data.ini"));
    const QColor full = QApplication::palette(&window.weightTotal()).color(QPalette::Highlight);
    {
        NextMessageBox ok(QStringLiteral("OK"));
        window.prizes().scaleWeightsTo100({});
        EXPECT_TRUE(ok.text.contains("\"a\": its weight \"十\" is no number, so the game counts it as 0"))
            << ok.text.toStdString();
        EXPECT_TRUE(ok.text.contains("\"b\": its weight -5 is negative")) << ok.text.toStdString();
    }
    // Counted as the game counts them: 0 - 5 + 66 + 39.
    EXPECT_EQ(weights(window), (std::vector<std::string>{"十", "-5", "66", "39"}));
    waitForOdds(window);
    const QString bar = window.weightTotal().format();
    EXPECT_TRUE(bar.startsWith("Weights add up to 100 of 100; weights that are no number count as 0 (1); "
                               "negative weights are subtracted (1)"))
        << bar.toStdString();
    EXPECT_NE(window.weightTotal().palette().color(QPalette::Highlight), full);
}

TEST(Editor, TheColourColumnShowsHashRrggbbKeepsTheGamesNumberAndRefusesWhatIsNoColour)
{
    BundledList list;
    EditorWindow window;
    PrizeTableModel &model = window.model();
    ASSERT_TRUE(window.openList(list.dataIni));
    const auto color = [&] { return window.prizes().document().text(0, Field::Color); };
    EXPECT_TRUE(model.setData(model.index(0, PrizeTable::Color), "#FF0000", Qt::EditRole));
    EXPECT_EQ(color(), "255");
    EXPECT_EQ(cell(window, 0, PrizeTable::Color), "#FF0000");
    EXPECT_TRUE(model.setData(model.index(0, PrizeTable::Color), "1e90ff", Qt::EditRole)); // no #, but a letter
    EXPECT_EQ(color(), std::to_string(0x1E + 256 * 0x90 + 65536 * 0xFF));
    EXPECT_TRUE(model.setData(model.index(0, PrizeTable::Color), "65280", Qt::EditRole));
    EXPECT_EQ(cell(window, 0, PrizeTable::Color), "#00FF00");

    const int steps = window.undoStack().count();
    for (const char *typed : {"red", "#FF00", "16777216", "-1", "12.5", ""}) {
        NextMessageBox ok(QStringLiteral("OK"));
        EXPECT_FALSE(model.setData(model.index(0, PrizeTable::Color), typed, Qt::EditRole)) << typed;
        EXPECT_TRUE(ok.text.contains("for example #FF0000")) << ok.text.toStdString();
    }
    EXPECT_EQ(color(), "65280");
    EXPECT_EQ(window.undoStack().count(), steps);
}

TEST(Editor, ThePreviewShowsTheChosenOrFirstPrizeNeverTheDesignsTexts)
{
    EditorWindow fresh;
    EXPECT_EQ(fresh.preview().name(), QString()); // the empty card

    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.model().setData(window.model().index(0, PrizeTable::Name), "马克杯", Qt::EditRole);
    window.table().selectionModel()->clear();
    waitForOdds(window);
    EXPECT_EQ(window.preview().name(), QStringLiteral("马克杯"));
}

TEST(Editor, ANameTooWideForTheCardIsSaidInTheWarningsAndUnderThePreview)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    const QString name = QString(20, QChar(0x5956)); // 20 x 奖, far wider than the card's 161 pixels
    window.model().setData(window.model().index(0, PrizeTable::Name), name, Qt::EditRole);
    window.table().selectionModel()->clear();
    waitForOdds(window);
    bool warned = false;
    for (int i = 0; i < window.warnings().count(); ++i)
        warned = warned || window.warnings().item(i)->text().startsWith("Prize 1 \"" + name + "\": the name is");
    EXPECT_TRUE(warned);
    EXPECT_TRUE(window.previewCaption().text().contains("but the card has room for 161"));
}

TEST(Editor, UndoingEveryKindOfEditSavesTheExactBytesThatWereRead)
{
    BundledList list;
    const std::string original = slurp(list.dataIni);
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    PrizeTable &model = window.prizes();
    model.setText(1, Field::Amount, "7");
    model.addPrize(2);
    model.duplicatePrizes({0, 3});
    model.movePrizes({4, 5}, -1);
    model.movePrizesBefore({0, 6}, 9);
    model.removePrizes({1, 2});
    EXPECT_NE(model.document().bytes(), original);

    while (window.undoStack().canUndo())
        window.undoStack().undo();
    ASSERT_TRUE(window.saveList());
    EXPECT_EQ(slurp(list.dataIni), original);
    EXPECT_FALSE(window.isWindowModified());
}

TEST(Editor, UndoAfterSavingInTheOtherEncodingWritesNoBytesOfTheOldOne)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().setText(0, Field::Name, "Glow stick");
    ASSERT_TRUE(window.saveListAs(list.dataIni, authoring::Encoding::Utf8));
    window.undoStack().undo(); // brings back the record as read, in GBK
    ASSERT_TRUE(window.saveList());
    EXPECT_EQ(authoring::PrizeDocument::open(list.dataIni).text(0, Field::Name), "荧光棒");
}

TEST(Editor, RowsDraggedBeforeARowKeepTheirOrder)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().movePrizesBefore({0, 2, 6}, 5);
    std::vector<std::string> names;
    for (int row = 0; row < window.model().rowCount(); ++row)
        names.push_back(window.prizes().document().text(row, Field::Name));
    EXPECT_EQ(names, (std::vector<std::string>{"棒棒糖", "保温杯", "蓝牙耳机", "荧光棒", "玩具熊", "智能手表", "电影票",
                                               "金条"}));
}

TEST(Editor, APictureGoesIntoThePictureFolderAsJpegAtSaveAndFollowsItsPrizesName)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    PrizeTable &model = window.prizes();
    model.addPrize(8);
    model.setText(8, Field::Name, "风筝");
    model.setPicture(8, kToolsData / "blue.png");
    const fs::path kite = list.folder.path() / "picture" / "风筝.jpg";
    waitForOdds(window);
    EXPECT_EQ(cell(window, 8, PrizeTable::Picture), "loaded"); // shown as it will be
    EXPECT_FALSE(fs::exists(kite));                                 // written only at Save
    ASSERT_TRUE(window.saveList());
    EXPECT_EQ(slurp(kite).substr(0, 3), "\xFF\xD8\xFF"); // converted to JPEG

    model.setText(8, Field::Name, "无人机");
    const fs::path drone = list.folder.path() / "picture" / "无人机.jpg";
    ASSERT_TRUE(window.saveList());
    EXPECT_TRUE(fs::exists(drone));
    EXPECT_FALSE(fs::exists(kite));
    window.undoStack().undo();
    ASSERT_TRUE(window.saveList());
    EXPECT_TRUE(fs::exists(kite));
    EXPECT_FALSE(fs::exists(drone));

    model.setText(8, Field::Name, "a/b");
    ASSERT_TRUE(window.saveList());
    waitForOdds(window);
    EXPECT_EQ(cell(window, 8, PrizeTable::Picture), "unsafe name");
    EXPECT_TRUE(fs::exists(kite)); // a name that is no file name takes no picture with it
}

TEST(Editor, APictureChosenForAListNeverSavedShowsInTheTableThePreviewAndTheChecks)
{
    EditorWindow window;
    PrizeTable &model = window.prizes();
    model.addPrize(0);
    model.setText(0, Field::Name, "风筝");
    model.setText(0, Field::Weight, "100");
    model.setPicture(0, kToolsData / "blue.png");
    waitForOdds(window);
    EXPECT_EQ(cell(window, 0, PrizeTable::Picture), "loaded");
    std::vector<odds::WarningCode> codes;
    for (const odds::Warning &warning : model.check()->report.warnings)
        codes.push_back(warning.code);
    EXPECT_EQ(codes, std::vector{odds::WarningCode::PictureTooSmall}) << "judged from the chosen file: 16 x 10 pixels";
    // blue.png is (48, 48, 192), here as a JPEG: the card's picture shows it.
    window.show();
    const QColor shown = window.preview().card().grab().toImage().pixelColor(5, 5);
    EXPECT_GT(shown.blue(), 150);
    EXPECT_LT(shown.red(), 90);
}

TEST(Editor, AWarningNamesItsPrizeWhollyAndTakesANearMissPictureAtSave)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    PrizeTable &model = window.prizes();
    model.addPrize(8);
    model.setText(8, Field::Name, "iPad");
    EXPECT_EQ(window.model().index(8, PrizeTable::Index).data().toInt(), 9); // counted as the warning counts
    fs::copy_file(kToolsData / "blue.png", list.folder.path() / "picture" / "ipad.PNG");
    waitForOdds(window);
    QListWidgetItem *offer = nullptr;
    for (int i = 0; i < window.warnings().count(); ++i)
        if (window.warnings().item(i)->text().startsWith("Prize 9 \"iPad\": \"picture/ipad.PNG\" is there"))
            offer = window.warnings().item(i);
    ASSERT_NE(offer, nullptr);
    emit window.warnings().itemDoubleClicked(offer);
    const fs::path ipad = list.folder.path() / "picture" / "iPad.jpg";
    EXPECT_FALSE(fs::exists(ipad)); // planned, written at Save
    ASSERT_TRUE(window.saveList());
    EXPECT_EQ(slurp(ipad).substr(0, 3), "\xFF\xD8\xFF");
}

TEST(Editor, AListInUtf8WithoutAMarkIsReopenedAsUtf8FromItsWarningAndSavedWithOne)
{
    fakes::TempFolder folder;
    const fs::path dataIni = folder.path() / "data.ini";
    folder.writeDataIni(fakes::record("100", "255", "荧光棒", "10")); // UTF-8 bytes, no mark
    EditorWindow window;
    ASSERT_TRUE(window.openList(dataIni));
    waitForOdds(window);
    QListWidgetItem *offer = nullptr;
    for (int i = 0; i < window.warnings().count(); ++i)
        if (window.warnings().item(i)->text().contains("reopen the list as UTF-8"))
            offer = window.warnings().item(i);
    ASSERT_NE(offer, nullptr);
    // One remedy a line, this window's first.
    const QStringList lines = offer->text().split(u'\n');
    ASSERT_EQ(lines.size(), 3) << offer->text().toStdString();
    EXPECT_TRUE(lines[1].startsWith("Double-click here to reopen the list as UTF-8")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Or to write it in GBK")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].contains("prizelist encode data.ini --from utf8 --to gbk"));
    emit window.warnings().itemDoubleClicked(offer);
    EXPECT_EQ(window.prizes().document().text(0, Field::Name), "荧光棒");
    // A change like any other: Play and Save write what the table shows, and undo reads it as before.
    EXPECT_TRUE(window.isWindowModified());
    waitForOdds(window);
    for (int i = 0; i < window.warnings().count(); ++i)
        EXPECT_FALSE(window.warnings().item(i)->text().contains("begins with a UTF-8 byte-order mark"))
            << window.warnings().item(i)->text().toStdString();
    window.undoStack().undo();
    EXPECT_NE(window.prizes().document().text(0, Field::Name), "荧光棒");
    EXPECT_FALSE(window.isWindowModified());
    window.undoStack().redo();
    ASSERT_TRUE(window.saveList());
    EXPECT_EQ(slurp(dataIni), "\xEF\xBB\xBF" + fakes::record("100", "255", "荧光棒", "10"));
}

TEST(Editor, UndoAndDiscardAfterRenamesRemovalsAndPicturesLeaveEveryFileAsItWas)
{
    BundledList list;
    const auto before = filesIn(list.folder.path());
    {
        EditorWindow window;
        ASSERT_TRUE(window.openList(list.dataIni));
        PrizeTable &model = window.prizes();
        model.confirm = [](const std::string &) { return true; };
        model.setText(0, Field::Name, "Glow stick"); // a picture renamed
        model.setPicture(1, kToolsData / "red.jpg"); // one replaced
        model.setText(2, Field::Name, "棒棒糖");     // one overwritten by a rename
        model.removePrizes({3});
        model.addPrize(0);
        model.setPicture(0, kToolsData / "blue.png");   // one imported
        EXPECT_EQ(filesIn(list.folder.path()), before); // the disk changes only at Save

        while (window.undoStack().canUndo())
            window.undoStack().undo();
        EXPECT_EQ(*model.pictures().picture("棒棒糖"), before.at("picture/棒棒糖.jpg"));
        EXPECT_EQ(model.pictures().picture("Glow stick"), nullptr);
        ASSERT_TRUE(window.saveList());
        auto saved = filesIn(list.folder.path());
        saved.erase("data.ini.bak");
        EXPECT_EQ(saved, before);

        model.setText(0, Field::Name, "Glow stick");
        model.setPicture(1, kToolsData / "red.jpg");
        NextMessageBox discard(QStringLiteral("Discard"));
        window.close();
    }
    auto discarded = filesIn(list.folder.path());
    discarded.erase("data.ini.bak");
    EXPECT_EQ(discarded, before);
}

TEST(Editor, UnusedPicturesAreListedAsTheFolderWillBeAfterSave)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().confirm = [](const std::string &) { return true; };
    window.prizes().setText(0, Field::Name, "Glow stick"); // 荧光棒.jpg is to become Glow stick.jpg
    waitForOdds(window);
    QStringList unused;
    for (const odds::Warning &warning : window.prizes().check()->report.warnings)
        if (warning.code == odds::WarningCode::PictureUnused)
            unused << QString::fromStdString(warning.file);
    EXPECT_EQ(unused, QStringList()) << "荧光棒.jpg goes at Save, and Glow stick.jpg is prize 0's";
}

TEST(Editor, PrizesThatShareANameKeepTheirPictureWhenOneIsRenamed)
{
    BundledList list;
    const std::string glowStick = slurp(list.folder.path() / "picture" / "荧光棒.jpg");
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().duplicatePrizes({0});
    window.prizes().setText(1, Field::Name, "荧光棒 大");
    ASSERT_TRUE(window.saveList());
    EXPECT_EQ(slurp(list.folder.path() / "picture" / "荧光棒.jpg"), glowStick); // copied, not moved
    EXPECT_EQ(slurp(list.folder.path() / "picture" / "荧光棒 大.jpg"), glowStick);
}

TEST(Editor, NoDropOrFailedEditChangesTheListOrTheUndoStack)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    PrizeTableModel &model = window.model();
    PrizeTable &prizes = window.prizes();
    prizes.setText(0, Field::Weight, "29");
    const std::string listBytes = prizes.document().bytes();
    const int steps = window.undoStack().count();
    QStringList failures;
    const auto showFailure = prizes.editFailed;
    prizes.editFailed = [&](const std::string &why) {
        failures << QString::fromStdString(why);
        showFailure(why);
    };

    // Rows dragged from a longer list in another window, or no rows at all.
    auto *ours = model.mimeData({model.index(7, 0)});
    const QByteArray source = ours->data("application/x-prizeedit-rows").split(' ').front();
    for (const QByteArray &payload : {source + " 7 12", source + " 7 -1", source + " 7 7", source + " x",
                                      source + "  7", QByteArray("prizeedit:1:abc 7"), QByteArray()}) {
        QMimeData drop;
        drop.setData("application/x-prizeedit-rows", payload);
        EXPECT_FALSE(model.dropMimeData(&drop, Qt::MoveAction, 0, 0, {})) << payload.toStdString();
    }
    EXPECT_EQ(prizes.document().bytes(), listBytes);

    // A question that fails half-way through a rename.
    prizes.confirm = [](const std::string &) -> bool { throw std::runtime_error("the question could not be asked"); };
    {
        NextMessageBox ok(QStringLiteral("OK"));
        EXPECT_FALSE(model.setData(model.index(0, PrizeTable::Name), "棒棒糖", Qt::EditRole));
        EXPECT_TRUE(ok.text.contains("The change was not made."));
    }
    EXPECT_EQ(failures, QStringList{"the question could not be asked"});
    EXPECT_EQ(prizes.document().bytes(), listBytes);
    EXPECT_EQ(window.undoStack().count(), steps);
    EXPECT_EQ(window.undoStack().index(), steps);
    // No macro left open: the next edit is a step of its own.
    model.dropMimeData(ours, Qt::MoveAction, 0, 0, {}); // its own rows still move
    delete ours;
    EXPECT_EQ(prizes.document().text(0, Field::Name), "金条");
    prizes.setText(1, Field::Weight, "19");
    EXPECT_EQ(window.undoStack().count(), steps + 2);

    // An error no handler caught is reported, and the window stays.
    QStringList unexpected;
    QObject::connect(qobject_cast<editor::EditorApplication *>(qApp), &editor::EditorApplication::unexpectedError,
                     &window, [&](const QString &what) { unexpected << what; });
    window.show();
    QMetaObject::invokeMethod(
        &window, [] { throw std::runtime_error("lost in a handler"); }, Qt::QueuedConnection);
    QCoreApplication::processEvents();
    EXPECT_EQ(unexpected, QStringList{"lost in a handler"});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(prizes.document().text(1, Field::Weight), "19");
}

TEST(Editor, UnsavedEditsKeptBeforeACrashComeBackWhenTheListIsOpenedAgain)
{
    BundledList list;
    const auto before = filesIn(list.folder.path());
    fs::path copy;
    {
        EditorWindow window;
        const authoring::ProcessId self = authoring::thisProcess();
        window.session().recoveryOwner = {self.number, self.started + 1}; // an editor that has ended since
        ASSERT_TRUE(window.openList(list.dataIni));
        window.prizes().setText(0, Field::Weight, "29");
        window.prizes().setPicture(1, kToolsData / "red.jpg");
        window.keepRecoveryCopy(); // as the timer does a few seconds after an edit
        copy = window.recoveryFile();
        EXPECT_TRUE(fs::exists(copy));
    }                                               // ended without Save, Discard or Close, as by a crash
    EXPECT_EQ(filesIn(list.folder.path()), before); // nothing written beside the list

    EditorWindow window;
    {
        NextMessageBox yes(QStringLiteral("Yes"));
        ASSERT_TRUE(window.openList(list.dataIni));
        EXPECT_TRUE(yes.text.contains("Restore"));
    }
    EXPECT_EQ(window.prizes().document().text(0, Field::Weight), "29");
    EXPECT_EQ(*window.prizes().pictures().picture("棒棒糖"), slurp(kToolsData / "red.jpg"));
    EXPECT_TRUE(window.isWindowModified());
    ASSERT_TRUE(window.saveList());
    EXPECT_FALSE(fs::exists(copy));
    EXPECT_EQ(slurp(list.folder.path() / "picture" / "棒棒糖.jpg"), slurp(kToolsData / "red.jpg"));

    window.prizes().setText(0, Field::Weight, "28");
    window.keepRecoveryCopy();
    EXPECT_TRUE(fs::exists(window.recoveryFile()));
    NextMessageBox discard(QStringLiteral("Discard"));
    window.close();
    EXPECT_FALSE(fs::exists(window.recoveryFile()));
}

TEST(Editor, ANameGbkCannotHoldRefusesSaveAndOffersUtf8)
{
    BundledList list;
    const std::string original = slurp(list.dataIni);
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().setText(7, Field::Name, "金条😀");

    {
        NextMessageBox cancel(QStringLiteral("Cancel"));
        EXPECT_FALSE(window.saveList());
        EXPECT_TRUE(cancel.text.contains("GBK"));
    }
    EXPECT_EQ(slurp(list.dataIni), original);
    EXPECT_TRUE(window.isWindowModified());
    EXPECT_EQ(window.prizes().document().text(7, Field::Name), "金条😀");

    {
        NextMessageBox utf8(QStringLiteral("Save as UTF-8"));
        EXPECT_TRUE(window.saveList());
    }
    EXPECT_EQ(slurp(list.dataIni).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(authoring::PrizeDocument::open(list.dataIni).text(7, Field::Name), "金条😀");
}

TEST(Editor, AFailedSaveOrOpenExplainsAndKeepsTheEdits)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().setText(0, Field::Weight, "31");
    {
        NextMessageBox no(QStringLiteral("No"));
        EXPECT_FALSE(window.saveListAs(list.folder.path() / "no-such-folder" / "data.ini", authoring::Encoding::Gbk));
        EXPECT_TRUE(no.text.contains("does not exist"));
    }
    EXPECT_FALSE(fs::exists(list.folder.path() / "no-such-folder"));
    {
        NextMessageBox ok(QStringLiteral("OK"));
        EXPECT_FALSE(window.saveListAs(list.folder.path() / "picture", authoring::Encoding::Gbk));
        EXPECT_TRUE(ok.text.contains("Could not save"));
    }
    {
        NextMessageBox ok(QStringLiteral("OK"));
        EXPECT_FALSE(window.openList(list.folder.path()));
        EXPECT_TRUE(ok.text.contains("Could not open"));
    }
    EXPECT_EQ(window.prizes().document().text(0, Field::Weight), "31");
    EXPECT_EQ(window.file(), list.dataIni);
    EXPECT_TRUE(window.isWindowModified());
}

TEST(Editor, ThePreviewIsTheGameWindowsCardPixelForPixel)
{
    fakes::TempFolder folder;
    const std::string glowStickGbk = "\xD3\xAB\xB9\xE2\xB0\xF4"; // 荧光棒
    folder.writeDataIni(fakes::record("100", "65535", glowStickGbk, "10"));
    fs::create_directories(folder.path() / "picture");
    fs::copy(kSample / "picture" / "荧光棒.jpg", folder.path() / "picture" / "荧光棒.jpg");

    window::Form1 game(folder.path(), std::make_unique<fakes::ScriptedRandom>(std::vector<float>{0.5f}), {}, 0);
    game.show();
    const QImage gameCard = game.awardbox(0).grab().toImage();

    EditorWindow window;
    ASSERT_TRUE(window.openList(folder.path() / "data.ini"));
    waitForOdds(window);
    window.table().setCurrentIndex(window.model().index(0, PrizeTable::Name));
    window.show();
    const QImage previewCard = window.preview().card().grab().toImage();

    ASSERT_EQ(previewCard.size(), gameCard.size());
    EXPECT_EQ(previewCard.convertToFormat(QImage::Format_RGB32), gameCard.convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(previewCard.pixelColor(5, 5), previewCard.pixelColor(5, 150)); // the picture, not a blank card
}

TEST(Play, StartsTheGameByItsAbsolutePathForAListOpenedByARelativeOne)
{
    BundledList list;
    const fs::path here = fs::current_path();
    fs::current_path(list.folder.path().parent_path());
    EditorWindow window;
    window.session().game = PRIZEDRAW_EXECUTABLE;
    struct Started {
        fs::path program, folder;
        double scale;
    };
    std::vector<Started> started;
    window.gameStarter = [&](const fs::path &program, const fs::path &folder, double scale) {
        started.push_back({program, folder, scale});
        return true;
    };
    const bool opened = window.openList(list.folder.path().filename() / "data.ini");
    if (opened)
        window.play(2.0);
    fs::current_path(list.folder.path()); // the list's folder itself, named "data.ini"
    if (opened && window.openList("data.ini"))
        window.play();
    fs::current_path(here);
    ASSERT_EQ(started.size(), 2u);
    for (const Started &start : started) {
        EXPECT_EQ(start.program, list.folder.path() / "prizedraw");
        EXPECT_EQ(start.folder, list.folder.path());
    }
    EXPECT_EQ(started[0].scale, 2.0);
    EXPECT_EQ(started[1].scale, 1.0);
    EXPECT_EQ(slurp(list.folder.path() / "prizedraw"), slurp(PRIZEDRAW_EXECUTABLE));
}

TEST(Play, AGameFolderHoldsTheGameTheListAsDataIniAndItsPictures)
{
    BundledList list;
    fakes::TempFolder elsewhere;
    auto document = authoring::PrizeDocument::open(list.dataIni);
    document.setText(0, Field::Weight, "29");
    const fs::path game =
        editing::fillGameFolder(elsewhere.path(), document, editing::PictureFolder(list.dataIni), PRIZEDRAW_EXECUTABLE);
    EXPECT_EQ(game, elsewhere.path() / "prizedraw");
    EXPECT_EQ(slurp(game), slurp(PRIZEDRAW_EXECUTABLE));
    EXPECT_NE(fs::status(game).permissions() & fs::perms::owner_exec, fs::perms::none);
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

TEST(Editor, MenusHeadersAndWarningsAreInChineseUnderTheChineseCatalogue)
{
    const auto menus = [](EditorWindow &window) {
        QStringList titles;
        for (const QAction *menu : window.menuBar()->actions())
            titles << menu->text();
        return titles;
    };
    BundledList list;
    {
        const editor::Translations chinese(i18n::Language::SimplifiedChinese);
        EditorWindow window;
        ASSERT_TRUE(window.openList(list.dataIni));
        window.prizes().setText(0, Field::Weight, "0");
        waitForOdds(window);
        EXPECT_EQ(menus(window), QStringList({"文件(&F)", "编辑(&E)", "查看(&V)", "游戏(&G)"}));
        EXPECT_EQ(window.model().headerData(PrizeTable::Weight, Qt::Horizontal, Qt::DisplayRole).toString(),
                  "权重");
        ASSERT_GT(window.warnings().count(), 0);
        EXPECT_TRUE(window.warnings().item(0)->text().contains("权重"))
            << window.warnings().item(0)->text().toStdString();
        // Qt's own buttons, from Debian's Qt translations.
        EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(), "取消");
    }
    EditorWindow window; // English again once the translations are gone
    EXPECT_EQ(menus(window).front(), "&File");
}
