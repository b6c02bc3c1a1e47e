// The list editor's main window: the prize table with live odds and
// warnings, the card preview, the file menu and Play.
#pragma once

#include "card_preview.h"
#include "live_odds.h"
#include "prize_table_model.h"

#include <QMainWindow>
#include <QUndoStack>

#include <filesystem>
#include <functional>
#include <optional>

class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QTableView;
class QLabel;
class QTimer;

namespace editor {

class EditorWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit EditorWindow(QWidget *parent = nullptr);
    ~EditorWindow() override;

    // Each explains a failure in a message box and keeps the list in the
    // window as it was.
    // Decoding::Utf8 reads a list without a byte-order mark as UTF-8; Save then writes it with one.
    bool openList(const std::filesystem::path &file,
                  catalogue::PrizeListFile::Decoding decoding = catalogue::PrizeListFile::Decoding::GbkUnlessMarked);
    bool saveList();
    bool saveListAs(const std::filesystem::path &file, authoring::Encoding encoding);

    const std::optional<std::filesystem::path> &file() const { return file_; }

    // Unsaved edits are copied here a few seconds after each change, and the
    // copy removed on Save, Discard and Close; opening the list again after
    // a crash offers them back.
    std::filesystem::path recoveryFile() const;
    void keepRecoveryCopy();
    // The editor whose recovery copies this window keeps and removes: this
    // process. Another editor's copy is offered only once it no longer runs.
    authoring::ProcessId recoveryOwner = authoring::thisProcess();
    // For a new list, which has no file to open: offers edits kept from one.
    void offerRecoveredUntitled();
    PrizeTableModel &model() { return *model_; }
    QUndoStack &undoStack() { return undo_; }
    // Whether the odds shown are those of the list as it stands.
    bool oddsUpToDate() const { return !checkQueued_ && odds_.upToDate(); }
    QTableView &table() { return *table_; }
    CardPreview &preview() { return *preview_; }
    QLabel &previewCaption() { return *previewCaption_; }
    QProgressBar &weightTotal() { return *total_; }
    QListWidget &warnings() { return *warnings_; }

    // Play: the game to copy beside the list, and how it is started (an
    // absolute program, its folder, and the size it is shown at: 1 as it
    // is, 1.5 or 2 for a projector). Returns false when it could not start.
    std::filesystem::path game;
    std::function<bool(const std::filesystem::path &program, const std::filesystem::path &folder, double scale)>
        startGame;
    void play(double scale = 1.0);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void newList();
    void openListAsked();
    // Reads the list's file again as UTF-8, as one undoable edit.
    void reopenAsUtf8();
    bool saveListAsAsked();
    void importCsv();
    void exportCsv();
    void choosePicture();
    // Asks to save unsaved changes; false when the user cancels.
    bool keepOrDropChanges();
    void showFailure(const QString &what, const QString &why);
    void removeRecoveryCopy();
    void offerRecovered();

    void setFile(std::optional<std::filesystem::path> file);
    void updateTitle();
    void requestCheck();
    void showCheck();
    void showWarnings(const std::vector<odds::Warning> &warnings);
    // The fix a warning offers: a near-miss picture file planned as its
    // prize's picture, or the list reopened as UTF-8.
    void fixWarning(QListWidgetItem *item);
    void showPreview();
    QList<int> selectedRows() const;
    void selectRows(const QList<int> &rows);

    QUndoStack undo_;
    PrizeTableModel *model_;
    LiveOdds odds_;
    bool checkQueued_ = false;
    std::optional<std::filesystem::path> file_;
    // The file as opened or last saved here, to notice another program's save.
    std::optional<authoring::DiskVersion> onDisk_;
    QTimer *recoveryTimer_;

    QTableView *table_;
    QProgressBar *total_;
    QListWidget *warnings_;
    std::optional<std::vector<odds::Warning>> shownWarnings_;
    CardPreview *preview_;
    QLabel *previewCaption_;
};

} // namespace editor
