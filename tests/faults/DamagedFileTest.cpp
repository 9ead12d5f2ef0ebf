// The whole window starting on damaged settings files: it comes up with what can be read (or the
// defaults), and leaves the file exactly as it was, bytes and modification time.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "DamagedFiles.h"
#include "app/Form1.h"
#include "platform/Process.h"
#include "platform/Testing.h"
#include "platform/Text.h"

namespace {

// What identifies a file's state: its kind, bytes and modification time.
struct Snapshot {
    bool exists = false;
    mode_t mode = 0;
    timespec mtime{};
    std::string bytes;
    bool operator==(const Snapshot& other) const {
        return exists == other.exists && mode == other.mode && mtime.tv_sec == other.mtime.tv_sec &&
               mtime.tv_nsec == other.mtime.tv_nsec && bytes == other.bytes;
    }
};

Snapshot Take(const std::filesystem::path& file) {
    Snapshot snapshot;
    struct stat info {};
    if (lstat(file.c_str(), &info) != 0) return snapshot;
    snapshot.exists = true;
    snapshot.mode = info.st_mode;
    snapshot.mtime = info.st_mtim;
    if (S_ISREG(info.st_mode)) snapshot.bytes = testsupport::ReadBytes(file);
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

INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest, ::testing::ValuesIn(damaged::Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
