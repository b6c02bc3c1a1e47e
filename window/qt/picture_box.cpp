// Painting a picture box: background, border, then its graphical controls.
#include "picture_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace window {

namespace {
QRect clientRectOf(QRect pixels, PictureBox::Border border)
{
    const int inset = border == PictureBox::Border::Thin ? PictureBox::kThinBorderPixels : 0;
    return QRect(QPoint(0, 0), pixels.size()).adjusted(inset, inset, -inset, -inset);
}
} // namespace

PictureBox::PictureBox(QWidget *parent, const QString &name, QRect pixels, QPalette::ColorRole background,
                       Border border)
    : QWidget(parent), border_(border), surface_(*this, clientRectOf(pixels, border))
{
    setObjectName(name);
    setGeometry(pixels);
    setBackgroundRole(background);
    // Every pixel is painted here, so Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Picture boxes take the keyboard focus in the tab order, and show none.
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setBackgroundColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(backgroundRole(), color);
    setPalette(p);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // One dirty rectangle at a time: under a rectangular clip Qt copies an
    // opaque picture straight into the window, while under a clip of several
    // rectangles (a card beneath the marker bar) it blends the picture span by
    // span and hands the spans to worker threads, which costs more than it saves.
    for (const QRect &dirty : event->region()) {
        painter.setClipRect(dirty);
        painter.fillRect(dirty, backgroundColor());
        if (border_ == Border::Thin)
            qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
        surface_.paint(painter, dirty);
    }
}

} // namespace window
