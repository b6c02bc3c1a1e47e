// The table over the list document, and the undoable edits.
#include "prize_table.h"

#include "catalogue.h"
#include "dragged_rows.h"
#include "i18n.h"
#include "picture_loader.h"
#include "prize_columns.h"
#include "prize_csv.h"
#include "process.h"
#include "weight_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace editing {

using authoring::Field;

namespace {
std::vector<int> sortedUnique(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// What a prize added by hand holds: a yellow strip.
authoring::Texts newPrize() { return {"1", "65535", i18n::tr("New prize"), "1", ""}; }
} // namespace

std::optional<Field> PrizeTable::fieldOf(Column column)
{
    switch (column) {
    case Weight: return Field::Weight;
    case Color: return Field::Color;
    case Name: return Field::Name;
    case Amount: return Field::Amount;
    case Note: return Field::Note;
    default: return std::nullopt;
    }
}

std::vector<int> PrizeTable::validRows(std::vector<int> rows) const
{
    rows = sortedUnique(std::move(rows));
    std::erase_if(rows, [this](int row) { return row < 0 || row >= rowCount(); });
    return rows;
}

PrizeTable::PrizeTable(UndoStack &undo)
    : undo_(undo), dragSource_("prizeedit:" + std::to_string(authoring::thisProcess().number) + ":" +
                               std::to_string(reinterpret_cast<std::uintptr_t>(this)))
{
}

void PrizeTable::changing(RowChange::Kind kind, int row, int to)
{
    if (view)
        view->rowsChanging({kind, row, to});
}

void PrizeTable::changed(RowChange::Kind kind, int row, int to)
{
    if (view)
        view->rowsChanged({kind, row, to});
    listChanged();
}

void PrizeTable::resetDocument(authoring::PrizeDocument document)
{
    undo_.clear();
    putDocument(document);
}

void PrizeTable::resetPictureFolder(std::optional<std::filesystem::path> folder)
{
    pictures_ = {};
    pictures_.setFolder(std::move(folder));
    listChanged();
}

std::string PrizeTable::save(const std::filesystem::path &file, authoring::FileSystem &files)
{
    std::string note = authoring::saveList(document_, pictures_, file, files);
    undo_.setClean();
    listChanged();
    return note;
}

void PrizeTable::setCheck(std::shared_ptr<const ListCheck> check)
{
    check_ = std::move(check);
    warnings_.assign(check_->report.prizes.size(), std::string());
    for (const odds::Warning &warning : check_->report.warnings)
        if (warning.index && *warning.index >= 0 && std::size_t(*warning.index) < warnings_.size()) {
            std::string &text = warnings_[std::size_t(*warning.index)];
            text += (text.empty() ? "" : "\n") + odds::textWithRemedies(warning);
        }
    if (view && rowCount() > 0)
        view->rowsChanged({RowChange::Kind::Changed, -1, 0}); // every row: its odds and warnings
}

authoring::Record PrizeTable::restorable(Kept kept) const
{
    // Bytes read in one encoding must not be written into a file of another.
    if (kept.bytesIn != document_.keptBytesEncoding())
        for (authoring::Line &line : kept.record)
            line.bytes.reset();
    return kept.record;
}

// --- The changes, with the view told ---

void PrizeTable::putRecord(int row, const Kept &kept)
{
    document_.replaceRecord(row, restorable(kept));
    changed(RowChange::Kind::Changed, row);
}

void PrizeTable::putText(int row, Field field, const std::string &text)
{
    document_.setText(row, field, text);
    changed(RowChange::Kind::Changed, row);
}

void PrizeTable::insertKept(int at, const Kept &kept)
{
    changing(RowChange::Kind::Inserted, at);
    document_.insertRecord(at, restorable(kept));
    changed(RowChange::Kind::Inserted, at);
}

void PrizeTable::removeRow(int row)
{
    changing(RowChange::Kind::Removed, row);
    document_.remove(row);
    changed(RowChange::Kind::Removed, row);
}

void PrizeTable::moveRow(int from, int to)
{
    if (from == to)
        return;
    changing(RowChange::Kind::Moved, from, to);
    document_.move(from, to);
    changed(RowChange::Kind::Moved, from, to);
}

void PrizeTable::putDocument(const authoring::PrizeDocument &document)
{
    changing(RowChange::Kind::Reset);
    document_ = document;
    changed(RowChange::Kind::Reset);
}

void PrizeTable::putPictures(const Pictures &pictures)
{
    for (const auto &[name, bytes] : pictures)
        pictures_.setPicture(name, bytes); // names checked when the step was made
    listChanged();
}

// --- Edits ---

void PrizeTable::setText(int row, Field field, const std::string &text)
{
    if (row < 0 || row >= rowCount() || document_.text(row, field) == text)
        return;
    if (text.find_first_of("\r\n") != std::string::npos) {
        editFailed(i18n::tr("A line of a prize list cannot hold a line break."));
        return;
    }
    const Kept before = keep(row);
    EditBatch edit(field == Field::Name ? i18n::tr("Rename prize {0}", row + 1)
                                        : i18n::tr("Change prize {0}", row + 1));
    if (field == Field::Name)
        if (const auto moved = renamePicture(row, document_.text(row, Field::Name), text)) {
            putPictures(moved->after);
            edit.add([this, after = moved->after] { putPictures(after); },
                     [this, before = moved->before] { putPictures(before); });
        }
    putText(row, field, text);
    const Kept after = keep(row);
    edit.add([this, row, after] { putRecord(row, after); }, [this, row, before] { putRecord(row, before); });
    edit.pushTo(undo_);
}

bool PrizeTable::nameUsedElsewhere(int row, const std::string &name) const
{
    for (int other = 0; other < rowCount(); ++other)
        if (other != row && document_.text(other, Field::Name) == name)
            return true;
    return false;
}

std::optional<PrizeTable::PictureMove> PrizeTable::renamePicture(int row, const std::string &from,
                                                                 const std::string &to)
{
    if (!catalogue::isSafePictureName(from) || !catalogue::isSafePictureName(to))
        return std::nullopt;
    const authoring::PictureBytes source = pictures_.picture(from);
    if (!source)
        return std::nullopt;
    const authoring::PictureBytes target = pictures_.picture(to);
    if (target && *target != *source &&
        !confirm(nameUsedElsewhere(row, to)
                     ? i18n::tr("Another prize is already named \"{0}\" and has a picture. Replace that picture with "
                                "the picture of \"{1}\"?",
                                to, from)
                     : i18n::tr("There is already a picture for \"{0}\". Replace it with the picture of \"{1}\"?", to,
                                from)))
        return std::nullopt;
    PictureMove move{{{from, source}, {to, target}}, {{to, source}}};
    // A prize that keeps the old name keeps its picture: copied, not moved.
    if (!nameUsedElsewhere(row, from))
        move.after.push_back({from, nullptr});
    return move;
}

void PrizeTable::addPrize(int at)
{
    at = std::clamp(at, 0, rowCount());
    changing(RowChange::Kind::Inserted, at);
    document_.insert(at, newPrize());
    changed(RowChange::Kind::Inserted, at);
    const Kept added = keep(at);
    EditBatch edit(i18n::tr("Add prize"));
    edit.add([this, at, added] { insertKept(at, added); }, [this, at] { removeRow(at); });
    edit.pushTo(undo_);
}

void PrizeTable::duplicatePrizes(std::vector<int> rows)
{
    rows = validRows(std::move(rows));
    if (rows.empty())
        return;
    EditBatch edit(i18n::tr("Duplicate {0} prize(s)", rows.size()));
    // From the bottom up, each copy just below its prize.
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        const int at = *row + 1;
        const Kept copy = keep(*row);
        insertKept(at, copy);
        edit.add([this, at, copy] { insertKept(at, copy); }, [this, at] { removeRow(at); });
    }
    edit.pushTo(undo_);
}

void PrizeTable::removePrizes(std::vector<int> rows)
{
    rows = validRows(std::move(rows));
    if (rows.empty())
        return;
    EditBatch edit(i18n::tr("Remove {0} prize(s)", rows.size()));
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        const int at = *row;
        const Kept removed = keep(at);
        removeRow(at);
        edit.add([this, at] { removeRow(at); }, [this, at, removed] { insertKept(at, removed); });
    }
    edit.pushTo(undo_);
}

std::vector<int> PrizeTable::movePrizes(std::vector<int> rows, int delta)
{
    rows = validRows(std::move(rows));
    if (rows.empty() || rows.front() + delta < 0 || rows.back() + delta >= rowCount())
        return rows;
    EditBatch edit(delta < 0 ? i18n::tr("Move up") : i18n::tr("Move down"));
    if (delta > 0)
        std::reverse(rows.begin(), rows.end());
    for (int &row : rows) {
        const int from = row;
        const int to = row + delta;
        moveRow(from, to);
        edit.add([this, from, to] { moveRow(from, to); }, [this, from, to] { moveRow(to, from); });
        row = to;
    }
    edit.pushTo(undo_);
    return sortedUnique(rows);
}

void PrizeTable::movePrizesBefore(std::vector<int> rows, int before)
{
    rows = validRows(std::move(rows));
    if (rows.empty())
        return;
    EditBatch edit(i18n::tr("Move {0} prize(s)", rows.size()));
    // Take the rows out one by one in order, keeping the target in step.
    int target = std::clamp(before, 0, rowCount());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const int from = rows[k];
        const int to = from < target ? target - 1 : target;
        if (from != to) {
            moveRow(from, to);
            edit.add([this, from, to] { moveRow(from, to); }, [this, from, to] { moveRow(to, from); });
        }
        // Rows still to move that lay between from and to have shifted.
        for (std::size_t j = k + 1; j < rows.size(); ++j) {
            if (from < to && rows[j] > from && rows[j] <= to)
                --rows[j];
            else if (from > to && rows[j] >= to && rows[j] < from)
                ++rows[j];
        }
        target = to + 1;
    }
    edit.pushTo(undo_);
}

void PrizeTable::replaceAll(authoring::PrizeDocument document, const std::string &what)
{
    const authoring::PrizeDocument before = document_;
    putDocument(document);
    EditBatch edit(what);
    edit.add([this, document] { putDocument(document); }, [this, before] { putDocument(before); });
    edit.pushTo(undo_);
}

void PrizeTable::scaleWeightsTo100(std::vector<int> rows)
{
    WeightScaling scaling;
    try {
        scaling = editing::scaleWeightsTo100(document_, std::move(rows));
    } catch (const authoring::ListError &error) {
        editFailed(error.what());
        return;
    }
    EditBatch edit(i18n::tr("Scale weights to 100"));
    for (const auto &[row, weight] : scaling.weights) {
        const Kept before = keep(row);
        putText(row, Field::Weight, weight);
        const Kept after = keep(row);
        edit.add([this, row, after] { putRecord(row, after); }, [this, row, before] { putRecord(row, before); });
    }
    edit.pushTo(undo_);
    if (!scaling.note.empty())
        editSaid(scaling.note);
}

void PrizeTable::restoreEdits(const authoring::Recovered &recovered)
{
    EditBatch edit(i18n::tr("Restore unsaved edits"));
    const authoring::PrizeDocument before = document_;
    authoring::PrizeDocument after = recovered.document;
    putDocument(after);
    edit.add([this, after] { putDocument(after); }, [this, before] { putDocument(before); });
    Pictures was, is;
    for (const auto &[name, bytes] : recovered.pictures)
        if (catalogue::isSafePictureName(name)) {
            was.push_back({name, pictures_.picture(name)});
            is.push_back({name, bytes});
        }
    putPictures(is);
    edit.add([this, is] { putPictures(is); }, [this, was] { putPictures(was); });
    edit.pushTo(undo_);
}

void PrizeTable::setPicture(int row, const std::filesystem::path &source)
{
    if (row < 0 || row >= rowCount())
        return;
    const std::string name = document_.text(row, Field::Name);
    if (const catalogue::FileNameFault fault = catalogue::pictureNameFault(name))
        throw authoring::ListError(
            fault.kind == catalogue::FileNameFault::Kind::Character
                ? i18n::tr("the name \"{0}\" holds {1}, which a file name cannot hold, so the game would never load "
                           "its picture; take it out of the name first",
                           name, odds::shownCharacter(fault.character))
                : i18n::tr("the name \"{0}\" cannot be a picture file name, so the game would never load it", name));
    if (!jpegOf)
        throw authoring::ListError(i18n::tr("no picture decoder"));
    const Pictures before{{name, pictures_.picture(name)}};
    const Pictures after{{name, std::make_shared<const std::string>(jpegOf(source))}};
    putPictures(after);
    EditBatch edit(i18n::tr("Picture of {0}", name));
    edit.add([this, after] { putPictures(after); }, [this, before] { putPictures(before); });
    edit.pushTo(undo_);
}

// --- Copy and paste ---

std::string PrizeTable::rowsAsText(std::vector<int> rows) const
{
    std::string text;
    for (int row : validRows(std::move(rows))) {
        for (Column column : {Weight, Color, Name, Amount, Note}) {
            std::string cell = cellText(row, column);
            // A tab or a quote would cut the cell or start a quoted one.
            if (cell.find_first_of("\t\"") != std::string::npos) {
                std::string quoted = "\"";
                for (char c : cell)
                    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
                cell = quoted + "\"";
            }
            text += cell + (column == Note ? "\r\n" : "\t");
        }
    }
    return text;
}

std::vector<int> PrizeTable::pasteRows(const std::string &text, int at)
{
    at = std::clamp(at, 0, rowCount());
    authoring::PrizeDocument pasted;
    try {
        pasted = authoring::pastedRows(text, newPrize());
    } catch (const authoring::ListError &error) {
        editFailed(i18n::tr("The pasted text gives no prizes: {0}", error.what()));
        return {};
    }
    if (pasted.size() == 0)
        return {};
    if (rowCount() + pasted.size() > catalogue::Catalogue::kMaxPrizes) {
        editFailed(i18n::tr("A list holds at most {0} prizes; pasting {1} more would pass that.",
                            catalogue::Catalogue::kMaxPrizes, pasted.size()));
        return {};
    }
    EditBatch edit(i18n::tr("Paste {0} prize(s)", pasted.size()));
    std::vector<int> added;
    for (int k = 0; k < pasted.size(); ++k) {
        const int row = at + k;
        changing(RowChange::Kind::Inserted, row);
        document_.insert(row, pasted.texts(k));
        changed(RowChange::Kind::Inserted, row);
        const Kept kept = keep(row);
        edit.add([this, row, kept] { insertKept(row, kept); }, [this, row] { removeRow(row); });
        added.push_back(row);
    }
    edit.pushTo(undo_);
    return added;
}

std::string PrizeTable::draggedRows(const std::vector<int> &rows) const
{
    return authoring::draggedRows(dragSource_, sortedUnique(rows));
}

void PrizeTable::dropRows(const std::string &dragged, int before)
{
    // Rows from another table or another program, or out of range, are no move of this list's rows.
    if (const auto rows = authoring::parseDraggedRows(dragged, dragSource_, rowCount()))
        movePrizesBefore(*rows, before);
}

// --- The table as shown ---

std::string PrizeTable::header(Column column)
{
    switch (column) {
    case Index: return i18n::tr("#");
    case Weight: return i18n::tr("Weight");
    case Color: return i18n::tr("Colour");
    case Name: return i18n::tr("Name");
    case Amount: return i18n::tr("Amount");
    case Note: return i18n::tr("Note");
    case Picture: return i18n::tr("Picture");
    case Chance: return i18n::tr("Chance");
    case Draws: return i18n::tr("Draws of 2^24");
    default: return {};
    }
}

int PrizeTable::widthAtFirst(Column column)
{
    constexpr int widths[ColumnCount] = {40, 70, 110, 130, 70, 90, 150, 95, 110};
    return column >= 0 && column < ColumnCount ? widths[column] : 0;
}

const odds::PrizeRow *PrizeTable::oddsOf(int row) const
{
    if (!check_ || row < 0 || row >= int(check_->report.prizes.size()))
        return nullptr;
    return &check_->report.prizes[std::size_t(row)];
}

std::string PrizeTable::warningsOf(int row) const
{
    return row >= 0 && row < int(warnings_.size()) ? warnings_[std::size_t(row)] : std::string();
}

std::optional<std::int32_t> PrizeTable::colorOf(int row) const
{
    const odds::PrizeRow *odds = oddsOf(row);
    return odds ? std::optional(odds->color) : std::nullopt;
}

const catalogue::Picture *PrizeTable::pictureOf(int row) const
{
    const odds::PrizeRow *odds = oddsOf(row);
    if (!odds || check_->picturesChecking.count(check_->report.picturePathOf(*odds)))
        return nullptr;
    return odds->loadedPicture.get();
}

std::string PrizeTable::cellText(int row, Column column) const
{
    if (row < 0 || row >= rowCount())
        return {};
    if (const auto field = fieldOf(column))
        return column == Color ? colorCellText(document_.text(row, *field)) : document_.text(row, *field);
    const odds::PrizeRow *odds = oddsOf(row);
    switch (column) {
    case Index: return std::to_string(row + 1); // as people count, and as the messages number prizes
    case Picture: {
        if (!odds)
            return {};
        if (check_->picturesChecking.count(
                check_->report.picturePathOf(*odds))) // judged on a worker thread, shown when known
            return i18n::tr("checking picture…");
        std::string state = odds::pictureStateLabel(odds->picture);
        if (!odds->pictureError.empty())
            state += ": " + odds->pictureError;
        return state;
    }
    case Chance: return odds ? fmt::format("{:.4f} %", odds::percentOf(odds->count)) : std::string();
    case Draws: return odds ? std::to_string(odds->count) : std::string();
    default: return {};
    }
}

bool PrizeTable::setCell(int row, Column column, const std::string &typed)
{
    const auto field = fieldOf(column);
    if (!field || row < 0 || row >= rowCount())
        return false;
    std::string text = typed;
    try {
        if (*field == Field::Color) {
            text = colorLineOf(text); // refused here, never stored to show black
            if (sameColor(text, document_.text(row, Field::Color)))
                return true; // the line as written stays, "255.0" say
        }
        setText(row, *field, text);
        return true;
    } catch (const std::exception &error) {
        editFailed(error.what());
        return false;
    }
}

} // namespace editing
