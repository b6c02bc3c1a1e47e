// The editor's Qt window: layout, menus, dialogs; the session decides.
#include "editor_window.h"

#include "color_delegate.h"
#include "game_folder.h"
#include "i18n.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
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
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace editor {

namespace fs = std::filesystem;
using authoring::Encoding;
using editing::PrizeTable;

namespace {
// Made when asked, so that they are in the language set at start-up.
QString gbkFilter() { return QObject::tr("Prize list in GBK, as the game's own (*.ini)"); }
QString utf8Filter() { return QObject::tr("Prize list in UTF-8 with a byte-order mark (*.ini)"); }

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }
QString shown(const fs::path &file) { return QFile::decodeName(file.c_str()); }
fs::path pathOf(const QString &file) { return fs::path(QFile::encodeName(file).toStdString()); }

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
    : QMainWindow(parent), gameStarter(startDetached), decoder_(screenRatio()),
      session_(std::make_unique<editing::EditorSession>(*this, decoder_, &texts_))
{
    session_->game = editing::gameFor(pathOf(QCoreApplication::applicationDirPath()));
    session_->stateFolder = pathOf(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    session_->documentsFolder = pathOf(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    model_ = new PrizeTableModel(session_->table(), this);
    model_->pictureDropped = [this](int row, const std::filesystem::path &file) { session_->setPicture(row, file); };
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (timerTask_)
            timerTask_();
    });

    table_ = new QTableView;
    table_->setModel(model_);
    table_->setItemDelegateForColumn(PrizeTable::Color, new ColorDelegate(table_));
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
    for (int column = 0; column < PrizeTable::ColumnCount; ++column) {
        table_->setColumnWidth(column, PrizeTable::widthAtFirst(PrizeTable::Column(column)));
        table_->setColumnHidden(column, !PrizeTable::shownAtFirst(PrizeTable::Column(column)));
    }

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
    connect(choose, &QPushButton::clicked, this, [this] {
        const std::vector<int> rows = selectedRows();
        if (!rows.empty())
            session_->choosePicture(rows.front());
    });
    connect(playButton, &QPushButton::clicked, this, [this] { session_->play(); });

    auto *split = new QSplitter;
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    setCentralWidget(split);
    buildMenus();

    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &EditorWindow::showPreview);
    connect(warnings_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const auto &items = session_->warnings();
        const std::size_t at = std::size_t(warnings_->row(item));
        if (at < items.size() && items[at].prize)
            selectRows({*items[at].prize});
    });
    connect(warnings_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { session_->fixWarning(std::size_t(warnings_->row(item))); });

    resize(1180, 660);
    titleChanged();
}

EditorWindow::~EditorWindow()
{
    timer_->stop();
    delete model_; // before the table it watches
    model_ = nullptr;
    session_.reset();
}

void EditorWindow::buildMenus()
{
    QMenu *fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(tr("&New"), QKeySequence::New, this, [this] { session_->newList(); });
    fileMenu->addAction(tr("&Open…"), QKeySequence::Open, this, [this] { session_->openListAsked(); });
    recentMenu_ = fileMenu->addMenu(tr("Open &Recent"));
    fileMenu->addAction(tr("&Save"), QKeySequence::Save, this, [this] { session_->saveList(); });
    fileMenu->addAction(tr("Save &As…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this,
                        [this] { session_->saveListAsAsked(); });
    fileMenu->addSeparator();
    fileMenu->addAction(tr("&Import CSV…"), this, [this] { session_->importCsv(); });
    fileMenu->addAction(tr("&Export CSV…"), this, [this] { session_->exportCsv(); });
    fileMenu->addSeparator();
    fileMenu->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    QMenu *editMenu = menuBar()->addMenu(tr("&Edit"));
    QAction *undo = editMenu->addAction(tr("&Undo"), this, [this] { session_->undo().undo(); });
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = editMenu->addAction(tr("&Redo"), this, [this] { session_->undo().redo(); });
    // Ctrl+Y as on Windows, beside the platform's own.
    redo->setShortcuts(QList<QKeySequence>{QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(editMenu, &QMenu::aboutToShow, this, [this, undo, redo] {
        undo->setText(qs(session_->undoMenuText()));
        redo->setText(qs(session_->redoMenuText()));
    });
    editMenu->addSeparator();
    editMenu->addAction(tr("&Copy rows"), QKeySequence::Copy, this, &EditorWindow::copyRows);
    editMenu->addAction(tr("&Paste rows"), QKeySequence::Paste, this, &EditorWindow::pasteRows);
    editMenu->addSeparator();

    QToolBar *tools = addToolBar(tr("Prizes"));
    const auto addEdit = [&](const QString &text, QKeySequence keys, auto slot) {
        QAction *action = editMenu->addAction(text, keys, this, slot);
        action->setIconText(qs(i18n::withoutAccessKey(text.toStdString())));
        tools->addAction(action);
    };
    addEdit(tr("&Add prize"), QKeySequence(Qt::CTRL | Qt::Key_Return), [this] {
        const std::vector<int> rows = selectedRows();
        const int at = rows.empty() ? prizes().rowCount() : rows.back() + 1;
        prizes().addPrize(at);
        selectRows({at});
    });
    addEdit(tr("&Duplicate"), QKeySequence(Qt::CTRL | Qt::Key_D), [this] { prizes().duplicatePrizes(selectedRows()); });
    addEdit(tr("&Remove"), QKeySequence::Delete, [this] { prizes().removePrizes(selectedRows()); });
    addEdit(tr("Move &up"), QKeySequence(Qt::ALT | Qt::Key_Up),
            [this] { selectRows(prizes().movePrizes(selectedRows(), -1)); });
    addEdit(tr("Move do&wn"), QKeySequence(Qt::ALT | Qt::Key_Down),
            [this] { selectRows(prizes().movePrizes(selectedRows(), +1)); });
    addEdit(tr("&Scale weights to 100"), QKeySequence(Qt::CTRL | Qt::Key_H), [this] {
        session_->scaleWeightsTo100(table_->selectionModel()->selectedRows().size() > 1 ? selectedRows()
                                                                                         : std::vector<int>());
    });
    editMenu->addSeparator();
    editMenu->addAction(tr("Choose &picture…"), this, [this] {
        const std::vector<int> rows = selectedRows();
        if (!rows.empty())
            session_->choosePicture(rows.front());
    });

    QMenu *viewMenu = menuBar()->addMenu(tr("&View"));
    for (int column = 0; column < PrizeTable::ColumnCount; ++column) {
        if (PrizeTable::shownAtFirst(PrizeTable::Column(column)))
            continue;
        QAction *shows = viewMenu->addAction(qs(PrizeTable::header(PrizeTable::Column(column))));
        shows->setCheckable(true);
        connect(shows, &QAction::toggled, this,
                [this, column](bool shown) { table_->setColumnHidden(column, !shown); });
    }

    QMenu *gameMenu = menuBar()->addMenu(tr("&Game"));
    gameMenu->addAction(tr("&Play"), QKeySequence(Qt::Key_F5), this, [this] { session_->play(); });
    gameMenu->addAction(tr("Play at 1.5 × size (projector)"), this, [this] { session_->play(1.5); });
    gameMenu->addAction(tr("Play at &2 × size (projector)"), this, [this] { session_->play(2.0); });
}

void EditorWindow::showRecentLists()
{
    recentMenu_->clear();
    const auto lists = session_->recentLists();
    recentMenu_->setEnabled(!lists.empty());
    for (const fs::path &list : lists)
        recentMenu_->addAction(shown(list), this, [this, list] { session_->openRecent(list); });
}

void EditorWindow::copyRows()
{
    QApplication::clipboard()->setText(qs(prizes().rowsAsText(selectedRows())));
}

void EditorWindow::pasteRows()
{
    const std::vector<int> rows = selectedRows();
    const int at = rows.empty() ? prizes().rowCount() : rows.back() + 1;
    const std::vector<int> added = prizes().pasteRows(QApplication::clipboard()->text().toStdString(), at);
    if (!added.empty())
        selectRows(added);
}

void EditorWindow::closeEvent(QCloseEvent *event)
{
    if (session_->keepOrDropChanges())
        event->accept();
    else
        event->ignore();
}

// --- editing::EditorView ---

void EditorWindow::titleChanged()
{
    setWindowTitle(qs(session_->listName()) + QStringLiteral("[*] — ") + qs(editing::EditorSession::programName()));
    setWindowModified(session_->modified());
    if (recentMenu_)
        showRecentLists();
}

void EditorWindow::checkShown()
{
    if (session_->warningsChanged()) {
        warnings_->clear();
        for (const auto &item : session_->warnings())
            warnings_->addItem(qs(item.text));
    }
    const auto total = session_->weightTotal();
    total_->setValue(total.percent);
    QPalette palette = QApplication::palette(total_);
    if (total.off)
        palette.setColor(QPalette::Highlight, kTotalOff);
    total_->setPalette(palette);
    total_->setFormat(qs(total.text));
    showPreview();
}

void EditorWindow::showPreview()
{
    const int row = table_->currentIndex().isValid() ? table_->currentIndex().row() : 0;
    const auto preview = session_->previewOf(row);
    if (!preview.prizes)
        return;
    preview_->showSlot(*preview.prizes, preview.slot);
    previewCaption_->setText(qs(preview.caption));
    QPalette palette = QApplication::palette(previewCaption_);
    if (preview.textCut)
        palette.setColor(QPalette::WindowText, kTextCut);
    previewCaption_->setPalette(palette);
}

void EditorWindow::selectRows(const std::vector<int> &rows)
{
    QItemSelection selection;
    for (int row : rows)
        if (row >= 0 && row < model_->rowCount())
            selection.select(model_->index(row, 0), model_->index(row, PrizeTable::ColumnCount - 1));
    if (selection.isEmpty())
        return;
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    table_->selectionModel()->setCurrentIndex(model_->index(rows.front(), PrizeTable::Name),
                                              QItemSelectionModel::NoUpdate);
    table_->scrollTo(model_->index(rows.front(), 0));
}

std::vector<int> EditorWindow::selectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : table_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    if (rows.empty() && table_->currentIndex().isValid())
        rows.push_back(table_->currentIndex().row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void EditorWindow::note(const std::string &text) { statusBar()->showMessage(qs(text)); }

void EditorWindow::inform(const std::string &text)
{
    QMessageBox::information(this, qs(editing::EditorSession::programName()), qs(text));
}

void EditorWindow::fail(const std::string &what, const std::string &why)
{
    QMessageBox::warning(this, qs(editing::EditorSession::programName()), qs(what) + QStringLiteral("\n\n") + qs(why));
}

bool EditorWindow::confirm(const std::string &question)
{
    return QMessageBox::question(this, qs(editing::EditorSession::programName()), qs(question)) == QMessageBox::Yes;
}

editing::EditorView::Unsaved EditorWindow::askUnsaved(const std::string &question)
{
    const auto answer =
        QMessageBox::warning(this, qs(editing::EditorSession::programName()), qs(question),
                             QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    return answer == QMessageBox::Save      ? Unsaved::Save
           : answer == QMessageBox::Discard ? Unsaved::Discard
                                            : Unsaved::Cancel;
}

std::optional<std::size_t> EditorWindow::choose(const std::string &question, const std::vector<std::string> &answers)
{
    QMessageBox box(QMessageBox::Question, qs(editing::EditorSession::programName()), qs(question),
                    QMessageBox::Cancel, this);
    std::vector<QPushButton *> buttons;
    for (const std::string &answer : answers)
        buttons.push_back(box.addButton(qs(answer), QMessageBox::AcceptRole));
    if (!buttons.empty())
        box.setDefaultButton(buttons.front());
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    if (chosen == buttons.end())
        return std::nullopt;
    return std::size_t(chosen - buttons.begin());
}

std::optional<fs::path> EditorWindow::chooseFileToOpen(FileKind kind)
{
    QString file;
    switch (kind) {
    case FileKind::List:
        file = QFileDialog::getOpenFileName(this, tr("Open a prize list"), {}, tr("Prize lists (*.ini);;All files (*)"));
        break;
    case FileKind::Csv:
        file = QFileDialog::getOpenFileName(this, tr("Import prizes from CSV"), {}, tr("CSV (*.csv);;All files (*)"));
        break;
    case FileKind::Picture:
        file = QFileDialog::getOpenFileName(this, tr("Choose a picture"), {},
                                            tr("Pictures (*.jpg *.jpeg *.png *.bmp *.gif);;All files (*)"));
        break;
    }
    return file.isEmpty() ? std::nullopt : std::optional(pathOf(file));
}

std::optional<editing::EditorView::ListTarget> EditorWindow::chooseListToSave(const ListTarget &proposed)
{
    QFileDialog dialog(this, tr("Save the prize list"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({gbkFilter(), utf8Filter()});
    dialog.selectNameFilter(proposed.encoding == Encoding::Utf8 ? utf8Filter() : gbkFilter());
    dialog.setDirectory(shown(proposed.file.parent_path()));
    dialog.selectFile(shown(proposed.file));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return ListTarget{pathOf(dialog.selectedFiles().front()),
                      dialog.selectedNameFilter() == utf8Filter() ? Encoding::Utf8 : Encoding::Gbk};
}

std::optional<fs::path> EditorWindow::chooseCsvToSave(const fs::path &proposed)
{
    const QString file = QFileDialog::getSaveFileName(this, tr("Export prizes as CSV"), shown(proposed), tr("CSV (*.csv)"));
    return file.isEmpty() ? std::nullopt : std::optional(pathOf(file));
}

std::optional<fs::path> EditorWindow::chooseFolder(const std::string &title)
{
    const QString folder = QFileDialog::getExistingDirectory(this, qs(title));
    return folder.isEmpty() ? std::nullopt : std::optional(pathOf(folder));
}

void EditorWindow::post(std::function<void()> task)
{
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void EditorWindow::startTimer(int ms, std::function<void()> task)
{
    timerTask_ = std::move(task);
    timer_->start(ms);
}

void EditorWindow::stopTimer() { timer_->stop(); }

} // namespace editor
