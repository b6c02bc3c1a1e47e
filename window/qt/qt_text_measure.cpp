// Measuring with Qt's font metrics, fallback fonts included, as the labels draw.
#include "qt_text_measure.h"

#include "designed_controls.h"

#include <cmath>

namespace window {

int QtTextMeasure::widthPixels(const design::Font &font, std::string_view utf8)
{
    // A glyph that reaches into the next pixel is cut there.
    const qreal advance = metrics(font).horizontalAdvance(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
    return static_cast<int>(std::ceil(advance - 1e-6));
}

bool QtTextMeasure::hasCharacter(const design::Font &font, char32_t character)
{
    return metrics(font).inFontUcs4(static_cast<uint>(character));
}

const QFontMetricsF &QtTextMeasure::metrics(const design::Font &font)
{
    for (const auto &[known, metrics] : metrics_)
        if (known.faces.data() == font.faces.data() && known.faces.size() == font.faces.size() &&
            known.points == font.points && known.weight == font.weight)
            return metrics;
    return metrics_.emplace_back(font, QFontMetricsF(qtFont(font))).second;
}

} // namespace window
