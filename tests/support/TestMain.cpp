// Test entry for suites that open windows: the toolkit's application object lives for the run.
#include <gtest/gtest.h>

#include "platform/Application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    platform::Application application(argc, argv);
    return RUN_ALL_TESTS();
}
