// The card preview: one card painted into an off-screen bitmap, copied to
// the screen in one piece.
#include "card_preview.h"

#include "draw.h"
#include "gdi_paint.h"
#include "wic_picture_loader.h"
#include "wide_text.h"

#include <memory>
#include <stdexcept>

namespace editor_win32 {

namespace {
constexpr wchar_t kClassName[] = L"PrizeEditCardPreview";
}

CardPreview::CardPreview(HWND parent, int id)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass.lpfnWndProc = &CardPreview::windowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassExW(&windowClass))
            throw std::runtime_error("the card preview's window class could not be registered");
    }
    hwnd_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, HMENU(INT_PTR(id)),
                            instance, this);
    if (!hwnd_)
        throw std::runtime_error("the card preview could not be created");
    const UINT dpi = GetDpiForWindow(hwnd_);
    painter_.setDpi(dpi > 0 ? dpi : 96);
    makeSurface();
    // The empty card until a list is shown: never the design's sample texts.
    showSlot(*std::make_unique<catalogue::Catalogue>(), 0); // large: not on the stack
}

CardPreview::~CardPreview()
{
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void CardPreview::makeSurface()
{
    const window::design::PixelRect frame = painter_.frame();
    buffer_ = window::win32::BackBuffer(frame.width, frame.height);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.width, frame.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CardPreview::setDpi(int dpi)
{
    if (dpi <= 0 || dpi == int(painter_.dpi()))
        return;
    painter_.setDpi(dpi);
    makeSurface();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CardPreview::showSlot(const catalogue::Catalogue &prizes, int slot)
{
    reel::showSlot(*this, prizes, slot);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void CardPreview::setFillColor(std::int32_t color) { look_.fill = window::win32::checkedColor(color); }
void CardPreview::setBorderColor(std::int32_t color) { look_.border = window::win32::checkedColor(color); }
void CardPreview::setName(std::string_view text) { look_.name = window::win32::widen(text); }
void CardPreview::setAmount(std::string_view text) { look_.amount = window::win32::widen(text); }
void CardPreview::setPicture(const catalogue::PicturePtr &picture) { picture_ = picture; }

void CardPreview::render()
{
    std::shared_ptr<const window::Pixels> pixels;
    if (const auto *wic = dynamic_cast<const window::win32::WicPicture *>(picture_.get()))
        pixels = wic->pixels();
    const window::design::PixelRect box = painter_.pictureBox();
    const bool plain = !pixels || (pixels->width == box.width && pixels->height == box.height);
    painter_.paint(buffer_.dc(), painter_.frame(), look_, pixels.get(), plain);
    GdiFlush();
}

LRESULT CALLBACK CardPreview::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *preview = reinterpret_cast<CardPreview *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND: return 1; // every pixel comes from the bitmap
    case WM_PAINT:
        if (preview && preview->buffer_.dc()) {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(hwnd, &paint);
            preview->render();
            BitBlt(dc, 0, 0, preview->buffer_.width(), preview->buffer_.height(), preview->buffer_.dc(), 0, 0, SRCCOPY);
            EndPaint(hwnd, &paint);
            return 0;
        }
        break;
    case WM_DPICHANGED_AFTERPARENT:
        if (preview)
            preview->setDpi(int(GetDpiForWindow(hwnd)));
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace editor_win32
