// The prize table on the Windows API: an owner-data report list view over a
// TableSource, with picture thumbnails, colour swatches, in-place editing of
// every editable cell, several rows selected, rows dragged to reorder, and
// rows copied and pasted as tab-separated text. It draws and delivers
// events; every rule is the source's.
#pragma once

#include "table_source.h"

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace editor_win32 {

class TableView : private TableObserver {
public:
    // A child window of parent, drawn at parent's dpi; it watches source
    // until it is destroyed. Place it with SetWindowPos on handle().
    TableView(HWND parent, int id, TableSource &source);
    ~TableView() override;
    TableView(const TableView &) = delete;
    TableView &operator=(const TableView &) = delete;

    HWND handle() const { return hwnd_; }
    HWND list() const { return list_; }
    // The in-place edit box while a cell is edited, else null.
    HWND editBox() const { return edit_; }

    // Fonts, row height, thumbnails and column widths for another dpi; a
    // window hosting the table calls it on WM_DPICHANGED.
    void setDpi(int dpi);
    int dpi() const { return dpi_; }
    int rowHeight() const;

    // A hidden column keeps its place at no width; keys and the mouse pass it by.
    void setColumnShown(int column, bool shown);
    bool columnShown(int column) const;

    // Selected rows, sorted; none selected gives none.
    std::vector<int> selectedRows() const;
    // Selects exactly these rows; the first becomes the current row.
    void selectRows(const std::vector<int> &rows);
    // The focused cell that keys act on; -1 for no row.
    int currentRow() const;
    int currentColumn() const { return column_; }
    // Makes the cell current, its row alone selected, and shows it.
    void setCurrentCell(int row, int column);

    // Opens the edit box on the current cell, with its edit text or `typed`
    // (a key pressed on the cell); false when the cell is not editable.
    bool startEdit(std::optional<std::wstring> typed = std::nullopt);
    // Hands the edit box's text to the source: true when it was taken (or
    // nothing was edited) and the box is closed; false when it was refused,
    // and the box stays open with the reason shown.
    bool commitEdit();
    // Closes the edit box, the cell as it was.
    void cancelEdit();
    bool editing() const { return edit_ != nullptr; }
    // Why the source refused the last edit; empty once one was taken.
    const std::wstring &refusal() const { return refusal_; }

    // The selected rows (or the current one) on the clipboard as
    // tab-separated Unicode text, the cells of the copied columns.
    void copy();
    // The clipboard's text handed to the source's paste.
    void paste();

    // A file dropped from Explorer on a row.
    std::function<void(int row, const std::filesystem::path &file)> fileDropped;

    // Called when the current row changes (-1: none).
    std::function<void(int row)> currentRowChanged;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK listProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    static LRESULT CALLBACK editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onList(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onEdit(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(NMHDR *header);
    LRESULT onCustomDraw(NMLVCUSTOMDRAW *draw);

    // TableObserver: the source's rows changed.
    void reset() override;
    void rowsInserted(int first, int count) override;
    void rowsRemoved(int first, int count) override;
    void rowsMoved(const std::vector<int> &rows, int before) override;
    void rowsChanged(int first, int last) override;
    // Selection and current row carried to the rows' new numbers (-1: gone).
    void renumber(const std::function<int(int)> &newRow);

    void makeColumns();
    void makeFont();
    RECT cellRect(int row, int column) const;
    void showCell(int row, int column);
    void placeEditBox();
    void closeEditBox();
    void setColumn(int column);
    // The next (or previous) editable cell after the current one, row by row.
    std::optional<std::pair<int, int>> nextEditable(bool forward) const;
    void chooseColour(int row, int column);
    void drawCell(HDC dc, int row, int column);
    // Drag to reorder: the row a drop at a point of the list lands before.
    int dropBefore(POINT inList) const;
    void endDrag(bool drop);

    TableSource &source_;
    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    HWND edit_ = nullptr;
    int dpi_ = 96;
    HFONT font_ = nullptr;
    HIMAGELIST rowSizer_ = nullptr; // an empty image list sets the row height
    int column_ = 0;
    std::vector<bool> shown_; // a column's
    int editRow_ = -1;
    int editColumn_ = -1;
    bool closing_ = false; // the edit box is going: its focus loss commits nothing
    std::wstring refusal_;
    bool dragging_ = false;
    int dropBefore_ = -1;
};

} // namespace editor_win32
