// A test over two files, a.txt and b.txt, in a folder of its own; the test writes them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TempDir.h"

namespace testsupport {

class TwoFilesTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path a = dir / "a.txt";
    std::filesystem::path b = dir / "b.txt";
};

}  // namespace testsupport
