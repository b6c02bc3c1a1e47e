// Controls that draw on their container's surface instead of being widgets of
// their own: lines, labels, images and shapes. They always lie beneath the
// container's child widgets, and writing a value that is already there costs
// a comparison and nothing else.
#pragma once

#include "variant.h"

#include <QColor>
#include <QFont>
#include <QLine>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QWidget;

namespace window {

class ControlSurface;

class GraphicalControl {
public:
    explicit GraphicalControl(ControlSurface &container) : container_(container) {}
    virtual ~GraphicalControl() = default;
    GraphicalControl(const GraphicalControl &) = delete;
    GraphicalControl &operator=(const GraphicalControl &) = delete;

    // Painter in the container's client coordinates.
    virtual void paint(QPainter &painter, const QPalette &palette) const = 0;
    // What the control may paint, in client pixels.
    virtual QRect bounds() const = 0;

protected:
    // Asks the container to repaint this control's area.
    void changed();

private:
    ControlSurface &container_;
};

// A straight solid line one pixel wide; without a colour of its own it takes
// the desktop's window-text colour.
class Line : public GraphicalControl {
public:
    Line(ControlSurface &container, QLine pixels, std::optional<QColor> color = std::nullopt)
        : GraphicalControl(container), line_(pixels), color_(color)
    {
    }
    void paint(QPainter &painter, const QPalette &palette) const override;
    QRect bounds() const override;
    QLine line() const { return line_; }
    void setLine(QLine pixels, int widthPixels = 1);

private:
    QLine line_;
    int width_ = 1;
    std::optional<QColor> color_;
};

// Left-aligned text on a transparent background, one line, cut at the
// label's edges; the label never changes size.
class Label : public GraphicalControl {
public:
    Label(ControlSurface &container, QRect pixels, QFont font, QColor textColor, std::string_view utf8Caption);
    void paint(QPainter &painter, const QPalette &palette) const override;
    QRect bounds() const override { return rect_; }

    void setCaption(std::string_view utf8);
    QString caption() const;
    const QFont &font() const { return font_; }
    // A new place and font, for a window drawn at another size.
    void setPlace(QRect pixels, QFont font);

private:
    QRect rect_;
    QFont font_;
    QColor textColor_;
    std::string utf8_;
    // Decoded lazily at paint time, so that captions which are written and
    // overwritten within one draw never cost a conversion.
    mutable QString text_;
    mutable bool textStale_ = true;
};

// Shows a picture stretched to the whole box, aspect ratio not kept. Without
// a picture, or with one whose file no longer decodes, it draws nothing, so
// the container's background shows.
class Image : public GraphicalControl {
public:
    Image(ControlSurface &container, QRect pixels) : GraphicalControl(container), rect_(pixels) {}
    // Decodes the picture here if nobody has yet, or waits for the thread
    // that is at it; unless it waits for no picture.
    void paint(QPainter &painter, const QPalette &palette) const override;
    QRect bounds() const override { return rect_; }
    void setRect(QRect pixels);

    // Only stores the picture: the draw writes one per step of its walk, and
    // only the last is ever painted.
    void setPicture(const catalogue::PicturePtr &picture);
    const catalogue::PicturePtr &picture() const { return picture_; }

    // Whether painting waits for pixels still to be decoded (it does unless
    // told otherwise). One that does not wait leaves the box empty until
    // showIfDecoded finds the pixels there; waiting again shows them at once.
    void setWaitsForPicture(bool waits);
    void showIfDecoded();

private:
    QRect rect_;
    catalogue::PicturePtr picture_;
    bool waits_ = true;
    mutable bool shownWithout_ = false; // painted without pixels that are still to come
    // The picture decoded again at this box's own size, when that differs
    // from the size every picture was decoded at (a scaled window).
    mutable QImage sharp_;
    mutable catalogue::PicturePtr sharpOf_;
    mutable QSize sharpSize_;
};

// A rectangle with a solid fill and a one-pixel outline inside its edges.
class Shape : public GraphicalControl {
public:
    Shape(ControlSurface &container, QRect pixels, QColor fill, QColor border)
        : GraphicalControl(container), rect_(pixels), fill_(fill), border_(border)
    {
    }
    void paint(QPainter &painter, const QPalette &palette) const override;
    QRect bounds() const override { return rect_; }
    void setRect(QRect pixels);

    void setFillColor(QColor color);
    void setBorderColor(QColor color);
    QColor fillColor() const { return fill_; }
    QColor borderColor() const { return border_; }

private:
    QRect rect_;
    QColor fill_;
    QColor border_;
};

// The surface of a container: the graphical controls on it in their stacking
// order, and where its client area starts inside the widget (past a border).
class ControlSurface {
public:
    ControlSurface(QWidget &widget, QRect clientRect) : widget_(widget), client_(clientRect) {}

    // Adds a control beneath those already added: add them from the top of
    // the stacking order down.
    template <typename Control, typename... Args>
    Control &add(Args &&...args)
    {
        auto control = std::make_unique<Control>(*this, std::forward<Args>(args)...);
        Control &added = *control;
        controls_.push_back(std::move(control));
        return added;
    }

    // Paints the controls that reach into dirty (widget pixels), bottom
    // first, clipped to the client area. Each control paints only within its
    // bounds, so the others can be left out: a card sliding into view
    // repaints a thin strip, and its labels need not be laid out for it.
    void paint(QPainter &painter, const QRect &dirty) const;
    void update(const QRect &clientPixels);
    QRect clientRect() const { return client_; }
    void setClientRect(QRect pixels);

private:
    QWidget &widget_;
    QRect client_;
    std::vector<std::unique_ptr<GraphicalControl>> controls_; // top of the stacking order first
};

} // namespace window
