// The game's command line: an optional scale and a full-screen start.
#pragma once

#include <string>
#include <vector>

namespace app {

struct GameOptions {
    double scale = 1; // the designed window this many times as large
    bool fullScreen = false;
    bool help = false;
    bool version = false;
    std::string error; // what was wrong with the command line, empty when nothing
};

inline constexpr double kMinScale = 1;
inline constexpr double kMaxScale = 8;

// arguments: what follows the program's name. Accepts --scale S or
// --scale=S (S from 1 to 8, a point or a comma before the decimals),
// --fullscreen, -h or --help, and --version.
GameOptions parseGameOptions(const std::vector<std::string> &arguments);

// The help text, and the line that --version prints.
std::string gameHelp();
std::string gameVersion();

// Exit statuses: 0 after help or version, 2 for a command line the game
// cannot use.
inline constexpr int kBadCommandLine = 2;

} // namespace app
