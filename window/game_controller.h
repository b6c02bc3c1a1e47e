// The game's one controller, shared by every front end: it owns the prize
// list, the random sequence and the spin, runs the load once, traps every
// run-time error at the handler and reports it, and decides what the keys do.
// A front end only draws and delivers the window's events here.
#pragma once

#include "catalogue.h"
#include "picture_loader.h"
#include "random_source.h"
#include "reel_window.h"
#include "spin.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace window {

// Where a handler sends the run-time error that nothing trapped: its number
// and its text in UTF-8. The program's report shows both and ends the program.
using ErrorReport = std::function<void(int number, const std::string &text)>;

inline constexpr int kRunTimeErrorExitStatus = 1;

// What the controller asks of a front end beyond the reel's window
// operations: the designed window or the whole screen.
class GameScreen {
public:
    virtual ~GameScreen() = default;
    virtual void setFullScreen(bool on) = 0;
};

// The keys the game gives a meaning of its own; every other key is Other.
enum class GameKey { Other, Enter, Space, PageDown, Right, Down, F11, Escape };

class GameController {
public:
    // In full screen the pointer hides after this long without moving.
    static constexpr int kPointerHideMs = 2000;

    // random: the game's one random sequence, seeded at load.
    GameController(reel::ReelWindow &window, GameScreen &screen, std::unique_ptr<reel::RandomSource> random,
                   ErrorReport report);

    // The load handler, run once, however often it is asked for: reads
    // data.ini and picture/ from folder and fills the cards. False when it
    // failed (the error went to the report) or had failed before.
    bool load(const std::filesystem::path &folder, catalogue::PictureLoader &pictures);
    bool loadRun() const { return loadRun_; }
    bool loaded() const { return loaded_; }

    // The start button's click and the timer's tick.
    void click();
    void tick();

    // A key pressed in the window. True when the game used it; false leaves
    // it to the window's own handling (the focus, the button that has it).
    // In full screen F11 or Escape gives back the designed window, and a
    // presenter's clicker (PageDown, Right, Down, Space, Enter) spins as a
    // click on the enabled button does, and does nothing while a spin runs.
    // In the designed window only F11 is the game's.
    bool keyDown(GameKey key);
    // Starts in full screen, or leaves it (the window's own way back, such as
    // a restore from the task bar).
    void setFullScreen(bool on);
    bool fullScreen() const { return fullScreen_; }

    // Whether a spin is running: from the click to the end of its last tick.
    bool spinning() const;

    const catalogue::Catalogue &prizes() const { return *catalogue_; }
    const reel::Spin &spin() const { return spin_; }

private:
    // Runs one handler's step; an error stops the timer, so that no tick runs
    // while the report is up or after it, and goes to the report.
    template <typename Step>
    bool guarded(Step &&step);

    reel::ReelWindow &window_;
    GameScreen &screen_;
    std::unique_ptr<catalogue::Catalogue> catalogue_;
    std::unique_ptr<reel::RandomSource> random_;
    ErrorReport report_;
    reel::Spin spin_;
    bool loadRun_ = false;
    bool loaded_ = false;
    bool fullScreen_ = false;
};

} // namespace window
