// The game's controller: the three handlers, the error guard and the keys.
#include "game_controller.h"

#include "runtime_error.h"
#include "startup.h"

#include <exception>

namespace window {

GameController::GameController(reel::ReelWindow &window, GameScreen &screen, std::unique_ptr<reel::RandomSource> random,
                               ErrorReport report)
    : window_(window), screen_(screen), catalogue_(std::make_unique<catalogue::Catalogue>()),
      random_(random ? std::move(random) : std::make_unique<reel::Mt19937Source>()), report_(std::move(report)),
      spin_(window_, *random_, *catalogue_)
{
}

template <typename Step>
bool GameController::guarded(Step &&step)
{
    catalogue::UntrappedError untrapped;
    try {
        step();
        return true;
    } catch (const std::exception &error) {
        untrapped = catalogue::untrappedError(error);
    }
    try {
        window_.setTimerEnabled(false);
    } catch (const std::exception &) {
        // The report below ends the program whatever the timer did.
    }
    if (report_)
        report_(untrapped.number, untrapped.text);
    return false;
}

bool GameController::load(const std::filesystem::path &folder, catalogue::PictureLoader &pictures)
{
    if (loadRun_)
        return loaded_;
    loadRun_ = true;
    loaded_ = guarded([&] { reel::startUp(folder, *catalogue_, pictures, *random_, window_); });
    return loaded_;
}

void GameController::click()
{
    guarded([this] { spin_.start(); });
}

void GameController::tick()
{
    guarded([this] { spin_.tick(); });
}

bool GameController::spinning() const { return spin_.running(); }

void GameController::setFullScreen(bool on)
{
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    screen_.setFullScreen(on);
}

bool GameController::keyDown(GameKey key)
{
    if (key == GameKey::F11) {
        setFullScreen(!fullScreen_);
        return true;
    }
    if (!fullScreen_)
        return false; // the designed window's own focus rules
    switch (key) {
    case GameKey::Escape: setFullScreen(false); return true;
    case GameKey::PageDown:
    case GameKey::Right:
    case GameKey::Down:
    case GameKey::Space:
    case GameKey::Enter:
        // No queued spins: a key while the reel runs is used up and does nothing.
        if (loaded_ && !spinning())
            click();
        return true;
    case GameKey::Other:
    case GameKey::F11: break;
    }
    return false;
}

} // namespace window
