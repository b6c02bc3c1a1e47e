// The game's one controller, as both front ends use it: the load once, the
// click and the tick, the error guard, the keys in and out of full screen,
// and the game's command line.
#include "fakes.h"
#include "game_controller.h"
#include "game_options.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using window::GameController;
using window::GameKey;

namespace {

struct RecordingScreen : window::GameScreen {
    void setFullScreen(bool on) override { calls.push_back(on); }
    std::vector<bool> calls;
};

struct Reported {
    std::vector<std::pair<int, std::string>> errors;
    window::ErrorReport sink()
    {
        return [this](int number, const std::string &text) { errors.emplace_back(number, text); };
    }
};

// A game over a headless window with a two-prize list, loaded.
struct Game {
    explicit Game(std::vector<float> script = {0.5f})
        : controller(window, screen, std::make_unique<fakes::ScriptedRandom>(std::move(script)), reported.sink())
    {
        folder.writeDataIni(fakes::record("50", "255", "Cup", "1") + fakes::record("50", "65280", "Pen", "2"));
    }
    bool load() { return controller.load(folder.path(), pictures); }
    // Ticks until the reel stops; the number of ticks.
    int spinToTheEnd()
    {
        int ticks = 0;
        while (controller.spinning() && ticks < 100000) {
            controller.tick();
            ++ticks;
        }
        return ticks;
    }

    fakes::TempFolder folder;
    fakes::FakePictureLoader pictures;
    fakes::RecordingWindow window;
    RecordingScreen screen;
    Reported reported;
    GameController controller;
};

// Fails on its n-th number, as a broken random source would.
struct FailingRandom : reel::RandomSource {
    explicit FailingRandom(int failAt) : failAt_(failAt) {}
    void randomize() override {}
    float next() override
    {
        if (++taken_ == failAt_)
            throw catalogue::RuntimeError(catalogue::ErrorCode::Overflow);
        return 0.5f;
    }
    int failAt_;
    int taken_ = 0;
};

} // namespace

TEST(GameController, LoadsOnceFillsEveryCardAndThenKeepsWhatItRead)
{
    Game game;
    ASSERT_TRUE(game.load());
    EXPECT_EQ(game.controller.prizes().prizeCount, 2);
    const std::size_t writes = game.window.log.size();
    std::filesystem::remove(game.folder.path() / "data.ini");
    EXPECT_TRUE(game.load()) << "a second load reads nothing and keeps the first one's answer";
    EXPECT_EQ(game.window.log.size(), writes);
    EXPECT_TRUE(game.reported.errors.empty());
}

TEST(GameController, AFailedLoadIsReportedOnceWithItsNumberAndStaysFailed)
{
    Game game;
    std::filesystem::remove(game.folder.path() / "data.ini");
    EXPECT_FALSE(game.load());
    EXPECT_FALSE(game.load());
    ASSERT_EQ(game.reported.errors.size(), 1u);
    EXPECT_EQ(game.reported.errors[0], (std::pair<int, std::string>{53, "File not found"}));
    EXPECT_FALSE(game.controller.loaded());
}

TEST(GameController, AClickSpinsTheReelUntilATickStopsItAndTheButtonComesBack)
{
    Game game;
    ASSERT_TRUE(game.load());
    game.window.log.clear();
    game.controller.click();
    EXPECT_EQ(game.window.log, (std::vector<std::string>{"timer on", "button off"}));
    EXPECT_TRUE(game.controller.spinning());
    const int ticks = game.spinToTheEnd();
    EXPECT_GE(ticks, 418);
    EXPECT_LE(ticks, 667);
    EXPECT_EQ(game.window.log.back(), "button on");
    EXPECT_EQ(game.controller.spin().speed(), 0);
}

TEST(GameController, AnErrorInATickStopsTheTimerBeforeItIsReported)
{
    fakes::TempFolder folder;
    folder.writeDataIni(fakes::record("100", "255", "Cup", "1"));
    fakes::FakePictureLoader pictures;
    fakes::RecordingWindow window;
    RecordingScreen screen;
    std::vector<std::string> logAtReport;
    // The load takes 4 numbers (one per card), the first tick its 5th.
    GameController controller(window, screen, std::make_unique<FailingRandom>(5), [&](int number, const std::string &) {
        logAtReport = window.log;
        logAtReport.push_back("report " + std::to_string(number));
    });
    ASSERT_TRUE(controller.load(folder.path(), pictures));
    controller.click();
    controller.tick();
    ASSERT_GE(logAtReport.size(), 2u);
    EXPECT_EQ(logAtReport[logAtReport.size() - 2], "timer off");
    EXPECT_EQ(logAtReport.back(), "report 6");
}

TEST(GameController, InTheWindowOnlyF11IsTheGamesAndTheButtonKeepsItsFocusRules)
{
    Game game;
    ASSERT_TRUE(game.load());
    for (GameKey key : {GameKey::PageDown, GameKey::Right, GameKey::Down, GameKey::Space, GameKey::Enter,
                        GameKey::Escape, GameKey::Other})
        EXPECT_FALSE(game.controller.keyDown(key)) << "left to the window: " << int(key);
    EXPECT_FALSE(game.controller.spinning());
    EXPECT_TRUE(game.controller.keyDown(GameKey::F11));
    EXPECT_EQ(game.screen.calls, std::vector<bool>{true});
    EXPECT_TRUE(game.controller.fullScreen());
}

TEST(GameController, InFullScreenAClickerKeySpinsOnceAndEscapeOrF11GivesBackTheWindow)
{
    for (GameKey clicker : {GameKey::PageDown, GameKey::Right, GameKey::Down, GameKey::Space, GameKey::Enter}) {
        Game game;
        ASSERT_TRUE(game.load());
        game.controller.setFullScreen(true);
        EXPECT_TRUE(game.controller.keyDown(clicker));
        ASSERT_TRUE(game.controller.spinning()) << int(clicker);
        game.controller.tick();
        const auto speed = game.controller.spin().speed();
        EXPECT_TRUE(game.controller.keyDown(clicker)) << "used up while the reel runs";
        EXPECT_EQ(game.controller.spin().speed(), speed) << "no second start, nothing queued";
        game.spinToTheEnd();
        EXPECT_TRUE(game.controller.keyDown(clicker)) << "the next spin";
        EXPECT_EQ(game.controller.spin().speed(), 4000);
    }
    Game game;
    ASSERT_TRUE(game.load());
    game.controller.keyDown(GameKey::F11);
    EXPECT_TRUE(game.controller.keyDown(GameKey::Escape));
    EXPECT_FALSE(game.controller.keyDown(GameKey::Escape)) << "Escape in the window is the window's";
    game.controller.keyDown(GameKey::F11);
    game.controller.keyDown(GameKey::F11);
    EXPECT_EQ(game.screen.calls, (std::vector<bool>{true, false, true, false}));
    EXPECT_FALSE(game.controller.keyDown(GameKey::Other));
}

TEST(GameOptions, TakeAScaleFrom1To8AndAFullScreenStart)
{
    const auto parse = [](std::vector<std::string> arguments) { return app::parseGameOptions(arguments); };
    EXPECT_EQ(parse({}).scale, 1);
    EXPECT_FALSE(parse({}).fullScreen);
    EXPECT_EQ(parse({"--scale", "1.5"}).scale, 1.5);
    EXPECT_EQ(parse({"--scale=2"}).scale, 2);
    EXPECT_EQ(parse({"--scale", "1,5"}).scale, 1.5) << "a decimal comma, as many desktops write it";
    EXPECT_TRUE(parse({"--fullscreen", "--scale", "2"}).fullScreen);
    EXPECT_TRUE(parse({"-h"}).help);
    EXPECT_TRUE(parse({"--version"}).version);
    for (const std::vector<std::string> &bad : {std::vector<std::string>{"--scale"},
                                                {"--scale", "0.5"},
                                                {"--scale", "9"},
                                                {"--scale", "nan"},
                                                {"--scale", "1.5x"},
                                                {"--scale="},
                                                {"--full"},
                                                {"data.ini"}})
        EXPECT_FALSE(parse(bad).error.empty()) << bad.back();
    EXPECT_NE(app::gameHelp().find("--fullscreen"), std::string::npos);
}
