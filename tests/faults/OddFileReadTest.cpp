// Reads of settings "files" that are not regular files: each gives the default at once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "Children.h"
#include "support/TempDir.h"

namespace {

// Reads in a child, so that a read that hangs shows as a failure instead of a stuck suite.
faults::Ending ReadInChild(const std::string& file) {
    const pid_t pid = faults::Spawn(
        [file] { return faults::ReadValue("WINDIFF", "ExePath", file) == "<missing>" ? 0 : 1; });
    return faults::WaitWithin(pid, 20000);
}

TEST(OddFileReadTest, FolderFifoAndDeviceReadAsDefaults) {
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "device");
    std::filesystem::create_symlink(dir / "nowhere", dir / "dangling");
    for (const char* name : {"folder", "fifo", "device", "dangling"}) {
        const auto ending = ReadInChild((dir / name).string());
        EXPECT_TRUE(ending.ExitedWith(0)) << name << ": signal " << ending.signal;
    }
}

TEST(OddFileReadTest, WriteOverAFifoOrFolderFailsWithoutHanging) {
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
    for (const char* name : {"folder", "fifo"}) {
        const std::string file = (dir / name).string();
        const pid_t pid = faults::Spawn(
            [file] { return faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/tool", file); });
        EXPECT_TRUE(faults::WaitWithin(pid, 20000).ExitedWith(faults::kWriteFailed)) << name;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "fifo"));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "folder"));
}

}  // namespace
