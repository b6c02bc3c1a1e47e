// The table over the list document, and the undoable edits.
#include "prize_table_model.h"

#include "list_edit.h"
#include "picture_loader.h"
#include "qt_picture_loader.h"
#include "twips.h"

#include <QColor>
#include <QFile>
#include <QMimeData>
#include <QPixmap>
#include <QUrl>

#include <algorithm>

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

void restoreAll(const std::vector<FileSnapshot> &files)
{
    for (const FileSnapshot &file : files)
        file.restore();
}

QList<int> sortedUnique(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}
} // namespace

PrizeTableModel::PrizeTableModel(QUndoStack &undo, QObject *parent) : QAbstractTableModel(parent), undo_(undo) {}

void PrizeTableModel::resetDocument(authoring::PrizeDocument document)
{
    undo_.clear();
    putDocument(document);
}

void PrizeTableModel::setCheck(std::shared_ptr<const ListCheck> check)
{
    check_ = std::move(check);
    warnings_.assign(check_->report.prizes.size(), QString());
    for (const odds::Warning &warning : check_->report.warnings)
        if (warning.index && *warning.index >= 0 && std::size_t(*warning.index) < warnings_.size()) {
            QString &text = warnings_[std::size_t(*warning.index)];
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + qs(warning.message);
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

void PrizeTableModel::restoreFiles(const std::vector<FileSnapshot> &files)
{
    // Runs inside undo and redo, where nothing may throw into Qt.
    try {
        restoreAll(files);
    } catch (const std::exception &error) {
        emit editFailed(tr("A picture file could not be put back: %1").arg(qs(error.what())));
    }
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
    std::optional<PictureMove> moved;
    try {
        if (field == Field::Name)
            moved = renamePicture(document_.text(row, Field::Name), text);
    } catch (const std::exception &error) {
        emit editFailed(tr("The picture was not renamed: %1").arg(qs(error.what())));
        return;
    }
    putText(row, field, text);
    const Kept after = keep(row);
    undo_.beginMacro(field == Field::Name ? tr("Rename prize %1").arg(row) : tr("Change prize %1").arg(row));
    if (moved)
        undo_.push(new ListEdit(
            {}, [this, after = moved->after] { restoreFiles(after); },
            [this, before = moved->before] { restoreFiles(before); }));
    undo_.push(new ListEdit(
        {}, [this, row, after] { putRecord(row, after); }, [this, row, before] { putRecord(row, before); }));
    undo_.endMacro();
}

std::optional<PrizeTableModel::PictureMove> PrizeTableModel::renamePicture(const std::string &from,
                                                                           const std::string &to)
{
    if (!pictures_ || !catalogue::isSafePictureName(from) || !catalogue::isSafePictureName(to))
        return std::nullopt;
    const auto source = pictures_->fileOf(from);
    const auto target = pictures_->fileOf(to);
    std::error_code error;
    if (!std::filesystem::is_regular_file(source, error))
        return std::nullopt;
    if (std::filesystem::exists(target, error) &&
        !confirm(tr("The picture folder already holds %1. Replace it with the picture of \"%2\"?")
                     .arg(QFile::decodeName(target.c_str()), qs(from))))
        return std::nullopt;
    PictureMove move{{FileSnapshot::of(source), FileSnapshot::of(target)}, {}};
    move.after = {{target, move.before[0].bytes}, {source, std::nullopt}};
    restoreAll(move.after);
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
    rows = sortedUnique(rows);
    if (rows.isEmpty())
        return;
    undo_.beginMacro(tr("Duplicate %n prize(s)", nullptr, int(rows.size())));
    // From the bottom up, each copy just below its prize.
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        const int at = *row + 1;
        const Kept copy = keep(*row);
        insertKept(at, copy);
        undo_.push(new ListEdit({}, [this, at, copy] { insertKept(at, copy); }, [this, at] { removeRow(at); }));
    }
    undo_.endMacro();
}

void PrizeTableModel::removePrizes(QList<int> rows)
{
    rows = sortedUnique(rows);
    if (rows.isEmpty())
        return;
    undo_.beginMacro(tr("Remove %n prize(s)", nullptr, int(rows.size())));
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        const int at = *row;
        const Kept removed = keep(at);
        removeRow(at);
        undo_.push(new ListEdit({}, [this, at] { removeRow(at); }, [this, at, removed] { insertKept(at, removed); }));
    }
    undo_.endMacro();
}

QList<int> PrizeTableModel::movePrizes(QList<int> rows, int delta)
{
    rows = sortedUnique(rows);
    if (rows.isEmpty() || rows.front() + delta < 0 || rows.back() + delta >= rowCount())
        return rows;
    undo_.beginMacro(delta < 0 ? tr("Move up") : tr("Move down"));
    if (delta > 0)
        std::reverse(rows.begin(), rows.end());
    for (int &row : rows) {
        const int from = row;
        const int to = row + delta;
        moveRow(from, to);
        undo_.push(new ListEdit({}, [this, from, to] { moveRow(from, to); }, [this, from, to] { moveRow(to, from); }));
        row = to;
    }
    undo_.endMacro();
    return sortedUnique(rows);
}

void PrizeTableModel::movePrizesBefore(QList<int> rows, int before)
{
    rows = sortedUnique(rows);
    if (rows.isEmpty())
        return;
    undo_.beginMacro(tr("Move %n prize(s)", nullptr, int(rows.size())));
    // Take the rows out one by one in order, keeping the target in step.
    int target = before;
    for (int k = 0; k < rows.size(); ++k) {
        const int from = rows[k];
        const int to = from < target ? target - 1 : target;
        if (from != to) {
            moveRow(from, to);
            undo_.push(
                new ListEdit({}, [this, from, to] { moveRow(from, to); }, [this, from, to] { moveRow(to, from); }));
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
    undo_.endMacro();
}

void PrizeTableModel::replaceAll(authoring::PrizeDocument document, const QString &what)
{
    const authoring::PrizeDocument before = document_;
    putDocument(document);
    undo_.push(new ListEdit(
        what, [this, document] { putDocument(document); }, [this, before] { putDocument(before); }));
}

void PrizeTableModel::setPicture(int row, const std::filesystem::path &source)
{
    if (!pictures_)
        throw authoring::ListError("save the list first: its pictures go in the picture folder beside it");
    const std::string name = document_.text(row, Field::Name);
    const auto target = pictures_->fileOf(name);
    const std::vector<FileSnapshot> before{FileSnapshot::of(target)};
    pictures_->importPicture(source, name);
    const std::vector<FileSnapshot> after{FileSnapshot::of(target)};
    emit listChanged();
    undo_.push(new ListEdit(
        tr("Picture of %1").arg(qs(name)), [this, after] { restoreFiles(after); },
        [this, before] { restoreFiles(before); }));
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
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return qs(document_.text(row, *field));
        if (role == Qt::DecorationRole && column == Color && odds)
            return window::fromColorNumber(odds->color); // as the strip shows it
        return {};
    }
    switch (column) {
    case Index:
        if (role == Qt::DisplayRole)
            return row;
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
            QString state = QString::fromLatin1(odds::pictureStateText(odds->picture));
            if (!odds->pictureError.empty())
                state += QStringLiteral(": ") + qs(odds->pictureError);
            return state;
        }
        if (role == Qt::DecorationRole)
            if (auto *picture = dynamic_cast<const window::QtPicture *>(odds->loadedPicture.get()))
                if (const QImage *image = picture->image())
                    return QPixmap::fromImage(image->scaled(QSize(44, 28), Qt::IgnoreAspectRatio,
                                                            Qt::SmoothTransformation));
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
    default:
        return {};
    }
}

bool PrizeTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const auto field = fieldOf(index.column());
    if (role != Qt::EditRole || !field || index.row() >= rowCount())
        return false;
    setText(index.row(), *field, value.toString().toStdString());
    return true;
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
    QByteArray encoded;
    for (int row : sortedUnique(rows))
        encoded += QByteArray::number(row) + ' ';
    auto *data = new QMimeData;
    data->setData(kRowsMime, encoded);
    return data;
}

bool PrizeTableModel::dropMimeData(const QMimeData *data, Qt::DropAction, int row, int, const QModelIndex &parent)
{
    const int target = parent.isValid() ? parent.row() : (row < 0 ? rowCount() : row);
    if (data->hasUrls() && parent.isValid()) {
        try {
            setPicture(target, std::filesystem::path(data->urls().front().toLocalFile().toStdString()));
        } catch (const std::exception &error) {
            emit editFailed(qs(error.what()));
        }
        return false;
    }
    if (!data->hasFormat(kRowsMime))
        return false;
    QList<int> rows;
    for (const QByteArray &number : data->data(kRowsMime).split(' '))
        if (!number.isEmpty())
            rows << number.toInt();
    movePrizesBefore(rows, target);
    return false; // the rows are moved already; the view must not remove them
}

} // namespace editor
