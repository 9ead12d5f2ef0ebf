// Two folders written by the program as `diff -ruN` writes them, checked by `patch`: applied to a
// copy of the first folder, the output must give the second folder's text files back byte for
// byte. A file and a folder are compared as diff compares them.
#include <gtest/gtest.h>

#include <QProcess>
#include <chrono>

#include "Arguments.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

struct Ran {
    int code = -1;
    std::string out, err;
};

Ran RunProgram(const fs::path& folder, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(QString::fromStdString(folder.string()));
    process.start(QStringLiteral(ZARVO_VIEWER_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// A file with a time of its own, so that the headers can be written out.
void WriteFile(const fs::path& file, const std::string& bytes) {
    WriteBytes(file, bytes);
    using namespace std::chrono;
    fs::last_write_time(file, file_clock::from_sys(sys_seconds(sys_days(2026y / 12 / 8) + 6h)));
}

TEST(FolderUnified, PatchRebuildsTheSecondFolderAndAFileMeetsItsNamesakeInAFolder) {
    TempDir dir;
    const fs::path a = dir / "a", b = dir / "b";
    fs::create_directories(a / "sub");
    fs::create_directories(b / "sub");
    fs::create_directories(b / "fresh" / "deep");
    WriteFile(a / "keep.txt", "same\n");
    WriteFile(b / "keep.txt", "same\n");
    WriteFile(a / "sub" / "edit.txt", "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
    WriteFile(b / "sub" / "edit.txt", "1\n2\n3\n4\nX\n6\n7\n8\n9");  // and loses its last newline
    WriteFile(a / "gone.txt", "old\nlines\n");
    WriteFile(b / "fresh" / "deep" / "new.txt", "new\n");
    WriteFile(a / "bin.dat", std::string("\0\1", 2));
    WriteFile(b / "bin.dat", std::string("\0\2", 2));
    WriteFile(a / "kind", "file\n");
    fs::create_directory(b / "kind");
    fs::create_symlink("keep.txt", b / "link");

    const Ran run = RunProgram(dir.path(), {"-u", "a", "b"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Binary files a/bin.dat and b/bin.dat differ\n"
              "--- a/fresh/deep/new.txt\t1970-01-01 00:00:00.000000000 +0000\n"
              "+++ b/fresh/deep/new.txt\t2026-12-08 06:00:00.000000000 +0000\n"
              "@@ -0,0 +1 @@\n"
              "+new\n"
              "--- a/gone.txt\t2026-12-08 06:00:00.000000000 +0000\n"
              "+++ b/gone.txt\t1970-01-01 00:00:00.000000000 +0000\n"
              "@@ -1,2 +0,0 @@\n"
              "-old\n"
              "-lines\n"
              "File a/kind is a regular file while file b/kind is a directory\n"
              "Only in b: link\n"
              "--- a/sub/edit.txt\t2026-12-08 06:00:00.000000000 +0000\n"
              "+++ b/sub/edit.txt\t2026-12-08 06:00:00.000000000 +0000\n"
              "@@ -2,8 +2,8 @@\n"
              " 2\n"
              " 3\n"
              " 4\n"
              "-5\n"
              "+X\n"
              " 6\n"
              " 7\n"
              " 8\n"
              "-9\n"
              "+9\n"
              "\\ No newline at end of file\n");

    // patch, run in a copy of the first folder, gives the second's text files.
    fs::copy(a, dir / "c", fs::copy_options::recursive);
    WriteBytes(dir / "change.diff", run.out);
    QProcess patch;
    patch.setWorkingDirectory(QString::fromStdString((dir / "c").string()));
    patch.setStandardInputFile(QString::fromStdString((dir / "change.diff").string()));
    patch.start(QStringLiteral("patch"), {"-p1", "-E", "-s"});
    ASSERT_TRUE(patch.waitForFinished(30000));
    EXPECT_EQ(patch.exitCode(), 0) << patch.readAllStandardError().toStdString();
    EXPECT_EQ(ReadBytes(dir / "c" / "sub" / "edit.txt"), "1\n2\n3\n4\nX\n6\n7\n8\n9");
    EXPECT_EQ(ReadBytes(dir / "c" / "fresh" / "deep" / "new.txt"), "new\n");
    EXPECT_FALSE(fs::exists(dir / "c" / "gone.txt"));
    EXPECT_EQ(ReadBytes(dir / "c" / "keep.txt"), "same\n");

    // The same folders: nothing written, 0. A folder that is not there: 2, and which.
    const Ran itself = RunProgram(dir.path(), {"--unified", "a", "a"});
    EXPECT_EQ(itself.code, 0);
    EXPECT_EQ(itself.out, "");
    const Ran missing = RunProgram(dir.path(), {"-u", "a", "none"});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.err, "diff-zarvo-view: none: ファイルが見つかりません\n");

    // A file and a folder, either way round: the file against the folder's file of its name.
    const Ran fileFirst = RunProgram(dir.path(), {"-u", "a/sub/edit.txt", "b/sub"});
    EXPECT_EQ(fileFirst.code, 1);
    EXPECT_EQ(fileFirst.out.substr(0, fileFirst.out.find("@@")),
              "--- a/sub/edit.txt\t2026-12-08 06:00:00.000000000 +0000\n"
              "+++ b/sub/edit.txt\t2026-12-08 06:00:00.000000000 +0000\n");
    const Ran folderFirst = RunProgram(dir.path(), {"-u", "b", "a/keep.txt"});
    EXPECT_EQ(folderFirst.code, 0);
    EXPECT_EQ(RunProgram(dir.path(), {"-u", "b/fresh", "a/keep.txt"}).err,
              "diff-zarvo-view: b/fresh/keep.txt: ファイルが見つかりません\n");
    // The window takes them the same way.
    const auto parsed = ParseArguments({a / "gone.txt", a});
    ASSERT_TRUE(parsed);
    const Comparison window = CompareFiles(*parsed);
    EXPECT_EQ(window.second().path, a / "gone.txt");
    EXPECT_EQ(window.outcome(), Outcome::Text);
}

// Names with a tab, a line break, a backslash or a quote are quoted as diff quotes them: patch
// finds every file, and no name adds a line of its own.
TEST(FolderUnified, OddNamesAreQuotedSoThatPatchFindsThemAndNoNameForgesALine) {
    TempDir dir;
    const fs::path a = dir / "p1", b = dir / "p2";
    fs::create_directories(a);
    fs::create_directories(b);
    for (const std::string name : {"sp ace\ttab.txt", "new\nline.txt", "back\\slash\"q.txt"}) {
        WriteFile(a / name, "old\n");
        WriteFile(b / name, "new\n");
    }
    WriteFile(a / "x\n+++ evil", "a\n");

    const Ran run = RunProgram(dir.path(), {"-u", "p1", "p2"});
    EXPECT_EQ(run.code, 1);
    const std::string time = "\t2026-12-08 06:00:00.000000000 +0000\n";
    const std::string none = "\t1970-01-01 00:00:00.000000000 +0000\n";
    const std::string hunk = "@@ -1 +1 @@\n-old\n+new\n";
    EXPECT_EQ(run.out, "--- \"p1/back\\\\slash\\\"q.txt\"" + time +
                           "+++ \"p2/back\\\\slash\\\"q.txt\"" + time + hunk +
                           "--- \"p1/new\\nline.txt\"" + time + "+++ \"p2/new\\nline.txt\"" + time +
                           hunk + "--- \"p1/sp ace\\ttab.txt\"" + time +
                           "+++ \"p2/sp ace\\ttab.txt\"" + time + hunk + "--- \"p1/x\\n+++ evil\"" +
                           time + "+++ \"p2/x\\n+++ evil\"" + none + "@@ -1 +0,0 @@\n-a\n");

    fs::copy(a, dir / "c", fs::copy_options::recursive);
    WriteBytes(dir / "change.diff", run.out);
    QProcess patch;
    patch.setWorkingDirectory(QString::fromStdString((dir / "c").string()));
    patch.setStandardInputFile(QString::fromStdString((dir / "change.diff").string()));
    patch.start(QStringLiteral("patch"), {"-p1", "-E", "-s"});
    ASSERT_TRUE(patch.waitForFinished(30000));
    EXPECT_EQ(patch.exitCode(), 0) << patch.readAllStandardError().toStdString();
    for (const std::string name : {"sp ace\ttab.txt", "new\nline.txt", "back\\slash\"q.txt"}) {
        EXPECT_EQ(ReadBytes(dir / "c" / name), "new\n") << name;
    }
    EXPECT_FALSE(fs::exists(dir / "c" / "x\n+++ evil"));
    EXPECT_FALSE(fs::exists(dir / "c" / "evil"));
}

}  // namespace
}  // namespace viewer
