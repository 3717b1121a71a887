// Runs the suite inside one QApplication on the offscreen platform, so that windows can be made
// without a display. The application is created before any test runs, so tests that change the
// display environment do not affect it.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
