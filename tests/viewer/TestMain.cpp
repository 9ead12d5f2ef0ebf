// Test entry for the viewer's suites: the application object lives for the whole run, because
// the window suite opens real widgets.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The suites never need a display; test discovery runs this binary without ctest's
    // environment, so the offscreen platform is the default here too.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
