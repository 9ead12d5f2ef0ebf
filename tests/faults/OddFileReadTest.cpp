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

// A terabyte that takes no room on disk: more than memory can hold, so the read must give up
// and give the defaults rather than end the program.
TEST(OddFileReadTest, FileTooLargeForMemoryReadsAsDefaultsAndRefusesWrites) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's allocator aborts on a terabyte request by design";
#endif
    testsupport::TempDir dir;
    const std::filesystem::path file = dir / "Zarvo.ini";
    testsupport::WriteBytes(file, "[WINDIFF]\r\nExePath=/usr/bin/tool\r\n");
    std::filesystem::resize_file(file, std::uintmax_t{1} << 40);
    const pid_t pid = faults::Spawn([file = file.string()] {
        if (faults::ReadValue("WINDIFF", "ExePath", file) != "<missing>") return 3;
        return faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/new-tool", file);
    });
    const auto ending = faults::WaitWithin(pid, 20000);
    EXPECT_TRUE(ending.ExitedWith(faults::kWriteFailed))
        << "exit " << ending.code << ", signal " << ending.signal;
    EXPECT_EQ(std::filesystem::file_size(file), std::uintmax_t{1} << 40);
}

}  // namespace
