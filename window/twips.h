// Units and colours of the window design: twips, and colours as
// red + 256 * green + 65536 * blue.
#pragma once

#include <QColor>
#include <QLine>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace window {

// The design is laid out at 96 dots per inch: 15 twips make one
// device-independent pixel.
inline constexpr int kTwipsPerPixel = 15;

// The nearest whole pixel; positions far outside any screen are clamped so
// that no conversion can overflow an int.
inline int toPixels(double twips)
{
    const double pixels = std::nearbyint(twips / kTwipsPerPixel);
    return static_cast<int>(std::clamp(pixels, -1e7, 1e7));
}

// Both edges are rounded on their own, so that neighbouring controls that
// touch in twips also touch in pixels.
inline QRect toPixels(int leftTwips, int topTwips, int widthTwips, int heightTwips)
{
    const int left = toPixels(leftTwips);
    const int top = toPixels(topTwips);
    return QRect(left, top, toPixels(leftTwips + widthTwips) - left, toPixels(topTwips + heightTwips) - top);
}

inline QLine lineToPixels(int x1, int y1, int x2, int y2)
{
    return QLine(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2));
}

// Points at 96 dots per inch, matching the twips scale, so text keeps its
// size relative to the controls whatever the desktop's font DPI.
inline int pointsToPixels(double points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

// red + 256 * green + 65536 * blue, the low three bytes only.
inline QColor fromColorNumber(std::int32_t color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace window
