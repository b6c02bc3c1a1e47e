// Editing a colour in the table: a double click opens the colour dialog,
// typing edits the number the file holds.
#pragma once

#include <QStyledItemDelegate>

namespace editor {

class ColorDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
};

} // namespace editor
