// prizeedit [DATA_INI]: the prize list editor.
#include "app_icons.h"
#include "editor_application.h"
#include "editor_window.h"
#include "game_folder.h"
#include "i18n.h"
#include "translations.h"
#include "prizedraw_version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QMessageBox>

#include <filesystem>
#include <optional>

namespace {

// The user's own list, its game folder made or completed first, as the
// game's launcher does; none, after saying why, when it cannot be had.
std::optional<std::filesystem::path> ownList(QWidget *window)
{
    try {
        const std::filesystem::path editorFolder =
            QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
        const std::filesystem::path folder = gamefolder::ownGameFolder();
        gamefolder::makeOwnGameFolder(folder, editing::gameFor(editorFolder));
        return folder / "data.ini";
    } catch (const std::exception &error) {
        QMessageBox::warning(window, QStringLiteral("prizeedit"),
                             QObject::tr("Your own list cannot be opened: %1\n\nThe editor starts with a new list.")
                                 .arg(QString::fromStdString(error.what())));
        return std::nullopt;
    }
}

} // namespace

int main(int argc, char **argv)
{
    editor::EditorApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("prizeedit"));
    QApplication::setApplicationVersion(QStringLiteral(PRIZEDRAW_VERSION));
    QApplication::setWindowIcon(icons::editor());

    QCommandLineParser parser;
    const editor::Translations translations(i18n::systemLanguage());
    parser.setApplicationDescription(
        QObject::tr("Makes and changes a prize list (data.ini) in a window: exact odds and warnings as you type, "
                    "the game's own card as preview, pictures, CSV import and export, and Play, which starts the "
                    "game on the list."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DATA_INI"),
                                 QObject::tr("the prize list to open; without one, prizeedit starts a new list"),
                                 QStringLiteral("[DATA_INI]"));
    const QCommandLineOption ownListOption(
        QStringLiteral("own-list"),
        QObject::tr("without DATA_INI, open your own list: data.ini in ~/.local/share/prizedraw/game/ (in "
                    "$XDG_DATA_HOME/prizedraw/game/ when that is set), made from the bundled list the first "
                    "time; the menu starts the editor so"));
    parser.addOption(ownListOption);
    parser.process(application);

    editor::EditorWindow window;
    // Shown once the failed handler is left, so the box never opens inside it.
    QObject::connect(
        &application, &editor::EditorApplication::unexpectedError, &window,
        [&window](const QString &what) {
            QMessageBox::warning(&window, QStringLiteral("prizeedit"),
                                 QObject::tr("Something went wrong: %1\n\nThe list is still open; save it to keep "
                                             "your changes.")
                                     .arg(what));
        },
        Qt::QueuedConnection);
    const QStringList lists = parser.positionalArguments();
    window.show();
    // A list that cannot be read leaves a new one, nothing overwritten.
    if (!lists.isEmpty())
        window.openList(std::filesystem::path(QFile::encodeName(lists.front()).toStdString()));
    else if (const auto own = parser.isSet(ownListOption) ? ownList(&window) : std::nullopt)
        window.openList(*own);
    else
        window.offerRecoveredUntitled();
    return QApplication::exec();
}
