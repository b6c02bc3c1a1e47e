// The design's label fonts in GDI, and label text measured in them as the
// window draws it.
#pragma once

#include "text_measure.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace window::win32 {

// The first installed face of the font's list; where none is, the first
// face, which the font mapper replaces by one of the same character set.
HFONT createFont(const design::Font &font, int dpi);

class GdiTextMeasure : public TextMeasure {
public:
    GdiTextMeasure();
    ~GdiTextMeasure() override;
    GdiTextMeasure(const GdiTextMeasure &) = delete;
    GdiTextMeasure &operator=(const GdiTextMeasure &) = delete;

    int widthPixels(const design::Font &font, std::string_view utf8) override;
    // The font itself, as the window selects it; GDI's glyph look-up takes
    // no fallback font.
    bool hasCharacter(const design::Font &font, char32_t character) override;

private:
    void select(const design::Font &font);

    HDC dc_;
    std::vector<std::pair<design::Font, HFONT>> fonts_; // by font; a design has only a few
};

} // namespace window::win32
