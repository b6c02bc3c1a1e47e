// Runs the editor tests inside the editor's own application, offscreen unless told otherwise.
#include "editor_application.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Recovery copies and settings away from the user's own, in a folder of
    // this process's own: ctest runs test processes side by side, and one
    // that cleared a shared folder at its start took another's copies.
    const QString own =
        QDir::temp().filePath(QStringLiteral("prizeedit-tests-%1").arg(QCoreApplication::applicationPid()));
    QDir(own).removeRecursively();
    qputenv("XDG_DATA_HOME", QDir(own).filePath(QStringLiteral("share")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", QDir(own).filePath(QStringLiteral("config")).toLocal8Bit());
    testing::InitGoogleTest(&argc, argv);
    int status = 0;
    {
        editor::EditorApplication application(argc, argv);
        status = RUN_ALL_TESTS();
    }
    QDir(own).removeRecursively();
    return status;
}
