// Painting a picture box: background, border, then its graphical controls.
#include "picture_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace window {

namespace {
QRect clientRectOf(QRect pixels, int inset)
{
    return QRect(QPoint(0, 0), pixels.size()).adjusted(inset, inset, -inset, -inset);
}
} // namespace

void drawClassicEdge(QPainter &painter, QRect r, const EdgeColors &colors, int width)
{
    for (int step = 0; step < width && r.width() > 0 && r.height() > 0; ++step) {
        const bool outer = step < (width + 1) / 2;
        const QColor &topLeft = outer ? colors.outerTopLeft : colors.innerTopLeft;
        const QColor &bottomRight = outer ? colors.outerBottomRight : colors.innerBottomRight;
        painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

PictureBox::PictureBox(QWidget *parent, const QString &name, QRect pixels, QPalette::ColorRole background,
                       Border border)
    : QWidget(parent), border_(border), borderPixels_(border == Border::Thin ? kThinBorderPixels : 0),
      surface_(*this, clientRectOf(pixels, borderPixels_))
{
    setObjectName(name);
    setGeometry(pixels);
    setBackgroundRole(background);
    // Every pixel is painted here, so Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Picture boxes take the keyboard focus in the tab order, and show none.
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setPlace(QRect pixels, int thinBorderPixels)
{
    borderPixels_ = border_ == Border::Thin ? thinBorderPixels : 0;
    setGeometry(pixels);
    surface_.setClientRect(clientRectOf(pixels, borderPixels_));
    update();
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
        if (borderPixels_ == kThinBorderPixels)
            qDrawWinPanel(&painter, rect(), palette(), /*sunken=*/true);
        else if (borderPixels_ > 0)
            drawClassicEdge(painter, rect(),
                            {palette().dark().color(), palette().light().color(), palette().shadow().color(),
                             palette().midlight().color()},
                            borderPixels_);
        surface_.paint(painter, dirty);
    }
}

} // namespace window
