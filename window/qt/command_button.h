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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor face_;
};

} // namespace window
