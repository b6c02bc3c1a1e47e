// Each kind of control of the design, made in Qt.
#include "designed_controls.h"

#include "command_button.h"
#include "twips.h"

#include <QStringList>
#include <QTimer>

#include <algorithm>

namespace window {

namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QString objectName(const design::ControlId &id)
{
    return id.index < 0 ? fromUtf8(id.name) : fromUtf8(id.name) + QString::number(id.index);
}

QColor colorOrBlack(const design::Color &color) { return qtColor(color).value_or(QColor(Qt::black)); }

} // namespace

// Qt knows no character sets: the face list itself asks for faces that
// cover GB2312. Sizes are pixels at 96 dots per inch, matching the twips,
// so text keeps its size relative to the controls whatever the desktop's
// font DPI.
QFont qtFont(const design::Font &designed, double dpi)
{
    QFont font;
    if (designed.faces.empty()) {
        // The desktop's default user-interface font, as large as the window.
        if (dpi != design::kDesignDpi && font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * dpi / design::kDesignDpi);
        return font;
    }
    QStringList families;
    for (std::string_view face : designed.faces)
        families << fromUtf8(face);
    font.setFamilies(families);
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(design::pointsToPixels(designed.points, dpi));
    font.setWeight(QFont::Weight(designed.weight));
    return font;
}

void DesignedControls::buildChildren(QWidget &parent, ControlSurface &surface, design::ControlId container)
{
    const std::vector<const design::Control *> children = design::children(container);
    for (const design::Control *child : children)
        addGraphical(surface, *child);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        buildWidget(parent, **it);
}

PictureBox &DesignedControls::buildPictureBox(QWidget *parent, const design::Control &box)
{
    auto *built =
        new PictureBox(parent, objectName(box.id), pixelRect(box.rect), paletteRole(box.back.system), box.border);
    if (const std::optional<QColor> fixed = qtColor(box.back))
        built->setBackgroundColor(*fixed);
    widgets_.emplace_back(box.id, built);
    buildChildren(*built, built->surface(), box.id);
    return *built;
}

void DesignedControls::buildWidget(QWidget &parent, const design::Control &control)
{
    switch (control.kind) {
    case design::Kind::PictureBox: buildPictureBox(&parent, control); break;
    case design::Kind::CommandButton: {
        auto *button = new CommandButton(&parent, objectName(control.id), pixelRect(control.rect),
                                         fromUtf8(control.text), colorOrBlack(control.back));
        if (!control.font.faces.empty())
            button->setFont(qtFont(control.font));
        button->setEnabled(control.enabled);
        widgets_.emplace_back(control.id, button);
        break;
    }
    case design::Kind::Timer: {
        auto *timer = new QTimer(&parent);
        timer->setObjectName(objectName(control.id));
        timer->setInterval(control.intervalMs);
        timer->setTimerType(Qt::PreciseTimer); // ticks of 5 ms need a precise timer
        if (control.enabled)
            timer->start();
        widgets_.emplace_back(control.id, timer);
        break;
    }
    default: break; // drawn on the surface
    }
}

void DesignedControls::layOut(double dpi, QPoint origin) const
{
    const auto offset = [&](const design::Control &c) {
        return c.container == design::form().id ? origin : QPoint(0, 0);
    };
    for (const auto &[id, object] : widgets_) {
        const design::Control &c = design::control(id.name, id.index);
        const QRect place = pixelRect(c.rect, dpi).translated(offset(c));
        if (auto *box = dynamic_cast<PictureBox *>(object); box) {
            box->setPlace(place, design::borderPixels(design::Border::Thin, dpi));
        } else if (auto *button = dynamic_cast<CommandButton *>(object); button) {
            constexpr int kTwipsPerDesignPixel = design::kTwipsPerInch / design::kDesignDpi;
            button->setPlace(place, qtFont(c.font, dpi), design::borderPixels(design::Border::Thin, dpi),
                             toPixels(4 * kTwipsPerDesignPixel, dpi), std::max(1, toPixels(kTwipsPerDesignPixel, dpi)));
        }
    }
    for (const auto &[id, graphic] : graphics_) {
        const design::Control &c = design::control(id.name, id.index);
        if (auto *line = dynamic_cast<Line *>(graphic))
            line->setLine(pixelLine(c.line, dpi), design::linePixels(dpi));
        else if (auto *label = dynamic_cast<Label *>(graphic))
            label->setPlace(pixelRect(c.rect, dpi), qtFont(c.font, dpi));
        else if (auto *image = dynamic_cast<Image *>(graphic))
            image->setRect(pixelRect(c.rect, dpi));
        else if (auto *shape = dynamic_cast<Shape *>(graphic))
            shape->setRect(pixelRect(c.rect, dpi));
    }
}

void DesignedControls::addGraphical(ControlSurface &surface, const design::Control &control)
{
    GraphicalControl *added = nullptr;
    switch (control.kind) {
    case design::Kind::Line: added = &surface.add<Line>(pixelLine(control.line), qtColor(control.fore)); break;
    case design::Kind::Label:
        added = &surface.add<Label>(pixelRect(control.rect), qtFont(control.font), colorOrBlack(control.fore),
                                    control.text);
        break;
    case design::Kind::Image: added = &surface.add<Image>(pixelRect(control.rect)); break;
    case design::Kind::Shape:
        added = &surface.add<Shape>(pixelRect(control.rect), colorOrBlack(control.back), colorOrBlack(control.fore));
        break;
    default: return; // a widget of its own
    }
    graphics_.emplace_back(control.id, added);
}

} // namespace window
