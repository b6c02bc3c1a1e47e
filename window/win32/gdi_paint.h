// The few GDI drawing steps that the game's window and its cards share.
#pragma once

#include "form1_design.h"
#include "picture_rules.h"

#include <windows.h>

#include <cstdint>

namespace window::win32 {

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
