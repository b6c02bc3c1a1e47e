// GDI drawing steps shared by the window and its cards.
#include "gdi_paint.h"

#include "runtime_error.h"

namespace window::win32 {

COLORREF toColorRef(design::Color color)
{
    switch (color.system) {
    case design::SystemColor::ButtonFace: return GetSysColor(COLOR_BTNFACE);
    case design::SystemColor::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
    case design::SystemColor::None: break;
    }
    const design::Rgb rgb = design::toRgb(color.number);
    return RGB(rgb.red, rgb.green, rgb.blue);
}

COLORREF checkedColor(std::int32_t color)
{
    if (color < 0 || color > 0xFFFFFF)
        throw catalogue::RuntimeError(catalogue::ErrorCode::Overflow);
    return toColorRef(design::fixedColor(color));
}

RECT toRect(design::PixelRect r) { return {r.left, r.top, r.right(), r.bottom()}; }

void fill(HDC dc, RECT rect, COLORREF color)
{
    SetDCBrushColor(dc, color);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void drawShades(HDC dc, RECT r, COLORREF outerTopLeft, COLORREF outerBottomRight, COLORREF innerTopLeft,
                COLORREF innerBottomRight, int width)
{
    for (int step = 0; step < width; ++step) {
        const bool outer = step < (width + 1) / 2;
        const COLORREF topLeft = outer ? outerTopLeft : innerTopLeft;
        const COLORREF bottomRight = outer ? outerBottomRight : innerBottomRight;
        fill(dc, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
        fill(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
        fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        fill(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        InflateRect(&r, -1, -1);
    }
}

int beginPictureBox(HDC dc, const design::Control &box, design::PixelRect r, COLORREF back, double dpi)
{
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right(), r.bottom());
    fill(dc, toRect(r), back);
    int inset = 0;
    if (box.border == design::Border::Thin) {
        inset = design::borderPixels(box.border, dpi);
        // Sunken: shadow over the top and left, light below and right.
        drawShades(dc, toRect(r), GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT),
                   GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT), inset);
    }
    IntersectClipRect(dc, r.left + inset, r.top + inset, r.right() - inset, r.bottom() - inset);
    OffsetViewportOrgEx(dc, r.left + inset, r.top + inset, nullptr);
    return saved;
}

void drawPixels(HDC dc, design::PixelRect box, const Pixels &pixels, bool plain)
{
    if (pixels.width <= 0 || pixels.height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, plain ? COLORONCOLOR : HALFTONE);
    StretchDIBits(dc, box.left, box.top, box.width, box.height, 0, 0, pixels.width, pixels.height, pixels.argb.data(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
}

} // namespace window::win32
