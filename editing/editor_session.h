// One list being edited: its file, the table and its undo history, the live
// check, the recovery copy, CSV import and export, Play, and each warning
// with its fix. Plain C++; the window is an EditorView.
#pragma once

#include "editor_view.h"
#include "live_check.h"
#include "list_save.h"
#include "prize_table.h"
#include "process.h"
#include "undo_stack.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace editing {

class EditorSession {
public:
    // The program's name as the window shows it.
    static std::string programName();

    // decoder and measure serve the live check's worker thread.
    EditorSession(EditorView &view, PictureDecoder &decoder, window::TextMeasure *measure);
    ~EditorSession();

    UndoStack &undo() { return undo_; }
    // The Edit menu's Undo and Redo, naming the edit they take back or make again.
    std::string undoMenuText() const;
    std::string redoMenuText() const;
    PrizeTable &table() { return table_; }
    const std::optional<std::filesystem::path> &file() const { return file_; }
    // "data.ini", or "Untitled" for a new list.
    std::string listName() const;
    bool modified() const { return !undo_.isClean(); }

    // Where the recovery copies and the recent lists are kept.
    std::filesystem::path stateFolder;
    // Proposed for the first Save of a new list.
    std::filesystem::path documentsFolder;
    // The game that Play copies beside the list.
    std::filesystem::path game;
    // The editor whose recovery copies this one keeps and removes: this
    // process. Another editor's copy is offered only once it no longer runs.
    authoring::ProcessId recoveryOwner = authoring::thisProcess();

    // --- Files; each failure is explained through the view, the list as it was ---
    void newList();
    // Decoding::Utf8 reads a list without a byte-order mark as UTF-8; Save then writes it with one.
    bool openList(const std::filesystem::path &file,
                  catalogue::PrizeListFile::Decoding decoding = catalogue::PrizeListFile::Decoding::GbkUnlessMarked);
    void openListAsked();
    bool saveList();
    bool saveListAs(const std::filesystem::path &file, authoring::Encoding encoding);
    bool saveListAsAsked();
    void importCsv();
    bool importCsv(const std::filesystem::path &file);
    void exportCsv();
    // Asks to save unsaved changes; false when the user cancels.
    bool keepOrDropChanges();
    // The lists opened or saved here, newest first, those still there.
    std::vector<std::filesystem::path> recentLists() const;
    // One of them chosen from a menu: unsaved changes are asked about first.
    void openRecent(const std::filesystem::path &file);

    // --- The recovery copy ---
    // Unsaved edits are copied a few seconds after each change, and the copy
    // removed on Save, Discard and Close; opening the list again after a
    // crash offers them back.
    std::filesystem::path recoveryFile() const;
    void keepRecoveryCopy();
    // For a new list, which has no file to open: offers edits kept from one.
    void offerRecoveredUntitled();

    // --- Edits that ask ---
    void choosePicture(int row);
    // A picture file chosen, or dropped on a row, becomes its picture.
    void setPicture(int row, const std::filesystem::path &file);
    // Scales the selected rows' weights, or all when one or none is selected.
    void scaleWeightsTo100(const std::vector<int> &selected);
    void play(double scale = 1.0);

    // --- The check as shown ---
    // Whether the odds shown are those of the list as it stands.
    bool oddsUpToDate() const { return !checkQueued_ && check_.upToDate(); }
    const ListCheck *latestCheck() const { return check_.latest().get(); }
    struct WeightTotal {
        int percent = 0;  // for a bar from 0 to 100
        bool off = false; // not a plain 100: shown in a colour of its own
        std::string text;
    };
    WeightTotal weightTotal() const;
    struct WarningItem {
        enum class Fix { None, TakePicture, ReopenUtf8 };
        std::string text; // one remedy a line
        std::optional<int> prize;
        Fix fix = Fix::None;
        std::filesystem::path picture; // TakePicture: the file to take
    };
    // The warnings of the check shown, or its one error.
    const std::vector<WarningItem> &warnings() const { return warnings_; }
    // Whether the last check shown changed the warnings, so a long list is
    // filled again only then.
    bool warningsChanged() const { return warningsChanged_; }
    void fixWarning(std::size_t item);
    struct Preview {
        const catalogue::Catalogue *prizes = nullptr; // null until the first check
        int slot = 0;
        std::string caption;
        bool textCut = false; // the card cuts or cannot draw the text: said in red
    };
    Preview previewOf(int row) const;

private:
    void setFile(std::optional<std::filesystem::path> file);
    void reopenAsUtf8();
    void removeRecoveryCopy();
    void offerRecovered();
    void rememberRecent(const std::filesystem::path &file);
    void requestCheck();
    void showCheck();
    void listWarnings(const std::vector<odds::Warning> &warnings);

    EditorView &view_;
    UndoStack undo_;
    PrizeTable table_;
    LiveCheck check_;
    bool checkQueued_ = false;
    std::optional<std::filesystem::path> file_;
    // The file as opened or last saved here, to notice another program's save.
    std::optional<authoring::DiskVersion> onDisk_;
    std::vector<WarningItem> warnings_;
    std::optional<std::vector<odds::Warning>> shownWarnings_;
    bool warningsChanged_ = false;
    // Posted tasks check this before they touch the session.
    std::shared_ptr<EditorSession *> alive_;
};

} // namespace editing
