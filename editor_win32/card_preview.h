// The selected prize's card in the Windows editor, as the game's card 0
// shows it: written by the game's draw and painted by the game's own card
// painter, at the window's dpi.
#pragma once

#include "card_painter.h"
#include "catalogue.h"
#include "gdi_paint.h"
#include "reel_window.h"

#include <windows.h>

#include <cstdint>

namespace editor_win32 {

class CardPreview : private reel::Card {
public:
    // A child window of parent, as large as a card at parent's dpi.
    CardPreview(HWND parent, int id);
    ~CardPreview() override;
    CardPreview(const CardPreview &) = delete;
    CardPreview &operator=(const CardPreview &) = delete;

    HWND handle() const { return hwnd_; }
    // Shows slot j of the list as a draw that stops there writes it onto
    // card 0 (slot prizeCount: the empty card). The list's pictures are
    // shown when they are the Windows loader's.
    void showSlot(const catalogue::Catalogue &prizes, int slot);
    // The card at another dpi; the window takes the card's new size.
    void setDpi(int dpi);
    int dpi() const { return int(painter_.dpi()); }
    const std::wstring &name() const { return look_.name; }

    // Paints the card into the preview's bitmap and reads one of its pixels
    // as red + 256 * green + 65536 * blue.
    void render();
    std::int32_t pixel(int x, int y) const { return buffer_.pixel(x, y); }

private:
    // reel::Card: what the draw writes.
    void setFillColor(std::int32_t color) override;
    void setBorderColor(std::int32_t color) override;
    void setName(std::string_view text) override;
    void setAmount(std::string_view text) override;
    void setPicture(const catalogue::PicturePtr &picture) override;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void makeSurface();

    HWND hwnd_ = nullptr;
    window::win32::CardPainter painter_;
    window::win32::CardLook look_;
    catalogue::PicturePtr picture_;
    window::win32::BackBuffer buffer_;
};

} // namespace editor_win32
