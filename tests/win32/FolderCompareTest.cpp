// Two folders compared on Windows: names match as the file system matches them, case aside, and
// a name that differs from its partner only in case says so; the program's `-u` on two folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "FolderCompare.h"
#include "RunViewer.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::RunViewer;
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
    SideErrors error;
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
    EXPECT_EQ(CountFolderStates(sink.entries), (FolderCounts{2, 1, 0, 0, 0}));

    // On its own thread too (the threads of the Windows runtime).
    FolderComparison threaded(a, b);
    threaded.Wait();
    const FolderComparison::News news = threaded.Poll();
    EXPECT_EQ(news.end, FolderEnd::Done);
    EXPECT_EQ(news.added.size(), 6u);
}

TEST(FolderCompareWindows, UnifiedWritesTheFoldersAsDiffDoesWithSlashesInThePaths) {
    TempDir dir;
    const fs::path a = dir / "a", b = dir / "b";
    fs::create_directories(a / "sub");
    fs::create_directories(b / "sub");
    WriteBytes(a / "sub" / "x.txt", "1\r\n2\r\n");
    WriteBytes(b / "sub" / "x.txt", "1\r\nB\r\n");
    WriteBytes(a / L"日本語.txt", "gone\n");
    using namespace std::chrono;
    for (const fs::path& file : {a / "sub" / "x.txt", b / "sub" / "x.txt", a / L"日本語.txt"}) {
        fs::last_write_time(file, file_clock::from_sys(sys_seconds(sys_days(2026y / 12 / 8) + 6h)));
    }

    const fs::path output = dir / "out.diff";
    EXPECT_EQ(RunViewer(L"-u \"" + a.wstring() + L"\" \"" + b.wstring() + L"\"", output), 1u);
    EXPECT_EQ(
        ReadBytes(output),
        "--- a/sub/x.txt\t2026-12-08 06:00:00.000000000 +0000\n"
        "+++ b/sub/x.txt\t2026-12-08 06:00:00.000000000 +0000\n"
        "@@ -1,2 +1,2 @@\n"
        " 1\r\n"
        "-2\r\n"
        "+B\r\n"
        "--- a/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt\t2026-12-08 06:00:00.000000000 +0000\n"
        "+++ b/\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt\t1970-01-01 00:00:00.000000000 +0000\n"
        "@@ -1 +0,0 @@\n"
        "-gone\n");
    EXPECT_EQ(RunViewer(L"--unified \"" + a.wstring() + L"\" \"" + a.wstring() + L"\"", output),
              0u);
    EXPECT_EQ(ReadBytes(output), "");
}

// The file view opens on a file it cannot read, says so in its window, and tells its caller as
// the Linux program does: the file named on standard error, exit code 1.
TEST(ViewerProgramWindows, AFileItCannotReadIsNamedOnStandardError) {
    TempDir dir;
    WriteBytes(dir / "here.txt", "a\n");
    const fs::path missing = dir.path() / L"無い.txt", output = dir / "err.txt";
    EXPECT_EQ(RunViewer(L"--exit-when-shown \"" + (dir / "here.txt").wstring() + L"\" \"" +
                            missing.wstring() + L"\"",
                        output),
              1u);
    const std::u8string name = missing.u8string();
    EXPECT_EQ(ReadBytes(output), "diff-zarvo-view: " + std::string(name.begin(), name.end()) +
                                     ": \xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB"
                                     "\xE3\x81\x8C\xE8\xA6\x8B\xE3\x81\xA4\xE3\x81\x8B"
                                     "\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\n");
}

}  // namespace
}  // namespace viewer
