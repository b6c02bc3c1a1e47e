// Label text measured in the fonts the Qt front end draws the labels in.
#pragma once

#include "text_measure.h"

#include <QFontMetricsF>

#include <utility>
#include <vector>

namespace window {

// Needs a QGuiApplication; one instance serves one thread at a time.
class QtTextMeasure : public TextMeasure {
public:
    int widthPixels(const design::Font &font, std::string_view utf8) override;
    bool hasCharacter(const design::Font &font, char32_t character) override;

private:
    const QFontMetricsF &metrics(const design::Font &font);
    // By font; a design has only a few.
    std::vector<std::pair<design::Font, QFontMetricsF>> metrics_;
};

} // namespace window
