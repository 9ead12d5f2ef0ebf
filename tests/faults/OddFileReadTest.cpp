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

// No settings file comes near 16 MiB: a larger one is damaged. It reads as the defaults at once
// and is never rewritten, so a sparse file of a gigabyte or a terabyte stays as small on the disk
// as it was. 16 MiB itself still reads.
TEST(OddFileReadTest, FileOverSixteenMebibytesReadsAsDefaultsAndIsNeverRewritten) {
    testsupport::TempDir dir;
    const std::filesystem::path file = dir / "Zarvo.ini";
    const std::string start = "[WINDIFF]\r\nExePath=/usr/bin/tool\r\n;";
    testsupport::WriteBytes(file, start);
    std::filesystem::resize_file(file, 16 << 20);
    EXPECT_EQ(faults::ReadValue("WINDIFF", "ExePath", file.string()), "/usr/bin/tool");
    for (const std::uintmax_t size : {16777217ul, 1073741824ul, 1099511627776ul}) {
        std::filesystem::resize_file(file, size);
        struct stat before {};
        stat(file.c_str(), &before);
        const pid_t pid = faults::Spawn([file = file.string()] {
            if (faults::ReadValue("WINDIFF", "ExePath", file) != "<missing>") return 3;
            return faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/new-tool", file);
        });
        const auto ending = faults::WaitWithin(pid, 20000);
        EXPECT_TRUE(ending.ExitedWith(faults::kWriteFailed))
            << size << " bytes: exit " << ending.code << ", signal " << ending.signal;
        struct stat after {};
        stat(file.c_str(), &after);
        EXPECT_EQ(after.st_size, static_cast<off_t>(size));
        EXPECT_EQ(after.st_blocks, before.st_blocks) << size << " bytes";
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
}

}  // namespace
