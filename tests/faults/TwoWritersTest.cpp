// Two running copies of the program writing the same settings file: neither undoes the other's
// keys, and the file stays one clean section with every key once.
#include <gtest/gtest.h>

#include <string>

#include "Children.h"
#include "platform/posix/ProfileText.h"
#include "support/TempDir.h"

namespace {

constexpr int kWrites = 1000;

// Starts a child that waits at the gate, then writes key = prefix + i for i = 1..kWrites.
pid_t StartWriter(const int gate[2], const std::string& file, const std::string& key,
                  const std::string& prefix) {
    return faults::Spawn([=] {
        close(gate[1]);
        char go;
        if (read(gate[0], &go, 1) < 0) return faults::kChildSetUpFailed;
        for (int i = 1; i <= kWrites; ++i) {
            const std::string value = prefix + std::to_string(i);
            if (faults::WriteResult("DiffPath", key, value, file) != faults::kWriteSucceeded) {
                return faults::kWriteFailed;
            }
        }
        return faults::kWriteSucceeded;
    });
}

TEST(TwoWritersTest, EachKeyHoldsItsWritersLastValue) {
    testsupport::TempDir dir;
    const std::string file = (dir / "Zarvo.ini").string();
    ASSERT_EQ(faults::WriteResult("WINDIFF", "ExePath", "/usr/bin/tool", file),
              faults::kWriteSucceeded);
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    const pid_t first = StartWriter(gate, file, "LIST1", "/home/first/");
    const pid_t second = StartWriter(gate, file, "LIST2", "/home/second/");
    // Closing the gate's write end lets both go at the same moment.
    close(gate[1]);
    EXPECT_TRUE(faults::Wait(first).ExitedWith(faults::kWriteSucceeded));
    EXPECT_TRUE(faults::Wait(second).ExitedWith(faults::kWriteSucceeded));
    close(gate[0]);

    EXPECT_EQ(faults::ReadValue("DiffPath", "LIST1", file), "/home/first/1000");
    EXPECT_EQ(faults::ReadValue("DiffPath", "LIST2", file), "/home/second/1000");
    EXPECT_EQ(faults::ReadValue("WINDIFF", "ExePath", file), "/usr/bin/tool");
    // One line per key, in the order the keys first arrived, and nothing else.
    const std::string content = testsupport::ReadBytes(file);
    const std::string head = "[WINDIFF]\r\nExePath=/usr/bin/tool\r\n[DiffPath]\r\n";
    EXPECT_TRUE(content == head + "LIST1=/home/first/1000\r\nLIST2=/home/second/1000\r\n" ||
                content == head + "LIST2=/home/second/1000\r\nLIST1=/home/first/1000\r\n")
        << content;
    EXPECT_EQ(platform::posix::ListNames(content, std::nullopt),
              std::string("WINDIFF\0DiffPath\0", 17));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
