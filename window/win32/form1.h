// The game's one window on the Windows API: built from the window design,
// painted from one off-screen bitmap, driven by the load, the start button
// and the 5 ms tick.
#pragma once

#include "catalogue.h"
#include "decode_pool.h"
#include "error_report.h"
#include "form1_design.h"
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

class Form1 : public reel::ReelWindow {
public:
    static constexpr int kCards = design::kCardCount;
    // The message the tick timer posts.
    static constexpr UINT kTickMessage = WM_APP + 1;

    // dataFolder holds data.ini and picture/. random is the game's one
    // random sequence (a Mersenne Twister when none is given), seeded at
    // load; report receives any run-time error a handler did not trap.
    // decodingThreads: how many threads decode the pictures after the load
    // has checked them; with 0, each is decoded when a card first shows it.
    // dpi: 0 for the screen's own, else fixed (tests).
    explicit Form1(std::filesystem::path dataFolder, std::unique_ptr<reel::RandomSource> random = nullptr,
                   ErrorReport report = reportRunTimeError, int decodingThreads = window::DecodePool::kAllCores,
                   int dpi = 0);
    ~Form1() override;
    Form1(const Form1 &) = delete;
    Form1 &operator=(const Form1 &) = delete;

    // The first call runs the load handler first; when it fails the window
    // stays hidden for good and this returns false.
    bool show();
    bool loaded() const { return loaded_; }
    HWND handle() const { return hwnd_; }

    // reel::ReelWindow: card positions are twips, kept here exactly.
    int cardCount() const override { return kCards; }
    reel::Card &card(int i) override { return cards_[checked(i)]; }
    float left(int i) const override { return cards_[checked(i)].leftTwips; }
    void setLeft(int i, float twips) override;
    float width(int i) const override { return cards_[checked(i)].widthTwips; }
    void setTimerEnabled(bool on) override;
    void setButtonEnabled(bool on) override;

    bool timerEnabled() const { return tick_.active(); }
    bool buttonEnabled() const { return buttonEnabled_; }
    const reel::Spin &spin() const { return spin_; }
    const catalogue::Catalogue &prizes() const { return *catalogue_; }
    const window::DecodePool &pictureDecoding() const { return decoding_; }
    // Ticks run since the window was made.
    long ticksRun() const { return ticks_; }
    int dpi() const { return dpi_; }
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
        COLORREF fill = RGB(255, 0, 0);
        COLORREF border = RGB(255, 0, 0);
        std::wstring name;
        std::wstring amount;
        catalogue::PicturePtr picture;
    };

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    static std::size_t checked(int i);

    // Sizes, fonts and the bitmap for a dpi.
    void applyDpi(int dpi);
    void createFonts();
    void deleteFonts();
    DeviceSize pictureSize() const;
    void changed() { dirty_ = true; }

    void paintContainer(HDC dc, const design::Control &container);
    void paintControl(HDC dc, const design::Control &control);
    void paintButton(HDC dc, const design::Control &button);
    void paintImage(HDC dc, design::PixelRect box, const catalogue::PicturePtr &picture);
    design::PixelRect pixelsOf(const design::Control &control) const;

    // Keyboard focus, in tab order; the picture boxes show none.
    void moveFocus(bool forward);
    void clickAt(POINT point, bool down);
    bool onButton(POINT point) const;

    // The three events. Each traps every error and hands it to the report.
    bool formLoad();
    void command1Click();
    void timer1Timer();
    template <typename Step>
    bool guarded(Step &&step);
    void stopTimer();
    void setDecodingForSpin(bool spinning);
    void decodeCardPicturesFirst();

    std::filesystem::path dataFolder_;
    ErrorReport report_;
    std::unique_ptr<catalogue::Catalogue> catalogue_;
    std::unique_ptr<reel::RandomSource> random_;
    reel::Spin spin_;
    std::array<CardState, kCards> cards_;
    bool loadRun_ = false;
    bool loaded_ = false;
    bool buttonEnabled_ = true;
    bool buttonPressed_ = false;
    bool spacePressed_ = false;
    bool closedByUser_ = false;
    bool dirty_ = true;
    long ticks_ = 0;
    std::size_t focus_ = 0; // index in the tab order

    HWND hwnd_ = nullptr;
    int dpi_ = design::kDesignDpi;
    bool fixedDpi_ = false;
    HDC buffer_ = nullptr;      // the off-screen bitmap's device context
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ bufferDefault_ = nullptr;
    std::uint32_t *bits_ = nullptr; // the bitmap's pixels, top-down, 0x00RRGGBB
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    HFONT nameFont_ = nullptr;
    HFONT amountFont_ = nullptr;
    HFONT buttonFont_ = nullptr;
    UINT frameMs_ = 16;

    TickTimer tick_;
    std::unique_ptr<WicPictureLoader> pictures_;
    // Last, so that its threads are joined before anything else goes.
    window::DecodePool decoding_;
};

} // namespace window::win32
