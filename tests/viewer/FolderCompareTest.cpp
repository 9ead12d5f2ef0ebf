// Two real folders compared: each state, links never followed, names that are not UTF-8, a file
// against a folder, and stopping part way.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <future>

#include "FolderCompare.h"
#include "Wording.h"
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
    void Progress(const FolderProgress& progress) override { last = progress; }

    std::vector<FolderEntry> entries;
    FolderProgress last;
};

// One line per entry: indented by depth, the name, the state, what could not be read.
std::vector<std::u16string> Lines(const std::vector<FolderEntry>& entries) {
    static const char16_t* const kStates[] = {u"same",   u"different", u"first",
                                              u"second", u"kinds",     u"unreadable"};
    std::vector<std::u16string> lines;
    for (const FolderEntry& entry : entries) {
        std::u16string line(static_cast<std::size_t>(entry.depth) * 2, u' ');
        line += entry.name + u" " + kStates[static_cast<int>(entry.state)];
        if (entry.errors.any()) line += u" " + SidesReason(entry.errors);
        lines.push_back(line);
    }
    return lines;
}

TEST(FolderCompare, EveryStateInATreeWithLinksSpecialFilesAndBadNames) {
    TempDir dir;
    const fs::path a = dir / "a", b = dir / "b";
    for (const fs::path& root : {a, b}) {
        fs::create_directories(root / "sub");
        WriteBytes(root / "same.txt", "same\n");
        WriteBytes(root / "sub" / "deep.txt", "deep\n");
        ASSERT_EQ(::mkfifo((root / "pipe").c_str(), 0600), 0);      // would block if opened
        fs::create_directory_symlink("..", root / "sub" / "loop");  // would never end if followed
        fs::create_symlink("/etc/passwd", root / "out");            // leaves the tree
    }
    WriteBytes(a / "changed.txt", "one\n");  // same size: only the bytes tell
    WriteBytes(b / "changed.txt", "two\n");
    WriteBytes(a / "grown.txt", "a\n");
    WriteBytes(b / "grown.txt", "ab\n");
    WriteBytes(a / "caf\xE9", "1");  // Latin-1, not UTF-8
    WriteBytes(b / "caf\xE9", "2");
    WriteBytes(a / "hard.txt", "one file\n");
    fs::create_hard_link(a / "hard.txt", b / "hard.txt");
    WriteBytes(a / "only1.txt", "");
    fs::create_directories(a / "gone" / "inner");
    WriteBytes(a / "gone" / "inner" / "x", "x");
    fs::create_directories(b / "new");
    WriteBytes(b / "new" / "y", "y");
    WriteBytes(a / "kind", "file\n");
    fs::create_directory(b / "kind");
    WriteBytes(b / "kind" / "z", "z");
    fs::create_symlink("same.txt", a / "sub" / "link");
    fs::create_symlink("deep.txt", b / "sub" / "link");

    Collect sink;
    SideErrors error;
    ASSERT_EQ(CompareFolders(a, b, sink, {}, error), FolderEnd::Done);
    EXPECT_FALSE(error.any());
    const std::vector<std::u16string> expected = {
        u"caf<E9> different", u"changed.txt different",
        u"gone first",        u"  inner first",
        u"    x first",       u"grown.txt different",
        u"hard.txt same",     u"kind kinds",
        u"new second",        u"  y second",
        u"only1.txt first",   u"out same",
        u"pipe same",         u"same.txt same",
        u"sub different",     u"  deep.txt same",
        u"  link different",  u"  loop same",
    };
    EXPECT_EQ(Lines(sink.entries), expected);
    EXPECT_EQ(CountFolderStates(sink.entries), (FolderCounts{4, 2, 1, 1, 0}));

    // The tree: each entry's folder, and the paths from each side (bytes kept as they are).
    const FolderEntry& x = sink.entries[4];
    EXPECT_EQ(x.parent, 3);
    EXPECT_EQ(sink.entries[3].parent, 2);
    EXPECT_EQ(x.relative, fs::path("gone/inner/x"));
    EXPECT_EQ(x.kind1, EntryKind::File);
    EXPECT_EQ(x.kind2, EntryKind::None);
    EXPECT_EQ(sink.entries[0].relative, fs::path("caf\xE9"));
    EXPECT_EQ(sink.entries[0].relative2, fs::path("caf\xE9"));
    EXPECT_EQ(sink.entries[7].kind1, EntryKind::File);
    EXPECT_EQ(sink.entries[7].kind2, EntryKind::Folder);
    EXPECT_EQ(sink.entries[12].kind1, EntryKind::Fifo);
    EXPECT_EQ(sink.entries[17].kind1, EntryKind::Link);
    EXPECT_EQ(sink.last.entries, 18);

    // The same comparison on its own thread gives the same list, then says it is finished.
    FolderComparison threaded(a, b);
    threaded.Wait();
    const FolderComparison::News news = threaded.Poll();
    EXPECT_TRUE(news.finished);
    EXPECT_EQ(news.end, FolderEnd::Done);
    std::vector<FolderEntry> polled = news.added;
    for (const auto& [index, state] : news.changed) {
        polled.at(static_cast<std::size_t>(index)).state = state;
    }
    EXPECT_EQ(Lines(polled), expected);

    // A folder that is not there is named, with the side.
    EXPECT_EQ(CompareFolders(a, dir / "none", sink, {}, error), FolderEnd::Unreadable);
    EXPECT_EQ(error, (SideErrors{{}, {FileProblem::EntryNotFound, ENOENT, dir / "none"}}));
}

TEST(FolderCompare, AFileAgainstAFolderTakesTheFileOfTheSameName) {
    TempDir dir;
    fs::create_directories(dir / "folder");
    WriteBytes(dir / "notes.txt", "x");
    EXPECT_EQ(ResolveFileAndFolder(dir / "notes.txt", dir / "folder"),
              std::make_pair(dir / "notes.txt", dir / "folder" / "notes.txt"));
    EXPECT_EQ(ResolveFileAndFolder(dir / "folder", dir / "notes.txt"),
              std::make_pair(dir / "folder" / "notes.txt", dir / "notes.txt"));
    EXPECT_EQ(ResolveFileAndFolder(dir / "folder", dir / "folder"),
              std::make_pair(dir / "folder", dir / "folder"));
}

TEST(FolderCompare, StopsAtOnceWhenCancelled) {
    TempDir dir;
    for (const char* side : {"a", "b"}) {
        fs::create_directories(dir / side);
        for (int i = 0; i < 200; ++i) WriteBytes(dir / side / std::to_string(i), "x");
    }
    // Asked to stop while telling the fifth entry: no entry comes after it.
    std::stop_source stop;
    struct StopAtFive : Collect {
        std::stop_source* stop = nullptr;
        void Added(const FolderEntry& entry) override {
            Collect::Added(entry);
            if (entries.size() == 5) stop->request_stop();
        }
    } sink;
    sink.stop = &stop;
    SideErrors error;
    EXPECT_EQ(CompareFolders(dir / "a", dir / "b", sink, stop.get_token(), error),
              FolderEnd::Cancelled);
    EXPECT_EQ(sink.entries.size(), 5u);

    // On its own thread: held at its first news until cancelled, then it ends Cancelled.
    std::promise<void> cancelled;
    std::shared_future<void> go = cancelled.get_future().share();
    FolderComparison threaded(dir / "a", dir / "b", [go] { go.wait(); });
    threaded.Cancel();
    cancelled.set_value();
    threaded.Wait();
    const FolderComparison::News news = threaded.Poll();
    EXPECT_TRUE(news.finished);
    EXPECT_EQ(news.end, FolderEnd::Cancelled);
    EXPECT_LT(news.added.size(), 200u);
}

TEST(FolderCompare, UnreadableEntriesSayWhy) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions";
    TempDir dir;
    for (const char* side : {"a", "b"}) {
        fs::create_directories(dir / side / "locked");
        WriteBytes(dir / side / "secret", "same size");
    }
    ::chmod((dir / "a" / "secret").c_str(), 0);
    ::chmod((dir / "b" / "locked").c_str(), 0);
    Collect sink;
    SideErrors error;
    ASSERT_EQ(CompareFolders(dir / "a", dir / "b", sink, {}, error), FolderEnd::Done);
    EXPECT_EQ(Lines(sink.entries),
              (std::vector<std::u16string>{u"locked unreadable 第二: 読み取る権限がありません",
                                           u"secret unreadable 第一: 読み取る権限がありません"}));
    ::chmod((dir / "b" / "locked").c_str(), 0700);
}

}  // namespace
}  // namespace viewer
