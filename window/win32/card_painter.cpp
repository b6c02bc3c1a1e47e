// A card painted from the design's card controls, bottom of the stacking
// order first, as the window nests them.
#include "card_painter.h"

#include "gdi_paint.h"
#include "gdi_text_measure.h"
#include "wide_text.h"

namespace window::win32 {

using design::Control;
using design::Kind;
using design::Role;

CardPainter::CardPainter(double dpi) : dpi_(0) { setDpi(dpi); }

CardPainter::~CardPainter() { deleteFonts(); }

void CardPainter::deleteFonts()
{
    for (HFONT *font : {&nameFont_, &amountFont_})
        if (*font) {
            DeleteObject(*font);
            *font = nullptr;
        }
}

void CardPainter::setDpi(double dpi)
{
    if (dpi == dpi_ && nameFont_)
        return;
    deleteFonts();
    dpi_ = dpi;
    nameFont_ = createFont(design::control(Role::CardName, 0).font, dpi_);
    amountFont_ = createFont(design::control(Role::CardAmount, 0).font, dpi_);
}

design::PixelRect CardPainter::frame() const
{
    // A card standing at a whole pixel, as the reel's cards mostly do; one
    // at an odd twip may come out a pixel narrower.
    const design::TwipsRect card = design::control(Role::CardFrame, 0).rect;
    return design::toPixels(design::TwipsRect{0, 0, card.width, card.height}, dpi_);
}

design::PixelRect CardPainter::pictureBox() const
{
    return design::toPixels(design::control(Role::CardPicture, 0).rect, dpi_);
}

void CardPainter::paint(HDC dc, design::PixelRect frame, const CardLook &look, const Pixels *picture, bool plain,
                        int card) const
{
    const Control &box = design::control(Role::CardFrame, card);
    const int saved = beginPictureBox(dc, box, frame, toColorRef(box.back), dpi_);
    SetBkMode(dc, TRANSPARENT); // labels show the strip beneath them
    const std::vector<const Control *> children = design::children(box.id);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const Control &control = **it;
        const design::PixelRect r = design::toPixels(control.rect, dpi_);
        switch (control.kind) {
        case Kind::Image:
            if (picture)
                drawPixels(dc, r, *picture, plain);
            break; // no picture: the card's background shows
        case Kind::Shape: {
            fill(dc, toRect(r), look.fill);
            SetDCBrushColor(dc, look.border);
            const RECT outline = toRect(r);
            FrameRect(dc, &outline, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            break;
        }
        case Kind::Label: {
            std::wstring text;
            HFONT font = amountFont_;
            if (control.role == Role::CardName) {
                text = look.name;
                font = nameFont_;
            } else if (control.role == Role::CardAmount) {
                text = look.amount;
            } else {
                text = widen(control.text);
            }
            RECT place = toRect(r);
            const HGDIOBJ old = SelectObject(dc, font);
            SetTextColor(dc, toColorRef(control.fore));
            // Left-aligned, one line, cut at the label's edges; never resized.
            DrawTextW(dc, text.c_str(), int(text.size()), &place, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, old);
            break;
        }
        default: break; // a card holds no other kind
        }
    }
    RestoreDC(dc, saved);
}

} // namespace window::win32
