// Painting of the graphical controls and their container's surface.
#include "graphical_controls.h"

#include "qt_picture_loader.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace window {

void GraphicalControl::changed() { container_.update(bounds()); }

void Line::paint(QPainter &painter, const QPalette &palette) const
{
    const QColor color = color_.value_or(palette.color(QPalette::WindowText));
    if (width_ <= 1) {
        painter.setPen(QPen(color, 0));
        painter.drawLine(line_);
        return;
    }
    // A wider line covers its own pixel and the ones after it, as a one-pixel
    // line grows into a band, with square ends.
    const QPointF toCentre(width_ / 2.0, width_ / 2.0);
    painter.setPen(QPen(color, width_, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(QLineF(line_.p1(), line_.p2()).translated(toCentre));
}

QRect Line::bounds() const { return QRect(line_.p1(), line_.p2()).normalized().adjusted(0, 0, width_ - 1, width_ - 1); }

void Line::setLine(QLine pixels, int widthPixels)
{
    if (line_ == pixels && width_ == widthPixels)
        return;
    changed();
    line_ = pixels;
    width_ = std::max(1, widthPixels);
    changed();
}

Label::Label(ControlSurface &container, QRect pixels, QFont font, QColor textColor, std::string_view utf8Caption)
    : GraphicalControl(container), rect_(pixels), font_(std::move(font)), textColor_(textColor), utf8_(utf8Caption)
{
}

void Label::paint(QPainter &painter, const QPalette &) const
{
    painter.save();
    painter.setClipRect(rect_, Qt::IntersectClip);
    painter.setFont(font_);
    painter.setPen(textColor_);
    painter.drawText(rect_, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption());
    painter.restore();
}

void Label::setPlace(QRect pixels, QFont font)
{
    changed();
    rect_ = pixels;
    font_ = std::move(font);
    changed();
}

void Label::setCaption(std::string_view utf8)
{
    if (utf8_ == utf8)
        return;
    utf8_.assign(utf8); // keeps its capacity: no allocation once the longest name has been seen
    textStale_ = true;
    changed();
}

QString Label::caption() const
{
    if (textStale_) {
        text_ = QString::fromUtf8(utf8_.data(), qsizetype(utf8_.size()));
        textStale_ = false;
    }
    return text_;
}

void Image::paint(QPainter &painter, const QPalette &) const
{
    const auto *picture = dynamic_cast<const QtPicture *>(picture_.get());
    // Asked before the pixels: pixels that arrive in between show at the next check.
    shownWithout_ = picture && !waits_ && !picture->decoded();
    const QImage *image = picture && !shownWithout_ ? picture->image() : nullptr;
    if (!image)
        return;
    // The image already has the box's size in device pixels, so it is drawn
    // at a point: a plain copy of its rows, no scaling.
    if (image->deviceIndependentSize() == QSizeF(rect_.size())) {
        painter.drawImage(rect_.topLeft(), *image);
        return;
    }
    // A box of another size (a scaled window) shows the picture decoded
    // afresh at its own size once the card is at rest; while the reel spins
    // the pixels at hand are stretched, as no tick waits for a decoder.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QSize device(qRound(rect_.width() * ratio), qRound(rect_.height() * ratio));
    if (waits_ && (sharpOf_ != picture_ || sharpSize_ != device)) {
        sharp_ = picture->imageAt(device, ratio);
        sharpOf_ = picture_;
        sharpSize_ = device;
    }
    if (sharpOf_ == picture_ && sharpSize_ == device && !sharp_.isNull())
        painter.drawImage(rect_.topLeft(), sharp_);
    else
        painter.drawImage(QRectF(rect_), *image);
}

void Image::setRect(QRect pixels)
{
    if (rect_ == pixels)
        return;
    changed();
    rect_ = pixels;
    changed();
}

void Image::setPicture(const catalogue::PicturePtr &picture)
{
    if (picture_ == picture)
        return;
    picture_ = picture;
    changed();
}

void Image::setWaitsForPicture(bool waits)
{
    waits_ = waits;
    if (waits_ && std::exchange(shownWithout_, false))
        changed();
}

void Image::showIfDecoded()
{
    if (!shownWithout_)
        return;
    const auto *picture = dynamic_cast<const QtPicture *>(picture_.get());
    if (picture && !picture->decoded())
        return;
    shownWithout_ = false;
    changed();
}

void Shape::paint(QPainter &painter, const QPalette &) const
{
    painter.fillRect(rect_, fill_);
    painter.setPen(QPen(border_, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect_.adjusted(0, 0, -1, -1));
}

void Shape::setRect(QRect pixels)
{
    if (rect_ == pixels)
        return;
    changed();
    rect_ = pixels;
    changed();
}

void Shape::setFillColor(QColor color)
{
    if (fill_ == color)
        return;
    fill_ = color;
    changed();
}

void Shape::setBorderColor(QColor color)
{
    if (border_ == color)
        return;
    border_ = color;
    changed();
}

void ControlSurface::paint(QPainter &painter, const QRect &dirty) const
{
    const QRect clientDirty = (dirty & client_).translated(-client_.topLeft());
    if (clientDirty.isEmpty())
        return;
    painter.save();
    // A painter takes the application's direction; captions take the window's.
    painter.setLayoutDirection(widget_.layoutDirection());
    painter.setClipRect(client_, Qt::IntersectClip);
    painter.translate(client_.topLeft());
    const QPalette &palette = widget_.palette();
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if ((*it)->bounds().intersects(clientDirty))
            (*it)->paint(painter, palette);
    painter.restore();
}

void ControlSurface::setClientRect(QRect pixels)
{
    client_ = pixels;
    widget_.update();
}

void ControlSurface::update(const QRect &clientPixels)
{
    widget_.update(clientPixels.translated(client_.topLeft()).adjusted(0, 0, 1, 1) & client_);
}

} // namespace window
