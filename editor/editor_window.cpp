// The editor's window: layout, menus, files and Play.
#include "editor_window.h"

#include "i18n.h"
#include "color_delegate.h"
#include "game_folder.h"
#include "picture_loader.h"
#include "prize_csv.h"
#include "recovery.h"
#include "runtime_error.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <fstream>
#include <sstream>
#include <utility>

namespace editor {

namespace fs = std::filesystem;
using authoring::Encoding;

namespace {
// Made when asked, so that they are in the language set at start-up.
QString gbkFilter() { return QObject::tr("Prize list in GBK, as the game's own (*.ini)"); }
QString utf8Filter() { return QObject::tr("Prize list in UTF-8 with a byte-order mark (*.ini)"); }

QString shown(const fs::path &file) { return QFile::decodeName(file.c_str()); }
fs::path pathOf(const QString &file) { return fs::path(QFile::encodeName(file).toStdString()); }

constexpr int kNearMissRole = Qt::UserRole + 1;   // the near-miss picture file a warning offers
constexpr int kReopenUtf8Role = Qt::UserRole + 2; // set on the warning of a list that looks like UTF-8
// Over or under 100, the bar must not look like a full one.
const QColor kTotalOff(230, 120, 0);
const QColor kTextCut(200, 0, 0); // a preview note that the card cuts or cannot draw its text

bool startDetached(const fs::path &program, const fs::path &folder, double scale)
{
    QProcess process;
    process.setProgram(shown(program));
    process.setWorkingDirectory(shown(folder));
    if (scale != 1.0) // the game draws itself larger, every line and picture at that size
        process.setArguments({QStringLiteral("--scale"), QString::number(scale, 'g', 3)});
    return process.startDetached();
}

qreal screenRatio() { return qApp->primaryScreen() ? qApp->primaryScreen()->devicePixelRatio() : 1.0; }
} // namespace

EditorWindow::EditorWindow(QWidget *parent)
    : QMainWindow(parent), game(gameFor(pathOf(QCoreApplication::applicationDirPath()))), startGame(startDetached),
      model_(new PrizeTableModel(undo_, this)), odds_(screenRatio())
{
    table_ = new QTableView;
    table_->setModel(model_);
    table_->setItemDelegateForColumn(PrizeTableModel::Color, new ColorDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setDragDropMode(QAbstractItemView::DragDrop);
    table_->setDragDropOverwriteMode(true); // a drop lands on a row: a picture for it, or rows before it
    table_->setDefaultDropAction(Qt::MoveAction);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(32);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Fixed widths: fitting columns to their contents would measure every row of a long list.
    const int widths[PrizeTableModel::ColumnCount] = {40, 70, 110, 130, 70, 90, 150, 95, 110};
    for (int column = 0; column < PrizeTableModel::ColumnCount; ++column)
        table_->setColumnWidth(column, widths[column]);

    total_ = new QProgressBar;
    total_->setRange(0, 100);
    total_->setTextVisible(true);
    warnings_ = new QListWidget;
    // Whole messages, wrapped; laid out in batches so that a thousand do not hold up the window.
    warnings_->setWordWrap(true);
    warnings_->setLayoutMode(QListView::Batched);
    preview_ = new CardPreview;
    previewCaption_ = new QLabel;
    previewCaption_->setWordWrap(true);

    auto *left = new QSplitter(Qt::Vertical);
    auto *tablePane = new QWidget;
    auto *tableLayout = new QVBoxLayout(tablePane);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(table_);
    tableLayout->addWidget(total_);
    left->addWidget(tablePane);
    left->addWidget(warnings_);
    left->setStretchFactor(0, 4);
    left->setStretchFactor(1, 1);

    auto *right = new QWidget;
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->addWidget(new QLabel(tr("The card as the game shows it:")));
    rightLayout->addWidget(preview_);
    rightLayout->addWidget(previewCaption_);
    auto *choose = new QPushButton(tr("Choose picture…"));
    auto *playButton = new QPushButton(tr("Play"));
    rightLayout->addWidget(choose);
    rightLayout->addStretch();
    rightLayout->addWidget(playButton);
    connect(choose, &QPushButton::clicked, this, &EditorWindow::choosePicture);
    connect(playButton, &QPushButton::clicked, this, [this] { play(); });

    auto *split = new QSplitter;
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    setCentralWidget(split);
    buildMenus();

    model_->confirm = [this](const QString &question) {
        return QMessageBox::question(this, tr("Picture exists"), question) == QMessageBox::Yes;
    };
    connect(model_, &PrizeTableModel::listChanged, this, &EditorWindow::requestCheck);
    connect(model_, &PrizeTableModel::editFailed, this,
            [this](const QString &why) { showFailure(tr("The change was not made."), why); });
    connect(model_, &PrizeTableModel::editSaid, this,
            [this](const QString &what) { QMessageBox::information(this, tr("prizeedit"), what); });
    connect(&odds_, &LiveOdds::checked, this, &EditorWindow::showCheck);
    connect(&undo_, &QUndoStack::cleanChanged, this, &EditorWindow::updateTitle);
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(3000); // a burst of typing makes one copy
    connect(recoveryTimer_, &QTimer::timeout, this, &EditorWindow::keepRecoveryCopy);
    connect(model_, &PrizeTableModel::listChanged, recoveryTimer_, qOverload<>(&QTimer::start));
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &EditorWindow::showPreview);
    connect(warnings_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const QVariant prize = item->data(Qt::UserRole);
        if (prize.isValid())
            selectRows({prize.toInt()});
    });
    connect(warnings_, &QListWidget::itemDoubleClicked, this, &EditorWindow::fixWarning);

    resize(1180, 660);
    setFile(std::nullopt);
    requestCheck();
}

EditorWindow::~EditorWindow()
{
    // The stack goes before the window's children and signals as it clears.
    disconnect(&undo_, nullptr, this, nullptr);
}

void EditorWindow::buildMenus()
{
    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(tr("&New"), QKeySequence::New, this, &EditorWindow::newList);
    fileMenu->addAction(tr("&Open…"), QKeySequence::Open, this, &EditorWindow::openListAsked);
    fileMenu->addAction(tr("&Save"), QKeySequence::Save, this, &EditorWindow::saveList);
    fileMenu->addAction(tr("Save &As…"), QKeySequence::SaveAs, this, &EditorWindow::saveListAsAsked);
    fileMenu->addSeparator();
    fileMenu->addAction(tr("&Import CSV…"), this, &EditorWindow::importCsv);
    fileMenu->addAction(tr("&Export CSV…"), this, &EditorWindow::exportCsv);
    fileMenu->addSeparator();
    fileMenu->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu *editMenu = menuBar()->addMenu(tr("&Edit"));
    QAction *undo = undo_.createUndoAction(this, tr("&Undo"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = undo_.createRedoAction(this, tr("&Redo"));
    redo->setShortcuts(QKeySequence::Redo);
    editMenu->addAction(undo);
    editMenu->addAction(redo);
    editMenu->addSeparator();

    QToolBar *tools = addToolBar(tr("Prizes"));
    const auto addEdit = [&](const QString &text, QKeySequence keys, auto slot) {
        QAction *action = editMenu->addAction(text, keys, this, slot);
        // A translation's shortcut letter in brackets, "添加奖品(&A)", is for the menu only.
        action->setIconText(QString(text).remove(QRegularExpression(QStringLiteral("\\(&.\\)$"))).remove(u'&'));
        tools->addAction(action);
    };
    addEdit(tr("&Add prize"), QKeySequence(Qt::CTRL | Qt::Key_Return), [this] {
        const QList<int> rows = selectedRows();
        const int at = rows.isEmpty() ? model_->rowCount() : rows.back() + 1;
        model_->addPrize(at);
        selectRows({at});
    });
    addEdit(tr("&Duplicate"), QKeySequence(Qt::CTRL | Qt::Key_D), [this] { model_->duplicatePrizes(selectedRows()); });
    addEdit(tr("&Remove"), QKeySequence::Delete, [this] { model_->removePrizes(selectedRows()); });
    addEdit(tr("Move &up"), QKeySequence(Qt::ALT | Qt::Key_Up),
            [this] { selectRows(model_->movePrizes(selectedRows(), -1)); });
    addEdit(tr("Move do&wn"), QKeySequence(Qt::ALT | Qt::Key_Down),
            [this] { selectRows(model_->movePrizes(selectedRows(), +1)); });
    addEdit(tr("&Scale weights to 100"), QKeySequence(Qt::CTRL | Qt::Key_H), [this] {
        const QList<int> rows = table_->selectionModel()->selectedRows().size() > 1 ? selectedRows() : QList<int>();
        model_->scaleWeightsTo100(rows); // one row alone is rarely meant: then all of them
    });
    editMenu->addSeparator();
    editMenu->addAction(tr("Choose &picture…"), this, &EditorWindow::choosePicture);

    QMenu *gameMenu = menuBar()->addMenu(tr("&Game"));
    gameMenu->addAction(tr("&Play"), QKeySequence(Qt::Key_F5), this, [this] { play(); });
    gameMenu->addAction(tr("Play at 1.5 × size (projector)"), this, [this] { play(1.5); });
    gameMenu->addAction(tr("Play at &2 × size (projector)"), this, [this] { play(2.0); });
}

// --- Files ---

void EditorWindow::setFile(std::optional<fs::path> file)
{
    file_ = std::move(file);
    updateTitle();
}

void EditorWindow::updateTitle()
{
    const QString name = file_ ? QFileInfo(shown(*file_)).fileName() : tr("Untitled");
    setWindowTitle(name + QStringLiteral("[*] — prizeedit"));
    setWindowModified(!undo_.isClean());
}

void EditorWindow::showFailure(const QString &what, const QString &why)
{
    QMessageBox::warning(this, tr("prizeedit"), what + QStringLiteral("\n\n") + why);
}

void EditorWindow::newList()
{
    if (!keepOrDropChanges())
        return;
    model_->resetDocument({});
    model_->resetPictureFolder(std::nullopt);
    setFile(std::nullopt);
}

bool EditorWindow::openList(const fs::path &file, catalogue::PrizeListFile::Decoding decoding)
{
    try {
        // A save that a crash interrupted is finished or undone before the list is read.
        const std::string finished = authoring::finishInterruptedSave(file);
        if (!finished.empty())
            QMessageBox::information(this, tr("prizeedit"), QString::fromStdString(finished));
        authoring::PrizeDocument document = authoring::PrizeDocument::open(file, decoding);
        onDisk_ = authoring::diskVersionOf(file);
        setFile(file);
        model_->resetDocument(std::move(document));
        model_->resetPictureFolder(file.parent_path() / "picture");
        selectRows({0});
        offerRecovered();
        return true;
    } catch (const catalogue::RuntimeError &error) {
        showFailure(
            tr("Could not open %1.").arg(shown(file)),
            tr("Run-time error %1: %2").arg(error.number()).arg(QString::fromStdString(odds::runTimeErrorText(error))));
    } catch (const std::exception &error) {
        showFailure(tr("Could not open %1.").arg(shown(file)), QString::fromStdString(error.what()));
    }
    return false;
}

void EditorWindow::reopenAsUtf8()
{
    if (!keepOrDropChanges())
        return;
    try {
        // An edit like any other, so that the list shows as changed and
        // Save and Play write what the table now shows; undo reads it as before.
        model_->replaceAll(authoring::PrizeDocument::open(*file_, catalogue::PrizeListFile::Decoding::Utf8),
                           tr("Reopen as UTF-8"));
    } catch (const std::exception &error) {
        showFailure(tr("Could not open %1.").arg(shown(*file_)), QString::fromStdString(error.what()));
    }
}

void EditorWindow::openListAsked()
{
    if (!keepOrDropChanges())
        return;
    const QString file =
        QFileDialog::getOpenFileName(this, tr("Open a prize list"), {}, tr("Prize lists (*.ini);;All files (*)"));
    if (!file.isEmpty())
        openList(pathOf(file));
}

bool EditorWindow::saveList()
{
    if (!file_)
        return saveListAsAsked();
    return saveListAs(*file_, model_->document().encoding());
}

bool EditorWindow::saveListAs(const fs::path &file, Encoding encoding)
{
    authoring::PrizeDocument &document = model_->documentToSave();
    const Encoding before = document.encoding();
    const auto refuse = [&](const std::exception &error) {
        document.setEncoding(before);
        showFailure(tr("Could not save %1; your changes are still here.").arg(shown(file)),
                    QString::fromStdString(error.what()));
        return false;
    };
    document.setEncoding(encoding);
    try {
        (void)document.bytes();
    } catch (const std::exception &error) {
        authoring::PrizeDocument asUtf8 = document;
        asUtf8.setEncoding(Encoding::Utf8);
        try {
            (void)asUtf8.bytes();
        } catch (const std::exception &) {
            return refuse(error); // not a matter of the encoding
        }
        if (encoding != Encoding::Gbk)
            return refuse(error);
        document.setEncoding(before);
        QMessageBox box(QMessageBox::Warning, tr("prizeedit"),
                        tr("The list cannot be saved in GBK, the game's own encoding.") + QStringLiteral("\n\n") +
                            QString::fromStdString(error.what()) + QStringLiteral("\n\n") +
                            tr("The game also reads UTF-8 behind a byte-order mark."),
                        QMessageBox::Cancel, this);
        QPushButton *utf8 = box.addButton(tr("Save as UTF-8"), QMessageBox::AcceptRole);
        box.exec();
        return box.clickedButton() == utf8 && saveListAs(file, Encoding::Utf8);
    }
    if (file_ && file == *file_ && authoring::diskVersionOf(file) != onDisk_) {
        QMessageBox box(QMessageBox::Warning, tr("prizeedit"),
                        tr("%1 was changed by another program after it was opened here. Saving now replaces "
                           "those changes with this list.")
                            .arg(shown(file)),
                        QMessageBox::Cancel, this);
        QPushButton *overwrite = box.addButton(tr("Overwrite"), QMessageBox::DestructiveRole);
        QPushButton *elsewhere = box.addButton(tr("Save Elsewhere…"), QMessageBox::AcceptRole);
        box.exec();
        document.setEncoding(before);
        if (box.clickedButton() == elsewhere)
            return saveListAsAsked();
        if (box.clickedButton() != overwrite)
            return false;
        document.setEncoding(encoding);
    }
    const fs::path folder = file.parent_path();
    std::error_code missing;
    if (!folder.empty() && !fs::exists(folder, missing) && !missing) { // one we may not look into fails the save
        if (QMessageBox::question(
                this, tr("prizeedit"),
                tr("The folder %1 does not exist. Make it and save the list there?").arg(shown(folder))) !=
            QMessageBox::Yes) {
            document.setEncoding(before);
            return false;
        }
        std::error_code error;
        fs::create_directories(folder, error);
        if (error)
            return refuse(authoring::ListError(
                i18n::tr("cannot make the folder {0}: {1}; nothing was written", folder.string(), error.message())));
    }
    std::string note;
    try {
        note = model_->save(file, authoring::diskFileSystem());
    } catch (const std::exception &error) {
        return refuse(error);
    }
    onDisk_ = authoring::diskVersionOf(file);
    if (!note.empty())
        statusBar()->showMessage(QString::fromStdString(note));
    removeRecoveryCopy(); // of the list as it was named
    setFile(file);
    removeRecoveryCopy();
    requestCheck(); // the pictures now come from the folder beside the file
    return true;
}

bool EditorWindow::saveListAsAsked()
{
    QFileDialog dialog(this, tr("Save the prize list"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({gbkFilter(), utf8Filter()});
    dialog.selectNameFilter(model_->document().encoding() == Encoding::Utf8 ? utf8Filter() : gbkFilter());
    dialog.selectFile(file_ ? shown(*file_) : QStringLiteral("data.ini"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const Encoding encoding = dialog.selectedNameFilter() == utf8Filter() ? Encoding::Utf8 : Encoding::Gbk;
    return saveListAs(pathOf(dialog.selectedFiles().front()), encoding);
}

void EditorWindow::importCsv()
{
    const QString file =
        QFileDialog::getOpenFileName(this, tr("Import prizes from CSV"), {}, tr("CSV (*.csv);;All files (*)"));
    if (file.isEmpty())
        return;
    try {
        authoring::CsvImport read = authoring::importCsv(authoring::readCsvFile(pathOf(file)));
        authoring::PrizeDocument imported = std::move(read.document);
        if (read.otherReading) {
            // Valid text both ways and both plausible: the user knows which names are right.
            const auto reading = [](authoring::CsvEncoding encoding, const authoring::PrizeDocument &document) {
                return tr("As %1: %2")
                    .arg(QString::fromUtf8(authoring::describe(encoding)),
                         QString::fromStdString(authoring::firstNames(document)));
            };
            QMessageBox ask(QMessageBox::Question, tr("Import CSV"),
                            tr("%1 reads as text in two encodings. Which names are right?").arg(file),
                            QMessageBox::Cancel, this);
            QPushButton *chosen = ask.addButton(reading(read.encoding, imported), QMessageBox::AcceptRole);
            QPushButton *other =
                ask.addButton(reading(*read.otherEncoding, *read.otherReading), QMessageBox::AcceptRole);
            ask.setDefaultButton(chosen);
            ask.exec();
            if (ask.clickedButton() == other)
                imported = std::move(*read.otherReading);
            else if (ask.clickedButton() != chosen)
                return;
        }
        imported.setEncoding(model_->document().encoding());
        model_->replaceAll(std::move(imported), tr("Import CSV"));
    } catch (const std::exception &error) {
        showFailure(tr("Could not import %1; the list is as it was.").arg(file), QString::fromStdString(error.what()));
    }
}

void EditorWindow::exportCsv()
{
    const QString file =
        QFileDialog::getSaveFileName(this, tr("Export prizes as CSV"), QStringLiteral("prizes.csv"), tr("CSV (*.csv)"));
    if (file.isEmpty())
        return;
    try {
        authoring::replaceFile(pathOf(file), authoring::toCsv(model_->document()), authoring::Backup::None);
    } catch (const std::exception &error) {
        showFailure(tr("Could not export %1.").arg(file), QString::fromStdString(error.what()));
    }
}

bool EditorWindow::keepOrDropChanges()
{
    if (!undo_.isClean()) {
        const auto answer =
            QMessageBox::warning(this, tr("prizeedit"), tr("The list has unsaved changes."),
                                 QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && !saveList()))
            return false;
    }
    removeRecoveryCopy(); // saved or let go
    return true;
}

fs::path EditorWindow::recoveryFile() const
{
    const fs::path state = pathOf(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    return authoring::recoveryFileOf(state / "recovery", file_, recoveryOwner);
}

void EditorWindow::keepRecoveryCopy()
{
    recoveryTimer_->stop();
    if (undo_.isClean()) {
        removeRecoveryCopy();
        return;
    }
    try {
        const fs::path copy = recoveryFile();
        std::error_code error;
        fs::create_directories(copy.parent_path(), error);
        authoring::replaceFile(copy, authoring::recoveryBytes(model_->document(), model_->pictures().changes()),
                               authoring::Backup::None);
    } catch (const std::exception &error) {
        statusBar()->showMessage(
            tr("No recovery copy of the unsaved edits could be kept: %1").arg(QString::fromStdString(error.what())));
    }
}

void EditorWindow::removeRecoveryCopy()
{
    recoveryTimer_->stop();
    std::error_code ignored; // none there is what we want
    fs::remove(recoveryFile(), ignored);
}

void EditorWindow::offerRecoveredUntitled()
{
    if (!file_)
        offerRecovered();
}

void EditorWindow::offerRecovered()
{
    // Only a copy whose editor no longer runs: another editor's live copy is its own.
    const auto abandoned = authoring::abandonedRecoveryFiles(recoveryFile().parent_path(), file_);
    if (abandoned.empty())
        return;
    const fs::path &copy = abandoned.front();
    std::optional<std::string> bytes;
    try {
        bytes = authoring::readFileIfAny(copy);
        if (!bytes)
            return;
        const authoring::Recovered recovered = authoring::readRecovery(*bytes);
        recoveryTimer_->stop(); // the list just opened is clean: the copy must outlive the question
        const QString list = file_ ? shown(*file_) : tr("a new list");
        if (QMessageBox::question(this, tr("prizeedit"),
                                  tr("Edits to %1 were not saved when prizeedit last ended. Restore them?\n\n"
                                     "No lets them go.")
                                      .arg(list)) == QMessageBox::Yes) {
            model_->restoreEdits(recovered);
            keepRecoveryCopy(); // the edits are this window's now, kept under its own name
        }
        std::error_code ignored; // a copy that cannot go is offered again next time
        fs::remove(copy, ignored);
    } catch (const std::exception &error) {
        showFailure(tr("The unsaved edits kept in %1 cannot be restored.").arg(shown(copy)),
                    QString::fromStdString(error.what()));
    }
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    if (keepOrDropChanges())
        event->accept();
    else
        event->ignore();
}

// --- Pictures and Play ---

void EditorWindow::choosePicture()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    const QString file = QFileDialog::getOpenFileName(this, tr("Choose a picture"), {},
                                                      tr("Pictures (*.jpg *.jpeg *.png *.bmp *.gif);;All files (*)"));
    if (file.isEmpty())
        return;
    try {
        model_->setPicture(rows.front(), pathOf(file));
    } catch (const std::exception &error) {
        showFailure(tr("The picture was not added."), QString::fromStdString(error.what()));
    }
}

void EditorWindow::play(double scale)
{
    if ((!file_ || !undo_.isClean()) && !saveList())
        return;
    if (!fs::exists(game)) {
        showFailure(tr("Cannot start the game."),
                    tr("The game, prizedraw, is not beside prizeedit: %1").arg(shown(game)));
        return;
    }
    try {
        // A list opened as "data.ini" or "memoji/data.ini" lives in a folder named relative to here.
        const fs::path list = fs::absolute(*file_);
        fs::path placed;
        if (canPlayInListFolder(list, game)) {
            placed = gameInListFolder(list, game);
        } else {
            const QString folder = QFileDialog::getExistingDirectory(
                this, tr("The game reads data.ini beside itself: choose a folder for the game and this list"));
            if (folder.isEmpty())
                return;
            placed = fillGameFolder(fs::absolute(pathOf(folder)), model_->document(), PictureFolder(list), game);
        }
        if (!startGame(placed, placed.parent_path(), scale))
            showFailure(tr("Cannot start the game."),
                        tr("%1 did not start; check that it may be run from that folder.").arg(shown(placed)));
    } catch (const std::exception &error) {
        showFailure(tr("Cannot start the game."), QString::fromStdString(error.what()));
    }
}

// --- Odds, warnings, preview ---

void EditorWindow::requestCheck()
{
    // Once per turn of the event loop, so that removing a hundred rows asks
    // for one check, not a hundred.
    if (std::exchange(checkQueued_, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            checkQueued_ = false;
            odds_.request(model_->document(), file_, model_->pictures().changes());
        },
        Qt::QueuedConnection);
}

void EditorWindow::showCheck()
{
    const auto check = odds_.latest();
    model_->setCheck(check);
    if (!check->error.empty()) {
        warnings_->clear();
        shownWarnings_.reset();
        warnings_->addItem(tr("The list cannot be checked: %1").arg(QString::fromStdString(check->error)));
        return;
    }
    const odds::OddsReport &report = check->report;
    showWarnings(report.warnings);
    const double total = report.totalWeight;
    total_->setValue(int(std::clamp(total, 0.0, 100.0)));
    const auto warned = [&](odds::WarningCode code) {
        return int(std::count_if(report.warnings.begin(), report.warnings.end(),
                                 [&](const odds::Warning &warning) { return warning.code == code; }));
    };
    // A total the game counts with weights that are no number (as 0) or
    // negative is not the total the list seems to give: never a plain full bar.
    const int noNumber = warned(odds::WarningCode::WeightNotANumber);
    const int negative = warned(odds::WarningCode::WeightNegative);
    QPalette palette = QApplication::palette(total_);
    if (warned(odds::WarningCode::TotalNot100) > 0 || noNumber > 0 || negative > 0)
        palette.setColor(QPalette::Highlight, kTotalOff);
    total_->setPalette(palette);
    QString text = tr("Weights add up to %1 of 100").arg(total, 0, 'g', 10);
    if (noNumber > 0)
        text += tr("; weights that are no number count as 0 (%n)", nullptr, noNumber);
    if (negative > 0)
        text += tr("; negative weights are subtracted (%n)", nullptr, negative);
    if (report.emptyCount > 0)
        text += tr("; the empty card takes %1 % of draws").arg(odds::percentOf(report.emptyCount), 0, 'f', 4);
    else if (total > 100)
        text += tr(": the prizes past 100 are cut");
    total_->setFormat(text);
    showPreview();
}

void EditorWindow::showWarnings(const std::vector<odds::Warning> &warnings)
{
    // Most edits leave the warnings as they were; a long list is kept then.
    const auto same = [](const odds::Warning &a, const odds::Warning &b) {
        return a.index == b.index && a.message == b.message;
    };
    if (shownWarnings_ &&
        std::equal(warnings.begin(), warnings.end(), shownWarnings_->begin(), shownWarnings_->end(), same))
        return;
    shownWarnings_ = warnings;
    warnings_->clear();
    if (warnings.empty())
        warnings_->addItem(tr("No warnings: the game will draw this list as its weights say."));
    const auto &check = odds_.latest();
    for (const odds::Warning &warning : warnings) {
        QString text = QString::fromStdString(warning.text.translated());
        if (warning.index)
            text = tr("Prize %1 \"%2\": %3").arg(*warning.index + 1).arg(QString::fromStdString(warning.name), text);
        // One remedy a line, the one this window offers first.
        QStringList lines{text};
        const bool offersPicture = warning.code == odds::WarningCode::PictureNearMiss && warning.index && check;
        if (offersPicture)
            lines << tr("Double-click here to take it as this prize's picture (written at Save).");
        const bool offersReopen = warning.code == odds::WarningCode::Utf8WithoutBom && file_;
        if (offersReopen)
            lines << tr("Double-click here to reopen the list as UTF-8; Save then writes it with a byte-order mark.");
        for (const i18n::Message &remedy : warning.remedies) {
            QString line = QString::fromStdString(remedy.translated());
            // No full stop: a remedy may end in a command to copy.
            if (lines.size() > 1)
                line = tr("Or %1").arg(line);
            else if (!line.isEmpty())
                line[0] = line[0].toUpper();
            lines << line;
        }
        auto *item = new QListWidgetItem(lines.join(u'\n'), warnings_);
        if (offersReopen)
            item->setData(kReopenUtf8Role, true);
        if (warning.index)
            item->setData(Qt::UserRole, *warning.index);
        if (offersPicture) // warning.file is "picture/<file>", beside the list
            item->setData(kNearMissRole,
                          shown(check->list.pictureFolder.parent_path() / catalogue::utf8Path(warning.file)));
    }
}

void EditorWindow::fixWarning(QListWidgetItem *item)
{
    if (item->data(kReopenUtf8Role).toBool() && file_) {
        reopenAsUtf8();
        return;
    }
    const QVariant prize = item->data(Qt::UserRole);
    const QVariant file = item->data(kNearMissRole);
    if (!prize.isValid() || !file.isValid())
        return;
    try {
        model_->setPicture(prize.toInt(), pathOf(file.toString()));
    } catch (const std::exception &error) {
        showFailure(tr("The picture was not taken."), QString::fromStdString(error.what()));
    }
}

void EditorWindow::showPreview()
{
    const auto &check = odds_.latest();
    if (!check || !check->list.catalogue)
        return;
    const catalogue::Catalogue &prizes = *check->list.catalogue;
    const int row = table_->currentIndex().isValid() ? table_->currentIndex().row() : 0;
    const int slot = std::min<int>(row, prizes.prizeCount);
    preview_->showSlot(prizes, slot);
    QStringList caption{slot == prizes.prizeCount ? tr("The empty card") : tr("Prize %1").arg(slot + 1)};
    // What the card cuts or cannot draw, said under the card that shows it.
    for (const odds::Warning &warning : check->report.warnings)
        if (warning.index == slot && odds::isCardTextWarning(warning.code))
            caption << QString::fromStdString(warning.text.translated());
    previewCaption_->setText(caption.join(QLatin1Char('\n')));
    QPalette palette = QApplication::palette(previewCaption_);
    if (caption.size() > 1)
        palette.setColor(QPalette::WindowText, kTextCut);
    previewCaption_->setPalette(palette);
}

QList<int> EditorWindow::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : table_->selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && table_->currentIndex().isValid())
        rows << table_->currentIndex().row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void EditorWindow::selectRows(const QList<int> &rows)
{
    QItemSelection selection;
    for (int row : rows)
        if (row >= 0 && row < model_->rowCount())
            selection.select(model_->index(row, 0), model_->index(row, PrizeTableModel::ColumnCount - 1));
    if (selection.isEmpty())
        return;
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    table_->selectionModel()->setCurrentIndex(model_->index(rows.front(), PrizeTableModel::Name),
                                              QItemSelectionModel::NoUpdate);
    table_->scrollTo(model_->index(rows.front(), 0));
}

} // namespace editor
