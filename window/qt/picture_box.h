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
    ControlSurface &surface() { return surface_; }
    const ControlSurface &surface() const { return surface_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Border border_;
    ControlSurface surface_;
};

} // namespace window
