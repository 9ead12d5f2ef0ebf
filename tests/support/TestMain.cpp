// Test entry for suites that open windows: the toolkit's application object lives for the run.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Application.h"

int main(int argc, char** argv) {
#ifndef _WIN32
    // Windows open off screen unless the caller chose a display (Xvfb) on purpose.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    platform::Application application(argc, argv);
    return RUN_ALL_TESTS();
}
