// The game's command line.
#include "game_options.h"

#include "prizedraw_version.h"

#include <charconv>
#include <cmath>

namespace app {

namespace {

bool parseScale(std::string text, double &scale)
{
    for (char &c : text)
        if (c == ',')
            c = '.'; // as a Chinese or German desktop may write it
    double value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < kMinScale ||
        value > kMaxScale)
        return false;
    scale = value;
    return true;
}

} // namespace

GameOptions parseGameOptions(const std::vector<std::string> &arguments)
{
    GameOptions options;
    for (std::size_t k = 0; k < arguments.size() && options.error.empty(); ++k) {
        const std::string &argument = arguments[k];
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--fullscreen") {
            options.fullScreen = true;
        } else if (argument == "--scale" || argument.rfind("--scale=", 0) == 0) {
            std::string value;
            if (argument == "--scale") {
                if (k + 1 == arguments.size()) {
                    options.error = "--scale needs a number, for example --scale 1.5";
                    break;
                }
                value = arguments[++k];
            } else {
                value = argument.substr(8);
            }
            if (!parseScale(value, options.scale))
                options.error = "--scale takes a number from 1 to 8, for example 1.5 or 2, not \"" + value + "\"";
        } else {
            options.error = "unknown option \"" + argument + "\"";
        }
    }
    return options;
}

std::string gameHelp()
{
    return "Usage: prizedraw [--scale S] [--fullscreen]\n"
           "Shows the prize draw of data.ini and the pictures in picture/ beside the program.\n"
           "\n"
           "  --scale S      draw the window S times as large, S from 1 to 8 (for example 1.5 or 2);\n"
           "                 a window too large for its screen is made as large as fits\n"
           "  --fullscreen   start in full screen\n"
           "  -h, --help     show this help\n"
           "  --version      show the version\n"
           "\n"
           "Keys: F11 turns full screen on and off, Escape leaves it. In full screen\n"
           "PageDown, Right, Down, Space and Enter spin the reel, as a presenter's\n"
           "clicker sends them; in the window Enter and Space press the start button\n"
           "when it has the focus (Tab moves it there).\n";
}

std::string gameVersion() { return "prizedraw " PRIZEDRAW_VERSION "\n"; }

} // namespace app
