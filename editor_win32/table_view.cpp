// The prize table: a report list view that asks the source for every cell
// (LVS_OWNERDATA), draws swatches and thumbnails itself, and puts a plain
// edit box over the cell being edited.
#include "table_view.h"

#include "gdi_paint.h"
#include "table_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <stdexcept>
#include <utility>

namespace editor_win32 {

namespace {

constexpr wchar_t kClassName[] = L"PrizeEditTable";
constexpr UINT_PTR kSubclass = 1;
// Posted when the edit box lost the focus: its edit is taken once the focus
// has settled, not inside the box's own message.
constexpr UINT kCommitAfterFocusLoss = WM_APP + 1;
// At 96 dpi, scaled to the window's: as the Qt table's rows and thumbnails.
constexpr int kRowHeight = 32;
constexpr int kThumbWidth = 44;
constexpr int kThumbHeight = 28;
constexpr int kSwatch = 16;
constexpr int kGap = 4;
const COLORREF kWarned = RGB(255, 236, 150);

int scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

bool keyDown(int key) { return GetKeyState(key) < 0; }

} // namespace

TableView::TableView(HWND parent, int id, TableSource &source) : source_(source)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass.lpfnWndProc = &TableView::windowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassExW(&windowClass))
            throw std::runtime_error("the table's window class could not be registered");
    }
    hwnd_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, 100, 100,
                            parent, HMENU(INT_PTR(id)), instance, this);
    if (!hwnd_)
        throw std::runtime_error("the table could not be created");
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_SHOWSELALWAYS,
                            0, 0, 100, 100, hwnd_, nullptr, instance, nullptr);
    if (!list_)
        throw std::runtime_error("the table's list could not be created");
    ListView_SetExtendedListViewStyle(list_,
                                      LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP);
    SetWindowSubclass(list_, &TableView::listProc, kSubclass, DWORD_PTR(this));
    DragAcceptFiles(list_, TRUE);
    dpi_ = int(GetDpiForWindow(hwnd_));
    if (dpi_ <= 0)
        dpi_ = 96;
    makeFont();
    makeColumns();
    source_.setObserver(this);
    ListView_SetItemCountEx(list_, source_.rows(), 0);
}

TableView::~TableView()
{
    source_.setObserver(nullptr);
    closing_ = true;
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_); // the list and the edit box with it
    }
    if (font_)
        DeleteObject(font_);
    if (rowSizer_)
        ImageList_Destroy(rowSizer_);
}

// Sizes -------------------------------------------------------------------

void TableView::makeFont()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, UINT(dpi_)))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof metrics.lfMessageFont, &metrics.lfMessageFont);
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    SendMessageW(list_, WM_SETFONT, WPARAM(font), TRUE);
    if (edit_)
        SendMessageW(edit_, WM_SETFONT, WPARAM(font), TRUE);
    if (font_)
        DeleteObject(font_);
    font_ = font;
    // The list sizes its rows by its image list: an empty one as tall as a
    // row at this dpi makes room for a thumbnail.
    const HIMAGELIST sizer = ImageList_Create(1, rowHeight(), ILC_COLOR32, 0, 0);
    ListView_SetImageList(list_, sizer, LVSIL_SMALL);
    if (rowSizer_)
        ImageList_Destroy(rowSizer_);
    rowSizer_ = sizer;
}

int TableView::rowHeight() const { return scaled(kRowHeight, dpi_); }

void TableView::makeColumns()
{
    shown_.assign(std::size_t(std::max(0, source_.columns())), true);
    for (int column = 0; column < source_.columns(); ++column) {
        shown_[std::size_t(column)] = source_.shownAtFirst(column);
        std::wstring title = source_.header(column);
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        info.fmt = source_.alignRight(column) ? LVCFMT_RIGHT : LVCFMT_LEFT;
        info.cx = shown_[std::size_t(column)] ? scaled(source_.width(column), dpi_) : 0;
        info.pszText = title.data();
        info.iSubItem = column;
        ListView_InsertColumn(list_, column, &info);
    }
}

bool TableView::columnShown(int column) const
{
    return column >= 0 && std::size_t(column) < shown_.size() && shown_[std::size_t(column)];
}

void TableView::setColumnShown(int column, bool shown)
{
    if (column < 0 || std::size_t(column) >= shown_.size() || shown_[std::size_t(column)] == shown)
        return;
    shown_[std::size_t(column)] = shown;
    ListView_SetColumnWidth(list_, column, shown ? scaled(source_.width(column), dpi_) : 0);
    if (!shown && column_ == column)
        setColumn(column - 1);
    placeEditBox();
}

void TableView::setDpi(int dpi)
{
    if (dpi <= 0 || dpi == dpi_)
        return;
    const int old = dpi_;
    dpi_ = dpi;
    for (int column = 0; column < source_.columns(); ++column)
        ListView_SetColumnWidth(list_, column, MulDiv(ListView_GetColumnWidth(list_, column), dpi, old));
    makeFont();
    placeEditBox();
    InvalidateRect(list_, nullptr, TRUE);
}

// Selection and the current cell ------------------------------------------

std::vector<int> TableView::selectedRows() const
{
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

void TableView::selectRows(const std::vector<int> &rows)
{
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    const int count = source_.rows();
    int first = -1;
    for (int row : rows)
        if (row >= 0 && row < count) {
            ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
            if (first < 0)
                first = row;
        }
    if (first >= 0) {
        ListView_SetItemState(list_, first, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_EnsureVisible(list_, first, FALSE);
    }
}

int TableView::currentRow() const { return ListView_GetNextItem(list_, -1, LVNI_FOCUSED); }

void TableView::setColumn(int column)
{
    column_ = std::clamp(column, 0, std::max(0, source_.columns() - 1));
    const int row = currentRow();
    if (row >= 0) {
        showCell(row, column_);
        ListView_RedrawItems(list_, row, row);
    }
}

void TableView::setCurrentCell(int row, int column)
{
    if (row < 0 || row >= source_.rows())
        return;
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    setColumn(column);
}

RECT TableView::cellRect(int row, int column) const
{
    RECT r{};
    // Column 0's bounds are the whole row's; its label part is the cell.
    ListView_GetSubItemRect(list_, row, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &r);
    return r;
}

void TableView::showCell(int row, int column)
{
    ListView_EnsureVisible(list_, row, FALSE);
    const RECT cell = cellRect(row, column);
    RECT client;
    GetClientRect(list_, &client);
    int dx = 0;
    if (cell.right > client.right)
        dx = std::min(cell.right - client.right, cell.left);
    if (cell.left < 0)
        dx = cell.left;
    if (dx != 0)
        ListView_Scroll(list_, dx, 0);
}

// Editing -------------------------------------------------------------------

bool TableView::startEdit(std::optional<std::wstring> typed)
{
    const int row = currentRow();
    if (editing() || row < 0 || !source_.editable(row, column_))
        return false;
    showCell(row, column_);
    editRow_ = row;
    editColumn_ = column_;
    const std::wstring text = typed ? *typed : source_.editText(row, column_);
    edit_ = CreateWindowExW(0, L"EDIT", text.c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, list_,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!edit_)
        return false;
    SendMessageW(edit_, WM_SETFONT, WPARAM(font_), FALSE);
    SetWindowSubclass(edit_, &TableView::editProc, kSubclass, DWORD_PTR(this));
    placeEditBox();
    ShowWindow(edit_, SW_SHOW);
    SetFocus(edit_);
    // A key typed on the cell replaces its text; Enter, F2 and a double
    // click keep it, all selected.
    if (typed)
        SendMessageW(edit_, EM_SETSEL, text.size(), text.size());
    else
        SendMessageW(edit_, EM_SETSEL, 0, -1);
    return true;
}

void TableView::placeEditBox()
{
    if (!edit_)
        return;
    const RECT cell = cellRect(editRow_, editColumn_);
    // A cell a row or so tall; the box covers it, gridlines included.
    SetWindowPos(edit_, HWND_TOP, cell.left, cell.top, cell.right - cell.left + 1, cell.bottom - cell.top + 1,
                 SWP_NOACTIVATE);
}

void TableView::closeEditBox()
{
    if (!edit_)
        return;
    const bool hadFocus = GetFocus() == edit_;
    closing_ = true;
    const HWND gone = std::exchange(edit_, nullptr);
    RemoveWindowSubclass(gone, &TableView::editProc, kSubclass);
    DestroyWindow(gone);
    closing_ = false;
    editRow_ = editColumn_ = -1;
    if (hadFocus)
        SetFocus(list_);
}

bool TableView::commitEdit()
{
    if (!edit_)
        return true;
    const int length = GetWindowTextLengthW(edit_);
    std::wstring text(std::size_t(length) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(edit_, text.data(), length + 1)));
    const int row = editRow_;
    const int column = editColumn_;
    // The source may tell of changed rows while it stores the text; the box
    // stays until it has answered.
    const std::optional<std::wstring> refused = source_.setCell(row, column, text);
    if (refused) {
        refusal_ = *refused;
        if (edit_) {
            EDITBALLOONTIP tip{sizeof tip, L"", refusal_.c_str(), TTI_ERROR};
            SendMessageW(edit_, EM_SHOWBALLOONTIP, 0, LPARAM(&tip));
            SendMessageW(edit_, EM_SETSEL, 0, -1);
        }
        return false;
    }
    refusal_.clear();
    closeEditBox();
    ListView_RedrawItems(list_, row, row);
    return true;
}

void TableView::cancelEdit()
{
    const int row = editRow_;
    closeEditBox();
    if (row >= 0)
        ListView_RedrawItems(list_, row, row);
}

std::optional<std::pair<int, int>> TableView::nextEditable(bool forward) const
{
    const int rows = source_.rows();
    const int columns = source_.columns();
    if (rows <= 0 || columns <= 0)
        return std::nullopt;
    const int row = editRow_ >= 0 ? editRow_ : currentRow();
    const int column = editColumn_ >= 0 ? editColumn_ : column_;
    long at = long(row) * columns + column;
    const long end = long(rows) * columns;
    for (at += forward ? 1 : -1; at >= 0 && at < end; at += forward ? 1 : -1)
        if (columnShown(int(at % columns)) && source_.editable(int(at / columns), int(at % columns)))
            return std::pair{int(at / columns), int(at % columns)};
    return std::nullopt;
}

void TableView::chooseColour(int row, int column)
{
    static COLORREF custom[16] = {};
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetAncestor(hwnd_, GA_ROOT);
    dialog.rgbResult = source_.colour(row).value_or(0); // the game's number is a COLORREF
    dialog.lpCustColors = custom;
    dialog.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorW(&dialog))
        return;
    wchar_t hex[8];
    swprintf(hex, 8, L"#%02X%02X%02X", GetRValue(dialog.rgbResult), GetGValue(dialog.rgbResult),
             GetBValue(dialog.rgbResult));
    if (const auto refused = source_.setCell(row, column, hex)) {
        refusal_ = *refused;
        MessageBoxW(GetAncestor(hwnd_, GA_ROOT), refusal_.c_str(), L"", MB_OK | MB_ICONWARNING);
    }
}

// Clipboard ---------------------------------------------------------------

void TableView::copy()
{
    std::vector<int> rows = selectedRows();
    if (rows.empty() && currentRow() >= 0)
        rows.push_back(currentRow());
    if (rows.empty())
        return;
    std::vector<std::vector<std::wstring>> cells;
    for (int row : rows) {
        std::vector<std::wstring> &line = cells.emplace_back();
        for (int column = 0; column < source_.columns(); ++column)
            if (source_.copied(column))
                line.push_back(source_.editText(row, column));
    }
    const std::wstring text = tabSeparated(cells);
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return;
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t *>(GlobalLock(memory)));
    GlobalUnlock(memory);
    if (!OpenClipboard(hwnd_)) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory))
        GlobalFree(memory); // the clipboard did not take it
    CloseClipboard();
}

void TableView::paste()
{
    if (!OpenClipboard(hwnd_))
        return;
    std::wstring text;
    if (const HANDLE memory = GetClipboardData(CF_UNICODETEXT))
        if (const auto *chars = static_cast<const wchar_t *>(GlobalLock(memory))) {
            // Never past the block, whatever another program put there.
            const std::size_t most = GlobalSize(memory) / sizeof(wchar_t);
            text.assign(chars, std::find(chars, chars + most, L'\0'));
            GlobalUnlock(memory);
        }
    CloseClipboard();
    if (!text.empty())
        source_.paste(text, selectedRows());
}

// The source's changes ------------------------------------------------------

void TableView::renumber(const std::function<int(int)> &newRow)
{
    const std::vector<int> selected = selectedRows();
    const int current = currentRow();
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list_, source_.rows(), LVSICF_NOSCROLL);
    for (int row : selected)
        if (const int now = newRow(row); now >= 0 && now < source_.rows())
            ListView_SetItemState(list_, now, LVIS_SELECTED, LVIS_SELECTED);
    int focus = current >= 0 ? newRow(current) : -1;
    if (current >= 0 && focus < 0) // the current row went: the one now in its place
        focus = std::min(current, source_.rows() - 1);
    if (focus >= 0 && focus < source_.rows())
        ListView_SetItemState(list_, focus, LVIS_FOCUSED, LVIS_FOCUSED);
    InvalidateRect(list_, nullptr, FALSE);
    if (currentRowChanged && focus != current)
        currentRowChanged(focus);
}

void TableView::reset()
{
    cancelEdit();
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list_, source_.rows(), 0);
    if (source_.rows() > 0)
        ListView_SetItemState(list_, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    InvalidateRect(list_, nullptr, TRUE);
    if (currentRowChanged)
        currentRowChanged(currentRow());
}

void TableView::rowsInserted(int first, int count)
{
    cancelEdit(); // the edited cell may stand elsewhere now
    renumber([=](int row) { return row >= first ? row + count : row; });
}

void TableView::rowsRemoved(int first, int count)
{
    cancelEdit();
    renumber([=](int row) { return row < first ? row : row < first + count ? -1 : row - count; });
}

void TableView::rowsMoved(const std::vector<int> &rows, int before)
{
    cancelEdit();
    const int total = source_.rows();
    std::vector<int> order; // old row numbers in their new order
    for (int row = 0; row <= total; ++row) {
        if (row == before)
            order.insert(order.end(), rows.begin(), rows.end());
        if (row < total && !std::binary_search(rows.begin(), rows.end(), row))
            order.push_back(row);
    }
    std::vector<int> now(std::size_t(total), -1);
    for (std::size_t at = 0; at < order.size(); ++at)
        if (order[at] >= 0 && order[at] < total)
            now[std::size_t(order[at])] = int(at);
    renumber([&](int row) { return row >= 0 && row < total ? now[std::size_t(row)] : -1; });
}

void TableView::rowsChanged(int first, int last)
{
    ListView_RedrawItems(list_, std::max(0, first), std::min(last, source_.rows() - 1));
}

// Drag to reorder -----------------------------------------------------------

int TableView::dropBefore(POINT inList) const
{
    LVHITTESTINFO hit{};
    hit.pt = inList;
    const int row = ListView_HitTest(list_, &hit);
    if (row >= 0) {
        RECT r;
        ListView_GetItemRect(list_, row, &r, LVIR_BOUNDS);
        return inList.y < (r.top + r.bottom) / 2 ? row : row + 1;
    }
    const int top = ListView_GetTopIndex(list_);
    RECT first{};
    if (source_.rows() > 0 && ListView_GetItemRect(list_, top, &first, LVIR_BOUNDS) && inList.y < first.top)
        return top;
    return source_.rows();
}

void TableView::endDrag(bool drop)
{
    if (!dragging_)
        return;
    dragging_ = false;
    const int before = dropBefore_;
    dropBefore_ = -1;
    if (GetCapture() == hwnd_)
        ReleaseCapture();
    InvalidateRect(list_, nullptr, FALSE);
    const std::vector<int> rows = selectedRows();
    if (!drop || rows.empty() || before < 0)
        return;
    // A block dropped onto itself stays where it is.
    const bool together = rows.back() - rows.front() + 1 == int(rows.size());
    if (together && before >= rows.front() && before <= rows.back() + 1)
        return;
    source_.moveRows(rows, before);
}

// Painting ------------------------------------------------------------------

void TableView::drawCell(HDC dc, int row, int column)
{
    RECT cell = cellRect(row, column);
    cell.right -= 1; // the gridlines stay
    cell.bottom -= 1;
    const bool selected = ListView_GetItemState(list_, row, LVIS_SELECTED) != 0;
    const bool focused = GetFocus() == list_ || (edit_ && GetFocus() == edit_);
    COLORREF back = GetSysColor(COLOR_WINDOW);
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    if (selected) {
        back = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
        text = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    }
    window::win32::fill(dc, cell, back);
    RECT rest = cell;
    rest.left += scaled(kGap, dpi_);
    if (source_.kind(column) == CellKind::Colour) {
        if (const auto colour = source_.colour(row)) {
            const int side = scaled(kSwatch, dpi_);
            const int top = (cell.top + cell.bottom - side) / 2;
            const RECT swatch{rest.left, top, rest.left + side, top + side};
            window::win32::fill(dc, swatch, COLORREF(*colour));
            SetDCBrushColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            rest.left += side + scaled(kGap, dpi_);
        }
    } else if (source_.kind(column) == CellKind::Picture) {
        if (const auto picture = source_.thumbnail(row)) {
            const int width = scaled(kThumbWidth, dpi_);
            const int height = scaled(kThumbHeight, dpi_);
            const window::design::PixelRect box{int(rest.left), int(cell.top + cell.bottom - height) / 2, width,
                                                height};
            window::win32::drawPixels(dc, box, *picture, false);
            rest.left += width + scaled(kGap, dpi_);
        }
    }
    const std::wstring words = source_.cell(row, column);
    const HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    DrawTextW(dc, words.c_str(), int(words.size()), &rest,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                  (source_.alignRight(column) ? DT_RIGHT : DT_LEFT));
    SelectObject(dc, old);
}

LRESULT TableView::onCustomDraw(NMLVCUSTOMDRAW *draw)
{
    const int row = int(draw->nmcd.dwItemSpec);
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
        draw->nmcd.uItemState &= ~UINT(CDIS_FOCUS); // the current cell is framed, not the row
        return CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const int column = draw->iSubItem;
        if (source_.kind(column) != CellKind::Text) {
            drawCell(draw->nmcd.hdc, row, column);
            return CDRF_SKIPDEFAULT;
        }
        const bool selected = ListView_GetItemState(list_, row, LVIS_SELECTED) != 0;
        draw->clrTextBk = column == 0 && !selected && source_.warning(row) ? kWarned : CLR_DEFAULT;
        return CDRF_NEWFONT;
    }
    case CDDS_ITEMPOSTPAINT:
        if (row == currentRow() && GetFocus() == list_) {
            RECT cell = cellRect(row, column_);
            InflateRect(&cell, -1, -1);
            SetTextColor(draw->nmcd.hdc, RGB(0, 0, 0));
            DrawFocusRect(draw->nmcd.hdc, &cell);
        }
        return CDRF_DODEFAULT;
    case CDDS_POSTPAINT:
        if (dragging_ && dropBefore_ >= 0) {
            // The insertion line between the rows the drop lands between.
            RECT r{};
            const int rows = source_.rows();
            if (rows > 0) {
                ListView_GetItemRect(list_, std::min(dropBefore_, rows - 1), &r, LVIR_BOUNDS);
                const int y = dropBefore_ < rows ? r.top : r.bottom;
                const int thick = std::max(2, scaled(2, dpi_));
                window::win32::fill(draw->nmcd.hdc, {r.left, y - thick / 2, r.right, y - thick / 2 + thick},
                                    GetSysColor(COLOR_HIGHLIGHT));
            }
        }
        return CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
    }
}

// Messages ------------------------------------------------------------------

LRESULT TableView::onNotify(NMHDR *header)
{
    if (header->hwndFrom != list_)
        return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        auto *info = reinterpret_cast<NMLVDISPINFOW *>(header);
        if (info->item.mask & LVIF_TEXT && info->item.cchTextMax > 0) {
            const std::wstring text = source_.cell(info->item.iItem, info->item.iSubItem);
            lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
        }
        return 0;
    }
    case LVN_GETINFOTIPW: {
        auto *tip = reinterpret_cast<NMLVGETINFOTIPW *>(header);
        if (const auto warning = source_.warning(tip->iItem); warning && tip->cchTextMax > 0)
            lstrcpynW(tip->pszText, warning->c_str(), tip->cchTextMax);
        return 0;
    }
    case LVN_ODFINDITEMW: return -1; // typing edits the cell; it searches nothing
    case LVN_ITEMCHANGED: {
        const auto *change = reinterpret_cast<const NMLISTVIEW *>(header);
        if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_FOCUSED) &&
            !(change->uOldState & LVIS_FOCUSED) && currentRowChanged)
            currentRowChanged(change->iItem);
        return 0;
    }
    case NM_DBLCLK: {
        const auto *click = reinterpret_cast<const NMITEMACTIVATE *>(header);
        LVHITTESTINFO hit{};
        hit.pt = click->ptAction;
        if (ListView_SubItemHitTest(list_, &hit) < 0 || hit.iItem < 0)
            return 0;
        setCurrentCell(hit.iItem, hit.iSubItem);
        if (source_.kind(hit.iSubItem) == CellKind::Colour && source_.editable(hit.iItem, hit.iSubItem))
            chooseColour(hit.iItem, hit.iSubItem);
        else
            startEdit();
        return 0;
    }
    case LVN_BEGINDRAG:
        commitEdit();
        dragging_ = true;
        dropBefore_ = -1;
        SetCapture(hwnd_);
        return 0;
    case NM_CUSTOMDRAW: return onCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW *>(header));
    case NM_SETFOCUS:
    case NM_KILLFOCUS: {
        const int row = currentRow();
        if (row >= 0)
            ListView_RedrawItems(list_, row, row); // the current cell's frame comes and goes
        return 0;
    }
    default: return 0;
    }
}

LRESULT TableView::onList(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN: {
        const bool control = keyDown(VK_CONTROL);
        const bool alt = keyDown(VK_MENU);
        if (alt)
            break;
        if (!control && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
            const int step = wParam == VK_LEFT ? -1 : 1;
            int column = column_ + step;
            while (column >= 0 && column < source_.columns() && !columnShown(column))
                column += step;
            if (columnShown(column))
                setColumn(column);
            return 0;
        }
        if (!control && (wParam == VK_F2 || wParam == VK_RETURN)) {
            startEdit();
            return 0;
        }
        if (control && wParam == 'C') {
            copy();
            return 0;
        }
        if (control && wParam == 'V') {
            paste();
            return 0;
        }
        if (wParam == VK_ESCAPE && dragging_) {
            endDrag(false);
            return 0;
        }
        break;
    }
    case WM_CHAR:
        // A character typed on a cell starts editing it with that character.
        if (wParam >= L' ' && wParam != 0x7F && !keyDown(VK_CONTROL)) {
            startEdit(std::wstring(1, wchar_t(wParam)));
            return 0;
        }
        if (wParam == L'\r' || wParam == 0x1B)
            return 0; // handled as keys; no beep
        break;
    case WM_LBUTTONDOWN: {
        // The clicked cell becomes the current one.
        LVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (ListView_SubItemHitTest(list_, &hit) >= 0 && hit.iSubItem >= 0)
            column_ = hit.iSubItem;
        break;
    }
    case WM_NOTIFY: {
        // The header's: a hidden column's divider is not dragged open.
        const auto *header = reinterpret_cast<const NMHEADERW *>(lParam);
        if ((header->hdr.code == HDN_BEGINTRACKW || header->hdr.code == HDN_BEGINTRACKA ||
             header->hdr.code == HDN_DIVIDERDBLCLICKW || header->hdr.code == HDN_DIVIDERDBLCLICKA) &&
            !columnShown(header->iItem))
            return TRUE;
        break;
    }
    case WM_DROPFILES: {
        // The first file, on the row under the drop point.
        const auto drop = HDROP(wParam);
        LVHITTESTINFO hit{};
        DragQueryPoint(drop, &hit.pt);
        const int row = ListView_HitTest(list_, &hit);
        std::wstring file(DragQueryFileW(drop, 0, nullptr, 0), L'\0');
        const bool named = !file.empty() && DragQueryFileW(drop, 0, file.data(), UINT(file.size() + 1)) > 0;
        DragFinish(drop);
        if (row >= 0 && named && fileDropped)
            fileDropped(row, std::filesystem::path(file));
        return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL: {
        const LRESULT result = DefSubclassProc(list_, message, wParam, lParam);
        placeEditBox(); // the box follows its cell
        return result;
    }
    default: break;
    }
    return DefSubclassProc(list_, message, wParam, lParam);
}

LRESULT TableView::onEdit(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DefSubclassProc(edit_, message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            commitEdit();
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            cancelEdit();
            return 0;
        }
        if (wParam == VK_TAB) {
            // Tab takes the edit and goes on to the next editable cell,
            // Shift+Tab to the one before; a refused edit stays.
            const auto next = nextEditable(!keyDown(VK_SHIFT));
            if (commitEdit() && next && next->first < source_.rows()) {
                setCurrentCell(next->first, next->second);
                startEdit();
            }
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\t' || wParam == L'\r' || wParam == 0x1B)
            return 0; // handled as keys; no beep
        break;
    case WM_KILLFOCUS:
        // Clicking elsewhere takes the edit; a refused one stays open, its
        // reason shown, without taking the focus back.
        if (!closing_)
            PostMessageW(hwnd_, kCommitAfterFocusLoss, 0, 0);
        break;
    default: break;
    }
    return DefSubclassProc(edit_, message, wParam, lParam);
}

LRESULT TableView::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: return onNotify(reinterpret_cast<NMHDR *>(lParam));
    case WM_SIZE: MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE); return 0;
    case WM_SETFOCUS: SetFocus(list_); return 0;
    case WM_MOUSEMOVE:
        if (dragging_) {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            MapWindowPoints(hwnd_, list_, &at, 1);
            RECT client;
            GetClientRect(list_, &client);
            // Past an edge the list scrolls a row a move.
            if (at.y < client.top + rowHeight() / 2)
                ListView_Scroll(list_, 0, -rowHeight());
            else if (at.y > client.bottom - rowHeight() / 2)
                ListView_Scroll(list_, 0, rowHeight());
            const int before = dropBefore(at);
            if (before != dropBefore_) {
                dropBefore_ = before;
                InvalidateRect(list_, nullptr, FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP: endDrag(true); return 0;
    case kCommitAfterFocusLoss:
        if (edit_ && GetFocus() != edit_)
            commitEdit();
        return 0;
    case WM_CAPTURECHANGED:
        if (dragging_ && HWND(lParam) != hwnd_)
            endDrag(false);
        return 0;
    case WM_DPICHANGED_AFTERPARENT: setDpi(int(GetDpiForWindow(hwnd_))); return 0;
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT CALLBACK TableView::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<TableView *>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto *view = reinterpret_cast<TableView *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!view || !view->list_)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return view->handle(message, wParam, lParam);
}

LRESULT CALLBACK TableView::listProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &TableView::listProc, kSubclass);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return reinterpret_cast<TableView *>(self)->onList(message, wParam, lParam);
}

LRESULT CALLBACK TableView::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    auto *view = reinterpret_cast<TableView *>(self);
    if (message == WM_NCDESTROY || view->edit_ != hwnd) {
        if (message == WM_NCDESTROY)
            RemoveWindowSubclass(hwnd, &TableView::editProc, kSubclass);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return view->onEdit(message, wParam, lParam);
}

} // namespace editor_win32
