// Runs the editor tests inside the editor's own application, offscreen unless told otherwise.
#include "editor_application.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    editor::EditorApplication application(argc, argv);
    QStandardPaths::setTestModeEnabled(true); // recovery copies away from the user's own
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).removeRecursively();
    return RUN_ALL_TESTS();
}
