// The program: the application, the window and the event loop.
#include "app_icons.h"
#include "form1.h"
#include "game_options.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <string>
#include <vector>

namespace {
bool printedHelpOrVersion(const app::GameOptions &options)
{
    if (!options.error.empty() || (!options.help && !options.version))
        return false;
    std::fputs((options.help ? app::gameHelp() : app::gameVersion()).c_str(), stdout);
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    // Help and version need no display.
    if (printedHelpOrVersion(app::parseGameOptions(std::vector<std::string>(argv + 1, argv + argc))))
        return 0;
    QApplication application(argc, argv);
    // Qt has taken its own options out of argv; the rest are the game's.
    const app::GameOptions options = app::parseGameOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "prizedraw: %s\n(prizedraw --help describes the options)\n", options.error.c_str());
        return app::kBadCommandLine;
    }
    if (printedHelpOrVersion(options))
        return 0;
    application.setWindowIcon(icons::game());
    // data.ini and picture/ sit beside the executable.
    window::Form1 form(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(), nullptr,
                       window::reportRunTimeError, window::DecodePool::kAllCores, options.scale);
    form.show();
    if (options.fullScreen && form.loaded())
        form.game().setFullScreen(true);
    return application.exec();
}
