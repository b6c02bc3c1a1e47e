// The editor's window: its menus from the translation catalogue, its keys,
// and the layout at each monitor's dpi.
#include "editor_window.h"

#include "gdi_paint.h"
#include "i18n.h"
#include "program_resources.h"
#include "wide_text.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace editor_win32 {

namespace {

constexpr wchar_t kClassName[] = L"PrizeEditWindow";
constexpr int kTableId = 1;
constexpr int kPreviewId = 2;
constexpr int kWarningsId = 3;
// At 96 dpi; scaled to the window's.
constexpr int kMargin = 8;
constexpr int kButtonHeight = 28;
constexpr int kLineHeight = 20;
constexpr int kWarningPadding = 3;

// Over or under 100, the bar must not look like a full one.
const COLORREF kTotalOff = RGB(230, 120, 0);
const COLORREF kTextCut = RGB(200, 0, 0); // a preview note that the card cuts or cannot draw its text

int scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

// Texts come marked with i18n::tr where they are written, so that the
// catalogue check sees each one.
std::wstring text(const char *translated) { return window::win32::widen(translated); }

void add(HMENU menu, Command command, const char *translated, const wchar_t *keys = nullptr)
{
    std::wstring item = text(translated);
    if (keys)
        item += std::wstring(L"\t") + keys;
    AppendMenuW(menu, MF_STRING, UINT_PTR(command), item.c_str());
}

} // namespace

EditorWindow::EditorWindow(TableSource &source)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass.lpfnWndProc = &EditorWindow::windowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(PRIZEDRAW_ICON));
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassExW(&windowClass))
            throw std::runtime_error("the editor's window class could not be registered");
    }
    hwnd_ = CreateWindowExW(0, kClassName, L"prizeedit", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                            CW_USEDEFAULT, 100, 100, nullptr, nullptr, instance, this);
    if (!hwnd_)
        throw std::runtime_error("the editor's window could not be created");
    buildMenus(source);
    buildToolbar();
    table_ = std::make_unique<TableView>(hwnd_, kTableId, source);
    preview_ = std::make_unique<CardPreview>(hwnd_, kPreviewId);
    const std::wstring caption = text(i18n::tr("The card as the game shows it:"));
    caption_ = CreateWindowExW(0, L"STATIC", caption.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hwnd_, nullptr,
                               instance, nullptr);
    const std::wstring choose = text(i18n::tr("Choose picture…"));
    choose_ = CreateWindowExW(0, L"BUTTON", choose.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
                              10, 10, hwnd_, HMENU(INT_PTR(Command::ChoosePicture)), instance, nullptr);
    const std::wstring play = text(i18n::tr("Play"));
    play_ = CreateWindowExW(0, L"BUTTON", play.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10,
                            10, hwnd_, HMENU(INT_PTR(Command::Play)), instance, nullptr);
    cardCaption_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 10, 10,
                                   hwnd_, nullptr, instance, nullptr);
    total_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 0, 0, 10, 10, hwnd_, nullptr,
                             instance, nullptr);
    warnings_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                    LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS,
                                0, 0, 10, 10, hwnd_, HMENU(INT_PTR(kWarningsId)), instance, nullptr);
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd_,
                              nullptr, instance, nullptr);
    dpi_ = 0;
    applyDpi(int(GetDpiForWindow(hwnd_)));
    // As large as the Qt editor opens, at this dpi, yet within the screen.
    int width = scaled(1180, dpi_);
    int height = scaled(660, dpi_);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        width = std::min<int>(width, monitor.rcWork.right - monitor.rcWork.left);
        height = std::min<int>(height, monitor.rcWork.bottom - monitor.rcWork.top);
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    setTitle(text(i18n::tr("Untitled")));
}

EditorWindow::~EditorWindow()
{
    table_.reset();
    preview_.reset();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (keys_)
        DestroyAcceleratorTable(keys_);
    if (font_)
        DeleteObject(font_);
}

void EditorWindow::setTitle(const std::wstring &title) { SetWindowTextW(hwnd_, title.c_str()); }

void EditorWindow::showTotal(const std::wstring &text, int percent, bool off)
{
    totalPercent_ = std::clamp(percent, 0, 100);
    totalOff_ = off;
    SetWindowTextW(total_, text.c_str());
    InvalidateRect(total_, nullptr, TRUE);
}

void EditorWindow::showCardCaption(const std::wstring &text, bool cut)
{
    captionCut_ = cut;
    SetWindowTextW(cardCaption_, text.c_str());
    // As many lines as the text takes at the card's width.
    RECT card;
    GetClientRect(preview_->handle(), &card);
    const HDC dc = GetDC(cardCaption_);
    const HGDIOBJ old = SelectObject(dc, font_);
    RECT needed{0, 0, std::max(1, int(card.right)), 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(cardCaption_, dc);
    const int lines = std::max(1, int((needed.bottom + metrics.tmHeight - 1) / std::max(1L, metrics.tmHeight)));
    if (lines != captionLines_) {
        captionLines_ = lines;
        layOut();
    }
    InvalidateRect(cardCaption_, nullptr, TRUE);
}

void EditorWindow::showRecent(const std::vector<std::wstring> &lists)
{
    while (GetMenuItemCount(recent_) > 0)
        DeleteMenu(recent_, 0, MF_BYPOSITION);
    for (std::size_t k = 0; k < lists.size() && k < std::size_t(kMaxRecent); ++k) {
        std::wstring item;
        for (wchar_t c : lists[k]) // an ampersand in a folder's name is no access key
            item += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        AppendMenuW(recent_, MF_STRING, UINT_PTR(int(Command::OpenRecent) + int(k)), item.c_str());
    }
    for (int item = 0; item < GetMenuItemCount(file_); ++item)
        if (GetSubMenu(file_, item) == recent_)
            EnableMenuItem(file_, UINT(item), MF_BYPOSITION | (lists.empty() ? MF_GRAYED : MF_ENABLED));
    DrawMenuBar(hwnd_);
}

void EditorWindow::setUndoTexts(const std::wstring &undo, const std::wstring &redo)
{
    const std::wstring undoItem = undo + L"\tCtrl+Z";
    const std::wstring redoItem = redo + L"\tCtrl+Y";
    ModifyMenuW(edit_, UINT(Command::Undo), MF_BYCOMMAND | MF_STRING, UINT_PTR(Command::Undo), undoItem.c_str());
    ModifyMenuW(edit_, UINT(Command::Redo), MF_BYCOMMAND | MF_STRING, UINT_PTR(Command::Redo), redoItem.c_str());
}

void EditorWindow::toggleColumn(int column)
{
    const bool shown = !table_->columnShown(column);
    table_->setColumnShown(column, shown);
    CheckMenuItem(view_, UINT(int(Command::ShowColumn) + column), MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
}

void EditorWindow::showWarnings(const std::vector<std::wstring> &warnings)
{
    SendMessageW(warnings_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(warnings_, LB_RESETCONTENT, 0, 0);
    warningTexts_ = warnings; // measured as each is added
    for (const std::wstring &warning : warnings)
        SendMessageW(warnings_, LB_ADDSTRING, 0, LPARAM(warning.c_str()));
    SendMessageW(warnings_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(warnings_, nullptr, TRUE);
}

int EditorWindow::warningsWrapWidth() const
{
    // The same with its scroll bar or without: the bar comes once the
    // warnings are measured, and must not cut a line they were measured with.
    RECT inside{};
    GetClientRect(warnings_, &inside);
    int width = int(inside.right) - 2 * scaled(kWarningPadding, dpi_);
    if (!(GetWindowLongW(warnings_, GWL_STYLE) & WS_VSCROLL))
        width -= GetSystemMetricsForDpi(SM_CXVSCROLL, UINT(dpi_));
    return std::max(1, width);
}

int EditorWindow::warningHeight(const std::wstring &warning) const
{
    const int padding = scaled(kWarningPadding, dpi_);
    RECT text{0, 0, warningsWrapWidth(), 0};
    const HDC dc = GetDC(warnings_);
    const HGDIOBJ old = SelectObject(dc, font_);
    DrawTextW(dc, warning.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(warnings_, dc);
    return std::min(255, int(text.bottom) + 2 * padding); // the most a list box's item can be
}

void EditorWindow::fitWarnings()
{
    const int width = warningsWrapWidth();
    if (std::exchange(warningsWidth_, width) == width)
        return;
    for (std::size_t i = 0; i < warningTexts_.size(); ++i)
        SendMessageW(warnings_, LB_SETITEMHEIGHT, WPARAM(i), LPARAM(warningHeight(warningTexts_[i])));
    InvalidateRect(warnings_, nullptr, TRUE);
}

void EditorWindow::drawWarning(const DRAWITEMSTRUCT &item) const
{
    if (item.itemID >= warningTexts_.size())
        return; // an empty list with the focus
    const bool selected = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int saved = SaveDC(item.hDC);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SelectObject(item.hDC, font_);
    RECT text = item.rcItem;
    const int padding = scaled(kWarningPadding, dpi_);
    InflateRect(&text, -padding, -padding);
    text.right = text.left + warningsWrapWidth();
    DrawTextW(item.hDC, warningTexts_[item.itemID].c_str(), -1, &text, DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    RestoreDC(item.hDC, saved);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

void EditorWindow::showNote(const std::wstring &text) { SendMessageW(status_, SB_SETTEXTW, 0, LPARAM(text.c_str())); }

void EditorWindow::buildMenus(const TableSource &source)
{
    const HMENU bar = CreateMenu();
    const HMENU file = CreatePopupMenu();
    add(file, Command::New, i18n::tr("&New"), L"Ctrl+N");
    add(file, Command::Open, i18n::tr("&Open…"), L"Ctrl+O");
    recent_ = CreatePopupMenu();
    AppendMenuW(file, MF_POPUP | MF_GRAYED, UINT_PTR(recent_), text(i18n::tr("Open &Recent")).c_str());
    file_ = file;
    add(file, Command::Save, i18n::tr("&Save"), L"Ctrl+S");
    add(file, Command::SaveAs, i18n::tr("Save &As…"), L"Ctrl+Shift+S");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    add(file, Command::ImportCsv, i18n::tr("&Import CSV…"));
    add(file, Command::ExportCsv, i18n::tr("&Export CSV…"));
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    add(file, Command::Quit, i18n::tr("&Quit"), L"Alt+F4");
    AppendMenuW(bar, MF_POPUP, UINT_PTR(file), text(i18n::tr("&File")).c_str());

    const HMENU edit = CreatePopupMenu();
    edit_ = edit;
    add(edit, Command::Undo, i18n::tr("&Undo"), L"Ctrl+Z");
    add(edit, Command::Redo, i18n::tr("&Redo"), L"Ctrl+Y");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    // Their keys are the table's own, so that a cell being edited keeps Ctrl+C and Ctrl+V.
    add(edit, Command::CopyRows, i18n::tr("&Copy rows"), L"Ctrl+C");
    add(edit, Command::PasteRows, i18n::tr("&Paste rows"), L"Ctrl+V");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    add(edit, Command::AddPrize, i18n::tr("&Add prize"), L"Ctrl+Enter");
    add(edit, Command::Duplicate, i18n::tr("&Duplicate"), L"Ctrl+D");
    add(edit, Command::Remove, i18n::tr("&Remove"), L"Del");
    add(edit, Command::MoveUp, i18n::tr("Move &up"), L"Alt+Up");
    add(edit, Command::MoveDown, i18n::tr("Move do&wn"), L"Alt+Down");
    add(edit, Command::ScaleWeightsTo100, i18n::tr("&Scale weights to 100"), L"Ctrl+H");
    AppendMenuW(edit, MF_SEPARATOR, 0, nullptr);
    add(edit, Command::ChoosePicture, i18n::tr("Choose &picture…"));
    AppendMenuW(bar, MF_POPUP, UINT_PTR(edit), text(i18n::tr("&Edit")).c_str());

    // The columns the table hides at first, each shown when asked.
    view_ = CreatePopupMenu();
    for (int column = 0; column < source.columns(); ++column)
        if (!source.shownAtFirst(column))
            AppendMenuW(view_, MF_STRING, UINT_PTR(int(Command::ShowColumn) + column), source.header(column).c_str());
    AppendMenuW(bar, MF_POPUP, UINT_PTR(view_), text(i18n::tr("&View")).c_str());

    const HMENU game = CreatePopupMenu();
    add(game, Command::Play, i18n::tr("&Play"), L"F5");
    add(game, Command::PlayAt1_5, i18n::tr("Play at 1.5 × size (projector)"));
    add(game, Command::PlayAt2, i18n::tr("Play at &2 × size (projector)"));
    AppendMenuW(bar, MF_POPUP, UINT_PTR(game), text(i18n::tr("&Game")).c_str());
    SetMenu(hwnd_, bar);

    const auto key = [](BYTE flags, WORD key, Command command) {
        return ACCEL{BYTE(FVIRTKEY | flags), key, WORD(command)};
    };
    ACCEL table[] = {
        key(FCONTROL, 'N', Command::New),
        key(FCONTROL, 'O', Command::Open),
        key(FCONTROL, 'S', Command::Save),
        key(FCONTROL | FSHIFT, 'S', Command::SaveAs),
        key(FCONTROL, 'Z', Command::Undo),
        key(FCONTROL, 'Y', Command::Redo),
        key(FCONTROL | FSHIFT, 'Z', Command::Redo),
        key(FCONTROL, VK_RETURN, Command::AddPrize),
        key(FCONTROL, 'D', Command::Duplicate),
        key(0, VK_DELETE, Command::Remove),
        key(FALT, VK_UP, Command::MoveUp),
        key(FALT, VK_DOWN, Command::MoveDown),
        key(FCONTROL, 'H', Command::ScaleWeightsTo100),
        key(0, VK_F5, Command::Play),
    };
    keys_ = CreateAcceleratorTableW(table, int(std::size(table)));
}

void EditorWindow::buildToolbar()
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP | CCS_NODIVIDER, 0, 0, 0,
                               0, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!toolbar_)
        throw std::runtime_error("the editor's toolbar could not be created");
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0)); // text buttons: no room kept for pictures
    // The Qt editor's toolbar: the table's edits, named as in the Edit menu.
    const std::pair<Command, const char *> tools[] = {
        {Command::AddPrize, i18n::tr("&Add prize")},
        {Command::Duplicate, i18n::tr("&Duplicate")},
        {Command::Remove, i18n::tr("&Remove")},
        {Command::MoveUp, i18n::tr("Move &up")},
        {Command::MoveDown, i18n::tr("Move do&wn")},
        {Command::ScaleWeightsTo100, i18n::tr("&Scale weights to 100")},
    };
    toolTexts_.clear();
    for (const auto &tool : tools)
        toolTexts_.push_back(window::win32::widen(i18n::withoutAccessKey(tool.second)));
    std::vector<TBBUTTON> buttons;
    for (std::size_t k = 0; k < std::size(tools); ++k) {
        TBBUTTON button{};
        button.iBitmap = I_IMAGENONE;
        button.idCommand = int(tools[k].first);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        button.iString = INT_PTR(toolTexts_[k].c_str());
        buttons.push_back(button);
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, WPARAM(buttons.size()), LPARAM(buttons.data()));
}

bool EditorWindow::translateKeys(MSG &message)
{
    if (table_ && table_->editing())
        return false;
    return TranslateAcceleratorW(hwnd_, keys_, &message) != 0;
}

void EditorWindow::applyDpi(int dpi)
{
    if (dpi <= 0 || dpi == dpi_)
        return;
    dpi_ = dpi;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, UINT(dpi)))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof metrics.lfMessageFont, &metrics.lfMessageFont);
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    for (HWND control : {caption_, cardCaption_, choose_, play_, total_, warnings_, status_, toolbar_})
        SendMessageW(control, WM_SETFONT, WPARAM(font), TRUE);
    if (font_)
        DeleteObject(font_);
    font_ = font;
    table_->setDpi(dpi);
    preview_->setDpi(dpi);
    // The buttons measured again in the new font.
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, 0);
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    warningsWidth_ = 0; // the warnings wrapped again in the new font
    layOut();
}

void EditorWindow::layOut()
{
    RECT client;
    GetClientRect(hwnd_, &client);
    const int margin = scaled(kMargin, dpi_);
    RECT card;
    GetClientRect(preview_->handle(), &card);
    // The card's column on the right, the table filling the rest.
    const int side = card.right + 2 * margin;
    const int left = std::max(0, int(client.right) - side + margin);
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT status;
    GetWindowRect(status_, &status);
    client.bottom -= status.bottom - status.top;
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
    RECT tools;
    GetWindowRect(toolbar_, &tools);
    client.top += tools.bottom - tools.top;
    // The table over the total and the warnings, four parts to one.
    const int width = std::max(0, left - 2 * margin);
    const int line = scaled(kLineHeight, dpi_);
    const int top = int(client.top) + margin;
    const int height = std::max(0, int(client.bottom) - top - 2 * margin - line);
    const int tableHeight = int(std::lround(height * (1 - warningsShare_)));
    // The gap between the total and the warnings drags their boundary.
    splitter_ = {margin, top + tableHeight + margin / 2 + line, margin + width, top + tableHeight + margin + line};
    splitTop_ = top;
    splitHeight_ = height;
    SetWindowPos(table_->handle(), nullptr, margin, top, width, tableHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(total_, nullptr, margin, top + tableHeight + margin / 2, width, line, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(warnings_, nullptr, margin, top + margin + tableHeight + line, width, height - tableHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    fitWarnings();
    int y = top;
    SetWindowPos(caption_, nullptr, left, y, card.right, scaled(kLineHeight, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
    y += scaled(kLineHeight, dpi_);
    SetWindowPos(preview_->handle(), nullptr, left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    y += card.bottom + margin / 2;
    const int captionHeight = captionLines_ * line;
    SetWindowPos(cardCaption_, nullptr, left, y, card.right, captionHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    y += captionHeight + margin;
    SetWindowPos(choose_, nullptr, left, y, card.right, scaled(kButtonHeight, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(play_, nullptr, left, client.bottom - margin - scaled(kButtonHeight, dpi_), card.right,
                 scaled(kButtonHeight, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditorWindow::drawTotal(const DRAWITEMSTRUCT &item) const
{
    const HDC dc = item.hDC;
    RECT r = item.rcItem;
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    window::win32::fill(dc, r, GetSysColor(COLOR_WINDOW));
    RECT done = r;
    done.right = r.left + MulDiv(r.right - r.left, totalPercent_, 100);
    window::win32::fill(dc, done, totalOff_ ? kTotalOff : GetSysColor(COLOR_HIGHLIGHT));
    wchar_t words[200] = {};
    GetWindowTextW(total_, words, int(std::size(words)));
    const HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    // The text over the filled part in the fill's own text colour, the rest
    // in the window's.
    for (const bool filled : {true, false}) {
        const int saved = SaveDC(dc);
        const RECT part = filled ? done : RECT{done.right, r.top, r.right, r.bottom};
        IntersectClipRect(dc, part.left, part.top, part.right, part.bottom);
        SetTextColor(dc, filled && !totalOff_ ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_WINDOWTEXT));
        DrawTextW(dc, words, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        RestoreDC(dc, saved);
    }
    SelectObject(dc, old);
}

LRESULT EditorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC:
        if (HWND(lParam) == cardCaption_ && captionCut_) {
            SetTextColor(HDC(wParam), kTextCut);
            SetBkColor(HDC(wParam), GetSysColor(COLOR_BTNFACE));
            return LRESULT(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_INITMENUPOPUP:
        if (HMENU(wParam) == edit_ && onEditMenuOpening)
            onEditMenuOpening();
        break;
    case WM_MEASUREITEM: {
        auto *item = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        if (item->CtlType != ODT_LISTBOX || item->CtlID != UINT(kWarningsId) || !warnings_ ||
            item->itemID >= warningTexts_.size())
            break;
        item->itemHeight = UINT(warningHeight(warningTexts_[item->itemID]));
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (item->hwndItem == total_)
            drawTotal(*item);
        else if (item->hwndItem == warnings_ && warnings_)
            drawWarning(*item);
        else
            break;
        return TRUE;
    }
    case WM_COMMAND: {
        if (HWND(lParam) == warnings_ && warnings_) {
            const int item = int(SendMessageW(warnings_, LB_GETCURSEL, 0, 0));
            if (item >= 0 && HIWORD(wParam) == LBN_DBLCLK && onWarningActivated)
                onWarningActivated(item);
            else if (item >= 0 && HIWORD(wParam) == LBN_SELCHANGE && onWarningClicked)
                onWarningClicked(item);
            return 0;
        }
        const auto command = Command(LOWORD(wParam));
        const int id = LOWORD(wParam);
        if (table_ && id >= int(Command::ShowColumn) && id < int(Command::OpenRecent)) {
            toggleColumn(id - int(Command::ShowColumn));
            return 0;
        }
        const bool recent = id >= int(Command::OpenRecent) && id < int(Command::OpenRecent) + kMaxRecent;
        if (!recent && (id < int(Command::New) || id > int(Command::PlayAt2)))
            break;
        if (onCommand)
            onCommand(command);
        else if (command == Command::Quit)
            DestroyWindow(hwnd_);
        return 0;
    }
    case WM_SIZE:
        if (table_)
            layOut();
        return 0;
    case WM_SETCURSOR: {
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(hwnd_, &at);
        if (HWND(wParam) == hwnd_ && LOWORD(lParam) == HTCLIENT && (splitting_ || PtInRect(&splitter_, at))) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN:
        if (PtInRect(&splitter_, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
            splitting_ = true;
            SetCapture(hwnd_);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (splitting_ && splitHeight_ > 0) {
            // As Qt's splitter: the boundary follows the mouse, each side keeping a little.
            const int line = scaled(kLineHeight, dpi_);
            const int tableHeight = GET_Y_LPARAM(lParam) - splitTop_ - line - scaled(kMargin, dpi_) * 3 / 4;
            const int least = std::min(splitHeight_ / 2, 3 * line);
            warningsShare_ = 1 - double(std::clamp(tableHeight, least, splitHeight_ - least)) / splitHeight_;
            layOut();
        }
        return 0;
    case WM_LBUTTONUP:
        if (splitting_)
            ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED: splitting_ = false; return 0;
    case WM_SETFOCUS:
        if (table_)
            SetFocus(table_->list());
        return 0;
    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        applyDpi(HIWORD(wParam));
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        // Closing asks the core (unsaved changes); without one it just closes.
        if (onCommand)
            onCommand(Command::Quit);
        else
            DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_NCDESTROY: {
        const HWND gone = std::exchange(hwnd_, nullptr);
        return DefWindowProcW(gone, message, wParam, lParam);
    }
    default:
        if (onMessage && (message == WM_TIMER || message >= WM_APP) && onMessage(message, wParam, lParam))
            return 0;
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK EditorWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<EditorWindow *>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto *window = reinterpret_cast<EditorWindow *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

} // namespace editor_win32
