// The design's twips and colours as Qt's pixels and colours. Qt scales
// device-independent pixels itself, so the designed window is converted at
// the design's 96 dots per inch, and a scaled one at 96 times its scale.
#pragma once

#include "form1_design.h"

#include <QColor>
#include <QLine>
#include <QPalette>
#include <QRect>

#include <cstdint>
#include <optional>

namespace window {

inline int toPixels(double twips, double dpi = design::kDesignDpi) { return design::toPixels(twips, dpi); }

inline QRect pixelRect(const design::TwipsRect &twips, double dpi = design::kDesignDpi)
{
    const design::PixelRect pixels = design::toPixels(twips, dpi);
    return QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

inline QLine pixelLine(const design::TwipsLine &twips, double dpi = design::kDesignDpi)
{
    const design::PixelLine pixels = design::toPixels(twips, dpi);
    return QLine(pixels.x1, pixels.y1, pixels.x2, pixels.y2);
}

// red + 256 * green + 65536 * blue, the low three bytes only.
inline QColor fromColorNumber(std::int32_t color)
{
    const design::Rgb rgb = design::toRgb(color);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// A fixed colour of the design; none for a colour of the desktop's scheme,
// which the palette holds.
inline std::optional<QColor> qtColor(const design::Color &color)
{
    if (color.system != design::SystemColor::None)
        return std::nullopt;
    return fromColorNumber(color.number);
}

// Where the palette holds a colour: a fixed one is set on the Window role.
inline QPalette::ColorRole paletteRole(design::SystemColor color)
{
    switch (color) {
    case design::SystemColor::ButtonFace: return QPalette::Button;
    case design::SystemColor::WindowText: return QPalette::WindowText;
    case design::SystemColor::None: break;
    }
    return QPalette::Window;
}

} // namespace window
