// Two folders compared on Windows: names match as the file system matches them, case aside, and
// a name that differs from its partner only in case says so.
#include <gtest/gtest.h>

#include "FolderCompare.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteBytes;

class Collect : public FolderSink {
public:
    void Added(const FolderEntry& entry) override { entries.push_back(entry); }
    void Changed(std::int32_t index, FolderState state) override {
        entries.at(static_cast<std::size_t>(index)).state = state;
    }
    void Progress(const FolderProgress&) override {}
    std::vector<FolderEntry> entries;
};

TEST(FolderCompareWindows, NamesMatchCaseAsideAndSaySoWhenOnlyCaseDiffers) {
    TempDir dir;
    const fs::path a = dir / "a", b = dir / "b";
    fs::create_directories(a / "Sub");
    fs::create_directories(b / "sub");
    WriteBytes(a / "Readme.txt", "same\n");
    WriteBytes(b / "README.txt", "same\n");
    WriteBytes(a / "Sub" / "f", "1");
    WriteBytes(b / "sub" / "F", "2");
    WriteBytes(a / "b.txt", "b");
    WriteBytes(b / "b.txt", "b");
    WriteBytes(a / L"日本語.txt", "x");
    WriteBytes(b / L"日本語.txt", "y");
    WriteBytes(a / "only.txt", "");

    Collect sink;
    std::u16string error;
    ASSERT_EQ(CompareFolders(a, b, sink, {}, error), FolderEnd::Done);
    std::vector<std::u16string> lines;
    for (const FolderEntry& entry : sink.entries) {
        static const char16_t* const kStates[] = {u"same",   u"different", u"first",
                                                  u"second", u"kinds",     u"unreadable"};
        std::u16string line(static_cast<std::size_t>(entry.depth) * 2, u' ');
        line += entry.name;
        if (!entry.name2.empty()) line += u"/" + entry.name2;
        lines.push_back(line + u" " + kStates[static_cast<int>(entry.state)]);
    }
    EXPECT_EQ(lines, (std::vector<std::u16string>{
                         u"b.txt same",
                         u"only.txt first",
                         u"Readme.txt/README.txt same",
                         u"Sub/sub different",
                         u"  f/F different",
                         u"日本語.txt different",
                     }));
    EXPECT_EQ(sink.entries[4].relative, fs::path(L"Sub\\f"));
    EXPECT_EQ(sink.entries[4].relative2, fs::path(L"sub\\F"));
    EXPECT_EQ(FolderCountsText(sink.entries), u"相違 2 件 — 第一だけ 1 — 第二だけ 0");

    // On its own thread too (the threads of the Windows runtime).
    FolderComparison threaded(a, b);
    threaded.Wait();
    const FolderComparison::News news = threaded.Poll();
    EXPECT_EQ(news.end, FolderEnd::Done);
    EXPECT_EQ(news.added.size(), 6u);
}

}  // namespace
}  // namespace viewer
