// One application for the GSM page, GPRS dialog and masked edit tests.
#include <QApplication>
#include <gtest/gtest.h>

#include "report/OffscreenFonts.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS(); // ctest's listing of the cases needs no display
    vk410::UseSystemFontsOffscreen(); // the tests run offscreen
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
