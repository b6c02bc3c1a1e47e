// Measuring with Qt's font metrics, fallback fonts included, as the labels draw.
#include "qt_text_measure.h"

#include "designed_controls.h"

#include <cmath>

namespace window {

int QtTextMeasure::widthPixels(const design::Font &font, std::string_view utf8)
{
    Measured &known = measured(font);
    const auto [width, isNew] = known.widths.try_emplace(std::string(utf8), 0);
    if (isNew) {
        // A glyph that reaches into the next pixel is cut there.
        const qreal advance = known.metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        width->second = static_cast<int>(std::ceil(advance - 1e-6));
    }
    return width->second;
}

bool QtTextMeasure::hasCharacter(const design::Font &font, char32_t character)
{
    Measured &known = measured(font);
    const auto [has, isNew] = known.characters.try_emplace(character, false);
    if (isNew)
        has->second = known.metrics.inFontUcs4(static_cast<uint>(character));
    return has->second;
}

QtTextMeasure::Measured &QtTextMeasure::measured(const design::Font &font)
{
    for (Measured &known : fonts_)
        if (known.font.faces.data() == font.faces.data() && known.font.faces.size() == font.faces.size() &&
            known.font.points == font.points && known.font.weight == font.weight)
            return known;
    return fonts_.emplace_back(Measured{font, QFontMetricsF(qtFont(font)), {}, {}});
}

} // namespace window
