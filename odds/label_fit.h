// Whether a prize's name and amount show whole on the card, measured in the
// card's own fonts by a front end.
#pragma once

#include "text_measure.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace odds {

struct LabelFit {
    int textPixels = 0; // at 96 dpi, as the design's pixels
    int labelPixels = 0;
    std::string shown;             // when cut: the characters the label shows whole
    std::vector<char32_t> missing; // characters the font cannot draw, each once, first first
    bool cut() const { return textPixels > labelPixels; }
};

// How utf8 fits the card label of that name ("awardname" or "award"); every
// card's label of a name is as wide, in the same font.
LabelFit fitLabel(window::TextMeasure &measure, std::string_view label, std::string_view utf8);

// Fits kept from one check to the next, for a caller that checks the same list
// after every edit: most names were measured before, and under wine each
// measurement through the system's fonts costs tens of microseconds.
class LabelFits {
public:
    // fitLabel(measure, label, utf8), measured once; always the same measure.
    const LabelFit &of(window::TextMeasure &measure, std::string_view label, std::string_view utf8);

private:
    std::map<std::string, std::map<std::string, LabelFit, std::less<>>, std::less<>> kept_; // by label, then text
    std::size_t count_ = 0;
};

} // namespace odds
