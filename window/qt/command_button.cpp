// Painting of the start button.
#include "command_button.h"

#include "picture_box.h"

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

void CommandButton::setPlace(QRect pixels, const QFont &font, int edgePixels, int insetPixels, int unitPixels)
{
    setGeometry(pixels);
    setFont(font);
    edge_ = edgePixels;
    inset_ = insetPixels;
    unit_ = unitPixels;
    update();
}

void CommandButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool sunken = isDown();
    const QBrush face(face_);
    if (edge_ == 2) {
        qDrawWinButton(&painter, rect(), palette(), sunken, &face);
    } else {
        painter.fillRect(rect(), face);
        const QPalette &p = palette();
        drawClassicEdge(painter, rect(),
                        sunken
                            ? EdgeColors{p.shadow().color(), p.light().color(), p.dark().color(), p.button().color()}
                            : EdgeColors{p.light().color(), p.shadow().color(), p.midlight().color(), p.dark().color()},
                        edge_);
    }

    QRect textRect = rect().adjusted(inset_, inset_, -inset_, -inset_);
    if (sunken)
        textRect.translate(unit_, unit_);
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text());
    } else {
        // Greyed and etched, as a disabled button caption is on the classic desktop.
        painter.setPen(palette().color(QPalette::Active, QPalette::Light));
        painter.drawText(textRect.translated(unit_, unit_), Qt::AlignCenter | Qt::TextSingleLine, text());
        painter.setPen(palette().color(QPalette::Active, QPalette::Dark));
        painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text());
    }

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(inset_, inset_, -inset_, -inset_);
        option.backgroundColor = face_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace window
