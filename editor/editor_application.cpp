// Catching what no event handler caught.
#include "editor_application.h"

#include <cstdio>
#include <exception>

namespace editor {

bool EditorApplication::notify(QObject *receiver, QEvent *event)
{
    QString what;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        what = QString::fromStdString(error.what());
    } catch (...) {
        what = tr("an error of unknown kind");
    }
    std::fprintf(stderr, "prizeedit: unexpected error: %s\n", what.toLocal8Bit().constData());
    emit unexpectedError(what);
    return false;
}

} // namespace editor
