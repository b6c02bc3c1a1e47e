// The installed game's command: starts the game in the user's own game
// folder, made from the bundled list on the first start, since the game plays
// the data.ini beside its executable and the installed one is root's.
#include "app_icons.h"
#include "game_folders.h"
#include "game_options.h"
#include "i18n.h"

#include <QApplication>
#include <QMessageBox>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Started from the menu, nobody reads standard error: a failure is shown in
// a box as well, wherever a display can show one.
int fail(int argc, char **argv, const std::string &why)
{
    const std::string message = i18n::tr("The prize draw cannot start: {0}", why);
    std::fprintf(stderr, "prizedraw: %s\n", message.c_str());
    const auto set = [](const char *name) { return std::getenv(name) && *std::getenv(name); };
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY"))
        return 1;
    QApplication application(argc, argv);
    if (QGuiApplication::platformName() == QLatin1String("offscreen") ||
        QGuiApplication::platformName() == QLatin1String("minimal"))
        return 1;
    application.setWindowIcon(icons::game());
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(i18n::tr("Prize Draw")), QString::fromStdString(message));
    box.addButton(QString::fromUtf8(i18n::tr("Close")), QMessageBox::AcceptRole);
    box.exec();
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, ""); // the system's words for a failure, in the user's language
    i18n::setLanguage(i18n::systemLanguage());
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    const fs::path game = gamefolder::installedGameFolder(self.parent_path()) / "prizedraw";
    // Help and version need no folder of the user's.
    const app::GameOptions options = app::parseGameOptions(std::vector<std::string>(argv + 1, argv + argc));
    const bool justPrint = options.error.empty() && (options.help || options.version);
    try {
        const fs::path program = justPrint ? game : gamefolder::makeOwnGameFolder(gamefolder::ownGameFolder(), game);
        ::execv(program.c_str(), argv);
        return fail(argc, argv, i18n::tr("cannot run {0}: {1}", program.string(), std::strerror(errno)));
    } catch (const std::exception &failure) {
        return fail(argc, argv, failure.what());
    }
}
