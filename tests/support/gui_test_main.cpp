// main() for every test that builds widgets: offscreen unless told otherwise, and no application
// object (nor a display) while test discovery only asks for the list of tests.

#include <gtest/gtest.h>
#include <QApplication>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) {
            return RUN_ALL_TESTS();
        }
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
