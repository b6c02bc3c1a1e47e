// The core's table as a Qt model.
#include "prize_table_model.h"

#include "qt_picture_loader.h"
#include "twips.h"

#include <QColor>
#include <QFile>
#include <QMimeData>
#include <QPixmap>
#include <QUrl>

#include <algorithm>

namespace editor {

using editing::PrizeTable;
using editing::RowChange;

namespace {
const QString kRowsMime = QStringLiteral("application/x-prizeedit-rows");
const QColor kWarned(255, 236, 150);

QString qs(const std::string &utf8) { return QString::fromStdString(utf8); }
} // namespace

PrizeTableModel::PrizeTableModel(PrizeTable &table, QObject *parent) : QAbstractTableModel(parent), table_(table)
{
    table_.view = this;
}

PrizeTableModel::~PrizeTableModel()
{
    if (table_.view == this)
        table_.view = nullptr;
}

void PrizeTableModel::rowsChanging(const RowChange &change)
{
    switch (change.kind) {
    case RowChange::Kind::Reset: beginResetModel(); break;
    case RowChange::Kind::Inserted: beginInsertRows({}, change.row, change.row); break;
    case RowChange::Kind::Removed: beginRemoveRows({}, change.row, change.row); break;
    case RowChange::Kind::Moved:
        beginMoveRows({}, change.row, change.row, {}, change.to > change.row ? change.to + 1 : change.to);
        break;
    case RowChange::Kind::Changed: break;
    }
}

void PrizeTableModel::rowsChanged(const RowChange &change)
{
    switch (change.kind) {
    case RowChange::Kind::Reset: endResetModel(); break;
    case RowChange::Kind::Inserted: endInsertRows(); break;
    case RowChange::Kind::Removed: endRemoveRows(); break;
    case RowChange::Kind::Moved: endMoveRows(); break;
    case RowChange::Kind::Changed:
        if (change.row < 0) // every row
            emit dataChanged(index(0, 0), index(rowCount() - 1, PrizeTable::ColumnCount - 1));
        else
            emit dataChanged(index(change.row, 0), index(change.row, PrizeTable::ColumnCount - 1));
        break;
    }
}

int PrizeTableModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : table_.rowCount(); }

int PrizeTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : PrizeTable::ColumnCount;
}

QVariant PrizeTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int row = index.row();
    const auto column = PrizeTable::Column(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const std::string text = table_.cellText(row, column);
        if (column == PrizeTable::Index && role == Qt::DisplayRole)
            return row + 1;
        return text.empty() && column == PrizeTable::Picture ? QVariant() : QVariant(qs(text));
    }
    case Qt::DecorationRole:
        if (column == PrizeTable::Color)
            if (const auto color = table_.colorOf(row))
                return window::fromColorNumber(*color); // as the strip shows it
        if (column == PrizeTable::Picture)
            if (auto *picture = dynamic_cast<const window::QtPicture *>(table_.pictureOf(row)))
                if (const QImage *image = picture->image())
                    return QPixmap::fromImage(
                        image->scaled(QSize(44, 28), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        return {};
    case Qt::BackgroundRole:
        if (column == PrizeTable::Index && !table_.warningsOf(row).empty())
            return kWarned;
        return {};
    case Qt::ToolTipRole:
        if (column == PrizeTable::Index)
            return qs(table_.warningsOf(row));
        return {};
    case Qt::TextAlignmentRole:
        if (PrizeTable::alignedRight(column))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default: return {};
    }
}

bool PrizeTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    return table_.setCell(index.row(), PrizeTable::Column(index.column()), value.toString().toStdString());
}

QVariant PrizeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= PrizeTable::ColumnCount)
        return {};
    return qs(PrizeTable::header(PrizeTable::Column(section)));
}

Qt::ItemFlags PrizeTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
    if (!index.isValid())
        return flags;
    flags |= Qt::ItemIsDragEnabled;
    if (PrizeTable::isEditable(PrizeTable::Column(index.column())))
        flags |= Qt::ItemIsEditable;
    return flags;
}

QStringList PrizeTableModel::mimeTypes() const { return {kRowsMime, QStringLiteral("text/uri-list")}; }

QMimeData *PrizeTableModel::mimeData(const QModelIndexList &indexes) const
{
    std::vector<int> rows;
    for (const QModelIndex &index : indexes)
        rows.push_back(index.row());
    auto *data = new QMimeData;
    data->setData(kRowsMime, QByteArray::fromStdString(table_.draggedRows(rows)));
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
            if (url.isLocalFile() && pictureDropped)
                pictureDropped(target, std::filesystem::path(QFile::encodeName(url.toLocalFile()).toStdString()));
            return false;
        }
        table_.dropRows(data->data(kRowsMime).toStdString(), target);
    } catch (const std::exception &error) {
        table_.editFailed(error.what());
    }
    return false;
}

} // namespace editor
