// The whole window starting on damaged settings files: it comes up with what can be read (or the
// defaults), and leaves the file exactly as it was, bytes and modification time.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "DamagedFiles.h"
#include "app/Form1.h"
#include "platform/Process.h"
#include "platform/Testing.h"
#include "platform/Text.h"

namespace {

// What identifies a file's state: its kind, size, room on the disk, modification time and bytes
// (of files small enough to compare).
struct Snapshot {
    bool exists = false;
    mode_t mode = 0;
    off_t size = 0;
    blkcnt_t blocks = 0;
    timespec mtime{};
    std::string bytes;
    bool operator==(const Snapshot& other) const {
        return exists == other.exists && mode == other.mode && size == other.size &&
               blocks == other.blocks && mtime.tv_sec == other.mtime.tv_sec &&
               mtime.tv_nsec == other.mtime.tv_nsec && bytes == other.bytes;
    }
};

Snapshot Take(const std::filesystem::path& file) {
    Snapshot snapshot;
    struct stat info {};
    if (lstat(file.c_str(), &info) != 0) return snapshot;
    snapshot.exists = true;
    snapshot.mode = info.st_mode;
    snapshot.size = info.st_size;
    snapshot.blocks = info.st_blocks;
    snapshot.mtime = info.st_mtim;
    if (S_ISREG(info.st_mode) && info.st_size <= (64 << 20)) {
        snapshot.bytes = testsupport::ReadBytes(file);
    }
    return snapshot;
}

// Acts as an ordinary user for a while: the effective user only, so root can come back.
class AsNobody {
public:
    AsNobody() { ok_ = setegid(65534) == 0 && seteuid(65534) == 0; }
    ~AsNobody() {
        if (seteuid(0) != 0 || setegid(0) != 0) std::abort();
    }
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

class DamagedFileTest : public ::testing::TestWithParam<damaged::Case> {
protected:
    void TearDown() override { platform::testing::OverrideExecutableDirectory(L""); }
    testsupport::TempDir dir;
};

TEST_P(DamagedFileTest, StartsWithWhatCanBeReadAndLeavesTheFileAlone) {
    const damaged::Case& c = GetParam();
    const auto file = dir / "Zarvo.ini";
    c.make(file);
    const Snapshot before = Take(file);
    ASSERT_TRUE(before.exists);
    platform::testing::OverrideExecutableDirectory(dir.path().wstring());
    platform::testing::OverrideArgumentText(L"");

    std::unique_ptr<Form1> form;
    {
        std::unique_ptr<AsNobody> nobody;
        if (c.unreadable) nobody = std::make_unique<AsNobody>();
        if (nobody) {
            ASSERT_TRUE(nobody->ok());
        }
        form = std::make_unique<Form1>();
        form->window.Show();
    }

    const std::wstring tool =
        c.tool.empty() ? platform::BundledComparisonTool() : platform::FromAnsi(c.tool);
    EXPECT_EQ(form->ExePath.Text(), tool);
    std::vector<std::string> history;
    for (int i = 0; i < form->path2.ListCount(); ++i) {
        history.push_back(platform::ToAnsi(form->path2.List(i)));
    }
    EXPECT_EQ(history, c.history);
    EXPECT_EQ(form->SecondPathReady, !c.history.empty());
    EXPECT_EQ(form->path2.Text(), c.history.empty() ? std::wstring(L"第二のパス指定")
                                                    : platform::FromAnsi(c.history[0]));
    EXPECT_EQ(form->Guide.Caption(), L"第一の対象ファイルをドロップして下さい");
    EXPECT_TRUE(Take(file) == before) << "the file changed at start-up";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// The time to a shown window and the memory it takes, on a sparse 1 GiB settings file against a
// clean small one: printed, not asserted (a loaded machine must not fail the suite).
TEST(SparseGigabyteTest, StartsWithDefaultsAtOnceAndPrintsItsFigures) {
    const auto start = [](const std::filesystem::path& folder) {
        platform::testing::OverrideExecutableDirectory(folder.wstring());
        platform::testing::OverrideArgumentText(L"");
        const auto begin = std::chrono::steady_clock::now();
        auto form = std::make_unique<Form1>();
        form->window.Show();
        const std::chrono::duration<double, std::milli> ms =
            std::chrono::steady_clock::now() - begin;
        platform::testing::OverrideExecutableDirectory(L"");
        return std::make_pair(std::move(form), ms.count());
    };
    const auto peakKib = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    };
    testsupport::TempDir clean, sparse;
    damaged::Bytes(clean / "Zarvo.ini", damaged::kValid);
    const auto& cases = damaged::Cases();
    const auto sparseCase = std::find_if(cases.begin(), cases.end(),
                                         [](const auto& c) { return c.name == "sparse_1gib"; });
    ASSERT_NE(sparseCase, cases.end());
    sparseCase->make(sparse / "Zarvo.ini");
    const Snapshot before = Take(sparse / "Zarvo.ini");

    start(clean.path());  // warm-up: fonts, styles
    const double cleanMs = start(clean.path()).second;
    const long peakBefore = peakKib();
    const auto [form, sparseMs] = start(sparse.path());
    const long peakAfter = peakKib();

    EXPECT_EQ(form->ExePath.Text(), sparse.path().wstring() + L"/diff-zarvo-view");
    EXPECT_EQ(form->path2.ListCount(), 0);
    EXPECT_TRUE(Take(sparse / "Zarvo.ini") == before);
    std::printf(
        "Start-up on a sparse 1 GiB settings file: %.2f ms; on a clean %zu-byte file: %.2f ms;"
        " ratio %.2f; peak memory grew by %ld KiB\n",
        sparseMs, damaged::kValid.size(), cleanMs, sparseMs / cleanMs, peakAfter - peakBefore);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest, ::testing::ValuesIn(damaged::Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
