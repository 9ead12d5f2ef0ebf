// What the viewer does for its command line, before any window, on real files: the window it
// opens, or the exit code and the message (for the box and for standard error) when none opens.
#include <gtest/gtest.h>

#include "StartUp.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteBytes;

// A path as the program prints it: a POSIX name as its bytes, a Windows name in UTF-8.
std::string Printed(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TEST(StartUp, AWrongCommandLineOpensNothingAndSaysHowToUseIt) {
    for (const std::vector<fs::path>& wrong :
         {std::vector<fs::path>{}, {"only-one.txt"}, {"-L"}, {"a", "b", "c", "d"}}) {
        const StartPlan plan = PlanStart(wrong);
        EXPECT_EQ(plan.window, StartWindow::None);
        EXPECT_EQ(plan.exitCode, 2);
        EXPECT_EQ(plan.message.substr(0, plan.message.find(u'\n')),
                  u"使い方: diff-zarvo-view [-L 第一の名前 [-L 第二の名前]] 第一のファイル "
                  u"第二のファイル");
        EXPECT_TRUE(
            plan.errorOutput.starts_with("\xE4\xBD\xBF\xE3\x81\x84\xE6\x96\xB9: "
                                         "diff-zarvo-view [-L "))
            << plan.errorOutput;
        EXPECT_EQ(plan.errorOutput.back(), '\n');
    }
}

TEST(StartUp, FilesFoldersOutputAndTheMergeOpenWhatTheyName) {
    TempDir dir;
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    WriteBytes(dir / "a" / "x.txt", "a\n");
    WriteBytes(dir / "x.txt", "b\n");

    StartPlan plan = PlanStart({dir / "a", dir / "b"});
    EXPECT_EQ(plan.window, StartWindow::Folders);
    EXPECT_EQ(plan.first, dir / "a");
    EXPECT_EQ(plan.second, dir / "b");
    EXPECT_TRUE(plan.message.empty());
    EXPECT_TRUE(plan.errorOutput.empty());

    // A file against a folder: the file of its name in it, in the file view.
    plan = PlanStart({dir / "x.txt", dir / "a"});
    EXPECT_EQ(plan.window, StartWindow::Files);
    EXPECT_EQ(plan.arguments.first, dir / "x.txt");

    // Exactly two names are two files, whatever they are called.
    plan = PlanStart({"-u", "--merge"});
    EXPECT_EQ(plan.window, StartWindow::Files);
    EXPECT_EQ(plan.arguments.first, fs::path("-u"));

    plan = PlanStart({"-u", dir / "a", dir / "b"});
    EXPECT_EQ(plan.window, StartWindow::Output);
    EXPECT_TRUE(plan.arguments.unified);

    // Three files: the merge, read; the result goes to MINE.
    WriteBytes(dir / "base.txt", "1\n");
    plan = PlanStart({dir / "x.txt", dir / "base.txt", dir / "a" / "x.txt"});
    EXPECT_EQ(plan.window, StartWindow::Merge);
    ASSERT_TRUE(plan.merge.has_value());
    EXPECT_EQ(plan.merge->base.bytes, "1\n");
    EXPECT_EQ(plan.merge->output, dir / "x.txt");
}

TEST(StartUp, AFileThatCannotBeReadIsSaidOnStandardErrorAndInTheExitCode) {
    TempDir dir;
    WriteBytes(dir / "here.txt", "a\n");
    const fs::path missing = dir / "missing.txt";

    // The merge cannot open without its three files: nothing opens.
    StartPlan plan = PlanStart({dir / "here.txt", missing, dir / "here.txt"});
    EXPECT_EQ(plan.window, StartWindow::None);
    EXPECT_EQ(plan.exitCode, 2);
    EXPECT_EQ(plan.message, missing.u16string() + u": ファイルが見つかりません");
    EXPECT_EQ(plan.errorOutput, "diff-zarvo-view: " + Printed(missing) +
                                    ": \xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x81\x8C"
                                    "\xE8\xA6\x8B\xE3\x81\xA4\xE3\x81\x8B\xE3\x82\x8A\xE3\x81\xBE"
                                    "\xE3\x81\x9B\xE3\x82\x93\n");

    // The file view opens and says it in its window; its caller hears it too.
    plan = PlanStart({dir / "here.txt", missing});
    ASSERT_EQ(plan.window, StartWindow::Files);
    FilesStart start = FilesOpened(CompareFiles(plan.arguments));
    EXPECT_EQ(start.exitCode, 1);
    EXPECT_EQ(start.errorOutput, "diff-zarvo-view: " + Printed(missing) +
                                     ": \xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x81"
                                     "\x8C\xE8\xA6\x8B\xE3\x81\xA4\xE3\x81\x8B\xE3\x82\x8A\xE3\x81"
                                     "\xBE\xE3\x81\x9B\xE3\x82\x93\n");

    start = FilesOpened(CompareFiles(PlanStart({dir / "here.txt", dir / "here.txt"}).arguments));
    EXPECT_EQ(start.exitCode, 0);
    EXPECT_EQ(start.errorOutput, "");
}

// The comparison starts before any window, under the ignore options of the settings file the
// window then opens with; without the file, under the defaults.
TEST(StartUp, TheFileViewsComparisonStartsUnderTheRememberedOptions) {
    TempDir dir;
    WriteBytes(dir / "upper.txt", "Apple\r\nPear\n");
    WriteBytes(dir / "lower.txt", "apple\nPear\n");
    WriteBytes(dir / "Zarvo.ini", "[Viewer]\r\nIgnoreCase=1\r\nIgnoreLineEnds=1\r\n");
    const Arguments arguments = PlanStart({dir / "upper.txt", dir / "lower.txt"}).arguments;

    std::optional<Comparison> made = StartFilesComparison(arguments, dir / "Zarvo.ini")->Take();
    ASSERT_TRUE(made);
    EXPECT_TRUE(made->options().letterCase);
    EXPECT_EQ(made->differenceStarts().size(), 0u);

    WriteBytes(dir / "Zarvo.ini", "[Viewer]\r\nIgnoreCase=0\r\nIgnoreLineEnds=0\r\n");
    made = StartFilesComparison(arguments, dir / "Zarvo.ini")->Take();
    ASSERT_TRUE(made);
    EXPECT_FALSE(made->options().letterCase);
    EXPECT_EQ(made->differenceStarts().size(), 1u);  // both lines differ: one change

    // A file that cannot be read is said by the comparison, as when it ran in the window.
    made = StartFilesComparison(PlanStart({dir / "upper.txt", dir / "gone.txt"}).arguments,
                                dir / "missing" / "Zarvo.ini")
               ->Take();
    ASSERT_TRUE(made);
    EXPECT_EQ(FilesOpened(*made).exitCode, 1);
}

}  // namespace
}  // namespace viewer
