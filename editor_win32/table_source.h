// What the Windows prize table shows and where its edits go: a small
// interface that the editing core implements for the Windows view, and the
// notifications it sends back when the rows change. No Windows header: the
// binding to the core can be plain C++.
#pragma once

#include "picture_rules.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace editor_win32 {

// How a column's cells are drawn; every kind shows its cell text too.
enum class CellKind {
    Text,
    // A swatch of colour(row) before the text; a double click opens the
    // colour dialog, whose choice is stored as "#RRGGBB" through setCell.
    Colour,
    // The thumbnail(row) before the text.
    Picture,
};

// Sent by the source after its rows changed, by an edit, an undo or a new
// list; rows are numbered as they are after the change.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    // Anything may have changed, the row count too.
    virtual void reset() = 0;
    virtual void rowsInserted(int first, int count) = 0;
    virtual void rowsRemoved(int first, int count) = 0;
    // The rows (as numbered before the move, sorted) now stand, in order,
    // before the row that was `before` (0 to the row count): as moveRows.
    virtual void rowsMoved(const std::vector<int> &rows, int before) = 0;
    // Rows first to last (inclusive) show other texts, colours or pictures.
    virtual void rowsChanged(int first, int last) = 0;
};

class TableSource {
public:
    virtual ~TableSource() = default;

    virtual int rows() const = 0;
    virtual int columns() const = 0;
    virtual std::wstring header(int column) const = 0;
    // The column's starting width in pixels at 96 dpi; the table scales it.
    virtual int width(int column) const = 0;
    virtual CellKind kind(int /*column*/) const { return CellKind::Text; }
    // Whether the column shows until the user asks otherwise.
    virtual bool shownAtFirst(int /*column*/) const { return true; }
    // Figures read best aligned right.
    virtual bool alignRight(int /*column*/) const { return false; }
    // Whether Copy puts the column's cells on the clipboard.
    virtual bool copied(int /*column*/) const { return true; }

    virtual std::wstring cell(int row, int column) const = 0;
    // What an edit box starts with, and what Copy puts on the clipboard.
    virtual std::wstring editText(int row, int column) const { return cell(row, column); }
    virtual bool editable(int row, int column) const = 0;
    // Stores what was typed. Returns the reason, in the user's language,
    // when it is refused: the table then keeps the edit box open with the
    // text as typed and shows the reason.
    virtual std::optional<std::wstring> setCell(int row, int column, const std::wstring &text) = 0;

    // The colour of a Colour cell as the game's number (red + 256 x green +
    // 65536 x blue); none when the line is no colour the card can show.
    virtual std::optional<std::uint32_t> colour(int /*row*/) const { return std::nullopt; }
    // The picture of a Picture cell; null for none. The table stretches it
    // to its thumbnail size (44 x 28 at 96 dpi).
    virtual std::shared_ptr<const window::Pixels> thumbnail(int /*row*/) const { return nullptr; }
    // A row to look at (a warning names it): shown on a light yellow, the
    // text as its tool tip.
    virtual std::optional<std::wstring> warning(int /*row*/) const { return std::nullopt; }

    // Moves the rows (sorted, each once) to stand, in order, before row
    // `before` (0 to rows()); a row dragged and dropped.
    virtual void moveRows(const std::vector<int> &rows, int before) = 0;
    // Rows pasted (Ctrl+V): the clipboard's text, tab-separated cells and
    // CR LF or LF between rows, as Excel and WPS copy them; `selected` are
    // the rows selected (sorted; empty for none).
    virtual void paste(const std::wstring &text, const std::vector<int> &selected) = 0;

    // The table watches the source from here; null stops it.
    void setObserver(TableObserver *observer) { observer_ = observer; }

protected:
    // For the source's changes: null until a table watches.
    TableObserver *observer() const { return observer_; }

private:
    TableObserver *observer_ = nullptr;
};

} // namespace editor_win32
