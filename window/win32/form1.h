// The game's one window on the Windows API: built from the window design,
// painted from one off-screen bitmap, driven by the load, the start button
// and the 5 ms tick.
#pragma once

#include "card_painter.h"
#include "catalogue.h"
#include "decode_pool.h"
#include "error_report.h"
#include "form1_design.h"
#include "gdi_paint.h"
#include "game_controller.h"
#include "random_source.h"
#include "reel_window.h"
#include "spin.h"
#include "tick_timer.h"
#include "wic_picture_loader.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace window::win32 {

class Form1 : public reel::ReelWindow, public window::GameScreen {
public:
    static constexpr int kCards = design::kCardCount;
    // The message the tick timer posts.
    static constexpr UINT kTickMessage = WM_APP + 1;

    // dataFolder holds data.ini and picture/. random is the game's one
    // random sequence (a Mersenne Twister when none is given), seeded at
    // load; report receives any run-time error a handler did not trap.
    // decodingThreads: how many threads decode the pictures after the load
    // has checked them; with 0, each is decoded when a card first shows it.
    // dpi: 0 for the screen's own, else fixed (tests). scale: the designed
    // window drawn this many times as large on top of the dpi (1: as
    // designed), yet never larger than its screen's work area.
    explicit Form1(std::filesystem::path dataFolder, std::unique_ptr<reel::RandomSource> random = nullptr,
                   ErrorReport report = reportRunTimeError, int decodingThreads = window::DecodePool::kAllCores,
                   int dpi = 0, double scale = 1);
    ~Form1() override;
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // The first call runs the load handler first; when it fails the window
    // stays hidden for good and this returns false.
    bool show();
    bool loaded() const { return game_.loaded(); }
    HWND handle() const { return hwnd_; }
    window::GameController &game() { return game_; }

    // reel::ReelWindow: card positions are twips, kept here exactly.
    int cardCount() const override { return kCards; }
    reel::Card &card(int i) override { return cards_[checked(i)]; }
    float left(int i) const override { return cards_[checked(i)].leftTwips; }
    void setLeft(int i, float twips) override;
    float width(int i) const override { return cards_[checked(i)].widthTwips; }
    void setTimerEnabled(bool on) override;
    void setButtonEnabled(bool on) override;

    // GameScreen: the design fitted to the whole monitor the window is on,
    // or the window as it was before.
    void setFullScreen(bool on) override;
    // Where Form1's designed client area lies in the window's client area
    // (not at 0, 0 only in full screen), in pixels.
    POINT origin() const { return origin_; }

    bool timerEnabled() const { return tick_.active(); }
    bool buttonEnabled() const { return buttonEnabled_; }
    const reel::Spin &spin() const { return game_.spin(); }
    const catalogue::Catalogue &prizes() const { return game_.prizes(); }
    const window::DecodePool &pictureDecoding() const { return decoding_; }
    // Ticks run since the window was made.
    long ticksRun() const { return ticks_; }
    // The pixels per inch the design is drawn at: the screen's, times the
    // scale, or what fits the whole screen.
    double dpi() const { return dpi_; }
    // The control that holds the keyboard focus.
    design::ControlId focus() const;

    // Paints the whole client area into the off-screen bitmap, as the screen
    // shows it, and reads one of its pixels as red + 256 * green + 65536 * blue.
    void render();
    std::int32_t pixel(int x, int y) const;

private:
    // What the draw wrote on a card; painted from here.
    struct CardState : reel::Card {
        explicit CardState(Form1 &form) : form(&form) {}
        void setFillColor(std::int32_t color) override;
        void setBorderColor(std::int32_t color) override;
        void setName(std::string_view text) override;
        void setAmount(std::string_view text) override;
        void setPicture(const catalogue::PicturePtr &p) override;

        Form1 *form;
        float leftTwips = 0;
        float widthTwips = 0;
        CardLook look;
        catalogue::PicturePtr picture;
        // The picture decoded at this card's own size where the list's are
        // decoded smaller (full screen).
        std::shared_ptr<const Pixels> sharp;
        catalogue::PicturePtr sharpOf;
        DeviceSize sharpSize;
    };

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    static std::size_t checked(int i);

    // Sizes, fonts and the bitmap for a dpi, in the window or on the whole
    // monitor.
    void applyDpi(double dpi);
    void makeSurface(double dpi, int width, int height);
    // A scaled window opens wholly on the screen it starts on, centred.
    void placeOnScreen();
    void showPointer(bool shown);
    design::Role focusedRole() const;
    void createFonts();
    void deleteFonts();
    DeviceSize pictureSize() const;
    void changed() { dirty_ = true; }

    void paintContainer(HDC dc, const design::Control &container);
    void paintControl(HDC dc, const design::Control &control);
    void paintButton(HDC dc, const design::Control &button);
    void paintCard(HDC dc, design::PixelRect frame, CardState &card, int index);
    design::PixelRect pixelsOf(const design::Control &control) const;

    // Keyboard focus, in tab order; the picture boxes show none.
    void moveFocus(bool forward);
    void clickAt(POINT point, bool down);
    bool onButton(POINT point) const;

    // The three events, handed to the game, which traps every error.
    void formLoad();
    void command1Click();
    void timer1Timer();
    void stopTimer();
    void setDecodingForSpin(bool spinning);
    void decodeCardPicturesFirst();

    std::filesystem::path dataFolder_;
    window::GameController game_;
    std::array<CardState, kCards> cards_;
    bool buttonEnabled_ = true;
    bool buttonPressed_ = false;
    bool spacePressed_ = false;
    bool closedByUser_ = false;
    bool dirty_ = true;
    long ticks_ = 0;
    std::size_t focus_ = 0; // index in the tab order

    HWND hwnd_ = nullptr;
    double dpi_ = design::kDesignDpi;
    double scale_ = 1;
    int screenDpi_ = design::kDesignDpi; // the monitor's, or the fixed one
    bool fixedDpi_ = false;
    POINT origin_{0, 0};
    WINDOWPLACEMENT windowPlace_{}; // the window before full screen
    bool pointerHidden_ = false;
    BackBuffer buffer_; // the client area, painted off screen
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    CardPainter cardPainter_;
    HFONT buttonFont_ = nullptr;
    UINT frameMs_ = 16;

    TickTimer tick_;
    std::unique_ptr<WicPictureLoader> pictures_;
    // Last, so that its threads are joined before anything else goes.
    window::DecodePool decoding_;
};

} // namespace window::win32
