// The prize table as Qt's views see it: the editing core's table, its rows
// and cells given as a Qt model, its row changes passed on as Qt's signals.
#pragma once

#include "prize_table.h"

#include <QAbstractTableModel>

#include <filesystem>
#include <functional>

namespace editor {

class PrizeTableModel : public QAbstractTableModel, private editing::RowListener {
    Q_OBJECT
public:
    using Column = editing::PrizeTable::Column;

    explicit PrizeTableModel(editing::PrizeTable &table, QObject *parent = nullptr);
    ~PrizeTableModel() override;

    editing::PrizeTable &table() { return table_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction | Qt::CopyAction; }
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    // A picture file dropped on a row, for the session to take.
    std::function<void(int row, const std::filesystem::path &file)> pictureDropped;

    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

private:
    void rowsChanging(const editing::RowChange &change) override;
    void rowsChanged(const editing::RowChange &change) override;

    editing::PrizeTable &table_;
};

} // namespace editor
