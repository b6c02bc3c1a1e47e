// The Qt editor over the editing core: that the window's table, actions,
// keys, dialogs, bar, warnings and preview reach the session and show it.
// What the session itself does is tested without a toolkit in tests/editing.
#include "bundled_list.h"
#include "editor_application.h"
#include "editor_window.h"
#include "fakes.h"
#include "form1.h"
#include "live_check.h"
#include "translations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
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
#include <QUrl>

#include "slurp.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

namespace fs = std::filesystem;
using authoring::Field;
using editor::EditorWindow;
using editor::PrizeTableModel;
using editing::PrizeTable;

const fs::path kSample = SAMPLE_DIR;
const fs::path kToolsData = TOOLS_DATA_DIR;

using fakes::BundledList;

void waitForOdds(EditorWindow &window)
{
    QElapsedTimer waited;
    waited.start();
    while (!window.oddsUpToDate() && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(window.oddsUpToDate());
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

TEST(Editor, TheWeightBarShowsTheSessionsTotalAndIsNeverAFullBarWhenItIsOff)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    waitForOdds(window);
    const QColor full = QApplication::palette(&window.weightTotal()).color(QPalette::Highlight);
    EXPECT_EQ(window.weightTotal().palette().color(QPalette::Highlight), full);

    window.model().setData(window.model().index(0, PrizeTable::Weight), "20", Qt::EditRole);
    waitForOdds(window);
    EXPECT_EQ(window.weightTotal().value(), 90);
    EXPECT_TRUE(window.weightTotal().format().startsWith("Weights add up to 90 of 100"))
        << window.weightTotal().format().toStdString();
    EXPECT_NE(window.weightTotal().palette().color(QPalette::Highlight), full);
    EXPECT_EQ(cell(window, 0, PrizeTable::Chance), "20.0000 %");
    EXPECT_TRUE(window.isWindowModified());
    window.undoStack().undo();
    waitForOdds(window);
    EXPECT_EQ(window.weightTotal().palette().color(QPalette::Highlight), full);
    EXPECT_FALSE(window.isWindowModified());
}

TEST(Editor, ACellTypedIntoReachesTheListAndARefusedOneIsSaidInAMessage)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    PrizeTableModel &model = window.model();
    EXPECT_TRUE(model.setData(model.index(0, PrizeTable::Color), "#FF0000", Qt::EditRole));
    EXPECT_EQ(window.prizes().document().text(0, Field::Color), "255");
    EXPECT_EQ(cell(window, 0, PrizeTable::Color), "#FF0000");
    {
        NextMessageBox ok(QStringLiteral("OK"));
        EXPECT_FALSE(model.setData(model.index(0, PrizeTable::Color), "red", Qt::EditRole));
        EXPECT_TRUE(ok.text.startsWith("The change was not made.")) << ok.text.toStdString();
        EXPECT_TRUE(ok.text.contains("for example #FF0000")) << ok.text.toStdString();
    }
    EXPECT_EQ(window.prizes().document().text(0, Field::Color), "255");
}

// The action that answers keys, as the menus and the toolbar hold it.
void trigger(EditorWindow &window, const QKeySequence &keys)
{
    for (QAction *action : window.findChildren<QAction *>())
        if (action->shortcuts().contains(keys)) {
            action->trigger();
            return;
        }
    ADD_FAILURE() << "no action for " << keys.toString().toStdString();
}

std::vector<std::string> names(EditorWindow &window)
{
    std::vector<std::string> out;
    for (int row = 0; row < window.model().rowCount(); ++row)
        out.push_back(cell(window, row, PrizeTable::Name));
    return out;
}

TEST(Editor, TheEditKeysActOnTheSelectedRowsAndSaveAndUndoReachTheSession)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    const auto select = [&](std::initializer_list<int> rows) {
        window.table().clearSelection();
        for (int row : rows)
            window.table().selectionModel()->select(window.model().index(row, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    const auto original = names(window);

    select({1, 2});
    trigger(window, QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(window.model().rowCount(), 10);
    EXPECT_EQ(cell(window, 2, PrizeTable::Name), "棒棒糖");
    select({0, 1});
    trigger(window, QKeySequence(QKeySequence::Delete));
    EXPECT_EQ(names(window).front(), "棒棒糖");
    EXPECT_EQ(window.model().rowCount(), 8);
    select({3});
    trigger(window, QKeySequence(Qt::ALT | Qt::Key_Up));
    EXPECT_EQ(cell(window, 2, PrizeTable::Name), "保温杯");
    trigger(window, QKeySequence(Qt::CTRL | Qt::Key_Return)); // below the moved row, which stays selected
    EXPECT_EQ(cell(window, 3, PrizeTable::Name), "New prize");

    // Copy and paste through the clipboard: the rows after the selection.
    select({0});
    trigger(window, QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), window.prizes().rowsAsText({0}));
    trigger(window, QKeySequence(QKeySequence::Paste));
    EXPECT_EQ(cell(window, 1, PrizeTable::Name), "棒棒糖");

    trigger(window, QKeySequence(QKeySequence::Save));
    EXPECT_FALSE(window.isWindowModified());
    EXPECT_EQ(authoring::PrizeDocument::open(list.dataIni).size(), window.model().rowCount());
    while (window.undoStack().canUndo())
        trigger(window, QKeySequence(QKeySequence::Undo));
    EXPECT_EQ(names(window), original);
    trigger(window, QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(window.model().rowCount(), 10);
}

TEST(Editor, APngChosenGoesIntoThePictureFolderAsAJpeg)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().setPicture(0, kToolsData / "blue.png");
    waitForOdds(window);
    EXPECT_EQ(cell(window, 0, PrizeTable::Picture), "loaded"); // shown as it will be
    ASSERT_TRUE(window.saveList());
    EXPECT_EQ(slurp(list.folder.path() / "picture" / "荧光棒.jpg").substr(0, 3), "\xFF\xD8\xFF");
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

TEST(Editor, ADoubleClickedWarningCarriesOutItsFix)
{
    fakes::TempFolder folder;
    folder.writeDataIni(fakes::record("100", "255", "荧光棒", "10")); // UTF-8 bytes, no mark
    EditorWindow window;
    ASSERT_TRUE(window.openList(folder.path() / "data.ini"));
    waitForOdds(window);
    QListWidgetItem *offer = nullptr;
    for (int i = 0; i < window.warnings().count(); ++i)
        if (window.warnings().item(i)->text().contains("reopen the list as UTF-8"))
            offer = window.warnings().item(i);
    ASSERT_NE(offer, nullptr);
    emit window.warnings().itemDoubleClicked(offer);
    EXPECT_EQ(window.prizes().document().text(0, Field::Name), "荧光棒");
    EXPECT_TRUE(window.isWindowModified());
}

TEST(Editor, DropsReachTheTableOnlyAsItsOwnRowsOrAPictureAndErrorsAreReported)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    PrizeTableModel &model = window.model();
    PrizeTable &prizes = window.prizes();
    const std::string listBytes = prizes.document().bytes();

    // Rows dragged from a longer list in another window, or no rows at all.
    std::unique_ptr<QMimeData> ours(model.mimeData({model.index(7, 0)}));
    const QByteArray source = ours->data("application/x-prizeedit-rows").split(' ').front();
    for (const QByteArray &payload : {source + " 7 12", QByteArray("prizeedit:1:abc 7"), QByteArray()}) {
        QMimeData drop;
        drop.setData("application/x-prizeedit-rows", payload);
        EXPECT_FALSE(model.dropMimeData(&drop, Qt::MoveAction, 0, 0, {})) << payload.toStdString();
    }
    EXPECT_EQ(prizes.document().bytes(), listBytes);
    EXPECT_FALSE(model.dropMimeData(ours.get(), Qt::MoveAction, 0, 0, {})) << "the view removes nothing";
    EXPECT_EQ(prizes.document().text(0, Field::Name), "金条");

    // A picture file dropped on a row is planned as its picture.
    QMimeData picture;
    picture.setUrls({QUrl::fromLocalFile(QString::fromStdString((kToolsData / "red.jpg").string()))});
    model.dropMimeData(&picture, Qt::CopyAction, -1, -1, model.index(1, PrizeTable::Picture));
    EXPECT_EQ(*prizes.pictures().picture(prizes.document().text(1, Field::Name)), slurp(kToolsData / "red.jpg"));

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
}

TEST(Editor, ClosingWithUnsavedEditsAsksAndDiscardLetsThemAndTheirRecoveryCopyGo)
{
    BundledList list;
    const std::string original = slurp(list.dataIni);
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().setText(0, Field::Weight, "28");
    window.keepRecoveryCopy();
    ASSERT_TRUE(fs::exists(window.recoveryFile()));
    // Not shown: a window shown offscreen leaves the leak checker a stale
    // thread-local block, which it crashes on at exit.
    {
        NextMessageBox cancel(QStringLiteral("Cancel"));
        EXPECT_FALSE(window.close()); // the window stays
        EXPECT_TRUE(cancel.text.contains("unsaved changes")) << cancel.text.toStdString();
    }
    EXPECT_TRUE(fs::exists(window.recoveryFile()));
    {
        NextMessageBox discard(QStringLiteral("Discard"));
        EXPECT_TRUE(window.close());
    }
    EXPECT_FALSE(fs::exists(window.recoveryFile()));
    EXPECT_EQ(slurp(list.dataIni), original);
}

TEST(Editor, TheSessionsQuestionsAreAskedInMessageBoxesAndTheirAnswersTaken)
{
    BundledList list;
    EditorWindow window;
    ASSERT_TRUE(window.openList(list.dataIni));
    window.prizes().setText(7, Field::Name, "金条😀");
    {
        NextMessageBox utf8(QStringLiteral("Save as UTF-8"));
        EXPECT_TRUE(window.saveList());
        EXPECT_TRUE(utf8.text.contains("GBK")) << utf8.text.toStdString();
    }
    EXPECT_EQ(slurp(list.dataIni).substr(0, 3), "\xEF\xBB\xBF");
    window.prizes().setText(0, Field::Weight, "31");
    {
        NextMessageBox no(QStringLiteral("No"));
        EXPECT_FALSE(window.saveListAs(list.folder.path() / "no-such-folder" / "data.ini", authoring::Encoding::Utf8));
        EXPECT_TRUE(no.text.contains("does not exist")) << no.text.toStdString();
    }
    EXPECT_FALSE(fs::exists(list.folder.path() / "no-such-folder"));
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
