// prizeedit [DATA_INI]: the prize list editor.
#include "app_icons.h"
#include "editor_application.h"
#include "editor_window.h"
#include "i18n.h"
#include "translations.h"
#include "prizedraw_version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QMessageBox>

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
    if (!lists.isEmpty()) // a list that cannot be read leaves a new one, nothing overwritten
        window.openList(std::filesystem::path(QFile::encodeName(lists.front()).toStdString()));
    else
        window.offerRecoveredUntitled();
    return QApplication::exec();
}
