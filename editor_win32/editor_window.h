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
};

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
    // The weights total under the table; off: not a plain 100, shown orange.
    void showTotal(const std::wstring &text, bool off);
    // The warnings list under the total, one item a warning.
    void showWarnings(const std::vector<std::wstring> &warnings);
    HWND warningsList() const { return warnings_; }
    // A passing note in the status bar.
    void showNote(const std::wstring &text);

    // A warning clicked (its index) or double-clicked.
    std::function<void(int)> onWarningClicked;
    std::function<void(int)> onWarningActivated;
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
    void buildMenus();
    void applyDpi(int dpi);
    void layOut();

    HWND hwnd_ = nullptr;
    HACCEL keys_ = nullptr;
    HFONT font_ = nullptr;
    HWND caption_ = nullptr;
    HWND choose_ = nullptr;
    HWND play_ = nullptr;
    HWND total_ = nullptr;
    HWND warnings_ = nullptr;
    HWND status_ = nullptr;
    bool totalOff_ = false;
    HBRUSH offBrush_ = nullptr;
    std::unique_ptr<TableView> table_;
    std::unique_ptr<CardPreview> preview_;
    int dpi_ = 96;
};

} // namespace editor_win32
