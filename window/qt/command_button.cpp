// Painting of the start button.
#include "command_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace window {

CommandButton::CommandButton(QWidget *parent, const QString &name, QRect pixels, const QString &caption, QColor face)
    : QPushButton(caption, parent), face_(face)
{
    setObjectName(name);
    setGeometry(pixels);
    // Enter presses the button only while it holds the focus; it is never
    // the window's default button.
    setAutoDefault(true);
    setDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

void CommandButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool sunken = isDown();
    const QBrush face(face_);
    qDrawWinButton(&painter, rect(), palette(), sunken, &face);

    QRect textRect = rect().adjusted(4, 4, -4, -4);
    if (sunken)
        textRect.translate(1, 1);
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text());
    } else {
        // Greyed and etched, as a disabled button caption is on the classic desktop.
        painter.setPen(palette().color(QPalette::Active, QPalette::Light));
        painter.drawText(textRect.translated(1, 1), Qt::AlignCenter | Qt::TextSingleLine, text());
        painter.setPen(palette().color(QPalette::Active, QPalette::Dark));
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text());
    }

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(4, 4, -4, -4);
        option.backgroundColor = face_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace window
