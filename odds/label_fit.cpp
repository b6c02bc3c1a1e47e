// Fitting a text to a card's label.
#include "label_fit.h"

#include "display_text.h"
#include "text_decoding.h"

#include <algorithm>

namespace odds {

namespace {
// Variation selectors and the zero-width joiner pick the form of the
// character before them and draw nothing of their own.
bool drawsNothing(char32_t c) { return c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF); }
} // namespace

LabelFit fitLabel(window::TextMeasure &measure, std::string_view label, std::string_view utf8)
{
    const window::design::Control &control = window::design::control(label, 0);
    const std::string text = catalogue::sanitizeUtf8(utf8);
    LabelFit fit;
    fit.labelPixels = window::design::toPixels(control.rect).width;
    fit.textPixels = measure.widthPixels(control.font, text);

    std::vector<std::size_t> ends; // the byte after each character
    std::size_t end = 0;
    forEachCodePoint(text, [&](char32_t c, std::string_view bytes) {
        if (!drawsNothing(c) && !measure.hasCharacter(control.font, c) &&
            std::find(fit.missing.begin(), fit.missing.end(), c) == fit.missing.end())
            fit.missing.push_back(c);
        end += bytes.size();
        ends.push_back(end);
    });

    if (fit.cut()) {
        // A longer start of the text is never narrower, so one bisection
        // finds the most characters that fit.
        std::size_t fitting = 0;
        std::size_t tooMany = ends.size();
        while (tooMany - fitting > 1) {
            const std::size_t mid = fitting + (tooMany - fitting) / 2;
            if (measure.widthPixels(control.font, std::string_view(text).substr(0, ends[mid - 1])) <= fit.labelPixels)
                fitting = mid;
            else
                tooMany = mid;
        }
        fit.shown = text.substr(0, fitting == 0 ? 0 : ends[fitting - 1]);
    }
    return fit;
}

const LabelFit &LabelFits::of(window::TextMeasure &measure, std::string_view label, std::string_view utf8)
{
    constexpr std::size_t kKept = 8192; // every name and amount of a full list, and then some
    if (count_ >= kKept) {
        kept_.clear();
        count_ = 0;
    }
    auto byLabel = kept_.find(label);
    if (byLabel == kept_.end())
        byLabel = kept_.emplace(std::string(label), std::map<std::string, LabelFit, std::less<>>()).first;
    auto &fits = byLabel->second;
    if (const auto found = fits.find(utf8); found != fits.end())
        return found->second;
    ++count_;
    return fits.emplace(std::string(utf8), fitLabel(measure, label, utf8)).first->second;
}

} // namespace odds
