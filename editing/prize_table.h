// The list being edited as a table: one row per prize, its five lines, its
// picture and its exact odds; every change an undoable step, announced to
// the view as row changes. Plain C++: each editor's view draws it.
#pragma once

#include "live_check.h"
#include "picture_plan.h"
#include "prize_document.h"
#include "recovery.h"
#include "undo_stack.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace editing {

// What changed in the rows, for a view that shows them. A view that must
// know before (Qt's models) gets rowsChanging first, then rowsChanged.
struct RowChange {
    enum class Kind { Reset, Inserted, Removed, Moved, Changed };
    Kind kind = Kind::Reset;
    int row = 0;
    int to = 0; // Moved: where the row ends up
};

class RowListener {
public:
    virtual ~RowListener() = default;
    virtual void rowsChanging(const RowChange &) {}
    virtual void rowsChanged(const RowChange &change) = 0;
};

class PrizeTable {
public:
    enum Column { Index, Weight, Color, Name, Amount, Note, Picture, Chance, Draws, ColumnCount };

    explicit PrizeTable(UndoStack &undo);

    // The view; may be null.
    RowListener *view = nullptr;
    // The list or its pictures changed, by an edit or its undo.
    std::function<void()> listChanged = [] {};
    // An edit could not be made; the list is as it was.
    std::function<void(const std::string &why)> editFailed = [](const std::string &) {};
    // An edit was made, and the user should know how.
    std::function<void(const std::string &what)> editSaid = [](const std::string &) {};
    // Asked before a renamed prize's picture replaces another file.
    std::function<bool(const std::string &question)> confirm = [](const std::string &) { return false; };
    // A picture file as the bytes of a JPEG for the picture folder. Throws
    // authoring::ListError for a file that is no picture or cannot be read.
    std::function<std::string(const std::filesystem::path &source)> jpegOf;

    const authoring::PrizeDocument &document() const { return document_; }
    // For saving, which changes only what the lines were read from.
    authoring::PrizeDocument &documentToSave() { return document_; }
    // A new document, not undoable: the undo stack is cleared.
    void resetDocument(authoring::PrizeDocument document);

    // The pictures as the list will have them once saved, read from the
    // list's picture folder (none for a list not saved yet) and the edits.
    const authoring::PicturePlan &pictures() const { return pictures_; }
    // The picture folder of a list just opened; planned changes are dropped.
    void resetPictureFolder(std::optional<std::filesystem::path> folder);

    // Saves the list and carries out its picture changes; the undo stack
    // is then clean. Throws authoring::ListError, all files as they were.
    // Returns saveList's note for the user.
    std::string save(const std::filesystem::path &file, authoring::FileSystem &files);

    // The newest odds; rows are marked with its warnings.
    void setCheck(std::shared_ptr<const ListCheck> check);
    const ListCheck *check() const { return check_.get(); }

    // Edits; each is one step on the undo stack. Rows are document indices.
    void setText(int row, authoring::Field field, const std::string &text);
    void addPrize(int at);
    void duplicatePrizes(std::vector<int> rows);
    void removePrizes(std::vector<int> rows);
    // Moves the rows by delta (-1 up, +1 down) when they all can; returns
    // where they ended up.
    std::vector<int> movePrizes(std::vector<int> rows, int delta);
    // Moves the rows, in order, to stand before row `before`.
    void movePrizesBefore(std::vector<int> rows, int before);
    void replaceAll(authoring::PrizeDocument document, const std::string &what);
    // Scales the positive weights of rows (all rows when empty) as
    // scaleWeightsTo100 says; the other rows keep theirs. Calls editFailed
    // when it cannot, and editSaid for weights it left alone.
    void scaleWeightsTo100(std::vector<int> rows);
    // Puts back edits kept in a recovery copy, as one undoable step.
    void restoreEdits(const authoring::Recovered &recovered);
    // Plans source, as a JPEG, as the prize's picture. Throws authoring::ListError.
    void setPicture(int row, const std::filesystem::path &source);

    // Rows as tab-separated text, one line each, the lines' columns in the
    // table's order: what a spreadsheet takes from the clipboard.
    std::string rowsAsText(std::vector<int> rows) const;
    // Rows copied from a spreadsheet or this table, added before row at as
    // one step: columns in the table's order, or as a first header row
    // names them. Returns the rows added; calls editFailed for text that
    // gives no prize.
    std::vector<int> pasteRows(const std::string &text, int at);

    // Rows being dragged, as this table alone reads them back.
    std::string draggedRows(const std::vector<int> &rows) const;
    // Moves the rows a drag carried before row `before`, when they are this table's.
    void dropRows(const std::string &dragged, int before);

    // --- The table as shown ---
    int rowCount() const { return document_.size(); }
    static std::string header(Column column); // in the user's language
    static bool isEditable(Column column) { return fieldOf(column).has_value(); }
    // Draws of 2^24 is for those who check the odds by hand: shown when asked.
    static bool shownAtFirst(Column column) { return column != Draws; }
    static bool alignedRight(Column column) { return column == Chance || column == Draws; }
    // A column's width at first, in pixels at 96 dpi (a view scales it):
    // fixed, as fitting columns to their contents would measure every row.
    static int widthAtFirst(Column column);
    // The text of a cell; empty for a picture or odds not known yet.
    std::string cellText(int row, Column column) const;
    // Reads what was typed into a cell as an edit; false, with editFailed
    // called, when it is refused.
    bool setCell(int row, Column column, const std::string &typed);
    // The row's warnings, one a line; empty for none.
    std::string warningsOf(int row) const;
    // The strip's colour as the card shows it (0xBBGGRR), once checked.
    std::optional<std::int32_t> colorOf(int row) const;
    // The picture the card shows, once checked and judged; null otherwise.
    const catalogue::Picture *pictureOf(int row) const;

    static std::optional<authoring::Field> fieldOf(Column column);

private:
    struct Kept {
        authoring::Record record;
        authoring::Encoding bytesIn;
    };
    Kept keep(int row) const { return {document_.record(row), document_.keptBytesEncoding()}; }
    authoring::Record restorable(Kept kept) const;

    void changing(RowChange::Kind kind, int row = 0, int to = 0);
    void changed(RowChange::Kind kind, int row = 0, int to = 0);

    // The changes themselves, with the view told.
    void putRecord(int row, const Kept &kept);
    void putText(int row, authoring::Field field, const std::string &text);
    void insertKept(int at, const Kept &kept);
    void removeRow(int row);
    void moveRow(int from, int to);
    void putDocument(const authoring::PrizeDocument &document);
    // Pictures by prize name, as planned for the next save.
    using Pictures = std::vector<std::pair<std::string, authoring::PictureBytes>>;
    void putPictures(const Pictures &pictures);
    // The picture that follows a prize to its new name: the pictures before and after.
    struct PictureMove {
        Pictures before;
        Pictures after;
    };
    std::optional<PictureMove> renamePicture(int row, const std::string &from, const std::string &to);
    bool nameUsedElsewhere(int row, const std::string &name) const;

    // Sorted, each once, and only rows the list has.
    std::vector<int> validRows(std::vector<int> rows) const;
    const odds::PrizeRow *oddsOf(int row) const;

    UndoStack &undo_;
    authoring::PrizeDocument document_;
    authoring::PicturePlan pictures_;
    std::string dragSource_; // names this table in the rows it lets be dragged
    std::shared_ptr<const ListCheck> check_;
    std::vector<std::string> warnings_; // by row, one message a line
};

} // namespace editing
