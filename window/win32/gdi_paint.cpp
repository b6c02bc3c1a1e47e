// GDI drawing steps shared by the window and its cards.
#include "gdi_paint.h"

#include "runtime_error.h"

#include <new>
#include <stdexcept>
#include <utility>

namespace window::win32 {

BackBuffer::BackBuffer(int width, int height) : width_(width), height_(height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (!bitmap_ || !dc_) {
        release();
        throw std::bad_alloc();
    }
    bits_ = static_cast<std::uint32_t *>(bits);
    defaultBitmap_ = SelectObject(dc_, bitmap_);
    SelectObject(dc_, GetStockObject(DC_PEN));
}

BackBuffer::~BackBuffer() { release(); }

BackBuffer::BackBuffer(BackBuffer &&other) noexcept
    : dc_(std::exchange(other.dc_, nullptr)), bitmap_(std::exchange(other.bitmap_, nullptr)),
      defaultBitmap_(std::exchange(other.defaultBitmap_, nullptr)), bits_(std::exchange(other.bits_, nullptr)),
      width_(std::exchange(other.width_, 0)), height_(std::exchange(other.height_, 0))
{
}

BackBuffer &BackBuffer::operator=(BackBuffer &&other) noexcept
{
    if (this != &other) {
        release();
        dc_ = std::exchange(other.dc_, nullptr);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        defaultBitmap_ = std::exchange(other.defaultBitmap_, nullptr);
        bits_ = std::exchange(other.bits_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

void BackBuffer::release()
{
    if (dc_) {
        if (defaultBitmap_)
            SelectObject(dc_, defaultBitmap_);
        DeleteDC(dc_);
        dc_ = nullptr;
    }
    if (bitmap_) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    defaultBitmap_ = nullptr;
    bits_ = nullptr;
}

std::int32_t BackBuffer::pixel(int x, int y) const
{
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        throw std::out_of_range("no such pixel");
    const std::uint32_t bgr = bits_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
    return std::int32_t(((bgr >> 16) & 0xFF) | (bgr & 0xFF00) | ((bgr & 0xFF) << 16));
}

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
