// The colour dialog behind a double click.
#include "color_delegate.h"

#include <QColorDialog>
#include <QEvent>

namespace editor {

bool ColorDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                const QModelIndex &index)
{
    if (event->type() != QEvent::MouseButtonDblClick)
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    const QColor shown = index.data(Qt::DecorationRole).value<QColor>();
    const QColor chosen =
        QColorDialog::getColor(shown.isValid() ? shown : Qt::black, const_cast<QWidget *>(option.widget));
    if (chosen.isValid()) // the game's number: red + 256 x green + 65536 x blue
        model->setData(index, QString::number(chosen.red() + 256 * chosen.green() + 65536 * chosen.blue()));
    return true;
}

} // namespace editor
