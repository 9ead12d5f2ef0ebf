// What changed inside a line: the pairing of a change's lines and the marks on each, and long
// lines shown around their first difference.
#include <gtest/gtest.h>

#include <random>

#include "Comparison.h"
#include "ComparisonWording.h"
#include "InlineDiff.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

// The marked runs of a text, written out: "value = [10];".
std::u16string Marked(std::u16string_view text, const std::vector<MarkSpan>& marks) {
    std::u16string out;
    std::size_t at = 0;
    for (const MarkSpan& mark : marks) {
        out.append(text.substr(at, mark.start - at));
        out += u'[';
        out.append(text.substr(mark.start, mark.length));
        out += u']';
        at = mark.start + mark.length;
    }
    out.append(text.substr(at));
    return out;
}

std::pair<std::u16string, std::u16string> Marks(std::u16string_view a, std::u16string_view b) {
    std::vector<MarkSpan> ma, mb;
    InlineMarks(a, b, ma, mb);
    return {Marked(a, ma), Marked(b, mb)};
}

TEST(InlineDiff, MarksWholeWordsAndJapaneseCharacters) {
    using Pair = std::pair<std::u16string, std::u16string>;
    EXPECT_EQ(Marks(u"count = 10;", u"count = 12;"), (Pair{u"count = [10];", u"count = [12];"}));
    EXPECT_EQ(Marks(u"設定を保存する", u"設定を削除する"),
              (Pair{u"設定を[保存]する", u"設定を[削除]する"}));
    // Only added text: nothing to mark on the first line.
    EXPECT_EQ(Marks(u"f(a)", u"f(a, b)"), (Pair{u"f(a)", u"f(a[, b])"}));
    // A one-character common run between two changes is taken into the change.
    EXPECT_EQ(Marks(u"alpha beta", u"gamma delta"), (Pair{u"[alpha beta]", u"[gamma delta]"}));
    // An emoji (a surrogate pair) is never split.
    EXPECT_EQ(Marks(u"a😀", u"a😁"), (Pair{u"a[😀]", u"a[😁]"}));
    // A run of one letter longer than a word is marked where it differs.
    const std::u16string run(100, u'x');
    EXPECT_EQ(Marks(run + u"y", run + u"z"), (Pair{run + u"[y]", run + u"[z]"}));
}

// The text a line keeps outside its marks.
std::u16string Unmarked(std::u16string_view text, const std::vector<MarkSpan>& marks) {
    std::u16string out;
    std::size_t at = 0;
    for (const MarkSpan& mark : marks) {
        out.append(text.substr(at, mark.start - at));
        at = mark.start + mark.length;
    }
    out.append(text.substr(at));
    return out;
}

TEST(InlineDiff, RandomLinesKeepTheirMarksInsideAndWhatIsLeftCommon) {
    std::mt19937 random(20261207);
    const std::u16string alphabet = u"ab c_1,設定😀";
    for (int round = 0; round < 2000; ++round) {
        auto line = [&] {
            std::u16string text;
            std::uniform_int_distribution<int> length(0, 30);
            std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
            for (int i = length(random); i > 0; --i) {
                const std::size_t at = pick(random);
                // The emoji's two halves always come together.
                if (alphabet[at] >= 0xD800 && alphabet[at] <= 0xDFFF) {
                    text += u"😀";
                } else {
                    text += alphabet[at];
                }
            }
            return text;
        };
        const std::u16string a = line();
        const std::u16string b = round % 7 == 0 ? a : line();
        std::vector<MarkSpan> ma, mb;
        InlineMarks(a, b, ma, mb);
        for (const auto& [text, marks] : {std::pair{&a, &ma}, std::pair{&b, &mb}}) {
            std::size_t end = 0;
            for (const MarkSpan& mark : *marks) {
                ASSERT_GT(mark.length, 0u);
                ASSERT_GE(mark.start, end) << "round " << round;  // in order, apart
                end = mark.start + mark.length;
                ASSERT_LE(end, text->size());
                // Never between the halves of a surrogate pair.
                ASSERT_FALSE(mark.start > 0 && (*text)[mark.start] >= 0xDC00 &&
                             (*text)[mark.start] <= 0xDFFF);
            }
        }
        // What is not marked is what the two lines have in common, in order.
        ASSERT_EQ(Unmarked(a, ma), Unmarked(b, mb)) << "round " << round;
        // Equal lines have no marks; lines that differ have some.
        ASSERT_EQ(a == b, ma.empty() && mb.empty()) << "round " << round;
    }
}

TEST(InlineDiff, LinesOfAChangePairWithTheLineMostLikeThem) {
    // The removed lines come in another order than their edited versions, with a new line among
    // them and one line gone: each pairs with its own edit, in order, and the odd ones stay alone.
    const std::vector<std::u16string> removed = {u"int width = 10;", u"// old comment",
                                                 u"int height = 20;"};
    const std::vector<std::u16string> added = {u"int width = 12;", u"int depth = 5;",
                                               u"int height = 24;"};
    EXPECT_EQ(PairLines(removed, added), (std::vector<std::int32_t>{0, -1, 2}));
    EXPECT_EQ(PairLines({u"abc"}, {u"xyz"}), (std::vector<std::int32_t>{-1}));
    EXPECT_EQ(PairLines({}, {u"x"}), (std::vector<std::int32_t>{}));
}

TEST(InlineDiff, ComparisonGivesPartnersMarksAndLongLinesAroundTheirDifference) {
    TempDir dir;
    const std::string longHead(5000, 'a');
    WriteBytes(dir / "a.txt", "same\nint width = 10;\n" + longHead + " tail old\nend\n");
    WriteBytes(dir / "b.txt", "same\nint width = 12;\n" + longHead + " tail new\nend\n");
    const Comparison c = Compare(dir / "a.txt", dir / "b.txt");
    // same, -width 10, -long old, +width 12, +long new, end
    ASSERT_EQ(c.rows().size(), 6u);
    EXPECT_EQ(c.differenceStarts(), (std::vector<std::size_t>{1}));
    const LineMarks width = c.MarksOf(1);
    EXPECT_EQ(width.partner, std::optional<std::size_t>(3));
    EXPECT_EQ(width.marks, (std::vector<MarkSpan>{{12, 2}}));
    EXPECT_EQ(c.MarksOf(3).partner, std::optional<std::size_t>(1));
    EXPECT_TRUE(c.MarksOf(0).marks.empty());
    EXPECT_FALSE(c.MarksOf(0).partner.has_value());

    // 5,009 characters: the last 2,000 are shown, "new" among them, with the number left out.
    const ShownLine part = c.Shown(4);
    EXPECT_EQ(part.text.size(), 2000u);
    EXPECT_EQ(part.before, 3009u);
    EXPECT_EQ(part.after, 0u);
    // The window says what it left out, the mark moved along.
    const ShownLine shown = WithOmissions(part);
    const std::u16string expectedStart = u"（先頭 3009 文字は省略）… ";
    ASSERT_EQ(shown.text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_EQ(shown.text.substr(shown.text.size() - 8), u"tail new");
    ASSERT_EQ(shown.marks.size(), 1u);
    EXPECT_EQ(shown.text.substr(shown.marks[0].start, shown.marks[0].length), u"new");
    // A short line is shown whole.
    EXPECT_EQ(c.Shown(1).text, u"int width = 10;");
}

}  // namespace
}  // namespace viewer
