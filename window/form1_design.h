// The game window's design as data, in twips: every control of Form1 with
// its kind, container, place, colours, font and text, and the conversions
// to pixels. Plain C++, read by each front end to build its own controls.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace window::design {

inline constexpr int kTwipsPerInch = 1440;
// The design's own scale: 15 twips to a pixel.
inline constexpr int kDesignDpi = 96;

// Picture boxes and the button are windows of their own, above whatever is
// drawn on their container. A label draws its text left-aligned on one line
// over a transparent background, cut at its edges, and never changes size;
// an image stretches its picture to the whole box, aspect ratio not kept;
// a shape is a rectangle filled, with a one-pixel outline inside its edges.
enum class Kind { Form, PictureBox, CommandButton, Timer, Line, Label, Image, Shape };

// A colour of the desktop's scheme, or None for a fixed colour number.
enum class SystemColor { None, ButtonFace, WindowText };

struct Color {
    SystemColor system = SystemColor::None;
    std::int32_t number = 0; // red + 256 * green + 65536 * blue; only when system is None
    friend constexpr bool operator==(Color, Color) = default;
};
constexpr Color fixedColor(std::int32_t number) { return {SystemColor::None, number}; }
constexpr Color systemColor(SystemColor role) { return {role, 0}; }

struct Rgb {
    int red = 0, green = 0, blue = 0;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};
// The low three bytes of a colour number; higher bytes are ignored.
constexpr Rgb toRgb(std::int32_t number)
{
    const auto bits = static_cast<std::uint32_t>(number);
    return {int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF)};
}

struct Font {
    // UTF-8 face names, first choice first; empty means the desktop's
    // default user-interface font (the design sets none for the button).
    std::span<const std::string_view> faces;
    double points = 0;
    int weight = 400; // 400 regular, 700 bold
    int charset = 0;  // 134: GB2312
};

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    friend constexpr bool operator==(TwipsRect, TwipsRect) = default;
};

struct TwipsLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    friend constexpr bool operator==(TwipsLine, TwipsLine) = default;
};

struct PixelRect {
    int left = 0, top = 0, width = 0, height = 0;
    constexpr int right() const { return left + width; } // one past the last pixel
    constexpr int bottom() const { return top + height; }
    friend constexpr bool operator==(PixelRect, PixelRect) = default;
};

struct PixelLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // both ends are drawn
    friend constexpr bool operator==(PixelLine, PixelLine) = default;
};

enum class Border { None, Thin };

// Every conversion takes the pixels per inch to draw at: the screen's dpi,
// or that times a scale (a window shown 1.5 times as large, or the design
// fitted to a whole screen). It need not be a whole number.
//
// A thin border is a sunken edge two pixels wide at 96 dpi, inside the
// control's rectangle; the client area, where its children are placed,
// starts past it. Halves round up.
constexpr int borderPixels(Border border, double dpi = kDesignDpi)
{
    return border == Border::Thin ? int((2 * dpi + kDesignDpi / 2.0) / kDesignDpi) : 0;
}

// A line is one pixel wide at 96 dpi, and as many whole pixels as the
// design is scaled whole times: a rule on a wall stays a visible rule.
constexpr int linePixels(double dpi = kDesignDpi) { return dpi >= 2 * kDesignDpi ? int(dpi / kDesignDpi) : 1; }

// What a control is to the game, so that a front end finds the start button,
// a card's name or its strip without knowing any control's name.
enum class Role {
    Window,
    ViewingArea,
    Marker, // the bar over the cards
    StartButton,
    Timer,
    Rule, // the lines
    CardFrame,
    CardPicture,
    CardName,
    CardTimesSign,
    CardAmount,
    CardStrip,
};

// A control's name, and its index in its control array (-1 for a control
// that is no array element).
struct ControlId {
    std::string_view name;
    int index = -1;
    friend constexpr bool operator==(ControlId, ControlId) = default;
};

struct Control {
    Kind kind = Kind::Form;
    Role role = Role::Window;
    ControlId id;
    ControlId container; // empty name for Form1
    // In the container's client area; Form1's is its client area. Lines
    // have none: see line.
    TwipsRect rect;
    TwipsLine line; // lines only: the two ends, both drawn
    // Form1 and picture boxes: background; button: face; shape: fill.
    Color back;
    // Label: text; line: its colour; shape: outline.
    Color fore;
    Border border = Border::None;
    Font font;             // labels, and the button (the default font)
    std::string_view text; // UTF-8: Form1's title, the button's caption, a label's caption as designed
    int tabIndex = -1;     // -1: no tab index
    bool takesFocus = false;
    bool enabled = true; // the timer is designed off
    int intervalMs = 0;  // timer only
};

// The card arrays have this many elements, indices 0 to kCardCount - 1.
inline constexpr int kCardCount = 4;

// Every control, Form1 first; each container's children appear in their
// stacking order, top first.
std::span<const Control> controls();

// Form1 itself: title, client area, background.
const Control &form();

// The children of a container, top of the stacking order first, which is
// the reverse of the order to paint them in.
std::vector<const Control *> children(ControlId container);

// The one control of a role; for the card roles, card i's (0 to
// kCardCount - 1). Throws std::out_of_range when there is none.
const Control &control(Role role, int card = -1);
// The card a control belongs to (its frame or a control on it), or -1.
int cardOf(const Control &control);

// Looks a control up by name and index; nullptr when the design has none.
const Control *find(ControlId id);
// As find, for a control that must exist: throws std::out_of_range naming it.
const Control &control(std::string_view name, int index = -1);

// Controls in tab order (those that take the focus), first first.
std::vector<const Control *> tabOrder();

// Twips to the nearest whole pixel at dpi dots per inch, halves to even;
// far off positions are clamped so that no conversion overflows an int.
// This one rule places every control at every size.
int toPixels(double twips, double dpi = kDesignDpi);
// Each edge is rounded on its own, so that controls touching in twips also
// touch in pixels, at any dpi.
PixelRect toPixels(TwipsRect twips, double dpi = kDesignDpi);
PixelLine toPixels(TwipsLine twips, double dpi = kDesignDpi);
// A font's size in pixels (its em height) at dpi, to the nearest pixel.
int pointsToPixels(double points, double dpi = kDesignDpi);

// Where a control lies in Form1's client area, in pixels at dpi, as designed
// (a card that the reel moved lies at its own left). Each container's place
// and border are rounded on their own level, as nested controls are placed,
// so a front end that paints everything onto one surface puts each pixel
// where nested controls would.
PixelRect toWindowPixels(const Control &control, double dpi = kDesignDpi);
// Lines: both ends.
PixelLine lineToWindowPixels(const Control &line, double dpi = kDesignDpi);

// The topmost control at a point of Form1's client area (pixels at dpi)
// that can take the keyboard focus, with the cards where the reel put them
// (their left edges in twips, card 0 first); nullptr where there is none. A
// control is hit only inside its container's client area, as it is seen.
const Control *focusableAt(int x, int y, double dpi, std::span<const float> cardLeftsTwips);

// The designed window fitted to a whole screen: scaled uniformly to the
// largest size that fits, by min(width / 539, height / 407) in pixels, and
// centred. dpi is what to draw at (96 times that scale); left and top place
// Form1's client area on the screen, whose rest shows the window's
// background.
struct ScreenFit {
    double dpi = kDesignDpi;
    int left = 0, top = 0;
    PixelRect client; // on the screen
};
ScreenFit fitToScreen(int screenWidth, int screenHeight);

} // namespace window::design
