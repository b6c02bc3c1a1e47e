// The Windows prize table under wine, over a fake source: editing through
// its edit box with the keys a user presses, copy and paste, a row drag,
// and its sizes at another dpi.
#include "fake_table_source.h"
#include "table_view.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

using editor_win32::TableView;
using fakes::FakeTableSource;

namespace {

class Win32Table : public ::testing::Test {
protected:
    // One host window for the suite: closing a top-level window under wine
    // without a window manager takes seconds.
    static void SetUpTestSuite()
    {
        host = CreateWindowExW(0, L"STATIC", L"table", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 700, 400, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(host, SW_SHOW);
    }
    static void TearDownTestSuite() { DestroyWindow(host); }

    void SetUp() override
    {
        table = std::make_unique<TableView>(host, 1, source);
        SetWindowPos(table->handle(), nullptr, 0, 0, 680, 360, SWP_NOZORDER);
        SetFocus(table->list());
    }
    void TearDown() override { setModifiers(false, false); }

    // Keys reach the list or the edit box as its window procedure gets them;
    // Ctrl and Shift as the thread's key state says.
    static void press(HWND window, WPARAM key)
    {
        SendMessageW(window, WM_KEYDOWN, key, 0);
        SendMessageW(window, WM_KEYUP, key, 0);
    }
    static void setModifiers(bool control, bool shift)
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    std::wstring boxText() const
    {
        wchar_t text[256] = {};
        GetWindowTextW(table->editBox(), text, 256);
        return text;
    }
    static std::wstring clipboardText()
    {
        std::wstring text;
        if (!OpenClipboard(host))
            return L"<no clipboard>";
        if (const HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t *>(GlobalLock(memory));
            GlobalUnlock(memory);
        }
        CloseClipboard();
        return text;
    }

    static inline HWND host = nullptr;
    FakeTableSource source{5};
    std::unique_ptr<TableView> table;
};

TEST_F(Win32Table, ArrowsChooseTheCellAndEnterEditsItInABoxTheSourceTakesTextFrom)
{
    table->setCurrentCell(1, FakeTableSource::Weight);
    press(table->list(), VK_RIGHT);
    press(table->list(), VK_RIGHT);
    press(table->list(), VK_LEFT);
    press(table->list(), VK_RIGHT);
    EXPECT_EQ(table->currentColumn(), FakeTableSource::Name);
    press(table->list(), VK_RETURN);
    ASSERT_NE(table->editBox(), nullptr);
    EXPECT_EQ(boxText(), L"name1");
    // The box lies over its cell.
    RECT box, cell;
    GetWindowRect(table->editBox(), &box);
    MapWindowPoints(nullptr, table->list(), reinterpret_cast<POINT *>(&box), 2);
    ListView_GetSubItemRect(table->list(), 1, FakeTableSource::Name, LVIR_BOUNDS, &cell);
    EXPECT_EQ(box.left, cell.left);
    EXPECT_EQ(box.top, cell.top);

    SetWindowTextW(table->editBox(), L"保温杯");
    press(table->editBox(), VK_RETURN);
    EXPECT_EQ(table->editBox(), nullptr);
    EXPECT_EQ(source.lines[1][FakeTableSource::Name], L"保温杯");

    // A character typed on a cell starts its edit with that character; F2
    // opens it as it is.
    SendMessageW(table->list(), WM_CHAR, L'x', 0);
    ASSERT_NE(table->editBox(), nullptr);
    EXPECT_EQ(boxText(), L"x");
    press(table->editBox(), VK_ESCAPE);
    press(table->list(), VK_F2);
    EXPECT_EQ(boxText(), L"保温杯");
    press(table->editBox(), VK_ESCAPE);
    // The read-only cells open nothing.
    table->setCurrentCell(1, FakeTableSource::Index);
    press(table->list(), VK_RETURN);
    EXPECT_EQ(table->editBox(), nullptr);
}

TEST_F(Win32Table, TabTakesTheEditAndMovesToTheNextEditableCellAndShiftTabBack)
{
    table->setCurrentCell(1, FakeTableSource::Colour);
    press(table->list(), VK_F2);
    SetWindowTextW(table->editBox(), L"#00FF00");
    press(table->editBox(), VK_TAB);
    EXPECT_EQ(source.lines[1][FakeTableSource::Colour], L"#00FF00");
    ASSERT_NE(table->editBox(), nullptr);
    EXPECT_EQ(boxText(), L"name1");
    // Past the row's last editable cell, over the read-only ones, to the next row's first.
    press(table->editBox(), VK_TAB);
    EXPECT_EQ(table->currentRow(), 2);
    EXPECT_EQ(table->currentColumn(), FakeTableSource::Weight);
    EXPECT_EQ(boxText(), L"30");
    EXPECT_EQ(table->selectedRows(), std::vector<int>{2});

    setModifiers(false, true);
    press(table->editBox(), VK_TAB);
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_EQ(table->currentColumn(), FakeTableSource::Name);
    EXPECT_EQ(boxText(), L"name1");
    EXPECT_EQ(source.stored, 3) << "each Tab stores its cell, an unchanged one too";
}

TEST_F(Win32Table, EscapeCancelsTheEdit)
{
    table->setCurrentCell(3, FakeTableSource::Name);
    press(table->list(), VK_RETURN);
    SetWindowTextW(table->editBox(), L"gone");
    press(table->editBox(), VK_ESCAPE);
    EXPECT_EQ(table->editBox(), nullptr);
    EXPECT_EQ(source.lines[3][FakeTableSource::Name], L"name3");
    EXPECT_EQ(source.stored, 0);
}

TEST_F(Win32Table, ARefusedEditKeepsTheBoxWithItsTextAndSaysWhy)
{
    table->setCurrentCell(0, FakeTableSource::Weight);
    press(table->list(), VK_RETURN);
    SetWindowTextW(table->editBox(), L"ten");
    press(table->editBox(), VK_RETURN);
    ASSERT_NE(table->editBox(), nullptr);
    EXPECT_EQ(boxText(), L"ten");
    EXPECT_EQ(table->refusal(), L"\"ten\" is no number");
    EXPECT_EQ(source.lines[0][FakeTableSource::Weight], L"10");
    // Tab does not leave a refused cell either.
    press(table->editBox(), VK_TAB);
    EXPECT_EQ(table->currentColumn(), FakeTableSource::Weight);

    SetWindowTextW(table->editBox(), L"12");
    press(table->editBox(), VK_RETURN);
    EXPECT_EQ(table->editBox(), nullptr);
    EXPECT_EQ(table->refusal(), L"");
    EXPECT_EQ(source.lines[0][FakeTableSource::Weight], L"12");
}

TEST_F(Win32Table, CtrlCCopiesTheSelectedRowsAsTabSeparatedTextAndCtrlVHandsTheClipboardToTheSource)
{
    source.lines[2][FakeTableSource::Name] = L"tab\there \"quoted\"";
    table->selectRows({2, 0});
    setModifiers(true, false);
    press(table->list(), 'C');
    EXPECT_EQ(clipboardText(), L"1\t10\t#FF0000\tname0\r\n"
                               L"3\t30\t#FF0000\t\"tab\there \"\"quoted\"\"\"\r\n");

    const std::wstring rows = L"50\t#00FF00\t保温杯\t1\r\n";
    ASSERT_TRUE(OpenClipboard(host));
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (rows.size() + 1) * sizeof(wchar_t));
    std::copy_n(rows.c_str(), rows.size() + 1, static_cast<wchar_t *>(GlobalLock(memory)));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    press(table->list(), 'V');
    EXPECT_EQ(source.pasted, rows);
    EXPECT_EQ(source.pastedOver, (std::vector<int>{0, 2}));
}

TEST_F(Win32Table, SelectedRowsDraggedBelowAnotherRowAreMovedThereAndStaySelected)
{
    table->selectRows({0, 1});
    const auto dragTo = [&](int row, bool lowerHalf) {
        NMLISTVIEW begin{};
        begin.hdr = {table->list(), UINT_PTR(GetDlgCtrlID(table->list())), LVN_BEGINDRAG};
        begin.iItem = 0;
        SendMessageW(table->handle(), WM_NOTIFY, begin.hdr.idFrom, LPARAM(&begin));
        RECT r;
        ListView_GetItemRect(table->list(), row, &r, LVIR_BOUNDS);
        POINT at{r.left + 20, lowerHalf ? r.bottom - 2 : r.top + 2};
        MapWindowPoints(table->list(), table->handle(), &at, 1);
        SendMessageW(table->handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageW(table->handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    };
    dragTo(1, true); // onto itself: nothing moves
    EXPECT_EQ(source.movedBefore, -1);

    dragTo(3, true);
    EXPECT_EQ(source.moved, (std::vector<int>{0, 1}));
    EXPECT_EQ(source.movedBefore, 4);
    EXPECT_EQ(source.lines[2][FakeTableSource::Name], L"name0");
    EXPECT_EQ(table->selectedRows(), (std::vector<int>{2, 3}));
}

TEST_F(Win32Table, At144DpiRowsThumbnailsAndColumnsAreHalfAgainAsLarge)
{
    RECT row;
    ListView_GetItemRect(table->list(), 0, &row, LVIR_BOUNDS);
    const int height96 = row.bottom - row.top;
    EXPECT_GE(height96, 32);
    EXPECT_EQ(ListView_GetColumnWidth(table->list(), FakeTableSource::Name), 130);

    table->setDpi(144);
    ListView_GetItemRect(table->list(), 0, &row, LVIR_BOUNDS);
    EXPECT_GE(row.bottom - row.top, 48);
    EXPECT_LE(row.bottom - row.top, height96 * 3 / 2 + 1);
    EXPECT_EQ(ListView_GetColumnWidth(table->list(), FakeTableSource::Name), 195);
    LOGFONTW font96{}, font144{};
    table->setDpi(96);
    GetObjectW(HFONT(SendMessageW(table->list(), WM_GETFONT, 0, 0)), sizeof font96, &font96);
    table->setDpi(144);
    GetObjectW(HFONT(SendMessageW(table->list(), WM_GETFONT, 0, 0)), sizeof font144, &font144);
    EXPECT_NEAR(std::abs(font144.lfHeight), std::abs(font96.lfHeight) * 1.5, 1.0);
}

} // namespace
