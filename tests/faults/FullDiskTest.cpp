// A disk that fills up during a write: the write reports failure, the old file stays whole and
// no temporary file is left to eat the little space there is.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "Children.h"
#include "Saves.h"
#include "support/TempDir.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

const std::string kOld =
    "[WINDIFF]\r\nExePath=/usr/bin/old-tool\r\n[DiffPath]\r\nLIST1=/home/a\r\n";

// A 64 KiB tmpfs mounted over a fresh folder for the test's life (needs root, as in CI).
class SmallDisk {
public:
    SmallDisk() {
        ok_ = mount("tmpfs", dir_.path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0;
        error_ = errno;
    }
    ~SmallDisk() {
        if (ok_) umount2(dir_.path().c_str(), MNT_DETACH);
    }
    bool ok() const { return ok_; }
    std::string why() const { return std::strerror(error_); }
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }
    const std::filesystem::path& path() const { return dir_.path(); }

    // Fills the disk with a file of its own, leaving at most `room` bytes free.
    void Fill(size_t room) {
        const std::filesystem::path filler = dir_ / "filler";
        std::filesystem::remove(filler);
        const std::string block(4096, 'f');
        std::ofstream out(filler, std::ios::binary);
        while (out.write(block.data(), block.size()) && out.flush()) {
        }
        out.close();
        const auto size = std::filesystem::file_size(filler);
        std::filesystem::resize_file(filler, size > room ? size - room : 0);
    }

private:
    testsupport::TempDir dir_;
    bool ok_ = false;
    int error_ = 0;
};

int FilesIn(const std::filesystem::path& dir) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++count;
    return count;
}

TEST(FullDiskTest, WriteOnAFullTmpfsFailsAndKeepsOldFile) {
    SmallDisk disk;
    if (!disk.ok())
        GTEST_SKIP() << "cannot mount a tmpfs here (" << disk.why() << "); see RLIMIT_FSIZE";
    const std::string file = (disk / "Zarvo.ini").string();
    WriteBytes(file, kOld);
    // No room at all, then room for part of the new file only.
    for (const size_t room : {size_t{0}, size_t{8192}}) {
        disk.Fill(room);
        const int before = FilesIn(disk.path());
        const std::string big(32768, 'x');
        EXPECT_EQ(faults::WriteResult("DiffPath", "LIST2", "/home/" + big, file),
                  faults::kWriteFailed)
            << "room " << room;
        EXPECT_EQ(ReadBytes(file), kOld) << "room " << room;
        EXPECT_EQ(FilesIn(disk.path()), before) << "a temporary file was left behind";
    }
    // Once there is room again, writing works as usual.
    std::filesystem::remove(disk / "filler");
    EXPECT_EQ(faults::WriteResult("DiffPath", "LIST2", "/home/b", file), faults::kWriteSucceeded);
    EXPECT_EQ(faults::ReadValue("DiffPath", "LIST2", file), "/home/b");
    EXPECT_EQ(faults::ReadValue("DiffPath", "LIST1", file), "/home/a");
}

// The viewer's save: on a full disk it fails, says so, and the old file is whole; on a medium
// made read-only it is refused, and a file compared there offers no edit.
TEST(FullDiskTest, SaveOnAFullOrReadOnlyDiskSaysSoAndKeepsTheOldFile) {
    SmallDisk disk;
    if (!disk.ok())
        GTEST_SKIP() << "cannot mount a tmpfs here (" << disk.why() << "); see RLIMIT_FSIZE";
    testsupport::TempDir elsewhere;
    viewer::EditedComparison editing = faults::TakenIntoSecond(elsewhere / "a.txt", disk / "b.txt");
    disk.Fill(0);
    const int before = FilesIn(disk.path());
    const viewer::SaveResult full = editing.Save(viewer::Side::Second);
    EXPECT_EQ(full.status, viewer::SaveStatus::Failed);
    EXPECT_TRUE(
        viewer::SaveText(full, editing, viewer::Side::Second) ==
        u"ディスクに空きがないため、「b.txt」を保存できませんでした。ファイルは元のままです。");
    EXPECT_EQ(ReadBytes(disk / "b.txt"), faults::kBefore);
    EXPECT_EQ(FilesIn(disk.path()), before) << "a temporary file was left behind";

    std::filesystem::remove(disk / "filler");
    // The type is ignored on a remount, but named: valgrind takes a null one for a bad pointer.
    ASSERT_EQ(mount("tmpfs", disk.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0)
        << std::strerror(errno);
    const viewer::SaveResult refused = editing.Save(viewer::Side::Second);
    EXPECT_EQ(refused.status, viewer::SaveStatus::Failed);
    EXPECT_TRUE(viewer::SaveText(refused, editing, viewer::Side::Second) ==
                u"書き込みが拒否されたため、「b.txt」を保存できませんでした"
                u"（読み取り専用のメディアにあります）。ファイルは元のままです。");
    EXPECT_EQ(ReadBytes(disk / "b.txt"), faults::kBefore);
    const viewer::EditedComparison again(viewer::Compare(elsewhere / "a.txt", disk / "b.txt"));
    EXPECT_TRUE(viewer::ReadOnlyText(again.WhyReadOnly(viewer::Side::Second)) ==
                u"読み取り専用のメディアにあります");

    ASSERT_EQ(mount("tmpfs", disk.path().c_str(), "tmpfs", MS_REMOUNT, nullptr), 0);
    EXPECT_EQ(editing.Save(viewer::Side::Second).status, viewer::SaveStatus::Saved);
    EXPECT_TRUE(ReadBytes(disk / "b.txt") == faults::kAfter);
}

// The same failure where no file system can be mounted: a file-size limit makes write() fail
// with EFBIG once SIGXFSZ is ignored, in a child so the limit stays there.
TEST(FullDiskTest, WriteOverTheFileSizeLimitFailsAndKeepsOldFile) {
    testsupport::TempDir dir;
    const std::string file = (dir / "Zarvo.ini").string();
    WriteBytes(file, kOld);
    const auto ending = faults::RunInChild([&] {
        const rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0 || signal(SIGXFSZ, SIG_IGN) == SIG_ERR) {
            return faults::kChildSetUpFailed;
        }
        return faults::WriteResult("DiffPath", "LIST2", std::string(10000, 'x'), file);
    });
    EXPECT_TRUE(ending.ExitedWith(faults::kWriteFailed));
    EXPECT_EQ(ReadBytes(file), kOld);
    EXPECT_EQ(FilesIn(dir.path()), 1);
}

}  // namespace
