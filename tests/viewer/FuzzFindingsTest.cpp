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
    ASSERT_EQ(c.rows.size(), 2u);
    const LineMarks removed = c.MarksOf(0);
    const LineMarks added = c.MarksOf(1);
    EXPECT_EQ(removed.partner, std::optional<std::size_t>(1));
    EXPECT_EQ(added.partner, std::optional<std::size_t>(0));
    EXPECT_EQ(removed.marks, (std::vector<MarkSpan>{{0, 4}}));
    EXPECT_EQ(added.marks, (std::vector<MarkSpan>{{0, 4}}));
}

}  // namespace
}  // namespace viewer
