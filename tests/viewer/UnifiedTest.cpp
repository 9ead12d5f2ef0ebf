// The unified diff: its text written out, `patch` rebuilding the second file from the first with
// it, and the program's command line, output and exit codes as a script sees them.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "Arguments.h"
#include "Unified.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

TEST(Unified, HunksWithContextJoinedAndTheMissingFinalNewlineSaid) {
    // Changes 6 common lines apart share a hunk; 7 apart they do not.
    EXPECT_EQ(UnifiedHunks("a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\no\np\nq\nr\n",
                           "a\nB\nc\nd\ne\nf\ng\nh\nI\nj\nk\nl\nm\nn\no\np\nQ\nr"),
              "@@ -1,12 +1,12 @@\n a\n-b\n+B\n c\n d\n e\n f\n g\n h\n-i\n+I\n j\n k\n l\n"
              "@@ -14,5 +14,5 @@\n n\n o\n p\n-q\n-r\n+Q\n+r\n\\ No newline at end of file\n");
    // An empty file: the range names the line before, 0.
    EXPECT_EQ(UnifiedHunks("", "x\r\n"), "@@ -0,0 +1 @@\n+x\r\n");
    EXPECT_EQ(UnifiedHunks("same\n", "same\n"), "");
}

// Long equal heads and tails are passed over by their bytes: the hunks still count their lines,
// and a change of blank lines among a hundred thousand slides as it would in the whole files.
TEST(Unified, LongEqualEndsAreCountedNotDiffed) {
    std::string first;
    for (int i = 1; i <= 100000; ++i) first += "line " + std::to_string(i) + '\n';
    std::string second = first;
    second.replace(second.find("line 50000\n"), 10, "LINE 50000");
    second.pop_back();
    EXPECT_EQ(UnifiedHunks(first, second),
              "@@ -49997,7 +49997,7 @@\n line 49997\n line 49998\n line 49999\n-line 50000\n"
              "+LINE 50000\n line 50001\n line 50002\n line 50003\n"
              "@@ -99997,4 +99997,4 @@\n line 99997\n line 99998\n line 99999\n-line 100000\n"
              "+line 100000\n\\ No newline at end of file\n");
    // One blank line more in the middle of 100,000: the added line is the first blank one.
    const std::string blanks(100000, '\n');
    EXPECT_EQ(UnifiedHunks(blanks, blanks + '\n'), "@@ -99998,3 +99998,4 @@\n \n \n \n+\n");
}

// Rebuilds `second` from `first` with the program's unified diff and the real `patch`.
void ExpectPatchRebuilds(const std::string& first, const std::string& second) {
    TempDir dir;
    WriteBytes(dir / "first", first);
    WriteBytes(dir / "second", second);
    QProcess diff;
    diff.setStandardOutputFile(QString::fromStdString((dir / "change.diff").string()));
    diff.start(QStringLiteral(ZARVO_VIEWER_PROGRAM),
               {QStringLiteral("-u"), QString::fromStdString((dir / "first").string()),
                QString::fromStdString((dir / "second").string())});
    ASSERT_TRUE(diff.waitForFinished(30000));
    EXPECT_EQ(diff.exitCode(), first == second ? 0 : 1);
    QProcess patch;
    patch.setWorkingDirectory(QString::fromStdString(dir.path().string()));
    patch.setStandardInputFile(QString::fromStdString((dir / "change.diff").string()));
    patch.start(QStringLiteral("patch"), {QStringLiteral("-s"), QStringLiteral("first")});
    ASSERT_TRUE(patch.waitForFinished(30000));
    EXPECT_EQ(patch.exitCode(), 0) << patch.readAllStandardError().toStdString();
    EXPECT_EQ(ReadBytes(dir / "first"), second);
}

TEST(Unified, PatchRebuildsTheSecondFileByteForByte) {
    ExpectPatchRebuilds("a\nb\nc", "a\nB\nc");              // no final newline on either
    ExpectPatchRebuilds("a\nb\nc\n", "a\nb\nc");            // the final newline taken away
    ExpectPatchRebuilds("a\r\nb\r\nc\r\n", "a\nb\r\nc\n");  // line ends alone
    ExpectPatchRebuilds("caf\xE9\nna\xEFve\n\xFF\xFE\n", "caf\xC3\xA9\nna\xEFve\n");
    ExpectPatchRebuilds("", "new\n");
    std::string many, reordered;
    for (int i = 0; i < 3000; ++i) {
        many += std::to_string(i % 7 == 0 ? 0 : i) + "\n";
        reordered += std::to_string((i * 1009) % 3000) + "\n";
    }
    ExpectPatchRebuilds(many, reordered);
}

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// The program with no display at all, as a script or a version control tool starts it.
Outcome RunProgram(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZARVO_VIEWER_PROGRAM), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

TEST(Unified, ProgramNamesTheFilesAndExitsAsDiffDoes) {
    TempDir dir;
    WriteBytes(dir / "old.txt", "one\ntwo\n");
    WriteBytes(dir / "new.txt", "one\n2\n");
    // Text with one NUL is binary, though its bytes pair up as UTF-16 units.
    WriteBytes(dir / "a.bin", std::string("abc\0def\nghi\n", 12));
    WriteBytes(dir / "b.bin", std::string("abc\0dXf\nghi\n", 12));
    const QString old = QString::fromStdString((dir / "old.txt").string());
    const QString changed = QString::fromStdString((dir / "new.txt").string());

    const Outcome labelled =
        RunProgram({"-L", "旧 (HEAD)", "--label", "新", "--unified", old, changed});
    EXPECT_EQ(labelled.code, 1);
    EXPECT_EQ(labelled.out, "--- 旧 (HEAD)\n+++ 新\n@@ -1,2 +1,2 @@\n one\n-two\n+2\n");
    const Outcome same = RunProgram({"-u", old, old});
    EXPECT_EQ(same.code, 0);
    EXPECT_EQ(same.out, "");
    const Outcome binary = RunProgram({"-u", "--label=A", "--label=B",
                                       QString::fromStdString((dir / "a.bin").string()),
                                       QString::fromStdString((dir / "b.bin").string())});
    EXPECT_EQ(binary.code, 1);
    EXPECT_EQ(binary.out, "Binary files A and B differ\n");
    const Outcome missing =
        RunProgram({"-u", old, QString::fromStdString((dir / "gone").string())});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find((dir / "gone").string()), std::string::npos);
    // Without labels, the header names the paths; a file called "-u" follows "--".
    WriteBytes(dir / "-u", "one\ntwo\n");
    const Outcome dashed =
        RunProgram({"-u", "--", QString::fromStdString((dir / "-u").string()), changed});
    EXPECT_EQ(dashed.out.substr(0, dashed.out.find('\t')), "--- " + (dir / "-u").string());
    EXPECT_EQ(RunProgram({"-u", "-L", "a", "-L", "b", "-L", "c", old, changed}).code, 2);
}

TEST(Unified, TwoArgumentsAreAlwaysTwoFiles) {
    const auto parsed = ParseArguments({"-u", "--unified"});
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(parsed->unified);
    EXPECT_EQ(parsed->first, "-u");
    EXPECT_EQ(parsed->second, "--unified");
    const auto labelled = ParseArguments({"-L", "left", "x", "y"});
    ASSERT_TRUE(labelled);
    EXPECT_FALSE(labelled->unified);
    EXPECT_EQ(labelled->firstLabel, "left");
    EXPECT_EQ(labelled->secondLabel, "");
    EXPECT_EQ(labelled->second, "y");
    EXPECT_FALSE(ParseArguments({"-u", "x"}) && ParseArguments({"-u", "x"})->unified);
    EXPECT_FALSE(ParseArguments({"-u", "x", "y", "z"}));
    EXPECT_FALSE(ParseArguments({"-x", "x", "y"}));
    EXPECT_FALSE(ParseArguments({"x", "y", "-L"}));
}

}  // namespace
}  // namespace viewer
