// Inputs on which the fuzz targets once found the core at fault, each kept here as a plain case
// (and in fuzz/corpus-viewer as a seed).
#include <gtest/gtest.h>

#include "Comparison.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

Comparison CompareTexts(const TempDir& dir, const std::string& first, const std::string& second) {
    WriteBytes(dir / "first.txt", first);
    WriteBytes(dir / "second.txt", second);
    return Compare(dir / "first.txt", dir / "second.txt");
}

// "coo-" against "-coo": the word and the dash can each be the common part. The removed line was
// compared with its partner and the added line with its own, in the other order, and each took
// another: "coo-" marked whole beside "-coo" with only its dash marked, as if "coo" were common
// to both in one row and not in the other. Both rows now come from one comparison.
TEST(FuzzFindings, PartnersAreMarkedFromOneComparison) {
    TempDir dir;
    const Comparison c = CompareTexts(dir, "coo-", "-coo");
    ASSERT_EQ(c.rows().size(), 2u);
    const LineMarks removed = c.MarksOf(0);
    const LineMarks added = c.MarksOf(1);
    EXPECT_EQ(removed.partner, std::optional<std::size_t>(1));
    EXPECT_EQ(added.partner, std::optional<std::size_t>(0));
    EXPECT_EQ(removed.marks, (std::vector<MarkSpan>{{0, 4}}));
    EXPECT_EQ(added.marks, (std::vector<MarkSpan>{{0, 4}}));
}

// Each row as kind and line numbers: "-0" removed line 0, "+1" added line 1, "=1,0" common.
std::string Rendered(const Comparison& c) {
    std::string out;
    for (std::size_t r = 0; r < c.rows().size(); ++r) {
        const Row row = c.rows()[r];
        if (!out.empty()) out += ' ';
        switch (row.kind) {
            case RowKind::Common:
                out += '=' + std::to_string(row.first) + ',' + std::to_string(row.second);
                break;
            case RowKind::Removed:
                out += '-' + std::to_string(row.first);
                break;
            case RowKind::Added:
                out += '+' + std::to_string(row.second);
                break;
        }
    }
    return out;
}

// The equal tail found by bytes counted the line after a two-byte line ending as equal when only
// the ending's second byte was in the equal end: "\xff\n\n" (Latin-1) against "\ne\n" (UTF-8),
// compared as UTF-16 text, made "" and "e" a common row. And two UTF-16 files of odd and even
// size have no units in common places: their equal bytes at the end are no equal lines.
TEST(FuzzFindings, EqualTailsEndOnWholeLineEndings) {
    TempDir dir;
    EXPECT_EQ(Rendered(CompareTexts(dir, "\xff\n\n", "\ne\n")), "-0 =1,0 +1");
    const std::string even(
        "\xFF\xFE"
        "X\0\n\0Y\0",
        8);
    const std::string odd =
        "\xFF\xFE"
        "Z" +
        even.substr(2);
    EXPECT_EQ(Rendered(CompareTexts(dir, even, odd)), "-0 -1 +0");
}

// A long line was shown from 40 characters before its first difference, whatever the width:
// in a pane of 40 characters the difference fell just past the right edge.
TEST(FuzzFindings, NarrowPaneShowsTheFirstDifferenceOfALongLine) {
    TempDir dir;
    const std::string x(100, 'x'), y(100, 'y');
    const Comparison c = CompareTexts(dir, x + "a" + y + "\n", x + "b" + y + "\n");
    for (const std::size_t longest : {40u, 41u, 100u}) {
        const ShownLine shown = c.Shown(0, longest);
        ASSERT_EQ(shown.marks.size(), 1u) << longest;
        EXPECT_EQ(shown.text.substr(shown.marks[0].start, shown.marks[0].length), u"a") << longest;
    }
}

}  // namespace
}  // namespace viewer
