// Rows of cells as tab-separated text, as spreadsheets put them on the
// clipboard and read them from it.
#pragma once

#include <string>
#include <vector>

namespace editor_win32 {

// Cells joined by tabs, each row ended by CR LF. A cell holding a tab, a
// line break or a double quote is quoted, its quotes doubled, so that it
// stays one cell; Excel and WPS read it back so.
std::wstring tabSeparated(const std::vector<std::vector<std::wstring>> &rows);

} // namespace editor_win32
