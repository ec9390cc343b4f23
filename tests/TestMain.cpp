#include "TestSupport.h"
#include "shell/app.h"
#include <QDir>
#include <cstring>
#include <gtest/gtest.h>

// The tests run inside a real application object (never started): App() works, and
// nothing of start-up runs.
int main(int argc, char** argv)
{
    // Listing the tests (ctest's discovery) builds nothing of the application: reading the
    // font database alone can take seconds on a busy machine with many fonts, and the list
    // needs none of it.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every variable the tests set is in the environment before the application's workers
    // start: adding one later moves the environment while a worker may be reading it.
    SandboxRoot();
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
        qputenv("XDG_CONFIG_HOME", (QDir::homePath() + "/.config").toLocal8Bit());
    app application(argc, argv);
    // The application object reads the font database on a worker, and fontconfig reads the
    // environment while it sets itself up: a test that then adds a variable (TZ) would move
    // the environment under it.
    application.FontDatabaseRead();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
