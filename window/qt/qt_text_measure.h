// Label text measured in the fonts the Qt front end draws the labels in.
#pragma once

#include "text_measure.h"

#include <QFontMetricsF>

#include <string>
#include <unordered_map>
#include <vector>

namespace window {

// Needs a QGuiApplication; one instance serves one thread at a time. It
// keeps every width and character it looked up, so that checking a list
// again after an edit measures only the texts that changed.
class QtTextMeasure : public TextMeasure {
public:
    int widthPixels(const design::Font &font, std::string_view utf8) override;
    bool hasCharacter(const design::Font &font, char32_t character) override;

private:
    struct Measured {
        design::Font font;
        QFontMetricsF metrics;
        std::unordered_map<std::string, int> widths;
        std::unordered_map<char32_t, bool> characters;
    };
    Measured &measured(const design::Font &font);
    // By font; a design has only a few.
    std::vector<Measured> fonts_;
};

} // namespace window
