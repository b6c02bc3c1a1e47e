// The editing core's prize table as the Windows table shows it: cells as
// wide text, the core's row changes passed on to the table.
#pragma once

#include "prize_table.h"
#include "table_source.h"

#include <functional>

namespace editor_win32 {

class CoreSource : public TableSource, private editing::RowListener {
public:
    explicit CoreSource(editing::PrizeTable &table);
    ~CoreSource() override;

    // Rows pasted are selected by the window.
    std::function<void(const std::vector<int> &rows)> pasted;

    int rows() const override { return table_.rowCount(); }
    int columns() const override;
    std::wstring header(int column) const override;
    int width(int column) const override;
    bool shownAtFirst(int column) const override;
    CellKind kind(int column) const override;
    bool alignRight(int column) const override;
    bool copied(int column) const override;
    std::wstring cell(int row, int column) const override;
    bool editable(int row, int column) const override;
    std::optional<std::wstring> setCell(int row, int column, const std::wstring &text) override;
    std::optional<std::uint32_t> colour(int row) const override;
    std::shared_ptr<const window::Pixels> thumbnail(int row) const override;
    std::optional<std::wstring> warning(int row) const override;
    void moveRows(const std::vector<int> &rows, int before) override;
    void paste(const std::wstring &text, const std::vector<int> &selected) override;

private:
    void rowsChanged(const editing::RowChange &change) override;
    editing::PrizeTable &table_;
};

} // namespace editor_win32
