// Tab-separated text for the clipboard.
#include "table_text.h"

namespace editor_win32 {

std::wstring tabSeparated(const std::vector<std::vector<std::wstring>> &rows)
{
    std::wstring text;
    for (const auto &row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column > 0)
                text += L'\t';
            const std::wstring &cell = row[column];
            if (cell.find_first_of(L"\t\r\n\"") == std::wstring::npos) {
                text += cell;
                continue;
            }
            text += L'"';
            for (wchar_t c : cell) {
                if (c == L'"')
                    text += L'"';
                text += c;
            }
            text += L'"';
        }
        text += L"\r\n";
    }
    return text;
}

} // namespace editor_win32
