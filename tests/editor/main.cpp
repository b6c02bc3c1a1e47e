// Runs the editor tests inside the editor's own application, offscreen unless told otherwise.
#include "editor_application.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    editor::EditorApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
