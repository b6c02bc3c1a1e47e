// How a front end measures a label's text in the design's fonts, so that the
// tools can tell whether a prize's name or amount shows whole on its card.
#pragma once

#include "form1_design.h"

#include <string_view>

namespace window {

class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // The advance of utf8 drawn on one line in font, in pixels at the
    // design's 96 dots per inch.
    virtual int widthPixels(const design::Font &font, std::string_view utf8) = 0;
    // Whether font draws the character, rather than a box.
    virtual bool hasCharacter(const design::Font &font, char32_t character) = 0;
};

} // namespace window
