// The three-way merge core: literal merges of small files, and (where diffutils is installed)
// the same output as the real `diff3 -m` on many random triples that merge without a conflict.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "Merge.h"
#include "support/TempDir.h"

namespace {

using viewer::MergeText;
using namespace std::string_literals;

std::string Merged(const std::string& mine, const std::string& base, const std::string& theirs,
                   int expectedConflicts) {
    const viewer::MergedText merged = MergeText(mine, base, theirs, {"mine", "base", "theirs"});
    EXPECT_EQ(merged.conflicts, expectedConflicts) << merged.text;
    return merged.text;
}

TEST(Merge, ChangesApartOnEitherSideAreBothTakenAndTheSameChangeOnce) {
    const std::string base = "a\nb\nc\nd\ne\nf\ng\n";
    // One side only, each way round.
    EXPECT_EQ(Merged("a\nB\nc\nd\ne\nf\ng\n", base, base, 0), "a\nB\nc\nd\ne\nf\ng\n");
    EXPECT_EQ(Merged(base, base, "a\nb\nc\nd\ne\nf\nG\n", 0), "a\nb\nc\nd\ne\nf\nG\n");
    // Both sides, apart: an edit at the start against a deletion at the end, an insertion in
    // the middle against an edit; and one edit made alike on both sides, taken once.
    EXPECT_EQ(Merged("A\nb\nc\nd\nX\ne\nf\ng\n", base, "a\nb\nC\nd\ne\nf\n", 0),
              "A\nb\nC\nd\nX\ne\nf\n");
    EXPECT_EQ(Merged("a\nb\nc\nD\ne\nf\nG\n", base, "a\nB\nc\nD\ne\nf\ng\n", 0),
              "a\nB\nc\nD\ne\nf\nG\n");
    // Empty files: all added on one side, all removed on the other.
    EXPECT_EQ(Merged("", "", "x\n", 0), "x\n");
    EXPECT_EQ(Merged("", base, base, 0), "");
    EXPECT_EQ(Merged("", "", "", 0), "");
}

TEST(Merge, ChangesThatTouchOrOverlapAreOneConflictWithDiff3sMarkers) {
    const std::string base = "a\nb\nc\nd\n";
    // Adjacent edits (lines 2 and 3) are one conflict, as diff3 takes them.
    EXPECT_EQ(Merged("a\nB\nc\nd\n", base, "a\nb\nC\nd\n", 1),
              "a\n<<<<<<< mine\nB\nc\n||||||| base\nb\nc\n=======\nb\nC\n>>>>>>> theirs\nd\n");
    // A deletion against an edit of the same line, at the end.
    EXPECT_EQ(Merged("a\nb\nc\n", base, "a\nb\nc\nD\n", 1),
              "a\nb\nc\n<<<<<<< mine\n||||||| base\nd\n=======\nD\n>>>>>>> theirs\n");
    // Two insertions at the start, and an overlap that reaches over a common line.
    EXPECT_EQ(Merged("m\na\nb\nc\nd\n", base, "t\na\nb\nc\nd\n", 1),
              "<<<<<<< mine\nm\n||||||| base\n=======\nt\n>>>>>>> theirs\na\nb\nc\nd\n");
    EXPECT_EQ(Merged("a\nB\nC\nd\n", base, "a\nb\nX\nY\n", 1),
              "a\n<<<<<<< mine\nB\nC\nd\n||||||| base\nb\nc\nd\n=======\nb\nX\nY\n>>>>>>> "
              "theirs\n");
    // Two conflicts, and a change taken between them.
    EXPECT_EQ(MergeText("1\na\nb\nc\n2\n", "a\nb\nc\n", "3\na\nB\nc\n4\n", {"M", "", "T"}).text,
              "<<<<<<< M\n1\n|||||||\n=======\n3\n>>>>>>> T\na\nB\nc\n<<<<<<< M\n2\n|||||||\n"
              "=======\n4\n>>>>>>> T\n");
}

TEST(Merge, BytesLineEndsAndAMissingLastEndGoThroughAsTheyAre) {
    // CR LF lines, a lone CR, bytes that are not UTF-8 and NULs are lines like any other.
    EXPECT_EQ(Merged("a\r\nB\r\nc\r\n\xff\0\n"s, "a\r\nb\r\nc\r\n\xff\0\n"s,
                     "a\r\nb\r\nc\r\n\xfe\r\n"s, 0),
              "a\r\nB\r\nc\r\n\xfe\r\n"s);
    // No final newline: an edit of the last line on one side keeps it missing; an end added on
    // one side is a change like another.
    EXPECT_EQ(Merged("A\nb\nc", "a\nb\nc", "a\nb\nC", 0), "A\nb\nC");
    EXPECT_EQ(Merged("a\nb\n", "a\nb", "a\nb", 0), "a\nb\n");
    // In a conflict, each side's last line is ended so that the markers stand on their own lines;
    // markers follow MINE's CR LF.
    EXPECT_EQ(Merged("a\nX", "a\nb", "a\nY", 1),
              "a\n<<<<<<< mine\nX\n||||||| base\nb\n=======\nY\n>>>>>>> theirs\n");
    EXPECT_EQ(Merged("x\r\n", "b\r\n", "y\r\n", 1),
              "<<<<<<< mine\r\nx\r\n||||||| base\r\nb\r\n=======\r\ny\r\n>>>>>>> theirs\r\n");
}

TEST(Merge, ChunksSayWhereEachStretchLiesInEachFile) {
    const auto lines = [](std::vector<std::string_view> l) { return l; };
    const std::vector<viewer::MergeChunk> chunks =
        viewer::MergeLines(lines({"a\n", "B\n", "c\n", "d\n", "e\n"}),
                           lines({"a\n", "b\n", "c\n", "d\n", "e\n", "f\n"}),
                           lines({"a\n", "B\n", "c\n", "x\n", "y\n", "e\n", "f\n"}));
    using K = viewer::MergeKind;
    const std::vector<viewer::MergeChunk> expected{
        {K::Same, {0, 1}, {0, 1}, {0, 1}}, {K::Both, {1, 2}, {1, 2}, {1, 2}},
        {K::Same, {2, 3}, {2, 3}, {2, 3}}, {K::Theirs, {3, 4}, {3, 4}, {3, 5}},
        {K::Same, {4, 5}, {4, 5}, {5, 6}}, {K::Mine, {5, 5}, {5, 6}, {6, 7}},
    };
    EXPECT_EQ(chunks, expected);
}

#ifndef _WIN32
// A random file of lines from a small alphabet, so that lines repeat as "}" and "" do.
std::string RandomEdit(std::mt19937& random, const std::string& base) {
    std::string out;
    std::size_t start = 0;
    std::uniform_int_distribution<int> roll(0, 99);
    auto randomLine = [&] {
        return std::string(1, static_cast<char>('a' + roll(random) % 6)) + "\n";
    };
    while (start < base.size()) {
        const std::size_t end = base.find('\n', start) + 1;
        const int r = roll(random);
        if (r < 4) {
            out += randomLine();  // replaced
        } else if (r < 7) {
            // deleted
        } else if (r < 10) {
            out += randomLine();  // inserted before
            out += base.substr(start, end - start);
        } else {
            out += base.substr(start, end - start);
        }
        start = end;
    }
    if (roll(random) < 10) out += randomLine();
    if (roll(random) < 10 && !out.empty()) out.pop_back();  // no final newline
    return out;
}

std::string Diff3(const std::filesystem::path& dir, int& code) {
    const std::string command =
        "cd '" + dir.string() + "' && diff3 -a -m mine base theirs 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = pclose(pipe);
    code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

TEST(Merge, WithoutAConflictTheOutputIsDiff3sToTheByteAndNeverMoreConflictsThanDiff3) {
    if (std::system("diff3 --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no diff3";
    testsupport::TempDir dir;
    std::mt19937 random(29);
    int clean = 0;
    for (int round = 0; round < 300; ++round) {
        std::string base;
        const int lines = std::uniform_int_distribution<int>(0, 30)(random);
        for (int i = 0; i < lines; ++i)
            base += std::string(1, static_cast<char>('a' + random() % 8)) + "\n";
        const std::string mine = RandomEdit(random, base);
        const std::string theirs = RandomEdit(random, base);
        testsupport::WriteBytes(dir / "mine", mine);
        testsupport::WriteBytes(dir / "base", base);
        testsupport::WriteBytes(dir / "theirs", theirs);
        int code = 0;
        const std::string expected = Diff3(dir.path(), code);
        const viewer::MergedText merged = MergeText(mine, base, theirs, {"mine", "base", "theirs"});
        const std::string context = "mine:\n" + mine + "\nbase:\n" + base + "\ntheirs:\n" + theirs;
        if (code == 0) {
            ++clean;
            EXPECT_EQ(merged.conflicts, 0) << context;
            EXPECT_EQ(merged.text, expected) << context;
        } else {
            ASSERT_EQ(code, 1) << context;
            std::size_t diff3Conflicts = 0;
            for (std::size_t at = expected.find("<<<<<<< "); at != std::string::npos;
                 at = expected.find("<<<<<<< ", at + 1)) {
                ++diff3Conflicts;
            }
            EXPECT_LE(static_cast<std::size_t>(merged.conflicts), diff3Conflicts) << context;
        }
    }
    EXPECT_GT(clean, 60) << clean;  // enough of them merge cleanly to have said something
}
#endif

}  // namespace
