// The editor's application: the last guard between an unexpected error and
// the event loop, so that no error ends the program with unsaved edits.
#pragma once

#include <QApplication>

namespace editor {

class EditorApplication : public QApplication {
    Q_OBJECT
public:
    EditorApplication(int &argc, char **argv) : QApplication(argc, argv) {}

    // Delivers the event; an exception that gets this far is reported and
    // the event counts as not handled, the windows staying open.
    bool notify(QObject *receiver, QEvent *event) override;

signals:
    // An error no handler caught; the program goes on.
    void unexpectedError(const QString &what);
};

} // namespace editor
