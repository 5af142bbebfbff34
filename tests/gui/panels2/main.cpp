// The panels are widgets, so the tests need an application object; test discovery at build time
// only lists the tests and must not need a display or a platform plugin.

#include <gtest/gtest.h>

#include <QApplication>
#include <string_view>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    bool listOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--gtest_list_tests") {
            listOnly = true;
        }
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (listOnly) {
        return RUN_ALL_TESTS();
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
