// The core's table on the Windows table.
#include "core_source.h"

#include "wic_picture_loader.h"
#include "wide_text.h"

#include <algorithm>

namespace editor_win32 {

using editing::PrizeTable;
using editing::RowChange;
using window::win32::narrow;
using window::win32::widen;

namespace {
// Every column of the core's table, in its order; which show is the core's.
PrizeTable::Column columnOf(int column)
{
    return PrizeTable::Column(std::clamp(column, 0, int(PrizeTable::ColumnCount) - 1));
}
} // namespace

CoreSource::CoreSource(PrizeTable &table) : table_(table) { table_.view = this; }

CoreSource::~CoreSource()
{
    if (table_.view == this)
        table_.view = nullptr;
}

int CoreSource::columns() const { return int(PrizeTable::ColumnCount); }

std::wstring CoreSource::header(int column) const { return widen(PrizeTable::header(columnOf(column))); }

int CoreSource::width(int column) const { return PrizeTable::widthAtFirst(columnOf(column)); }

bool CoreSource::shownAtFirst(int column) const { return PrizeTable::shownAtFirst(columnOf(column)); }

CellKind CoreSource::kind(int column) const
{
    switch (columnOf(column)) {
    case PrizeTable::Color: return CellKind::Colour;
    case PrizeTable::Picture: return CellKind::Picture;
    default: return CellKind::Text;
    }
}

bool CoreSource::alignRight(int column) const { return PrizeTable::alignedRight(columnOf(column)); }

bool CoreSource::copied(int column) const { return PrizeTable::isEditable(columnOf(column)); }

std::wstring CoreSource::cell(int row, int column) const { return widen(table_.cellText(row, columnOf(column))); }

bool CoreSource::editable(int, int column) const { return PrizeTable::isEditable(columnOf(column)); }

std::optional<std::wstring> CoreSource::setCell(int row, int column, const std::wstring &text)
{
    // The table keeps the box open with the reason, rather than a message box.
    std::optional<std::wstring> refused;
    const auto said = table_.editFailed;
    table_.editFailed = [&](const std::string &why) { refused = widen(why); };
    const bool taken = table_.setCell(row, columnOf(column), narrow(text));
    table_.editFailed = said;
    if (!taken && !refused)
        refused = L"";
    return refused;
}

std::optional<std::uint32_t> CoreSource::colour(int row) const
{
    const auto color = table_.colorOf(row);
    return color ? std::optional(std::uint32_t(*color)) : std::nullopt;
}

std::shared_ptr<const window::Pixels> CoreSource::thumbnail(int row) const
{
    const auto *picture = dynamic_cast<const window::win32::WicPicture *>(table_.pictureOf(row));
    return picture ? picture->pixels() : nullptr;
}

std::optional<std::wstring> CoreSource::warning(int row) const
{
    const std::string text = table_.warningsOf(row);
    return text.empty() ? std::nullopt : std::optional(widen(text));
}

void CoreSource::moveRows(const std::vector<int> &rows, int before) { table_.movePrizesBefore(rows, before); }

void CoreSource::paste(const std::wstring &text, const std::vector<int> &selected)
{
    const int at = selected.empty() ? table_.rowCount() : selected.back() + 1;
    const std::vector<int> added = table_.pasteRows(narrow(text), at);
    if (!added.empty() && pasted)
        pasted(added);
}

void CoreSource::rowsChanged(const RowChange &change)
{
    TableObserver *table = observer();
    if (!table)
        return;
    switch (change.kind) {
    case RowChange::Kind::Reset: table->reset(); break;
    case RowChange::Kind::Inserted: table->rowsInserted(change.row, 1); break;
    case RowChange::Kind::Removed: table->rowsRemoved(change.row, 1); break;
    case RowChange::Kind::Moved:
        // Numbered before the move: the row comes to stand before old row `before`.
        table->rowsMoved({change.row}, change.to > change.row ? change.to + 1 : change.to);
        break;
    case RowChange::Kind::Changed:
        if (change.row < 0) {
            if (rows() > 0)
                table->rowsChanged(0, rows() - 1);
        } else {
            table->rowsChanged(change.row, change.row);
        }
        break;
    }
}

} // namespace editor_win32
