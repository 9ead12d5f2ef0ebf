// Widths in display cells and grapheme clusters, with the cells written out.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "Cells.h"

namespace viewer {
namespace {

TEST(CellsTest, TabsWideCharactersAndClustersTakeTheirCells) {
    EXPECT_EQ(TextCells(u"abc"), 3u);
    EXPECT_EQ(TextCells(u"a\tb"), 9u);         // the tab reaches column 8
    EXPECT_EQ(TextCells(u"abcdefgh\t"), 16u);  // a tab at a stop takes a whole 8
    EXPECT_EQ(TextCells(u"日本語"), 6u);
    EXPECT_EQ(TextCells(u"ｶﾅ"), 2u);                  // half-width katakana
    EXPECT_EQ(TextCells(u"ＡＢ"), 4u);                // full-width Latin
    EXPECT_EQ(TextCells(u"e\u0301"), 1u);             // e and a combining acute: one cell
    EXPECT_EQ(TextCells(u"👍🏽"), 2u);            // emoji and skin-tone modifier
    EXPECT_EQ(TextCells(u"👨‍👩‍👧"), 2u);  // a family joined by ZWJ
    EXPECT_EQ(TextCells(u"🇯🇵"), 2u);                  // a flag: two regional indicators
    EXPECT_EQ(TextCells(u"שָׁלוֹם"), 4u);                // Hebrew with its points: four letters
    EXPECT_EQ(CellColumn(u"\t日x", 2), 10u);
    EXPECT_EQ(CellColumn(u"日本語", 1), 2u);

    // One cluster each, whole: the modifier, the joined family, the points.
    EXPECT_EQ(ClusterEnd(u"👍🏽!", 0), 4u);
    EXPECT_EQ(ClusterEnd(u"👨‍👩‍👧!", 0), 8u);
    EXPECT_EQ(ClusterEnd(u"שָׁלוֹם", 0), 3u);
    EXPECT_EQ(ClusterEnd(u"\r\nx", 0), 2u);
    const std::vector<Cluster> clusters = Clusters(u"a\t日e\u0301");
    ASSERT_EQ(clusters.size(), 4u);
    EXPECT_EQ(clusters[1].cells, 7u);   // the tab: to column 8
    EXPECT_EQ(clusters[2].column, 8u);  // 日 at 8, two cells
    EXPECT_EQ(clusters[3].column, 10u);
    EXPECT_EQ(clusters[3].length, 2u);
}

TEST(CellsTest, AmbiguousCharactersTakeTheCellsTheFontGivesThem) {
    // The symbols a Japanese text is full of are all in the list a front measures.
    const std::vector<char32_t> all = AmbiguousCharacters();
    for (const char32_t c : std::u32string(U"※○×△□①②③→←★☆■◆―‖…éΩЖ")) {
        EXPECT_NE(std::find(all.begin(), all.end(), c), all.end()) << static_cast<unsigned>(c);
    }
    for (const char32_t c : std::u32string(U"a日ｶ\u0301\u2400")) {
        EXPECT_EQ(std::find(all.begin(), all.end(), c), all.end()) << static_cast<unsigned>(c);
    }
    // A Western font: one cell each. A Japanese one draws ※ and → wide, é narrow.
    SetWideAmbiguous({});
    EXPECT_EQ(TextCells(u"※→é"), 3u);
    SetWideAmbiguous({U'→', U'※'});
    EXPECT_EQ(TextCells(u"※→é"), 5u);
    EXPECT_EQ(CellColumn(u"※x", 1), 2u);
    EXPECT_EQ(TextCells(u"日本"), 4u);
    SetWideAmbiguous({});
}

TEST(CellsTest, ControlPicturesAreDrawnAsTheirLettersInTwoCells) {
    EXPECT_EQ(ControlLetters(U'␍'), u"CR");
    EXPECT_EQ(ControlLetters(U'␊'), u"LF");
    EXPECT_EQ(ControlLetters(U'␀'), u"NUL");
    EXPECT_EQ(ControlLetters(U'␛'), u"ESC");
    EXPECT_EQ(ControlLetters(U'␟'), u"US");
    EXPECT_EQ(ControlLetters(U'␡'), u"DEL");
    EXPECT_EQ(ControlLetters(U'␠'), u"");
    EXPECT_EQ(ControlLetters(U'C'), u"");
    EXPECT_EQ(TextCells(u"a␍␊"), 5u);       // two letters, two cells
    EXPECT_EQ(CellColumn(u"␛[0m", 1), 3u);  // three, three
}

TEST(CellsTest, MarksGrowToWholeClustersAndJoin) {
    // Marks that start on a combining accent, end inside an emoji with its modifier, or cover
    // only the point of a Hebrew letter take the whole character.
    EXPECT_EQ(WholeClusters(u"cafe\u0301!", {{4, 1}}), (std::vector<MarkSpan>{{3, 2}}));
    EXPECT_EQ(WholeClusters(u"x👍🏽y", {{1, 2}}), (std::vector<MarkSpan>{{1, 4}}));
    EXPECT_EQ(WholeClusters(u"אבךּ", {{3, 1}}), (std::vector<MarkSpan>{{2, 2}}));
    // Two marks inside one cluster become one.
    EXPECT_EQ(WholeClusters(u"a👨‍👩‍👧b", {{1, 1}, {4, 2}}),
              (std::vector<MarkSpan>{{1, 8}}));
    EXPECT_EQ(WholeClusters(u"ab", {{0, 1}, {1, 1}}), (std::vector<MarkSpan>{{0, 2}}));
}

}  // namespace
}  // namespace viewer
