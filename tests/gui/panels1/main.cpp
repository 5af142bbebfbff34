// The panel tests build widgets, which need an application object; listing the tests (as test
// discovery does at build time) must work without one, and without a display.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) {
        return RUN_ALL_TESTS();
    }
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
