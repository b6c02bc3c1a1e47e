// prizeedit [DATA_INI]: the prize list editor.
#include "editor_window.h"

#include <QApplication>
#include <QFile>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("prizeedit"));
    editor::EditorWindow window;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) // a list that cannot be read leaves a new one, nothing overwritten
        window.openList(std::filesystem::path(QFile::encodeName(arguments[1]).toStdString()));
    window.show();
    return QApplication::exec();
}
