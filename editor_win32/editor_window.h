// The Windows list editor's main window: the menus and keys of the Qt
// editor, the prize table and the card preview. It owns no rule: every
// command goes to onCommand, which the editing core answers.
#pragma once

#include "card_preview.h"
#include "table_view.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace editor_win32 {

enum class Command {
    New = 100,
    Open,
    Save,
    SaveAs,
    ImportCsv,
    ExportCsv,
    Quit,
    Undo,
    Redo,
    CopyRows,
    PasteRows,
    AddPrize,
    Duplicate,
    Remove,
    MoveUp,
    MoveDown,
    ScaleWeightsTo100,
    ChoosePicture,
    Play,
    PlayAt1_5,
    PlayAt2,
    // View: ShowColumn + a column of the table shows or hides it.
    ShowColumn = 200,
    // File > Open Recent: OpenRecent + the list's place in the menu.
    OpenRecent = 300,
};
constexpr int kMaxRecent = 50; // menu places kept for recent lists

class EditorWindow {
public:
    // The table shows source; the window is made hidden, at the screen's dpi.
    explicit EditorWindow(TableSource &source);
    ~EditorWindow();
    EditorWindow(const EditorWindow &) = delete;
    EditorWindow &operator=(const EditorWindow &) = delete;

    HWND handle() const { return hwnd_; }
    TableView &table() { return *table_; }
    CardPreview &preview() { return *preview_; }
    // The whole title, the program's name included.
    void setTitle(const std::wstring &title);
    // The weights total under the table, a bar filled to percent (0 to 100);
    // off: not a plain 100, the bar orange.
    void showTotal(const std::wstring &text, int percent, bool off);
    // What the card preview shows, under it; cut: the card cuts or cannot
    // draw the text, said in red.
    void showCardCaption(const std::wstring &text, bool cut);
    // File > Open Recent's lists, as the user reads them; none greys it.
    void showRecent(const std::vector<std::wstring> &lists);
    HMENU recentMenu() const { return recent_; }
    HWND toolbar() const { return toolbar_; }
    // The warnings list under the total, one item a warning.
    void showWarnings(const std::vector<std::wstring> &warnings);
    HWND warningsList() const { return warnings_; }
    // A passing note in the status bar.
    void showNote(const std::wstring &text);

    // A warning clicked (its index) or double-clicked.
    std::function<void(int)> onWarningClicked;
    std::function<void(int)> onWarningActivated;
    // The Edit menu is about to open: the time to name its Undo and Redo.
    std::function<void()> onEditMenuOpening;
    void setUndoTexts(const std::wstring &undo, const std::wstring &redo);

    // Messages the window does not handle itself: posted tasks and timers.
    std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)> onMessage;

    // A menu command, its key or its button. Quit (also the window's close
    // box) is the core's to answer, by DestroyWindow(handle()) when the list
    // may go; without onCommand the window just closes.
    std::function<void(Command)> onCommand;

    // The menu keys for a message of the loop; false when it is no key of
    // theirs. A cell being edited keeps its own keys (Delete, Ctrl+Z).
    bool translateKeys(MSG &message);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void buildMenus(const TableSource &source);
    void buildToolbar();
    void toggleColumn(int column);
    void applyDpi(int dpi);
    void layOut();
    void drawTotal(const DRAWITEMSTRUCT &item) const;
    // A warning wrapped to the list's width, as the Qt editor's list wraps it.
    int warningsWrapWidth() const;
    int warningHeight(const std::wstring &warning) const;
    void fitWarnings();
    void drawWarning(const DRAWITEMSTRUCT &item) const;

    HWND hwnd_ = nullptr;
    HACCEL keys_ = nullptr;
    HFONT font_ = nullptr;
    HWND caption_ = nullptr;
    HWND choose_ = nullptr;
    HWND play_ = nullptr;
    HWND total_ = nullptr;
    HWND warnings_ = nullptr;
    HWND status_ = nullptr;
    HWND toolbar_ = nullptr;
    HWND cardCaption_ = nullptr;
    HMENU file_ = nullptr;
    HMENU recent_ = nullptr;
    HMENU view_ = nullptr;
    HMENU edit_ = nullptr;
    std::vector<std::wstring> toolTexts_; // the toolbar's buttons keep pointers to them
    std::vector<std::wstring> warningTexts_;
    int warningsWidth_ = 0; // the width the warnings were wrapped to
    int totalPercent_ = 0;
    bool totalOff_ = false;
    bool captionCut_ = false;
    int captionLines_ = 1;
    double warningsShare_ = 0.2; // of the height the table and the warnings share
    RECT splitter_{};            // the gap that drags their boundary
    int splitTop_ = 0;
    int splitHeight_ = 0;
    bool splitting_ = false;
    std::unique_ptr<TableView> table_;
    std::unique_ptr<CardPreview> preview_;
    int dpi_ = 96;
};

} // namespace editor_win32
