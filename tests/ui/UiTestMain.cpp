// One application for all widget tests; the window tests hand it their boxes.
#include <gtest/gtest.h>

#include "ui/widgets/TApplication.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    vk410::TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
