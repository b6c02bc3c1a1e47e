// A picture box: a container widget with a background colour, an optional
// thin border and graphical controls drawn on its client area.
#pragma once

#include "form1_design.h"
#include "graphical_controls.h"

#include <QPalette>
#include <QWidget>

namespace window {

class PictureBox : public QWidget {
public:
    using Border = design::Border;
    // A 3D thin border takes this many pixels on each side of the client area.
    static constexpr int kThinBorderPixels = design::borderPixels(Border::Thin);

    // background: the palette role that colours the client area; give the
    // role a fixed colour with setBackgroundColor, or leave it to follow
    // the desktop's colour scheme.
    PictureBox(QWidget *parent, const QString &name, QRect pixels, QPalette::ColorRole background, Border border);

    void setBackgroundColor(const QColor &color);
    QColor backgroundColor() const { return palette().color(backgroundRole()); }
    // A new place, and the width of a thin border, for a window drawn at
    // another size.
    void setPlace(QRect pixels, int thinBorderPixels);

    ControlSurface &surface() { return surface_; }
    const ControlSurface &surface() const { return surface_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Border border_;
    int borderPixels_;
    ControlSurface surface_;
};

// The classic 3D edge, width pixels in all, inside r: an outer band (its
// top-left and bottom-right colours) and an inner one; the outer band takes
// the odd pixel. At two pixels it is the desktop's own panel or button edge.
struct EdgeColors {
    QColor outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
};
void drawClassicEdge(QPainter &painter, QRect r, const EdgeColors &colors, int width);

} // namespace window
