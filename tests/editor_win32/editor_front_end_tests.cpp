// The Windows editor over the editing core under wine, as a user drives it:
// a cell edited in the table's edit box, weights scaled, Save, undo and redo,
// rows pasted from a spreadsheet, a picture dropped from Explorer, a row
// moved, and Play; the View menu's hidden column and File > Open Recent;
// warnings wrapped to the list's width, and their pane resized.
#include "editor_front_end.h"
#include "fakes.h"
#include "slurp.h"
#include "wide_text.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

namespace {

namespace fs = std::filesystem;
using authoring::Field;

const fs::path kSample = SAMPLE_DIR;

void press(HWND window, WPARAM key)
{
    SendMessageW(window, WM_KEYDOWN, key, 0);
    SendMessageW(window, WM_KEYUP, key, 0);
}

void setControl(bool down)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Runs the window's messages until done() holds or 30 s pass.
bool pumpUntil(const std::function<bool()> &done)
{
    const DWORD until = GetTickCount() + 30000;
    while (!done() && GetTickCount() < until) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!done())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return done();
}

bool putOnClipboard(HWND owner, const std::wstring &text)
{
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    return true;
}

// What Explorer hands a window that a file is dropped on, at a point of its client area.
HDROP dropOf(const fs::path &file, POINT at)
{
    const std::wstring name = file.wstring(); // and two nulls: the end of the name and of the list
    const HGLOBAL memory =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
    auto *drop = static_cast<DROPFILES *>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = at;
    drop->fWide = TRUE;
    std::memcpy(drop + 1, name.c_str(), name.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return HDROP(memory);
}

TEST(Win32Editor, EditsMadeByKeyboardReachTheListOnDiskAndPlayStartsTheGame)
{
    fakes::TempFolder folder;
    const fs::path list = folder.path() / L"年会 奖品" / L"data.ini"; // a Chinese folder with a space
    fs::create_directories(list.parent_path());
    fs::copy(kSample / "data.ini", list);
    fs::copy(kSample / "picture", list.parent_path() / "picture");
    folder.write("prizedraw.exe", "the game");

    editor_win32::EditorFrontEnd editor(folder.path(), 96);
    std::vector<std::string> asked;
    editor.answer = [&](const std::string &question, std::size_t) {
        asked.push_back(question);
        return std::optional<std::size_t>();
    };
    std::vector<double> played;
    editor.gameStarter = [&](const fs::path &, const fs::path &, double scale) {
        played.push_back(scale);
        return true;
    };
    editing::EditorSession &session = editor.session();
    session.stateFolder = folder.path() / "state";
    ShowWindow(editor.window().handle(), SW_SHOW);
    ASSERT_TRUE(session.openList(list));
    ASSERT_TRUE(pumpUntil([&] { return session.oddsUpToDate(); }));
    const auto document = [&]() -> const authoring::PrizeDocument & { return session.table().document(); };

    // A weight typed into the table's edit box.
    editor_win32::TableView &table = editor.window().table();
    table.setCurrentCell(0, 1);
    press(table.list(), VK_RETURN);
    ASSERT_NE(table.editBox(), nullptr);
    SetWindowTextW(table.editBox(), L"40");
    press(table.editBox(), VK_RETURN);
    EXPECT_EQ(document().text(0, Field::Weight), "40");
    ASSERT_TRUE(pumpUntil([&] { return session.oddsUpToDate(); }));
    EXPECT_TRUE(session.weightTotal().off);
    wchar_t title[200] = {};
    GetWindowTextW(editor.window().handle(), title, 200);
    EXPECT_EQ(std::wstring(title).substr(0, 9), L"data.ini*");

    // Ctrl+H scales the weights to 100; Save writes them.
    SendMessageW(editor.window().handle(), WM_COMMAND, WPARAM(editor_win32::Command::ScaleWeightsTo100), 0);
    ASSERT_TRUE(pumpUntil([&] { return session.oddsUpToDate(); }));
    EXPECT_FALSE(session.weightTotal().off) << session.weightTotal().text;
    SendMessageW(editor.window().handle(), WM_COMMAND, WPARAM(editor_win32::Command::Save), 0);
    EXPECT_FALSE(session.modified());
    const std::string saved = slurp(list);
    EXPECT_EQ(authoring::PrizeDocument::open(list).text(0, Field::Weight), document().text(0, Field::Weight));

    // Undo and redo.
    SendMessageW(editor.window().handle(), WM_COMMAND, WPARAM(editor_win32::Command::Undo), 0);
    EXPECT_EQ(document().text(0, Field::Weight), "40");
    SendMessageW(editor.window().handle(), WM_COMMAND, WPARAM(editor_win32::Command::Redo), 0);
    EXPECT_FALSE(session.modified());

    // Two rows from a spreadsheet, pasted with Ctrl+V below the selected row.
    ASSERT_TRUE(putOnClipboard(editor.window().handle(), L"5\t#00FF00\t风筝\t3\t\r\n6\t255\t陀螺\t4\t\r\n"));
    table.selectRows({1});
    setControl(true);
    press(table.list(), 'V');
    setControl(false);
    ASSERT_EQ(document().size(), 10);
    EXPECT_EQ(document().text(2, Field::Name), "风筝");
    EXPECT_EQ(document().text(3, Field::Name), "陀螺");
    EXPECT_EQ(table.selectedRows(), (std::vector<int>{2, 3}));

    // A picture dropped from Explorer on the first of them becomes its picture.
    RECT row{};
    ListView_GetItemRect(table.list(), 2, &row, LVIR_BOUNDS);
    const fs::path dropped = kSample / "picture" / L"金条.jpg";
    SendMessageW(table.list(), WM_DROPFILES, WPARAM(dropOf(dropped, {row.left + 5, (row.top + row.bottom) / 2})), 0);
    ASSERT_NE(session.table().pictures().picture("风筝"), nullptr);
    EXPECT_EQ(*session.table().pictures().picture("风筝"), slurp(dropped));

    // Alt+Down moves them; Play saves and starts the game at the projector's size.
    SendMessageW(editor.window().handle(), WM_COMMAND, WPARAM(editor_win32::Command::MoveDown), 0);
    EXPECT_EQ(document().text(4, Field::Name), "陀螺");
    SendMessageW(editor.window().handle(), WM_COMMAND, WPARAM(editor_win32::Command::PlayAt1_5), 0);
    EXPECT_EQ(played, std::vector<double>{1.5}) << (asked.empty() ? "" : asked.front());
    EXPECT_EQ(authoring::PrizeDocument::open(list).size(), 10);
    EXPECT_TRUE(fs::exists(list.parent_path() / "prizedraw.exe")) << "the game is placed beside the list";
    EXPECT_NE(slurp(list), saved);
}

TEST(Win32Editor, ViewShowsTheDrawsColumnAndOpenRecentReopensAListAfterAskingAboutChanges)
{
    fakes::TempFolder folder;
    const fs::path first = folder.path() / L"一月" / L"data.ini";
    const fs::path second = folder.path() / L"二月" / L"data.ini";
    for (const fs::path &list : {first, second}) {
        fs::create_directories(list.parent_path());
        fs::copy(kSample / "data.ini", list);
    }
    editor_win32::EditorFrontEnd editor(folder.path(), 96);
    std::optional<std::size_t> answer; // to "unsaved changes": none is Cancel
    editor.answer = [&](const std::string &, std::size_t) { return answer; };
    editing::EditorSession &session = editor.session();
    session.stateFolder = folder.path() / "state";
    const HWND window = editor.window().handle();
    ShowWindow(window, SW_SHOW);
    ASSERT_TRUE(session.openList(first));
    ASSERT_TRUE(pumpUntil([&] { return session.oddsUpToDate(); }));

    // Draws of 2^24 is hidden until the View menu shows it, with the core's counts.
    const int draws = editing::PrizeTable::Draws;
    const HWND list = editor.window().table().list();
    EXPECT_EQ(ListView_GetColumnWidth(list, draws), 0);
    SendMessageW(window, WM_COMMAND, WPARAM(int(editor_win32::Command::ShowColumn) + draws), 0);
    EXPECT_GT(ListView_GetColumnWidth(list, draws), 0);
    wchar_t cell[64] = {};
    ListView_GetItemText(list, 0, draws, cell, 64);
    EXPECT_EQ(window::win32::narrow(cell), session.table().cellText(0, editing::PrizeTable::Draws));
    EXPECT_NE(std::wstring(cell), L"");

    // The newest first; choosing the older one asks about the unsaved edit.
    ASSERT_TRUE(session.openList(second));
    const HMENU recent = editor.window().recentMenu();
    ASSERT_EQ(GetMenuItemCount(recent), 2);
    wchar_t item[MAX_PATH] = {};
    GetMenuStringW(recent, 1, item, MAX_PATH, MF_BYPOSITION);
    EXPECT_EQ(fs::path(item), first);
    session.table().addPrize(0);
    SendMessageW(window, WM_COMMAND, WPARAM(int(editor_win32::Command::OpenRecent) + 1), 0);
    EXPECT_EQ(session.file(), second) << "cancelled: the edited list stays";
    answer = 1; // Don't save
    SendMessageW(window, WM_COMMAND, WPARAM(int(editor_win32::Command::OpenRecent) + 1), 0);
    EXPECT_EQ(session.file(), first);
    EXPECT_FALSE(session.modified());
}

TEST(Win32Editor, WarningsWrapToTheListsWidthAndTheGapAboveThemDragsTheirHeight)
{
    fakes::TempFolder folder;
    editor_win32::EditorFrontEnd editor(folder.path(), 96);
    editor_win32::EditorWindow &window = editor.window();
    ShowWindow(window.handle(), SW_SHOW);
    std::wstring wordy;
    for (int i = 0; i < 12; ++i)
        wordy += L"名称用卡片的字体有 374 像素宽，";
    window.showWarnings({L"权重合计为 95", wordy});
    const auto heightOf = [&](int item) { return int(SendMessageW(window.warningsList(), LB_GETITEMHEIGHT, item, 0)); };
    const int line = heightOf(0);
    const int wrapped = heightOf(1);
    EXPECT_GT(wrapped, line);
    RECT frame{};
    GetWindowRect(window.handle(), &frame);
    SetWindowPos(window.handle(), nullptr, 0, 0, (frame.right - frame.left) * 3 / 4, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(heightOf(1), wrapped);
    EXPECT_EQ(heightOf(0), line);

    // The gap between the total and the list, dragged 100 pixels up.
    const auto placeOf = [&](HWND control) {
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window.handle(), reinterpret_cast<POINT *>(&place), 2);
        return place;
    };
    const RECT before = placeOf(window.warningsList());
    const RECT table = placeOf(window.table().handle());
    const auto mouse = [&](UINT message, int y) {
        SendMessageW(window.handle(), message, 0, MAKELPARAM(before.left + 50, y));
    };
    mouse(WM_LBUTTONDOWN, before.top - 2);
    mouse(WM_MOUSEMOVE, before.top - 102);
    mouse(WM_LBUTTONUP, before.top - 102);
    const RECT after = placeOf(window.warningsList());
    EXPECT_NEAR(after.top, before.top - 100, 1);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_NEAR(placeOf(window.table().handle()).bottom, table.bottom - 100, 1);
}

} // namespace
