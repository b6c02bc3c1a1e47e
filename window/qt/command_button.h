// The start button: a push button with a face colour of its own, drawn in
// the classic raised style so the colour shows whatever the widget style.
#pragma once

#include <QColor>
#include <QPushButton>

namespace window {

class CommandButton : public QPushButton {
public:
    CommandButton(QWidget *parent, const QString &name, QRect pixels, const QString &caption, QColor face);
    QColor faceColor() const { return face_; }
    // A new place and font, and the design pixel's size in pixels, for a
    // window drawn at another size.
    void setPlace(QRect pixels, const QFont &font, int edgePixels, int insetPixels, int unitPixels);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor face_;
    int edge_ = 2;  // the raised edge's width
    int inset_ = 4; // the caption's and the focus frame's inset
    int unit_ = 1;  // how far a pressed caption moves
};

} // namespace window
