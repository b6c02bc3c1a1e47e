// The list editor's Qt window: a view over the editing core's session. It
// lays out the table with live odds and warnings, the card preview, the
// menus and the toolbar, and answers the core's questions with Qt's dialogs.
#pragma once

#include "card_preview.h"
#include "editor_session.h"
#include "prize_table_model.h"
#include "qt_pictures.h"
#include "qt_text_measure.h"

#include <QMainWindow>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QProgressBar;
class QTableView;
class QLabel;
class QTimer;

namespace editor {

class EditorWindow : public QMainWindow, public editing::EditorView {
    Q_OBJECT
public:
    explicit EditorWindow(QWidget *parent = nullptr);
    ~EditorWindow() override;

    editing::EditorSession &session() { return *session_; }
    editing::PrizeTable &prizes() { return session_->table(); }
    editing::UndoStack &undoStack() { return session_->undo(); }
    PrizeTableModel &model() { return *model_; }

    // The session's, for a caller that has a window.
    bool openList(const std::filesystem::path &file,
                  catalogue::PrizeListFile::Decoding decoding = catalogue::PrizeListFile::Decoding::GbkUnlessMarked)
    {
        return session_->openList(file, decoding);
    }
    bool saveList() { return session_->saveList(); }
    bool saveListAs(const std::filesystem::path &file, authoring::Encoding encoding)
    {
        return session_->saveListAs(file, encoding);
    }
    const std::optional<std::filesystem::path> &file() const { return session_->file(); }
    std::filesystem::path recoveryFile() const { return session_->recoveryFile(); }
    void keepRecoveryCopy() { session_->keepRecoveryCopy(); }
    void offerRecoveredUntitled() { session_->offerRecoveredUntitled(); }
    bool oddsUpToDate() const { return session_->oddsUpToDate(); }
    void play(double scale = 1.0) { session_->play(scale); }

    QTableView &table() { return *table_; }
    CardPreview &preview() { return *preview_; }
    QLabel &previewCaption() { return *previewCaption_; }
    QProgressBar &weightTotal() { return *total_; }
    QListWidget &warnings() { return *warnings_; }

    // How Play starts the game: an absolute program, its folder, and the
    // size it is shown at. Returns false when it could not start.
    std::function<bool(const std::filesystem::path &program, const std::filesystem::path &folder, double scale)>
        gameStarter;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // --- editing::EditorView ---
    void titleChanged() override;
    void checkShown() override;
    void selectRows(const std::vector<int> &rows) override;
    void note(const std::string &text) override;
    void inform(const std::string &text) override;
    void fail(const std::string &what, const std::string &why) override;
    bool confirm(const std::string &question) override;
    Unsaved askUnsaved(const std::string &question) override;
    std::optional<std::size_t> choose(const std::string &question, const std::vector<std::string> &answers) override;
    std::optional<std::filesystem::path> chooseFileToOpen(FileKind kind) override;
    std::optional<ListTarget> chooseListToSave(const ListTarget &proposed) override;
    std::optional<std::filesystem::path> chooseCsvToSave(const std::filesystem::path &proposed) override;
    std::optional<std::filesystem::path> chooseFolder(const std::string &title) override;
    void post(std::function<void()> task) override;
    void startTimer(int ms, std::function<void()> task) override;
    void stopTimer() override;
    std::string jpegOf(const std::filesystem::path &source) override { return editor::jpegOf(source); }
    bool startGame(const std::filesystem::path &program, const std::filesystem::path &folder, double scale) override
    {
        return gameStarter(program, folder, scale);
    }

    void buildMenus();
    void showRecentLists();
    void showPreview();
    std::vector<int> selectedRows() const;
    void copyRows();
    void pasteRows();

    QtPictureDecoder decoder_;
    window::QtTextMeasure texts_; // only the check's worker thread uses it
    std::unique_ptr<editing::EditorSession> session_;
    PrizeTableModel *model_;
    QTimer *timer_;
    std::function<void()> timerTask_;

    QTableView *table_;
    QProgressBar *total_;
    QListWidget *warnings_;
    CardPreview *preview_;
    QLabel *previewCaption_;
    QMenu *recentMenu_ = nullptr;
};

} // namespace editor
