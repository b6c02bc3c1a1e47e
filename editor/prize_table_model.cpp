// The table over the list document, and the undoable edits.
#include "prize_table_model.h"

#include "i18n.h"
#include "dragged_rows.h"
#include "list_edit.h"
#include "picture_folder.h"
#include "picture_loader.h"
#include "prize_columns.h"
#include "prize_csv.h"
#include "qt_picture_loader.h"
#include "twips.h"
#include "weight_scaling.h"

#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QMimeData>
#include <QPixmap>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace editor {

using authoring::Field;

namespace {
const QString kRowsMime = QStringLiteral("application/x-prizeedit-rows");
const QColor kWarned(255, 236, 150);

std::optional<Field> fieldOf(int column)
{
    switch (column) {
    case PrizeTableModel::Weight: return Field::Weight;
    case PrizeTableModel::Color: return Field::Color;
    case PrizeTableModel::Name: return Field::Name;
    case PrizeTableModel::Amount: return Field::Amount;
    case PrizeTableModel::Note: return Field::Note;
    default: return std::nullopt;
    }
}

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }

QList<int> sortedUnique(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
} // namespace

QList<int> PrizeTableModel::validRows(QList<int> rows) const
{
    rows = sortedUnique(rows);
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int row) { return row < 0 || row >= rowCount(); }),
               rows.end());
    return rows;
}

PrizeTableModel::PrizeTableModel(QUndoStack &undo, QObject *parent)
    : QAbstractTableModel(parent), undo_(undo), dragSource_(QStringLiteral("prizeedit:%1:%2")
                                                                .arg(QCoreApplication::applicationPid())
                                                                .arg(reinterpret_cast<quintptr>(this), 0, 16)
                                                                .toStdString())
{
}

void PrizeTableModel::resetDocument(authoring::PrizeDocument document)
{
    undo_.clear();
    putDocument(document);
}

void PrizeTableModel::resetPictureFolder(std::optional<std::filesystem::path> folder)
{
    pictures_ = {};
    pictures_.setFolder(std::move(folder));
    emit listChanged();
}

std::string PrizeTableModel::save(const std::filesystem::path &file, authoring::FileSystem &files)
{
    std::string note = authoring::saveList(document_, pictures_, file, files);
    undo_.setClean();
    emit listChanged();
    return note;
}

void PrizeTableModel::setCheck(std::shared_ptr<const ListCheck> check)
{
    check_ = std::move(check);
    warnings_.assign(check_->report.prizes.size(), QString());
    for (const odds::Warning &warning : check_->report.warnings)
        if (warning.index && *warning.index >= 0 && std::size_t(*warning.index) < warnings_.size()) {
            QString &text = warnings_[std::size_t(*warning.index)];
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + qs(odds::textWithRemedies(warning));
        }
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

authoring::Record PrizeTableModel::restorable(Kept kept) const
{
    // Bytes read in one encoding must not be written into a file of another.
    if (kept.bytesIn != document_.keptBytesEncoding())
        for (authoring::Line &line : kept.record)
            line.bytes.reset();
    return kept.record;
}

// --- The changes, with the views told ---

void PrizeTableModel::putRecord(int row, const Kept &kept)
{
    document_.replaceRecord(row, restorable(kept));
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    emit listChanged();
}

void PrizeTableModel::putText(int row, Field field, const std::string &text)
{
    document_.setText(row, field, text);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    emit listChanged();
}

void PrizeTableModel::insertKept(int at, const Kept &kept)
{
    beginInsertRows({}, at, at);
    document_.insertRecord(at, restorable(kept));
    endInsertRows();
    emit listChanged();
}

void PrizeTableModel::removeRow(int row)
{
    beginRemoveRows({}, row, row);
    document_.remove(row);
    endRemoveRows();
    emit listChanged();
}

void PrizeTableModel::moveRow(int from, int to)
{
    if (from == to)
        return;
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    document_.move(from, to);
    endMoveRows();
    emit listChanged();
}

void PrizeTableModel::putDocument(const authoring::PrizeDocument &document)
{
    beginResetModel();
    document_ = document;
    endResetModel();
    emit listChanged();
}

void PrizeTableModel::putPictures(const Pictures &pictures)
{
    for (const auto &[name, bytes] : pictures)
        pictures_.setPicture(name, bytes); // names checked when the step was made
    emit listChanged();
}

// --- Edits ---

void PrizeTableModel::setText(int row, Field field, const std::string &text)
{
    if (document_.text(row, field) == text)
        return;
    if (text.find_first_of("\r\n") != std::string::npos) {
        emit editFailed(tr("A line of a prize list cannot hold a line break."));
        return;
    }
    const Kept before = keep(row);
    EditBatch edit(field == Field::Name ? tr("Rename prize %1").arg(row + 1) : tr("Change prize %1").arg(row + 1));
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

bool PrizeTableModel::nameUsedElsewhere(int row, const std::string &name) const
{
    for (int other = 0; other < rowCount(); ++other)
        if (other != row && document_.text(other, Field::Name) == name)
            return true;
    return false;
}

std::optional<PrizeTableModel::PictureMove> PrizeTableModel::renamePicture(int row, const std::string &from,
                                                                           const std::string &to)
{
    if (!catalogue::isSafePictureName(from) || !catalogue::isSafePictureName(to))
        return std::nullopt;
    const authoring::PictureBytes source = pictures_.picture(from);
    if (!source)
        return std::nullopt;
    const authoring::PictureBytes target = pictures_.picture(to);
    if (target && *target != *source &&
        !confirm(
            tr("There is already a picture for \"%1\". Replace it with the picture of \"%2\"?").arg(qs(to), qs(from))))
        return std::nullopt;
    PictureMove move{{{from, source}, {to, target}}, {{to, source}}};
    // A prize that keeps the old name keeps its picture: copied, not moved.
    if (!nameUsedElsewhere(row, from))
        move.after.push_back({from, nullptr});
    return move;
}

void PrizeTableModel::addPrize(int at)
{
    at = std::clamp(at, 0, rowCount());
    const authoring::Texts texts{"1", "65535", tr("New prize").toStdString(), "1", ""}; // a yellow strip
    beginInsertRows({}, at, at);
    document_.insert(at, texts);
    endInsertRows();
    emit listChanged();
    const Kept added = keep(at);
    undo_.push(new ListEdit(
        tr("Add prize"), [this, at, added] { insertKept(at, added); }, [this, at] { removeRow(at); }));
}

void PrizeTableModel::duplicatePrizes(QList<int> rows)
{
    rows = validRows(rows);
    if (rows.isEmpty())
        return;
    EditBatch edit(tr("Duplicate %n prize(s)", nullptr, int(rows.size())));
    // From the bottom up, each copy just below its prize.
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        const int at = *row + 1;
        const Kept copy = keep(*row);
        insertKept(at, copy);
        edit.add([this, at, copy] { insertKept(at, copy); }, [this, at] { removeRow(at); });
    }
    edit.pushTo(undo_);
}

void PrizeTableModel::removePrizes(QList<int> rows)
{
    rows = validRows(rows);
    if (rows.isEmpty())
        return;
    EditBatch edit(tr("Remove %n prize(s)", nullptr, int(rows.size())));
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        const int at = *row;
        const Kept removed = keep(at);
        removeRow(at);
        edit.add([this, at] { removeRow(at); }, [this, at, removed] { insertKept(at, removed); });
    }
    edit.pushTo(undo_);
}

QList<int> PrizeTableModel::movePrizes(QList<int> rows, int delta)
{
    rows = validRows(rows);
    if (rows.isEmpty() || rows.front() + delta < 0 || rows.back() + delta >= rowCount())
        return rows;
    EditBatch edit(delta < 0 ? tr("Move up") : tr("Move down"));
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

void PrizeTableModel::movePrizesBefore(QList<int> rows, int before)
{
    rows = validRows(rows);
    if (rows.isEmpty())
        return;
    EditBatch edit(tr("Move %n prize(s)", nullptr, int(rows.size())));
    // Take the rows out one by one in order, keeping the target in step.
    int target = before;
    for (int k = 0; k < rows.size(); ++k) {
        const int from = rows[k];
        const int to = from < target ? target - 1 : target;
        if (from != to) {
            moveRow(from, to);
            edit.add([this, from, to] { moveRow(from, to); }, [this, from, to] { moveRow(to, from); });
        }
        // Rows still to move that lay between from and to have shifted.
        for (int j = k + 1; j < rows.size(); ++j) {
            if (from < to && rows[j] > from && rows[j] <= to)
                --rows[j];
            else if (from > to && rows[j] >= to && rows[j] < from)
                ++rows[j];
        }
        target = to + 1;
    }
    edit.pushTo(undo_);
}

void PrizeTableModel::replaceAll(authoring::PrizeDocument document, const QString &what)
{
    const authoring::PrizeDocument before = document_;
    putDocument(document);
    undo_.push(new ListEdit(
        what, [this, document] { putDocument(document); }, [this, before] { putDocument(before); }));
}

void PrizeTableModel::scaleWeightsTo100(QList<int> rows)
{
    WeightScaling scaling;
    try {
        scaling = editor::scaleWeightsTo100(document_, {rows.begin(), rows.end()});
    } catch (const authoring::ListError &error) {
        emit editFailed(qs(error.what()));
        return;
    }
    EditBatch edit(tr("Scale weights to 100"));
    for (const auto &[row, weight] : scaling.weights) {
        const Kept before = keep(row);
        putText(row, Field::Weight, weight);
        const Kept after = keep(row);
        edit.add([this, row, after] { putRecord(row, after); }, [this, row, before] { putRecord(row, before); });
    }
    edit.pushTo(undo_);
    if (!scaling.note.empty())
        emit editSaid(qs(scaling.note));
}

void PrizeTableModel::restoreEdits(const authoring::Recovered &recovered)
{
    EditBatch edit(tr("Restore unsaved edits"));
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

void PrizeTableModel::setPicture(int row, const std::filesystem::path &source)
{
    const std::string name = document_.text(row, Field::Name);
    if (const catalogue::FileNameFault fault = catalogue::pictureNameFault(name))
        throw authoring::ListError(
            fault.kind == catalogue::FileNameFault::Kind::Character
                ? i18n::tr("the name \"{0}\" holds {1}, which a file name cannot hold, so the game would never load "
                           "its picture; take it out of the name first",
                           name, odds::shownCharacter(fault.character))
                : i18n::tr("the name \"{0}\" cannot be a picture file name, so the game would never load it", name));
    const Pictures before{{name, pictures_.picture(name)}};
    const Pictures after{{name, std::make_shared<const std::string>(PictureFolder::pictureBytes(source))}};
    putPictures(after);
    undo_.push(new ListEdit(
        tr("Picture of %1").arg(qs(name)), [this, after] { putPictures(after); },
        [this, before] { putPictures(before); }));
}

// --- The table ---

int PrizeTableModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : document_.size(); }

int PrizeTableModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

const odds::PrizeRow *PrizeTableModel::oddsOf(int row) const
{
    if (!check_ || row >= int(check_->report.prizes.size()))
        return nullptr;
    return &check_->report.prizes[std::size_t(row)];
}

QString PrizeTableModel::warningsOf(int row) const
{
    return row < int(warnings_.size()) ? warnings_[std::size_t(row)] : QString();
}

QVariant PrizeTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    const int column = index.column();
    const odds::PrizeRow *odds = oddsOf(row);

    if (const auto field = fieldOf(column)) {
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && column == Color)
            return qs(colorCellText(document_.text(row, *field)));
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return qs(document_.text(row, *field));
        if (role == Qt::DecorationRole && column == Color && odds)
            return window::fromColorNumber(odds->color); // as the strip shows it
        return {};
    }
    switch (column) {
    case Index:
        if (role == Qt::DisplayRole)
            return row + 1; // as people count, and as the messages number prizes
        if (role == Qt::BackgroundRole && !warningsOf(row).isEmpty())
            return kWarned;
        if (role == Qt::ToolTipRole)
            return warningsOf(row);
        return {};
    case Picture:
        if (!odds)
            return {};
        if (check_->picturesChecking.count(odds->picturePath)) // judged on a worker thread, shown when known
            return role == Qt::DisplayRole ? QVariant(tr("checking picture…")) : QVariant();
        if (role == Qt::DisplayRole) {
            QString state = QString::fromUtf8(odds::pictureStateLabel(odds->picture));
            if (!odds->pictureError.empty())
                state += QStringLiteral(": ") + qs(odds->pictureError);
            return state;
        }
        if (role == Qt::DecorationRole)
            if (auto *picture = dynamic_cast<const window::QtPicture *>(odds->loadedPicture.get()))
                if (const QImage *image = picture->image())
                    return QPixmap::fromImage(
                        image->scaled(QSize(44, 28), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        return {};
    case Chance:
    case Draws:
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole || !odds)
            return {};
        if (column == Draws)
            return QString::number(odds->count);
        return QStringLiteral("%1 %").arg(odds::percentOf(odds->count), 0, 'f', 4);
    default: return {};
    }
}

bool PrizeTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const auto field = fieldOf(index.column());
    if (role != Qt::EditRole || !field || index.row() < 0 || index.row() >= rowCount())
        return false;
    std::string text = value.toString().toStdString();
    try {
        if (*field == Field::Color) {
            text = colorLineOf(text); // refused here, never stored to show black
            if (sameColor(text, document_.text(index.row(), Field::Color)))
                return true; // the line as written stays, "255.0" say
        }
        setText(index.row(), *field, text);
        return true;
    } catch (const std::exception &error) {
        emit editFailed(qs(error.what()));
        return false;
    }
}

QVariant PrizeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Index: return tr("#");
    case Weight: return tr("Weight");
    case Color: return tr("Colour");
    case Name: return tr("Name");
    case Amount: return tr("Amount");
    case Note: return tr("Note");
    case Picture: return tr("Picture");
    case Chance: return tr("Chance");
    case Draws: return tr("Draws of 2^24");
    default: return {};
    }
}

Qt::ItemFlags PrizeTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
    if (!index.isValid())
        return flags;
    flags |= Qt::ItemIsDragEnabled;
    if (fieldOf(index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QStringList PrizeTableModel::mimeTypes() const { return {kRowsMime, QStringLiteral("text/uri-list")}; }

QMimeData *PrizeTableModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        rows << index.row();
    rows = sortedUnique(rows);
    auto *data = new QMimeData;
    data->setData(kRowsMime,
                  QByteArray::fromStdString(authoring::draggedRows(dragSource_, {rows.begin(), rows.end()})));
    return data;
}

bool PrizeTableModel::dropMimeData(const QMimeData *data, Qt::DropAction, int row, int, const QModelIndex &parent)
{
    // Whatever is dropped, the rows are moved here or not at all: the view must not remove them.
    if (!data)
        return false;
    const int target = std::clamp(parent.isValid() ? parent.row() : (row < 0 ? rowCount() : row), 0, rowCount());
    try {
        if (data->hasUrls() && parent.isValid() && target < rowCount()) {
            const QUrl url = data->urls().front();
            if (url.isLocalFile())
                setPicture(target, std::filesystem::path(QFile::encodeName(url.toLocalFile()).toStdString()));
            return false;
        }
        // Rows from another table or another program, or out of range, are no move of this list's rows.
        const auto rows = authoring::parseDraggedRows(data->data(kRowsMime).toStdString(), dragSource_, rowCount());
        if (rows)
            movePrizesBefore({rows->begin(), rows->end()}, target);
    } catch (const std::exception &error) {
        emit editFailed(qs(error.what()));
    }
    return false;
}

} // namespace editor
