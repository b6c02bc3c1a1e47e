// The game's one window: the viewing area with its four cards, the marker,
// the rules and the start button, and the three events that drive the game.
#pragma once

#include "card_controls.h"
#include "catalogue.h"
#include "command_button.h"
#include "decode_pool.h"
#include "designed_controls.h"
#include "error_report.h"
#include "game_controller.h"
#include "graphical_controls.h"
#include "picture_box.h"
#include "random_source.h"
#include "reel_window.h"
#include "spin.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <filesystem>
#include <memory>
#include <optional>

namespace window {

class Form1 : public QWidget, public reel::ReelWindow, public GameScreen {
public:
    static constexpr int kCards = reel::design::kCardCount;

    // dataFolder holds data.ini and picture/. random is the game's one
    // random sequence (a Mersenne Twister when none is given); it is seeded
    // at load. report receives any run-time error that a handler did not trap.
    // decodingThreads: how many threads check and decode the pictures after
    // the load has looked them up; with 0, each is decoded when a card first
    // shows it. scale: the designed window drawn this many times as large
    // (1: exactly as designed), yet never larger than its screen.
    explicit Form1(std::filesystem::path dataFolder, std::unique_ptr<reel::RandomSource> random = nullptr,
                   ErrorReport report = reportRunTimeError, int decodingThreads = DecodePool::kAllCores,
                   double scale = 1);
    ~Form1() override;

    // The first show runs the load handler first; when it fails the window
    // stays hidden for good.
    void setVisible(bool visible) override;

    // reel::ReelWindow: card positions are twips, kept here exactly.
    int cardCount() const override { return kCards; }
    reel::Card &card(int i) override { return *cards_[checked(i)]; }
    float left(int i) const override { return leftTwips_[checked(i)]; }
    void setLeft(int i, float twips) override;
    float width(int i) const override { return widthTwips_[checked(i)]; }
    void setTimerEnabled(bool on) override;
    void setButtonEnabled(bool on) override;

    // GameScreen: the design fitted to the whole screen the window is on, or
    // the window as it was before.
    void setFullScreen(bool on) override;
    // The pixels per inch (device-independent) the design is drawn at now.
    double dpi() const { return dpi_; }
    GameController &game() { return game_; }

    // The controls, named as designed.
    PictureBox &Picture1() const { return *picture1_; }
    PictureBox &Picture2() const { return *picture2_; }
    CommandButton &Command1() const { return *command1_; }
    QTimer &Timer1() const { return *timer1_; }
    PictureBox &awardbox(int i) const { return *awardbox_[checked(i)]; }
    Image &awardpic(int i) const { return *awardpic_[checked(i)]; }
    Label &awardname(int i) const { return *awardname_[checked(i)]; }
    Label &x(int i) const { return *x_[checked(i)]; }
    Label &award(int i) const { return *award_[checked(i)]; }
    Shape &colorbox(int i) const { return *colorbox_[checked(i)]; }
    // Line1 to Line8 by their number.
    const Line &line(int number) const;

    // The prize list as loaded, and the reel's state.
    const catalogue::Catalogue &prizes() const { return game_.prizes(); }
    const reel::Spin &spin() const { return game_.spin(); }
    // The threads decoding the pictures that the load looked up.
    const DecodePool &pictureDecoding() const { return decoding_; }
    bool loaded() const { return game_.loaded(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    // Keys and pointer moves anywhere in the window reach the game first.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static std::size_t checked(int i);
    void buildCards();
    // Draws the design at dpi with its client area's top left at origin.
    void applyDpi(double dpi, QPoint origin);
    // A scaled window opens wholly on the screen it starts on, centred.
    void placeOnScreen();
    void showPointer();
    void stopTimer();
    // While the reel spins no card waits for its picture and the pool leaves
    // a core to the tick; at rest cards wait, so that none shows empty.
    void setDecodingForSpin(bool spinning);
    void setCardsWaitForPictures(bool wait);
    // The first frame goes on screen without waiting for any picture; every
    // frame after it is as ever, and one follows at once.
    void startFirstFrame();
    void endFirstFrame();
    void decodeCardPicturesFirst();

    // The three events, handed to the game, which traps every error: no
    // exception leaves a Qt event handler.
    void formLoad();
    void command1Click();
    void timer1Timer();

    std::filesystem::path dataFolder_;
    GameController game_;
    enum class FirstFrame { Ahead, Painting, Done } firstFrame_ = FirstFrame::Ahead;

    double windowDpi_ = design::kDesignDpi; // the window's own size, out of full screen
    double dpi_ = design::kDesignDpi;
    QRect windowGeometry_; // where the window was before full screen
    QTimer *pointerIdle_ = nullptr;

    ControlSurface surface_;
    DesignedControls built_;
    std::array<Line *, 8> lines_{}; // Line1 at index 0
    PictureBox *picture1_ = nullptr;
    CommandButton *command1_ = nullptr;
    PictureBox *picture2_ = nullptr;
    QTimer *timer1_ = nullptr;

    std::array<PictureBox *, kCards> awardbox_{};
    std::array<Image *, kCards> awardpic_{};
    std::array<Label *, kCards> awardname_{};
    std::array<Label *, kCards> x_{};
    std::array<Label *, kCards> award_{};
    std::array<Shape *, kCards> colorbox_{};
    CardMoves moves_;
    QTimer *frame_ = nullptr; // shows the held moves once per display frame while the reel spins
    std::array<std::optional<CardControls>, kCards> cards_; // built once the controls exist
    std::array<float, kCards> leftTwips_{};
    std::array<float, kCards> widthTwips_{};

    // Last, so that its threads are joined before anything else goes.
    DecodePool decoding_;
};

} // namespace window
