// The few GDI drawing steps that the game's window and its cards share.
#pragma once

#include "form1_design.h"
#include "picture_rules.h"

#include <windows.h>

#include <cstdint>

namespace window::win32 {

// An off-screen bitmap (32-bit, top-down) in a memory device context: a
// window paints into it and copies it to the screen in one piece, so that
// nothing flickers, and tests read its pixels.
class BackBuffer {
public:
    BackBuffer() = default;
    // Throws std::bad_alloc when GDI has no room for it.
    BackBuffer(int width, int height);
    ~BackBuffer();
    BackBuffer(BackBuffer &&other) noexcept;
    BackBuffer &operator=(BackBuffer &&other) noexcept;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // A pixel as red + 256 * green + 65536 * blue; throws std::out_of_range
    // outside the bitmap.
    std::int32_t pixel(int x, int y) const;

private:
    void release();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ defaultBitmap_ = nullptr;
    std::uint32_t *bits_ = nullptr; // 0x00RRGGBB
    int width_ = 0;
    int height_ = 0;
};

// A design colour as GDI's: the desktop's scheme for a system colour.
COLORREF toColorRef(design::Color color);
// A card colour written by the draw (0 to 16777215); throws
// catalogue::RuntimeError (Overflow) for anything else.
COLORREF checkedColor(std::int32_t color);

RECT toRect(design::PixelRect r);
void fill(HDC dc, RECT rect, COLORREF color);

// The classic 3D frame, `width` pixels in all, inside r: an outer band
// (top-left, bottom-right colours) and an inner one; the outer band takes
// the odd pixel.
void drawShades(HDC dc, RECT r, COLORREF outerTopLeft, COLORREF outerBottomRight, COLORREF innerTopLeft,
                COLORREF innerBottomRight, int width);

// A picture box's background and border at r, clipped to r; the viewport
// then stands at its client area's top left, clipped to it. Returns the
// SaveDC level to restore when its children are painted.
int beginPictureBox(HDC dc, const design::Control &box, design::PixelRect r, COLORREF back, double dpi);

// Top-down 32-bit pixels stretched onto box; plain: a cheap stretch (or
// none is needed), else a smooth one.
void drawPixels(HDC dc, design::PixelRect box, const Pixels &pixels, bool plain);

} // namespace window::win32
