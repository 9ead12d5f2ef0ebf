// The three-way command line: how it is read, and `--merge` run as git and scripts run it, with
// no display.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include "Arguments.h"
#include "support/TempDir.h"

namespace {

using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;
using viewer::ParseArguments;

TEST(MergeArguments, ThreeFilesAreMineBaseTheirsWithOptionsAnywhere) {
    // As a git configuration writes it: the output after the names.
    const auto git = ParseArguments({"L.c", "B.c", "R.c", "-o", "M.c"});
    ASSERT_TRUE(git);
    EXPECT_TRUE(git->threeWay());
    EXPECT_FALSE(git->merge);
    EXPECT_EQ(git->first, "L.c");
    EXPECT_EQ(git->base, "B.c");
    EXPECT_EQ(git->second, "R.c");
    EXPECT_EQ(git->output, "M.c");
    const auto labelled = ParseArguments({"-L", "mine", "--merge", "a", "--label=base", "b", "c",
                                          "--label", "theirs", "--output=o"});
    ASSERT_TRUE(labelled);
    EXPECT_TRUE(labelled->merge);
    EXPECT_EQ(labelled->firstLabel, "mine");
    EXPECT_EQ(labelled->baseLabel, "base");
    EXPECT_EQ(labelled->secondLabel, "theirs");
    EXPECT_EQ(labelled->output, "o");
    // A name that begins with "-" after "--"; two files stay a two-way comparison.
    const auto dashed = ParseArguments({"--merge", "--", "-o", "b", "c"});
    ASSERT_TRUE(dashed);
    EXPECT_EQ(dashed->first, "-o");
    EXPECT_TRUE(dashed->output.empty());
    EXPECT_FALSE(ParseArguments({"-o", "x"})->threeWay());
    // What makes no sense is refused: four labels, two outputs, an output or --merge with two
    // files, -u with three, -o without its file.
    EXPECT_FALSE(ParseArguments({"-L", "1", "-L", "2", "-L", "3", "-L", "4", "a", "b", "c"}));
    EXPECT_FALSE(ParseArguments({"-o", "x", "-o", "y", "a", "b", "c"}));
    EXPECT_FALSE(ParseArguments({"-o", "x", "a", "b"}));
    EXPECT_FALSE(ParseArguments({"--merge", "a", "b"}));
    EXPECT_FALSE(ParseArguments({"-u", "a", "b", "c"}));
    EXPECT_FALSE(ParseArguments({"a", "b", "c", "-o"}));
    EXPECT_FALSE(ParseArguments({"a", "b", "c", "--output="}));
}

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// The program with no display at all, as git starts it from a terminal over ssh.
Outcome RunMerge(const QStringList& arguments) {
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

QString Name(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

TEST(MergeProgram, WritesTheMergeToStandardOutputOrTheOutputAndExitsAsDiff3) {
    TempDir dir;
    WriteBytes(dir / "base", "one\ntwo\nthree\n");
    WriteBytes(dir / "mine", "ONE\ntwo\nthree\n");
    WriteBytes(dir / "theirs", "one\ntwo\nTHREE");
    WriteBytes(dir / "other", "one\ntwo\n3\n");
    const Outcome clean =
        RunMerge({"--merge", Name(dir / "mine"), Name(dir / "base"), Name(dir / "theirs")});
    EXPECT_EQ(clean.code, 0);
    EXPECT_EQ(clean.out, "ONE\ntwo\nTHREE");
    EXPECT_EQ(clean.err, "");

    // A conflict: exit 1, named by the labels; written in place of an existing -o file.
    WriteBytes(dir / "other", "1\ntwo\nthree\n");
    WriteBytes(dir / "merged", "old contents\n");
    const Outcome conflict =
        RunMerge({Name(dir / "mine"), Name(dir / "base"), Name(dir / "other"), "-L", "HEAD", "-L",
                  "base", "-L", "feature", "--merge", "-o", Name(dir / "merged")});
    EXPECT_EQ(conflict.code, 1);
    EXPECT_EQ(conflict.out, "");
    EXPECT_EQ(ReadBytes(dir / "merged"),
              "<<<<<<< HEAD\nONE\n||||||| base\none\n=======\n1\n>>>>>>> feature\ntwo\nthree\n");
    // Without labels the markers name the files as given.
    const Outcome named =
        RunMerge({"--merge", Name(dir / "mine"), Name(dir / "base"), Name(dir / "other")});
    EXPECT_EQ(named.code, 1);
    EXPECT_EQ(named.out.substr(0, named.out.find('\n')), "<<<<<<< " + (dir / "mine").string());

    // Trouble: exit 2, the file named, and the output left as it was.
    const Outcome missing = RunMerge({"--merge", Name(dir / "mine"), Name(dir / "gone"),
                                      Name(dir / "other"), "-o", Name(dir / "merged")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find((dir / "gone").string()), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "merged"),
              "<<<<<<< HEAD\nONE\n||||||| base\none\n=======\n1\n>>>>>>> feature\ntwo\nthree\n");
    const Outcome unwritable = RunMerge({"--merge", Name(dir / "mine"), Name(dir / "base"),
                                         Name(dir / "theirs"), "-o", Name(dir / "no" / "such")});
    EXPECT_EQ(unwritable.code, 2);
    EXPECT_NE(unwritable.err.find((dir / "no" / "such").string()), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
    // A folder or a device is never written over, and says so.
    const Outcome folder = RunMerge({"--merge", Name(dir / "mine"), Name(dir / "base"),
                                     Name(dir / "theirs"), "-o", Name(dir.path())});
    EXPECT_EQ(folder.code, 2);
    EXPECT_EQ(folder.err, "diff-zarvo-view: " + dir.path().string() + ": フォルダーです\n");
    const Outcome device = RunMerge({"--merge", Name(dir / "mine"), Name(dir / "base"),
                                     Name(dir / "theirs"), "-o", "/dev/full"});
    EXPECT_EQ(device.code, 2);
    EXPECT_EQ(device.err, "diff-zarvo-view: /dev/full: 通常のファイルではありません\n");
}

}  // namespace
