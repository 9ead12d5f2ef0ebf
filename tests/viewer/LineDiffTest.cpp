// The line diff on hand-made pairs, and on random pairs against a plain dynamic-programming LCS.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "LineDiff.h"

namespace viewer {
namespace {

// One character per row: ' ' same, '-' only in the first file, '+' only in the second; then the
// line's text. "a|-b|+c" reads: a common, b removed, c added.
std::string Render(const TextFile& first, const TextFile& second, const Rows& rows) {
    std::string out;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row row = rows[i];
        if (!out.empty()) out += '|';
        switch (row.kind) {
            case RowKind::Common:
                out += first.Line(row.first);
                break;
            case RowKind::Removed:
                out += '-' + std::string(first.Line(row.first));
                break;
            case RowKind::Added:
                out += '+' + std::string(second.Line(row.second));
                break;
        }
    }
    return out;
}

TextFile Text(const std::string& bytes) { return TextFile(bytes, Encoding::Utf8); }

// Every line of each file appears exactly once, in order, and common rows pair equal lines.
void ExpectCoversBothFiles(const TextFile& first, const TextFile& second, const Rows& rows) {
    std::int32_t next1 = 0, next2 = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row row = rows[i];
        if (row.kind != RowKind::Added) {
            ASSERT_EQ(row.first, next1++);
        } else {
            ASSERT_EQ(row.first, -1);
        }
        if (row.kind != RowKind::Removed) {
            ASSERT_EQ(row.second, next2++);
        } else {
            ASSERT_EQ(row.second, -1);
        }
        if (row.kind == RowKind::Common) {
            ASSERT_EQ(first.Line(row.first), second.Line(row.second));
        }
    }
    EXPECT_EQ(next1, first.LineCount());
    EXPECT_EQ(next2, second.LineCount());
}

std::string Diff(const char* a, const char* b) {
    const TextFile first = Text(a);
    const TextFile second = Text(b);
    const Rows rows = DiffLines(first, second);
    ExpectCoversBothFiles(first, second, rows);
    return Render(first, second, rows);
}

TEST(LineDiff, EditsInTheMiddleAndAtBothEnds) {
    EXPECT_EQ(Diff("a\nb\nc\n", "a\nb\nc\n"), "a|b|c");
    EXPECT_EQ(Diff("a\nc\n", "a\nb\nc\n"), "a|+b|c");
    EXPECT_EQ(Diff("a\nb\nc\n", "a\nc\n"), "a|-b|c");
    EXPECT_EQ(Diff("a\nb\nc\n", "a\nx\nc\n"), "a|-b|+x|c");
    EXPECT_EQ(Diff("b\nc\n", "a\nb\nc\n"), "+a|b|c");
    EXPECT_EQ(Diff("a\nb\n", "a\nb\nc\n"), "a|b|+c");
    EXPECT_EQ(Diff("x\nb\ny\n", "p\nb\nq\n"), "-x|+p|b|-y|+q");
}

TEST(LineDiff, ReplacedBlockListsRemovedLinesBeforeAddedOnes) {
    EXPECT_EQ(Diff("a\n1\n2\n3\nz\n", "a\nX\nY\nz\n"), "a|-1|-2|-3|+X|+Y|z");
}

TEST(LineDiff, MovedLineIsRemovedInOnePlaceAndAddedInAnother) {
    const std::string moved = Diff("m\na\nb\nc\n", "a\nb\nc\nm\n");
    EXPECT_EQ(moved, "-m|a|b|c|+m");
}

TEST(LineDiff, RepeatedLinesPairUpInOrder) {
    EXPECT_EQ(Diff("x\nx\nx\n", "x\nx\n"), "x|x|-x");
    EXPECT_EQ(Diff("}\n}\n", "}\nq\n}\n"), "}|+q|}");
}

TEST(LineDiff, OneEditIsOneChangeWhereRepeatedLinesAllowIt) {
    // "end" could match either "end" of the second file: the diff is as short both ways, and
    // the one that keeps the edit in one piece is taken.
    EXPECT_EQ(Diff("foo\nend\n", "bar\nend\nbaz\nend\n"), "-foo|+bar|+end|+baz|end");
    EXPECT_EQ(Diff("if a\n}\nx\n", "if a\n}\nif b\n}\nx\n"), "if a|}|+if b|+}|x");
    EXPECT_EQ(Diff("{\n}\n", "{\n}\n{\n}\n"), "{|}|+{|+}");
    // Ignoring case, "A" and "a" are common; blanks at the end and inside lines likewise.
    const TextFile first = Text("A\nb  c \n");
    const TextFile second = Text("a\nb c\n");
    EXPECT_EQ(Render(first, second, DiffLines(first, second, {.letterCase = true})),
              "A|-b  c |+b c");
    EXPECT_EQ(Render(first, second,
                     DiffLines(first, second, {.trailingBlanks = true, .letterCase = true})),
              "A|-b  c |+b c");
    EXPECT_EQ(
        Render(first, second, DiffLines(first, second, {.allBlanks = true, .letterCase = true})),
        "A|b  c ");
}

TEST(LineDiff, EmptyFiles) {
    EXPECT_EQ(Diff("", ""), "");
    EXPECT_EQ(Diff("", "a\nb\n"), "+a|+b");
    EXPECT_EQ(Diff("a\nb\n", ""), "-a|-b");
    // A lone newline is one empty line, not nothing.
    EXPECT_EQ(Diff("\n", ""), "-");
}

TEST(LineDiff, FinalNewlineAndLineEndingsDoNotMakeLinesDiffer) {
    EXPECT_EQ(Diff("a\nb", "a\nb\n"), "a|b");
    EXPECT_EQ(Diff("a\r\nb\r\n", "a\nb\n"), "a|b");
    EXPECT_EQ(Diff("a\r\nb\r\nc", "a\nB\nc\n"), "a|-b|+B|c");
}

TEST(LineDiff, DifferenceStartsMarkEachRunOnce) {
    const TextFile first = Text("a\nb\nc\nd\ne\n");
    const TextFile second = Text("a\nB\nc\nd\nE\nF\n");
    const Rows rows = DiffLines(first, second);
    ASSERT_EQ(Render(first, second, rows), "a|-b|+B|c|d|-e|+E|+F");
    EXPECT_EQ(DifferenceStarts(rows), (std::vector<size_t>{1, 5}));
    EXPECT_TRUE(DifferenceStarts(DiffLines(first, first)).empty());
}

// The length of a longest common subsequence, the slow sure way.
size_t LcsLength(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<std::vector<size_t>> table(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            table[i][j] = a[i - 1] == b[j - 1] ? table[i - 1][j - 1] + 1
                                               : std::max(table[i - 1][j], table[i][j - 1]);
        }
    }
    return table[a.size()][b.size()];
}

TEST(LineDiff, RandomPairsKeepALongestCommonSubsequence) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 400; ++round) {
        // A small alphabet makes repeats and near-misses common; some lines occur in one file only.
        std::uniform_int_distribution<int> length(0, 25);
        std::uniform_int_distribution<int> letter(0, round % 2 == 0 ? 3 : 9);
        std::vector<int> a(static_cast<size_t>(length(random)));
        std::vector<int> b(static_cast<size_t>(length(random)));
        std::string textA, textB;
        for (int& v : a) textA += std::to_string(v = letter(random)) + '\n';
        for (int& v : b)
            textB += std::to_string(v = letter(random) + (round % 3 == 0 ? 2 : 0)) + '\n';
        const TextFile first = Text(textA);
        const TextFile second = Text(textB);
        const Rows rows = DiffLines(first, second);
        ExpectCoversBothFiles(first, second, rows);
        size_t same = 0;
        for (const Block& block : rows.blocks()) {
            if (block.kind == RowKind::Common) same += static_cast<size_t>(block.count);
        }
        ASSERT_EQ(same, LcsLength(a, b)) << "round " << round;
    }
}

// Pseudo-random numbers that are the same with every standard library.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : engine_(seed) {}
    std::size_t Below(std::size_t n) { return engine_() % n; }
    template <typename T>
    void Shuffle(std::vector<T>& items) {
        for (std::size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[Below(i)]);
    }

private:
    std::mt19937 engine_;
};

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

// Something like a C++ header: declarations, with braces, blank lines and returns repeated.
std::vector<std::string> HeaderLines(std::size_t count) {
    static const char* const kRepeated[] = {"}", "", "    return 0;", "{", "};", "public:"};
    Dice dice(7);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        if (dice.Below(3) == 0) {
            lines.push_back(kRepeated[dice.Below(6)]);
        } else {
            lines.push_back("    int member" + std::to_string(dice.Below(count)) + "(long);");
        }
    }
    return lines;
}

std::size_t CommonRows(const Rows& rows) {
    std::size_t same = 0;
    for (const Block& block : rows.blocks()) {
        if (block.kind == RowKind::Common) same += static_cast<std::size_t>(block.count);
    }
    return same;
}

// Changes on both sides of lines 63/64 and 127/128, and in the last line: the runs of rows
// stop exactly at each change, in a file long enough to have an equal head and tail.
TEST(LineDiff, RunsOfRowsInALongFileStopAtEachChange) {
    std::vector<std::string> a, b;
    for (int i = 0; i < 300; ++i) a.push_back("line " + std::to_string(i));
    b = a;
    b[62] = "new 62";
    b[63] = "new 63";
    b.erase(b.begin() + 127);
    b.insert(b.begin() + 191, "new 191");
    b.back() = "new 299";
    const TextFile first = Text(Join(a));
    const TextFile second = Text(Join(b));
    const Rows rows = DiffLines(first, second);
    ExpectCoversBothFiles(first, second, rows);
    std::string shape;
    for (const Block& block : rows.blocks()) {
        shape += "=-+"[static_cast<int>(block.kind)] + std::to_string(block.count) + ' ';
    }
    EXPECT_EQ(shape, "=62 -2 +2 =63 -1 =64 +1 =107 -1 +1 ");
}

// Inputs on which a longest common subsequence is costly: the diff settles for a near-longest
// one, and it is still sound under every option.
TEST(LineDiff, CostlyInputsGiveASoundDiff) {
    std::vector<std::string> header = HeaderLines(4000);
    std::vector<std::string> sorted = header;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> numbered, shuffled;
    for (int i = 0; i < 5000; ++i) numbered.push_back("line " + std::to_string(i) + " \tA");
    shuffled = numbered;
    Dice dice(18);
    dice.Shuffle(shuffled);
    std::vector<std::string> few1, few2;
    static const char* const kFew[] = {"}", "", "return 0;"};
    for (int i = 0; i < 10000; ++i) {
        few1.push_back(kFew[dice.Below(3)]);
        few2.push_back(kFew[dice.Below(3)]);
    }
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {header, sorted}, {numbered, shuffled}, {few1, few2}};
    const IgnoreOptions everyOption[] = {{},
                                         {.trailingBlanks = true},
                                         {.allBlanks = true, .letterCase = true},
                                         {.blankLines = true}};
    for (const auto& [a, b] : cases) {
        const TextFile first = Text(Join(a));
        const TextFile second = Text(Join(b));
        for (const IgnoreOptions& options : everyOption) {
            const Rows rows = DiffLines(first, second, options);
            ExpectCoversBothFiles(first, second, rows);
        }
    }
    // Near-longest: three symbols drawn at random share about two thirds of their lines.
    const TextFile first = Text(Join(few1));
    const TextFile second = Text(Join(few2));
    EXPECT_GT(CommonRows(DiffLines(first, second)), 6000u);
}

TEST(LineDiff, ShuffledLinesJoinOnlyEqualLines) {
    std::vector<std::string> lines;
    for (int i = 0; i < 3600; ++i) lines.push_back("row " + std::to_string(i));
    std::vector<std::string> shuffled = lines;
    Dice(1467).Shuffle(shuffled);
    const TextFile first = Text(Join(lines));
    const TextFile second = Text(Join(shuffled));
    const Rows rows = DiffLines(first, second);
    ExpectCoversBothFiles(first, second, rows);
    // A random order of 3,600 keeps an increasing run of about 2 * sqrt(3600) = 120.
    EXPECT_GT(CommonRows(rows), 90u);
}

TEST(LineDiff, ASetFlagStopsTheDiff) {
    std::vector<std::string> lines;
    for (int i = 0; i < 20000; ++i) lines.push_back(std::to_string(i));
    std::vector<std::string> shuffled = lines;
    Dice(3).Shuffle(shuffled);
    const TextFile first = Text(Join(lines));
    const TextFile second = Text(Join(shuffled));
    CancelFlag cancel{true};
    EXPECT_THROW(DiffLines(first, second, {}, &cancel), Cancelled);
    EXPECT_THROW(DiffLines(first, second, {.letterCase = true}, &cancel), Cancelled);
}

}  // namespace
}  // namespace viewer
