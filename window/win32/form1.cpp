// Form1 on the Windows API: the design's controls drawn into one off-screen
// bitmap, the keyboard focus and the start button kept here, the reel driven
// by a 5 ms multimedia timer.
#include "form1.h"

#include "gdi_paint.h"
#include "gdi_text_measure.h"
#include "program_resources.h"
#include "runtime_error.h"
#include "wide_text.h"

#include <windowsx.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace window::win32 {

using design::Control;
using design::ControlId;
using design::Kind;
using design::PixelRect;
using design::Role;

namespace {

constexpr wchar_t kClassName[] = L"PrizeDrawForm1";
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT_PTR kPointerTimer = 2;
// A fixed frame with a title and the close button only.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// The whole monitor, nothing around it.
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;

// Both ends drawn, as the design's lines are; a wider line is a band from
// the line's own pixels on, right and down.
void drawLine(HDC dc, design::PixelLine line, COLORREF color, int width)
{
    if (width > 1 && (line.x1 == line.x2 || line.y1 == line.y2)) {
        // A rule: one band, as the slanted case below covers it.
        fill(dc,
             {std::min(line.x1, line.x2), std::min(line.y1, line.y2), std::max(line.x1, line.x2) + width,
              std::max(line.y1, line.y2) + width},
             color);
        return;
    }
    if (width > 1) {
        const HPEN pen = CreatePen(PS_SOLID, 1, color);
        const HGDIOBJ old = SelectObject(dc, pen);
        for (int step = 0; step < width; ++step)
            for (int across = 0; across < width; ++across) {
                MoveToEx(dc, line.x1 + across, line.y1 + step, nullptr);
                LineTo(dc, line.x2 + across, line.y2 + step);
                SetPixelV(dc, line.x2 + across, line.y2 + step, color);
            }
        SelectObject(dc, old);
        DeleteObject(pen);
        return;
    }
    SetDCPenColor(dc, color);
    MoveToEx(dc, line.x1, line.y1, nullptr);
    LineTo(dc, line.x2, line.y2);
    SetPixelV(dc, line.x2, line.y2, color);
}

// The desktop's default user-interface font, at dpi.
HFONT createDefaultFont(double dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    // The system knows its font at whole dpi; a scaled window's is that one's
    // height scaled on.
    const UINT wholeDpi = UINT(std::lround(dpi));
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, wholeDpi))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof metrics.lfMessageFont, &metrics.lfMessageFont);
    else if (double(wholeDpi) != dpi)
        metrics.lfMessageFont.lfHeight = LONG(std::lround(metrics.lfMessageFont.lfHeight * dpi / wholeDpi));
    // The caption is Chinese: in the desktop's font where it covers GB2312,
    // else in one that does, rather than in boxes.
    metrics.lfMessageFont.lfCharSet = GB2312_CHARSET;
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

window::GameKey gameKey(WPARAM key)
{
    switch (key) {
    case VK_RETURN: return window::GameKey::Enter;
    case VK_SPACE: return window::GameKey::Space;
    case VK_NEXT: return window::GameKey::PageDown;
    case VK_RIGHT: return window::GameKey::Right;
    case VK_DOWN: return window::GameKey::Down;
    case VK_F11: return window::GameKey::F11;
    case VK_ESCAPE: return window::GameKey::Escape;
    default: return window::GameKey::Other;
    }
}

} // namespace

void Form1::CardState::setFillColor(std::int32_t color)
{
    look.fill = checkedColor(color);
    form->changed();
}

void Form1::CardState::setBorderColor(std::int32_t color)
{
    look.border = checkedColor(color);
    form->changed();
}

void Form1::CardState::setName(std::string_view text)
{
    look.name = widen(text);
    form->changed();
}

void Form1::CardState::setAmount(std::string_view text)
{
    look.amount = widen(text);
    form->changed();
}

void Form1::CardState::setPicture(const catalogue::PicturePtr &p)
{
    picture = p;
    form->changed();
}

Form1::Form1(std::filesystem::path dataFolder, std::unique_ptr<reel::RandomSource> random, ErrorReport report,
             int decodingThreads, int dpi, double scale)
    : dataFolder_(std::move(dataFolder)),
      game_(*this, *this, std::move(random), std::move(report)), cards_{CardState(*this), CardState(*this),
                                                                        CardState(*this), CardState(*this)},
      scale_(scale > 0 ? scale : 1), fixedDpi_(dpi > 0),
      tick_(kTickMessage, UINT(design::control(Role::Timer).intervalMs)), decoding_(decodingThreads)
{
    for (int i = 0; i < kCards; ++i) {
        const Control &card = design::control(Role::CardFrame, i);
        cards_[std::size_t(i)].leftTwips = float(card.rect.left);
        cards_[std::size_t(i)].widthTwips = float(card.rect.width);
        cards_[std::size_t(i)].look.name = widen(design::control(Role::CardName, i).text);
        cards_[std::size_t(i)].look.amount = widen(design::control(Role::CardAmount, i).text);
        const Control &strip = design::control(Role::CardStrip, i);
        cards_[std::size_t(i)].look.fill = toColorRef(strip.back);
        cards_[std::size_t(i)].look.border = toColorRef(strip.fore);
    }

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
        windowClass.style = 0; // the whole client area is painted from the bitmap: nothing to redraw on resize
        windowClass.lpfnWndProc = &Form1::windowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        // The icon from the program's resources, where it has one.
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(PRIZEDRAW_ICON));
        windowClass.lpszClassName = kClassName;
        if (!RegisterClassExW(&windowClass))
            throw std::runtime_error("the window class could not be registered");
    }
    const std::wstring title = widen(design::form().text);
    hwnd_ = CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                            nullptr, nullptr, instance, this);
    if (!hwnd_)
        throw std::runtime_error("the window could not be created");
    screenDpi_ = fixedDpi_ ? dpi : int(GetDpiForWindow(hwnd_));
    applyDpi(screenDpi_ * scale_);

    // Once a frame while the reel spins; the display's own rate where known.
    const HDC screen = GetDC(hwnd_);
    const int hertz = GetDeviceCaps(screen, VREFRESH);
    ReleaseDC(hwnd_, screen);
    frameMs_ = UINT(std::clamp(1000 / (hertz > 1 ? hertz : 60), 1, 100));
}

Form1::~Form1()
{
    tick_.stop();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    deleteFonts();
}

std::size_t Form1::checked(int i)
{
    if (i < 0 || i >= kCards)
        throw catalogue::RuntimeError(catalogue::ErrorCode::SubscriptOutOfRange);
    return std::size_t(i);
}

void Form1::applyDpi(double dpi)
{
    const PixelRect client = design::toPixels(design::form().rect, dpi);
    origin_ = {0, 0};

    // The frame is sized from the client area, not the other way round, at
    // the dpi the frame itself is drawn at (the screen's, also when the
    // content's dpi is fixed); then corrected by what the client area came to.
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, GetDpiForWindow(hwnd_));
    SIZE outer{frame.right - frame.left, frame.bottom - frame.top};
    for (int attempt = 0; attempt < 2; ++attempt) {
        SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT inner;
        GetClientRect(hwnd_, &inner);
        if (inner.right == client.width && inner.bottom == client.height)
            break;
        outer.cx += client.width - inner.right;
        outer.cy += client.height - inner.bottom;
    }
    makeSurface(dpi, client.width, client.height);
}

void Form1::makeSurface(double dpi, int width, int height)
{
    const bool newDpi = dpi != dpi_ || !buttonFont_;
    dpi_ = dpi;
    clientWidth_ = width;
    clientHeight_ = height;
    buffer_ = BackBuffer(clientWidth_, clientHeight_);
    SetBkMode(buffer_.dc(), TRANSPARENT);

    if (newDpi) {
        deleteFonts();
        createFonts();
    }
    // In full screen the list's pictures stay at the window's size, and the
    // cards at rest decode theirs at their own: a thousand pictures at a
    // whole screen's card size would not fit in memory.
    if (pictures_ && newDpi && !game_.fullScreen())
        pictures_->resize(pictureSize());
    changed();
}

void Form1::createFonts()
{
    cardPainter_.setDpi(dpi_);
    buttonFont_ = createDefaultFont(dpi_);
}

void Form1::deleteFonts()
{
    if (buttonFont_) {
        DeleteObject(buttonFont_);
        buttonFont_ = nullptr;
    }
}

DeviceSize Form1::pictureSize() const
{
    const PixelRect box = design::toPixels(design::control(Role::CardPicture, 0).rect, dpi_);
    return {box.width, box.height};
}

design::ControlId Form1::focus() const { return design::tabOrder()[focus_]->id; }

Role Form1::focusedRole() const { return design::tabOrder()[focus_]->role; }

void Form1::setLeft(int i, float twips)
{
    CardState &card = cards_[checked(i)];
    if (design::toPixels(card.leftTwips, dpi_) != design::toPixels(twips, dpi_))
        changed();
    card.leftTwips = twips;
}

void Form1::setTimerEnabled(bool on)
{
    if (on == tick_.active())
        return;
    if (!on) {
        stopTimer();
        return;
    }
    if (!tick_.start(hwnd_))
        throw std::runtime_error("no multimedia timer");
    SetTimer(hwnd_, kFrameTimer, frameMs_, nullptr);
    setDecodingForSpin(true);
}

void Form1::stopTimer()
{
    tick_.stop();
    KillTimer(hwnd_, kFrameTimer);
    setDecodingForSpin(false);
    InvalidateRect(hwnd_, nullptr, FALSE); // the cards as they stopped
}

void Form1::setDecodingForSpin(bool spinning) { decoding_.setSpinning(spinning); }

void Form1::decodeCardPicturesFirst()
{
    for (const CardState &card : cards_)
        if (auto picture = std::dynamic_pointer_cast<const WicPicture>(card.picture); picture && !picture->decoded())
            decoding_.decodeNext(std::move(picture));
}

void Form1::setButtonEnabled(bool on)
{
    if (on == buttonEnabled_)
        return;
    buttonEnabled_ = on;
    buttonPressed_ = spacePressed_ = false;
    // A button greyed while it has the focus hands it on, as focus never
    // rests on a control that cannot take it.
    if (!on && focusedRole() == Role::StartButton)
        moveFocus(true);
    changed();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool Form1::show()
{
    if (!game_.loadRun()) {
        formLoad();
        if (game_.loaded())
            placeOnScreen();
    }
    if (!game_.loaded())
        return false; // the report ends the program
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    return true;
}

void Form1::placeOnScreen()
{
    if (scale_ == 1)
        return; // the designed window goes wherever the desktop puts a new one
    POINT cursor{};
    GetCursorPos(&cursor);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const RECT &work = monitor.rcWork;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, GetDpiForWindow(hwnd_));
    const design::ScreenFit fit = design::fitToScreen(int(work.right - work.left - (frame.right - frame.left)),
                                                      int(work.bottom - work.top - (frame.bottom - frame.top)));
    if (fit.dpi < dpi_)
        applyDpi(fit.dpi);
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form1::setFullScreen(bool on)
{
    if (on) {
        windowPlace_.length = sizeof windowPlace_;
        GetWindowPlacement(hwnd_, &windowPlace_);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor))
            return;
        const RECT &whole = monitor.rcMonitor;
        const int width = whole.right - whole.left;
        const int height = whole.bottom - whole.top;
        const design::ScreenFit fit = design::fitToScreen(width, height);
        SetWindowLongPtrW(hwnd_, GWL_STYLE,
                          LONG_PTR(kFullScreenStyle | (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE)));
        SetWindowPos(hwnd_, HWND_TOP, whole.left, whole.top, width, height, SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
        origin_ = {fit.left, fit.top};
        makeSurface(fit.dpi, width, height);
        SetTimer(hwnd_, kPointerTimer, window::GameController::kPointerHideMs, nullptr);
    } else {
        KillTimer(hwnd_, kPointerTimer);
        showPointer(true);
        SetWindowLongPtrW(hwnd_, GWL_STYLE, LONG_PTR(kStyle | (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE)));
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
        if (windowPlace_.length)
            SetWindowPlacement(hwnd_, &windowPlace_);
        applyDpi(screenDpi_ * scale_);
    }
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void Form1::showPointer(bool shown)
{
    if (shown == !pointerHidden_)
        return;
    pointerHidden_ = !shown;
    ShowCursor(shown ? TRUE : FALSE);
}

void Form1::formLoad()
{
    // The load only checks each picture file; the pixels are decoded once,
    // at the image box's size in device pixels, by the decoding threads in
    // list order or by a card that has to show them sooner.
    // Transparent pixels show the card's background, as they do on Linux.
    const COLORREF background = toColorRef(design::control(Role::CardFrame, 0).back);
    pictures_ = std::make_unique<WicPictureLoader>(
        pictureSize(), &decoding_,
        std::uint32_t(GetRValue(background)) << 16 | std::uint32_t(GetGValue(background)) << 8 | GetBValue(background));
    if (!game_.load(dataFolder_, *pictures_))
        stopTimer();
}

void Form1::command1Click() { game_.click(); }

void Form1::timer1Timer()
{
    ++ticks_;
    game_.tick();
    decodeCardPicturesFirst(); // a refilled card shows its picture as soon as it can
}

// Painting ---------------------------------------------------------------

PixelRect Form1::pixelsOf(const Control &control) const
{
    PixelRect r = design::toPixels(control.rect, dpi_);
    if (control.role == Role::CardFrame) {
        // Cards stand where the reel put them, at the nearest pixel.
        const CardState &card = cards_[std::size_t(control.id.index)];
        const int left = design::toPixels(card.leftTwips, dpi_);
        r = {left, r.top, design::toPixels(double(card.leftTwips) + control.rect.width, dpi_) - left, r.height};
    }
    return r;
}

void Form1::render()
{
    const int saved = SaveDC(buffer_.dc());
    SetViewportOrgEx(buffer_.dc(), 0, 0, nullptr);
    SelectClipRgn(buffer_.dc(), nullptr);
    fill(buffer_.dc(), {0, 0, clientWidth_, clientHeight_}, toColorRef(design::form().back));
    // Nothing shows past the designed client area, also where the window is
    // larger (full screen).
    const PixelRect designed = design::toPixels(design::form().rect, dpi_);
    IntersectClipRect(buffer_.dc(), origin_.x, origin_.y, origin_.x + designed.width, origin_.y + designed.height);
    SetViewportOrgEx(buffer_.dc(), origin_.x, origin_.y, nullptr);
    paintContainer(buffer_.dc(), design::form());
    RestoreDC(buffer_.dc(), saved);
    GdiFlush();
    dirty_ = false;
}

std::int32_t Form1::pixel(int x, int y) const { return buffer_.pixel(x, y); }

void Form1::paintContainer(HDC dc, const Control &container)
{
    const std::vector<const Control *> children = design::children(container.id);
    // Bottom of the stacking order first.
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        paintControl(dc, **it);
}

void Form1::paintControl(HDC dc, const Control &control)
{
    const int card = design::cardOf(control);
    switch (control.kind) {
    case Kind::Form:
    case Kind::Timer: return;
    case Kind::Line:
        drawLine(dc, design::toPixels(control.line, dpi_), toColorRef(control.fore), design::linePixels(dpi_));
        return;
    case Kind::CommandButton: paintButton(dc, control); return;
    case Kind::Image:
    case Kind::Label:
    case Kind::Shape: return; // only on cards, which the card painter paints
    case Kind::PictureBox: {
        const PixelRect r = pixelsOf(control);
        if (card >= 0) {
            paintCard(dc, r, cards_[std::size_t(card)], card);
            return;
        }
        const int saved = beginPictureBox(dc, control, r, toColorRef(control.back), dpi_);
        paintContainer(dc, control);
        RestoreDC(dc, saved);
        return;
    }
    }
}

void Form1::paintButton(HDC dc, const Control &button)
{
    const PixelRect pixels = pixelsOf(button);
    const RECT r = toRect(pixels);
    // A raised edge as wide as a picture box's thin border.
    const int edge = design::borderPixels(design::Border::Thin, dpi_);
    constexpr int kTwipsPerDesignPixel = design::kTwipsPerInch / design::kDesignDpi;
    const int unit = std::max(1, design::toPixels(kTwipsPerDesignPixel, dpi_));
    const COLORREF face = toColorRef(button.back);
    const bool sunken = buttonPressed_;
    fill(dc, r, face);
    if (sunken)
        drawShades(dc, r, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW),
                   GetSysColor(COLOR_BTNFACE), edge);
    else
        drawShades(dc, r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT),
                   GetSysColor(COLOR_3DSHADOW), edge);

    const int margin = design::toPixels(4 * kTwipsPerDesignPixel, dpi_); // the caption's and focus frame's inset
    RECT text{r.left + margin, r.top + margin, r.right - margin, r.bottom - margin};
    if (sunken)
        OffsetRect(&text, unit, unit);
    const std::wstring caption = widen(button.text);
    const HGDIOBJ old = SelectObject(dc, buttonFont_);
    constexpr UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    if (buttonEnabled_) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, caption.c_str(), int(caption.size()), &text, format);
    } else {
        // Greyed and etched, as a disabled caption is on the classic desktop.
        RECT etch = text;
        OffsetRect(&etch, unit, unit);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, caption.c_str(), int(caption.size()), &etch, format);
        SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
        DrawTextW(dc, caption.c_str(), int(caption.size()), &text, format);
    }
    SelectObject(dc, old);
    if (focusedRole() == Role::StartButton && buttonEnabled_) {
        RECT focusRect{r.left + margin, r.top + margin, r.right - margin, r.bottom - margin};
        SetTextColor(dc, RGB(0, 0, 0));
        DrawFocusRect(dc, &focusRect);
    }
}

void Form1::paintCard(HDC dc, PixelRect frame, CardState &card, int index)
{
    const PixelRect box = cardPainter_.pictureBox();
    std::shared_ptr<const Pixels> pixels;
    if (const auto *wic = dynamic_cast<const WicPicture *>(card.picture.get())) {
        // At rest a card waits for its pixels; while the reel spins the UI
        // thread never decodes, and a picture still to come shows next frame.
        const bool waits = !tick_.active() || decoding_.threadCount() == 0;
        pixels = waits ? wic->pixels() : wic->pixelsAtHand();
        // A card larger than the list's pictures (full screen) shows its picture
        // decoded at its own size once it is at rest.
        const DeviceSize size{box.width, box.height};
        if (pixels && (pixels->width != size.width || pixels->height != size.height) && game_.fullScreen()) {
            if (!tick_.active() && (card.sharpOf != card.picture || card.sharpSize != size)) {
                card.sharp = wic->pixelsAt(size);
                card.sharpOf = card.picture;
                card.sharpSize = size;
            }
            if (card.sharp && card.sharpOf == card.picture && card.sharpSize == size)
                pixels = card.sharp;
        }
    }
    // Pixels of an earlier dpi are stretched until those at this one arrive;
    // at the box's own size this is a plain copy.
    // While the reel spins a stretch must be cheap: a card moves on before
    // anyone sees its finer pixels.
    const bool plain = !pixels || (pixels->width == box.width && pixels->height == box.height) || tick_.active();
    cardPainter_.paint(dc, frame, card.look, pixels.get(), plain, index);
}

// Focus and the start button ---------------------------------------------

void Form1::moveFocus(bool forward)
{
    const std::vector<const Control *> order = design::tabOrder();
    std::size_t next = focus_;
    for (std::size_t step = 0; step < order.size(); ++step) {
        next = (next + (forward ? 1 : order.size() - 1)) % order.size();
        if (order[next]->role != Role::StartButton || buttonEnabled_)
            break;
    }
    focus_ = next;
    changed();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool Form1::onButton(POINT point) const
{
    const PixelRect r = design::toWindowPixels(design::control(Role::StartButton), dpi_);
    return point.x >= r.left && point.x < r.right() && point.y >= r.top && point.y < r.bottom();
}

void Form1::clickAt(POINT point, bool down)
{
    if (!down) {
        const bool click = buttonPressed_ && onButton(point) && buttonEnabled_;
        buttonPressed_ = false;
        ReleaseCapture();
        changed();
        InvalidateRect(hwnd_, nullptr, FALSE);
        if (click)
            command1Click();
        return;
    }
    // A click gives the focus to the topmost control under it that takes it.
    std::array<float, kCards> lefts{};
    for (std::size_t i = 0; i < lefts.size(); ++i)
        lefts[i] = cards_[i].leftTwips;
    const Control *hit = design::focusableAt(point.x, point.y, dpi_, lefts);
    if (!hit)
        return;
    if (hit->role == Role::StartButton) {
        if (!buttonEnabled_)
            return; // a greyed button takes neither the click nor the focus
        buttonPressed_ = true;
        SetCapture(hwnd_);
    }
    const std::vector<const Control *> order = design::tabOrder();
    focus_ = std::size_t(std::find(order.begin(), order.end(), hit) - order.begin());
    changed();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

// Messages ---------------------------------------------------------------

LRESULT CALLBACK Form1::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *form = reinterpret_cast<Form1 *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form || form->hwnd_ != hwnd)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return form->handle(message, wParam, lParam);
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kTickMessage:
        if (tick_.take())
            timer1Timer();
        return 0;
    case WM_TIMER:
        if (wParam == kFrameTimer && dirty_)
            InvalidateRect(hwnd_, nullptr, FALSE);
        if (wParam == kPointerTimer) {
            KillTimer(hwnd_, kPointerTimer);
            if (game_.fullScreen())
                showPointer(false);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (game_.fullScreen()) {
            showPointer(true);
            SetTimer(hwnd_, kPointerTimer, window::GameController::kPointerHideMs, nullptr);
        }
        return 0;
    case WM_ERASEBKGND: return 1; // every pixel comes from the bitmap
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(hwnd_, &paint);
        render();
        const RECT &r = paint.rcPaint;
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer_.dc(), r.left, r.top, SRCCOPY);
        EndPaint(hwnd_, &paint);
        return 0;
    }
    case WM_KEYDOWN:
        if (const window::GameKey key = gameKey(wParam); key != window::GameKey::Other) {
            // A held key repeats: it is used up and spins no more.
            const bool repeat = (lParam & (LPARAM(1) << 30)) != 0;
            if (repeat && (game_.fullScreen() || key == window::GameKey::F11))
                return 0;
            if (!repeat && game_.keyDown(key))
                return 0;
        }
        if (wParam == VK_TAB) {
            moveFocus(GetKeyState(VK_SHIFT) >= 0);
        } else if (focusedRole() == Role::StartButton && buttonEnabled_) {
            // Enter presses the button only while it holds the focus; Space
            // presses it down and clicks on release, as a push button does.
            if (wParam == VK_RETURN) {
                command1Click();
            } else if (wParam == VK_SPACE && !spacePressed_) {
                spacePressed_ = buttonPressed_ = true;
                changed();
                InvalidateRect(hwnd_, nullptr, FALSE);
            }
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && spacePressed_) {
            spacePressed_ = buttonPressed_ = false;
            changed();
            InvalidateRect(hwnd_, nullptr, FALSE);
            if (focusedRole() == Role::StartButton && buttonEnabled_)
                command1Click();
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        clickAt({GET_X_LPARAM(lParam) - origin_.x, GET_Y_LPARAM(lParam) - origin_.y}, message == WM_LBUTTONDOWN);
        return 0;
    case WM_DPICHANGED:
        if (!fixedDpi_) {
            screenDpi_ = int(HIWORD(wParam));
            if (game_.fullScreen())
                return 0; // the whole monitor stays filled; its fit needs no dpi
            const auto *suggested = reinterpret_cast<const RECT *>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            applyDpi(screenDpi_ * scale_);
            InvalidateRect(hwnd_, nullptr, FALSE);
        }
        return 0;
    case WM_CLOSE:
        closedByUser_ = true;
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        tick_.stop();
        if (closedByUser_)
            PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        const HWND gone = std::exchange(hwnd_, nullptr);
        return DefWindowProcW(gone, message, wParam, lParam);
    }
    default: return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

} // namespace window::win32
