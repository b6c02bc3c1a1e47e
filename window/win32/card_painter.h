// One prize card as the game draws it: its sunken frame, the picture, the
// colour strip and the name and amount labels, at any dpi, into any device
// context. The game's window paints its four cards with it, and the list
// editor its card preview, so both show the same pixels.
#pragma once

#include "form1_design.h"
#include "picture_rules.h"

#include <windows.h>

#include <string>

namespace window::win32 {

// What the draw wrote on a card.
struct CardLook {
    COLORREF fill = RGB(255, 0, 0);
    COLORREF border = RGB(255, 0, 0);
    std::wstring name;
    std::wstring amount;
};

class CardPainter {
public:
    // The label fonts are made for dpi (the screen's times any scale).
    explicit CardPainter(double dpi = design::kDesignDpi);
    ~CardPainter();
    CardPainter(const CardPainter &) = delete;
    CardPainter &operator=(const CardPainter &) = delete;

    // Makes the fonts again for another dpi.
    void setDpi(double dpi);
    double dpi() const { return dpi_; }

    // A card's frame at this dpi, its top left at 0, 0.
    design::PixelRect frame() const;
    // The picture box inside the frame, where the picture is stretched to.
    design::PixelRect pictureBox() const;

    // Paints card `card` (0 to 3; they differ only in where they stand)
    // with its frame at `frame`, which the reel may have moved to any pixel.
    // picture: null shows the card's grey; plain: stretch cheaply (the
    // reel spins, or the pixels are at the box's own size).
    void paint(HDC dc, design::PixelRect frame, const CardLook &look, const Pixels *picture, bool plain,
               int card = 0) const;

private:
    void deleteFonts();

    double dpi_;
    HFONT nameFont_ = nullptr;
    HFONT amountFont_ = nullptr;
};

} // namespace window::win32
