// One application for all widget tests; the window tests hand it their boxes.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "report/OffscreenFonts.h"

#include "ui/widgets/TApplication.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS(); // ctest's listing of the cases needs no display
    vk410::UseSystemFontsOffscreen(); // the tests run offscreen
    // Before the application exists, so that not even a test without its own
    // settings folder reaches the user's settings or journal.
    QTemporaryDir config;
    if (!config.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", config.path().toLocal8Bit());
    vk410::TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
