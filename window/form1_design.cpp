// Form1 as designed: the table of its controls, and the conversions.
#include "form1_design.h"

#include "reel_window.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace window::design {

static_assert(kCardCount == reel::design::kCardCount);

namespace {

constexpr Color kFormGrey = fixedColor(0x404040);
constexpr Color kYellow = fixedColor(0x00FFFF);
constexpr Color kButtonGreen = fixedColor(0x00C000);
constexpr Color kBlack = fixedColor(0);
constexpr Color kRed = fixedColor(0x0000FF);
constexpr Color kWindowText = systemColor(SystemColor::WindowText);

// The Song face of the GB2312 character set; where that is not installed,
// other faces that cover GB2312, Song/Ming style first.
constexpr std::string_view kLabelFaces[] = {
    "宋体",
    "SimSun",
    "AR PL UMing CN",
    "AR PL SungtiL GB",
    "Noto Serif CJK SC",
    "Noto Sans CJK SC",
    "WenQuanYi Zen Hei",
    "WenQuanYi Micro Hei",
    "Droid Sans Fallback",
};
constexpr int kGb2312 = 134;
constexpr Font kNameFont{kLabelFaces, 12, 700, kGb2312};
constexpr Font kAmountFont{kLabelFaces, 10.5, 400, kGb2312};

// The labels start this far from the card's left edge and end this far
// before its right edge, the same on every card, so that a name shown whole
// on one card is whole on all of them.
constexpr int kLabelMarginTwips = 120;

Control line(std::string_view name, ControlId container, TwipsLine ends, Color color = kWindowText)
{
    Control c;
    c.kind = Kind::Line;
    c.role = Role::Rule;
    c.id = {name};
    c.container = container;
    c.line = ends;
    c.fore = color;
    return c;
}

Control label(Role role, ControlId id, TwipsRect rect, const Font &font, std::string_view text, int tabIndex)
{
    Control c;
    c.kind = Kind::Label;
    c.role = role;
    c.id = id;
    c.container = {"awardbox", id.index};
    c.rect = rect;
    c.fore = kBlack;
    c.font = font;
    c.text = text;
    c.tabIndex = tabIndex;
    return c;
}

std::vector<Control> makeControls()
{
    std::vector<Control> all;
    const ControlId form1{"Form1"};
    const ControlId picture1{"Picture1"};
    const ControlId picture2{"Picture2"};

    Control form;
    form.kind = Kind::Form;
    form.id = form1;
    form.rect = {0, 0, 8085, 6105}; // client area: 539 x 407 pixels
    form.back = kFormGrey;
    form.text = "仿VORTA开奖软件 Powered by MALQUENTIS";
    all.push_back(form);

    // Form1's children, top of the stacking order first.
    Control marker;
    marker.kind = Kind::PictureBox;
    marker.role = Role::Marker;
    marker.id = picture2;
    marker.container = form1;
    marker.rect = {4060, 1200, 50, 2775};
    marker.back = kYellow;
    // About 3 pixels wide: drawn as the plain yellow bar, without the border.
    marker.border = Border::None;
    marker.tabIndex = 18;
    marker.takesFocus = true;
    all.push_back(marker);

    Control button;
    button.kind = Kind::CommandButton;
    button.role = Role::StartButton;
    button.id = {"Command1"};
    button.container = form1;
    button.rect = {2880, 4560, 2415, 735};
    button.back = kButtonGreen;
    button.text = "试试手气";
    button.tabIndex = 17;
    button.takesFocus = true;
    all.push_back(button);

    Control view;
    view.kind = Kind::PictureBox;
    view.role = Role::ViewingArea;
    view.id = picture1;
    view.container = form1;
    view.rect = {0, 1320, 8895, 2535};
    view.back = kFormGrey; // as the window's, so only the cards stand out
    view.border = Border::None;
    view.tabIndex = 0;
    view.takesFocus = true;
    all.push_back(view);

    // Drawn on the window's background, beneath its picture boxes and button.
    all.push_back(line("Line1", form1, {0, 1200, 8880, 1200}));   // top rule
    all.push_back(line("Line2", form1, {0, 3960, 8880, 3960}));   // bottom rule
    all.push_back(line("Line6", form1, {4080, 1200, 3960, 960})); // marker triangle, left edge
    all.push_back(line("Line7", form1, {4080, 1200, 4200, 960})); // right edge
    all.push_back(line("Line8", form1, {3960, 960, 4200, 960}));  // top edge

    Control timer;
    timer.kind = Kind::Timer;
    timer.role = Role::Timer;
    timer.id = {"Timer1"};
    timer.container = form1;
    timer.enabled = false;
    timer.intervalMs = 5;
    all.push_back(timer);

    all.push_back(line("Line5", picture2, {0, 0, 0, 2760}, kYellow));

    // The viewing area: the cards, card 0 on top, then two lines beneath them.
    for (int i = 0; i < kCardCount; ++i) {
        Control card;
        card.kind = Kind::PictureBox;
        card.role = Role::CardFrame;
        card.id = {"awardbox", i};
        card.container = picture1;
        card.rect = {int(reel::design::kCardLeftsTwips[i]), 0, int(reel::design::kCardWidthTwips), 2535};
        card.back = systemColor(SystemColor::ButtonFace);
        card.border = Border::Thin;
        card.tabIndex = 1 + 4 * i;
        card.takesFocus = true;
        all.push_back(card);
    }
    all.push_back(line("Line3", picture1, {4560, 2520, 4560, 0}));
    all.push_back(line("Line4", picture1, {4680, 0, 4680, 2520}));

    // Each card's controls, top first: the picture over the strip's top
    // edge, the labels over the strip.
    for (int i = 0; i < kCardCount; ++i) {
        const ControlId card{"awardbox", i};
        const int width = int(reel::design::kCardWidthTwips);

        Control picture;
        picture.kind = Kind::Image;
        picture.role = Role::CardPicture;
        picture.id = {"awardpic", i};
        picture.container = card;
        picture.rect = {0, 0, width, 1695}; // a picture is stretched to fill it
        all.push_back(picture);

        const int labelsEnd = width - kLabelMarginTwips;
        all.push_back(label(Role::CardName, {"awardname", i},
                            {kLabelMarginTwips, 1800, labelsEnd - kLabelMarginTwips, 375}, kNameFont, "荧光棒",
                            2 + 4 * i));
        // The times sign reaches under the amount, so that a card reads "x10".
        all.push_back(
            label(Role::CardTimesSign, {"x", i}, {kLabelMarginTwips, 2040, 255, 255}, kAmountFont, "x", 3 + 4 * i));
        all.push_back(
            label(Role::CardAmount, {"award", i}, {240, 2040, labelsEnd - 240, 255}, kAmountFont, "10", 4 + 4 * i));

        Control strip;
        strip.kind = Kind::Shape;
        strip.role = Role::CardStrip;
        strip.id = {"colorbox", i};
        strip.container = card;
        strip.rect = {0, 1680, width, 855};
        strip.back = kRed;
        strip.fore = kRed;
        all.push_back(strip);
    }
    return all;
}

const std::vector<Control> &table()
{
    static const std::vector<Control> all = makeControls();
    return all;
}

} // namespace

std::span<const Control> controls() { return table(); }

const Control &form() { return table().front(); }

std::vector<const Control *> children(ControlId container)
{
    std::vector<const Control *> found;
    for (const Control &c : table())
        if (c.container == container && !c.container.name.empty())
            found.push_back(&c);
    return found;
}

int cardOf(const Control &c)
{
    if (c.role == Role::CardFrame)
        return c.id.index;
    if (const Control *container = find(c.container); container && container->role == Role::CardFrame)
        return container->id.index;
    return -1;
}

const Control &control(Role role, int card)
{
    for (const Control &c : table())
        if (c.role == role && cardOf(c) == card)
            return c;
    throw std::out_of_range("the window design has no control of that role" +
                            (card >= 0 ? " on card " + std::to_string(card) : std::string()));
}

const Control *find(ControlId id)
{
    for (const Control &c : table())
        if (c.id == id)
            return &c;
    return nullptr;
}

const Control &control(std::string_view name, int index)
{
    if (const Control *c = find({name, index}))
        return *c;
    std::string what = "the window design has no control ";
    what += name;
    if (index >= 0)
        what += "(" + std::to_string(index) + ")";
    throw std::out_of_range(what);
}

std::vector<const Control *> tabOrder()
{
    std::vector<const Control *> order;
    for (const Control &c : table())
        if (c.takesFocus)
            order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](const Control *a, const Control *b) { return a->tabIndex < b->tabIndex; });
    return order;
}

int toPixels(double twips, double dpi)
{
    // twips * dpi is exact for any float position, so at 96 dpi this is
    // exactly twips / 15 rounded.
    const double pixels = std::nearbyint(twips * dpi / kTwipsPerInch);
    if (std::isnan(pixels))
        return 0;
    return static_cast<int>(std::clamp(pixels, -1e7, 1e7));
}

PixelRect toPixels(TwipsRect twips, double dpi)
{
    const int left = toPixels(twips.left, dpi);
    const int top = toPixels(twips.top, dpi);
    return {left, top, toPixels(twips.right(), dpi) - left, toPixels(twips.bottom(), dpi) - top};
}

PixelLine toPixels(TwipsLine twips, double dpi)
{
    return {toPixels(twips.x1, dpi), toPixels(twips.y1, dpi), toPixels(twips.x2, dpi), toPixels(twips.y2, dpi)};
}

int pointsToPixels(double points, double dpi) { return static_cast<int>(std::lround(points * dpi / 72.0)); }

namespace {
struct Offset {
    int x = 0, y = 0;
};

// The top left of a container's client area in Form1's client area.
Offset clientOrigin(ControlId container, double dpi)
{
    Offset origin;
    while (!container.name.empty() && container != form().id) {
        const Control &box = control(container.name, container.index);
        const PixelRect place = toPixels(box.rect, dpi);
        origin.x += place.left + borderPixels(box.border, dpi);
        origin.y += place.top + borderPixels(box.border, dpi);
        container = box.container;
    }
    return origin;
}
} // namespace

PixelRect toWindowPixels(const Control &c, double dpi)
{
    const Offset origin = clientOrigin(c.container, dpi);
    PixelRect pixels = toPixels(c.rect, dpi);
    pixels.left += origin.x;
    pixels.top += origin.y;
    return pixels;
}

PixelLine lineToWindowPixels(const Control &line, double dpi)
{
    const Offset origin = clientOrigin(line.container, dpi);
    const PixelLine pixels = toPixels(line.line, dpi);
    return {pixels.x1 + origin.x, pixels.y1 + origin.y, pixels.x2 + origin.x, pixels.y2 + origin.y};
}

namespace {
// Where a control lies in its container's client area, a card at the left
// the reel gave it.
PixelRect placed(const Control &c, double dpi, std::span<const float> cardLeftsTwips)
{
    if (c.role == Role::CardFrame && c.id.index >= 0 && std::size_t(c.id.index) < cardLeftsTwips.size()) {
        const double left = cardLeftsTwips[std::size_t(c.id.index)];
        const int x = toPixels(left, dpi);
        const PixelRect r = toPixels(c.rect, dpi);
        return {x, r.top, toPixels(left + c.rect.width, dpi) - x, r.height};
    }
    return toPixels(c.rect, dpi);
}

bool inside(int x, int y, PixelRect r) { return x >= r.left && x < r.right() && y >= r.top && y < r.bottom(); }

// x and y in the container's client area, whose visible part is clip.
const Control *focusableIn(const Control &container, int x, int y, PixelRect clip, double dpi,
                           std::span<const float> cardLeftsTwips)
{
    for (const Control *child : children(container.id)) { // topmost first
        if (child->kind != Kind::PictureBox && child->kind != Kind::CommandButton)
            continue; // drawn on the container: its clicks are the container's
        const PixelRect r = placed(*child, dpi, cardLeftsTwips);
        if (!inside(x, y, r) || !inside(x, y, clip))
            continue;
        if (child->kind == Kind::PictureBox) {
            const int border = borderPixels(child->border, dpi);
            const int innerX = x - r.left - border;
            const int innerY = y - r.top - border;
            const PixelRect inner{0, 0, r.width - 2 * border, r.height - 2 * border};
            if (const Control *hit = focusableIn(*child, innerX, innerY, inner, dpi, cardLeftsTwips))
                return hit;
        }
        if (child->takesFocus)
            return child;
    }
    return nullptr;
}
} // namespace

const Control *focusableAt(int x, int y, double dpi, std::span<const float> cardLeftsTwips)
{
    const PixelRect client = toPixels(form().rect, dpi);
    return focusableIn(form(), x, y, client, dpi, cardLeftsTwips);
}

ScreenFit fitToScreen(int screenWidth, int screenHeight)
{
    const PixelRect designed = toPixels(form().rect);
    const double scale = std::min(double(screenWidth) / designed.width, double(screenHeight) / designed.height);
    ScreenFit fit;
    fit.dpi = scale > 0 ? kDesignDpi * scale : kDesignDpi;
    const PixelRect client = toPixels(form().rect, fit.dpi);
    // Rounding may overshoot the screen by a pixel; never past its edges.
    const int width = std::min(client.width, std::max(screenWidth, 0));
    const int height = std::min(client.height, std::max(screenHeight, 0));
    fit.left = (std::max(screenWidth, 0) - width) / 2;
    fit.top = (std::max(screenHeight, 0) - height) / 2;
    fit.client = {fit.left, fit.top, width, height};
    return fit;
}

} // namespace window::design
