// Qt controls built from the window's design, and found again by their
// designed name and index.
#pragma once

#include "form1_design.h"
#include "graphical_controls.h"
#include "picture_box.h"
#include "runtime_error.h"

#include <QFont>
#include <QObject>

#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

class QWidget;

namespace window {

// The font a control of the design is drawn in, at dpi.
QFont qtFont(const design::Font &designed, double dpi = design::kDesignDpi);

class DesignedControls {
public:
    // Builds the design's children of container, and theirs in turn: widgets
    // on parent, created from the bottom of the stacking order up so that
    // later siblings lie on top; graphical controls on surface, added from
    // the top down.
    void buildChildren(QWidget &parent, ControlSurface &surface, design::ControlId container);
    // Builds one picture box of the design with everything in it; without a
    // parent it is a window of its own, as any widget.
    PictureBox &buildPictureBox(QWidget *parent, const design::Control &box);

    // Places every control built here as the design says at dpi, the
    // window's own children offset by origin (pixels), with fonts and
    // borders to match. Cards take their place from the reel afterwards.
    void layOut(double dpi, QPoint origin) const;

    // A control built here; throws SubscriptOutOfRange when there is none of
    // that name, index and type.
    template <typename Control>
    Control &get(const design::Control &designed) const
    {
        return get<Control>(designed.id.name, designed.id.index);
    }
    template <typename Control>
    Control &get(std::string_view name, int index = -1) const
    {
        const design::ControlId id{name, index};
        if constexpr (std::is_base_of_v<QObject, Control>) {
            for (const auto &[builtId, widget] : widgets_)
                if (builtId == id)
                    if (auto *found = dynamic_cast<Control *>(widget))
                        return *found;
        } else {
            for (const auto &[builtId, control] : graphics_)
                if (builtId == id)
                    if (auto *found = dynamic_cast<Control *>(control))
                        return *found;
        }
        throw catalogue::RuntimeError(catalogue::ErrorCode::SubscriptOutOfRange);
    }

private:
    void buildWidget(QWidget &parent, const design::Control &control);
    void addGraphical(ControlSurface &surface, const design::Control &control);

    std::vector<std::pair<design::ControlId, QObject *>> widgets_;
    std::vector<std::pair<design::ControlId, GraphicalControl *>> graphics_;
};

} // namespace window
