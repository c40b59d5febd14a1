// The shell tests run with one QApplication, offscreen unless QT_QPA_PLATFORM names another
// platform, on a laptop's screen (1366 x 768) that the windows must open within.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/laptop_screen.h"

int main(int argc, char** argv) {
    const test::LaptopScreen screen;
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
