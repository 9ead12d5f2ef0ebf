// Two files far larger than memory allows as text: the real program compares them byte by byte
// in bounded memory, and the window names the offset of the one byte that differs. Reading 6 GiB
// takes a while in a debug build, so this suite runs in the hardening stage, not with ctest.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Comparison.h"
#include <QLabel>

#include "ViewerWindow.h"

namespace viewer {
namespace {

constexpr off_t kSize = off_t{3} << 30;  // 3 GiB

// A folder on a memory file system where there is one: sparse files there cost nothing and
// read back at memory speed; removed with its files when the test ends.
class SparseDir {
public:
    SparseDir() {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path_ = std::filesystem::path(base) / ("zarvo-huge-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_);
    }
    ~SparseDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A sparse file of kSize zero bytes but its last, which is `last`.
void MakeSparse(const std::filesystem::path& path, char last) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, kSize), 0);
    ASSERT_EQ(::pwrite(fd, &last, 1, kSize - 1), 1);
    ASSERT_EQ(::close(fd), 0);
}

TEST(HugeFiles, SparseFilesDifferingInTheLastByteAreComparedInBoundedMemory) {
    SparseDir dir;
    MakeSparse(dir / "first.img", '\0');
    MakeSparse(dir / "second.img", '\x01');

    // The real program, as the front end starts it, until its window is painted; its peak
    // resident memory comes from the kernel's accounting of the finished child.
    std::string first = (dir / "first.img").string();
    std::string second = (dir / "second.img").string();
    std::string program = ZARVO_VIEWER_PROGRAM;
    std::string option = "--exit-when-shown";
    char* argv[] = {program.data(), option.data(), first.data(), second.data(), nullptr};
    std::vector<char*> environment;
    std::string platform = "QT_QPA_PLATFORM=offscreen";
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::string_view(*variable).starts_with("QT_QPA_PLATFORM=")) continue;
        environment.push_back(*variable);
    }
    environment.push_back(platform.data());
    environment.push_back(nullptr);
    pid_t child = -1;
    ASSERT_EQ(::posix_spawn(&child, argv[0], nullptr, nullptr, argv, environment.data()), 0);
    int status = 0;
    struct rusage usage {};
    ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // ru_maxrss is in KiB: 6 GiB read, under 200 MB held.
    std::printf("peak resident memory of the viewer comparing 2 x 3 GiB: %.1f MB\n",
                static_cast<double>(usage.ru_maxrss) * 1024 / 1e6);
    EXPECT_LT(usage.ru_maxrss, 200 * 1000 * 1000 / 1024);

    // What that window says: the offset of the last byte, in decimal and hexadecimal. Zero
    // bytes make the files binary, told from their start: they are never held whole.
    Comparison comparison = Compare(dir / "first.img", dir / "second.img");
    EXPECT_EQ(comparison.outcome(), Outcome::Binary);
    EXPECT_EQ(comparison.firstDifferentByte(), 3221225471);
    const ViewerWindow window(std::move(comparison));
    EXPECT_TRUE(window.messageLabel()->text().contains(
        QStringLiteral("最初に異なるバイトの位置: 3221225471 (0xBFFFFFFF)")))
        << window.messageLabel()->text().toStdString();
    EXPECT_TRUE(window.messageLabel()->text().contains(
        QStringLiteral("サイズ: 第一 3221225472 バイト、第二 3221225472 バイト")))
        << window.messageLabel()->text().toStdString();
}

}  // namespace
}  // namespace viewer
