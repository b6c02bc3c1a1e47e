// A table source over rows of plain text, for the Windows table's tests:
// "#" (read only), weight (refuses what is no number), colour, name, and a
// read-only figure that Copy leaves out. Records what the table hands it.
#pragma once

#include "table_source.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <string>
#include <vector>

namespace fakes {

class FakeTableSource : public editor_win32::TableSource {
public:
    enum Column { Index, Weight, Colour, Name, Chance, Columns };

    explicit FakeTableSource(int count)
    {
        for (int row = 0; row < count; ++row)
            lines.push_back({std::to_wstring(row + 1), std::to_wstring(10 * (row + 1)), L"#FF0000",
                             L"name" + std::to_wstring(row), L"0.1 %"});
    }

    int rows() const override { return int(lines.size()); }
    int columns() const override { return Columns; }
    std::wstring header(int column) const override
    {
        return std::array{L"#", L"Weight", L"Colour", L"Name", L"Chance"}[std::size_t(column)];
    }
    int width(int column) const override { return std::array{40, 70, 110, 130, 95}[std::size_t(column)]; }
    editor_win32::CellKind kind(int column) const override
    {
        return column == Colour ? editor_win32::CellKind::Colour : editor_win32::CellKind::Text;
    }
    bool alignRight(int column) const override { return column == Chance; }
    bool copied(int column) const override { return column != Chance; }
    std::wstring cell(int row, int column) const override { return lines[std::size_t(row)][std::size_t(column)]; }
    bool editable(int, int column) const override { return column != Index && column != Chance; }
    std::optional<std::wstring> setCell(int row, int column, const std::wstring &text) override
    {
        if (column == Weight &&
            (text.empty() || !std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswdigit(c); })))
            return L"\"" + text + L"\" is no number";
        lines[std::size_t(row)][std::size_t(column)] = text;
        ++stored;
        if (observer())
            observer()->rowsChanged(row, row);
        return std::nullopt;
    }
    std::optional<std::uint32_t> colour(int) const override { return 0x0000FF; }
    void moveRows(const std::vector<int> &rows, int before) override
    {
        moved = rows;
        movedBefore = before;
        std::vector<std::array<std::wstring, Columns>> order;
        for (int row = 0; row <= int(lines.size()); ++row) {
            if (row == before)
                for (int taken : rows)
                    order.push_back(lines[std::size_t(taken)]);
            if (row < int(lines.size()) && !std::binary_search(rows.begin(), rows.end(), row))
                order.push_back(lines[std::size_t(row)]);
        }
        lines = order;
        if (observer())
            observer()->rowsMoved(rows, before);
    }
    void paste(const std::wstring &text, const std::vector<int> &selected) override
    {
        pasted = text;
        pastedOver = selected;
    }

    std::vector<std::array<std::wstring, Columns>> lines;
    int stored = 0;
    std::vector<int> moved;
    int movedBefore = -1;
    std::wstring pasted;
    std::vector<int> pastedOver;
};

} // namespace fakes
