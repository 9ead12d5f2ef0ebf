// The rules the fronts draw the two-way window's list by, decided once here for given metrics:
// the columns' pixels, where a sideways scroll goes, which pane a column is, what a cell paints
// and the strip's bands.
#include <gtest/gtest.h>

#include "ListLayout.h"
#include "RowPaint.h"
#include "Session.h"
#include "StripBands.h"
#include "support/LongFiles.h"
#include "support/SessionViews.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::QuietView;
using testsupport::TempDir;
using testsupport::WriteBytes;

class ListDrawingTest : public ::testing::Test {
protected:
    Session& Open(const std::string& first, const std::string& second) {
        WriteBytes(dir_ / "first.txt", first);
        WriteBytes(dir_ / "second.txt", second);
        session_ =
            std::make_unique<Session>(Compare(dir_ / "first.txt", dir_ / "second.txt"), view_);
        session_->Open();
        return *session_;
    }

    TempDir dir_;
    QuietView view_;
    std::unique_ptr<Session> session_;
};

using Widths = std::vector<int>;

TEST_F(ListDrawingTest, ColumnsAreTheirCellsAndTheFilesShareTheRestTwentyCellsAtTheLeast) {
    Session& session = Open("a\nb\n", "a\nB\nc\n");
    // One list: numbers of 4 cells (their title "第一" too), the mark 2, 4 pixels each side; the
    // text fills the rest, or its 40 cells and one more when the list is narrower.
    EXPECT_EQ(FitColumns(session, {8, 4, 1000}), (Widths{40, 40, 24, 896}));
    EXPECT_EQ(FitColumns(session, {8, 4, 300}), (Widths{40, 40, 24, 336}));
    // A header that keeps 14 pixels beside a title: "第一" needs 32 + 14.
    EXPECT_EQ(FitColumns(session, {8, 4, 1000, 14}), (Widths{46, 46, 24, 884}));
    // Side by side the two panes share what the numbers and the band leave, and show as many
    // cells as fit inside their margins.
    session.SetView(View::SideBySide);
    EXPECT_EQ(FitColumns(session, {8, 4, 1000}), (Widths{40, 440, 40, 40, 440}));
    EXPECT_EQ(session.ColumnCells(1), 54u);
    // An odd pixel left over goes to the last pane, so that the panes reach the edge.
    EXPECT_EQ(FitColumns(session, {8, 4, 1001}), (Widths{40, 440, 40, 40, 441}));
    // A cell of 7.5 pixels: 4 cells take 30.
    EXPECT_EQ(FitColumns(session, {7.5, 4, 1000}), (Widths{38, 443, 38, 38, 443}));
    EXPECT_EQ(session.ColumnCells(4), 58u);
    // Narrow: each pane 20 cells at the least, and the list scrolls.
    EXPECT_EQ(FitColumns(session, {8, 4, 200}), (Widths{40, 168, 40, 40, 168}));
    EXPECT_EQ(session.ColumnCells(1), 20u);
}

TEST_F(ListDrawingTest, ASidewaysScrollMovesOnlyForACellOffScreenAndKeepsAThirdBeforeIt) {
    // The text's column starts at 104 pixels: its cell 0 at 108, cell 320 at 2668.
    const ListMetrics list{8, 4, 600};
    EXPECT_EQ(SidewaysScroll(104, 0, list, 0), 0);
    EXPECT_EQ(SidewaysScroll(104, 320, list, 0), 2468);     // 2668 - 600 / 3
    EXPECT_EQ(SidewaysScroll(104, 330, list, 2468), 2468);  // 2748 and four cells on screen
    EXPECT_EQ(SidewaysScroll(104, 320, list, 2099), 2468);  // its fourth after it a pixel out
    // Back left: to the start when the cell and four more fit there, else a third in.
    EXPECT_EQ(SidewaysScroll(104, 2, list, 2468), 0);
    EXPECT_EQ(SidewaysScroll(104, 70, list, 2468), 468);  // 668 - 200
    // The merge window's files: the first cell of the text column starting at 500.
    EXPECT_EQ(SidewaysScroll(500, 0, {8, 8, 300}, 0), 408);  // 508 - 100
}

TEST_F(ListDrawingTest, AClickIsInTheRightPaneOnlyOnTheSecondFilesNumberOrText) {
    Session& session = Open("a\n", "b\n");
    EXPECT_EQ(PaneOf(session, 3), Side::First);  // one list: its text is the left pane's
    session.SetView(View::SideBySide);
    const Side panes[] = {Side::First, Side::First, Side::First, Side::Second, Side::Second};
    for (std::size_t column = 0; column < 5; ++column) {
        EXPECT_EQ(PaneOf(session, column), panes[column]) << column;
    }
    EXPECT_EQ(PaneOf(session, 9), Side::First);
}

TEST_F(ListDrawingTest, ACellPaintsItsRowsColoursItsMarksAndItsTextAtItsCells) {
    Session& session = Open("count = 10;\nsame\n", "count = 12;\nsame\n");
    const ListMetrics list{8, 4, 1000};
    // The current row: light red a shade darker, "10" (cells 8 and 9) in the stronger red,
    // darker too, the text one run of plain letters, a frame round the row.
    const CellPaint current = PaintOf(session, 0, 3, false, list);
    EXPECT_EQ(current.background, (Rgb{216, 180, 180}));
    ASSERT_EQ(current.marks.size(), 1u);
    EXPECT_EQ(current.marks[0].left, 68);
    EXPECT_EQ(current.marks[0].right, 84);
    EXPECT_EQ(current.marks[0].colour, (Rgb{222, 133, 133}));
    ASSERT_EQ(current.pieces.size(), 1u);
    EXPECT_EQ(current.pieces[0].kind, PieceKind::Plain);
    EXPECT_EQ(current.pieces[0].text, u"count = 10;");
    EXPECT_EQ(current.pieces[0].left, 4);
    EXPECT_EQ(current.pieces[0].right, 92);
    EXPECT_EQ(current.frame, (Rgb{0x30, 0x30, 0x30}));
    // The added row selected: light blue by 108 %, its mark as it is, no frame; its number
    // right-aligned.
    const CellPaint added = PaintOf(session, 1, 3, true, list);
    EXPECT_EQ(added.background, (Rgb{189, 220, 236}));
    EXPECT_EQ(added.marks[0].colour, (Rgb{0x80, 0xcc, 0xff}));
    EXPECT_FALSE(added.frame);
    const CellPaint number = PaintOf(session, 1, 1, false, list);
    EXPECT_EQ(number.text, u"1");
    EXPECT_EQ(number.align, Align::Right);
    EXPECT_EQ(number.background, (Rgb{0xcc, 0xee, 0xff}));
    EXPECT_TRUE(number.pieces.empty());
    // A common row: white, nothing marked.
    const CellPaint common = PaintOf(session, 2, 3, false, list);
    EXPECT_EQ(common.background, (Rgb{0xff, 0xff, 0xff}));
    EXPECT_TRUE(common.marks.empty());

    // Side by side, the band: the removed side's red on its left half, the added side's blue on
    // its right, on white.
    session.SetView(View::SideBySide);
    session.SetCurrent(1);
    const CellPaint band = PaintOf(session, 0, 2, false, list);
    EXPECT_EQ(band.background, (Rgb{0xff, 0xff, 0xff}));
    EXPECT_EQ(band.leftHalf, (Rgb{0xff, 0x99, 0x99}));
    EXPECT_EQ(band.rightHalf, (Rgb{0x80, 0xcc, 0xff}));
    EXPECT_EQ(band.text, u"<!!>");
    EXPECT_EQ(band.align, Align::Center);
    // A side's mark alone stands in its own half, over its colour.
    Session& lone = Open("same\ngone\nend\n", "same\nend\nnew\n");
    lone.SetView(View::SideBySide);
    const CellPaint lonelyRemoved = PaintOf(lone, 1, 2, false, list);
    EXPECT_EQ(lonelyRemoved.text, u"<!");
    EXPECT_EQ(lonelyRemoved.align, Align::Left);
    EXPECT_FALSE(lonelyRemoved.rightHalf);
    const CellPaint lonelyAdded = PaintOf(lone, 3, 2, false, list);
    EXPECT_EQ(lonelyAdded.text, u"!>");
    EXPECT_EQ(lonelyAdded.align, Align::Right);
    EXPECT_FALSE(lonelyAdded.leftHalf);
}

TEST_F(ListDrawingTest, ALinesPiecesAreItsClustersAtTheirCellsMarksCutToTheText) {
    // "ab", a tab to cell 8, 語 (two cells), ␛ (three), stray bytes "<E9>", then z; "b" marked,
    // and a mark past the end of the text, drawn two pixels wide where the text ends.
    Cell cell;
    cell.text = u"ab\t語\u241b<E9>z";
    cell.empty = false;
    cell.background = ColourRole::Removed;
    cell.markColour = ColourRole::RemovedMark;
    cell.marks = {{1, 1}, {50, 3}};
    cell.byteMarks = {{5, 4}, {40, 2}};
    const CellPaint paint = PaintOf(cell, {ColumnRole::Content, u"内容", Align::Left, true}, false,
                                    false, {8, 4, 1000});
    ASSERT_EQ(paint.marks.size(), 2u);
    EXPECT_EQ(paint.marks[0].left, 12);
    EXPECT_EQ(paint.marks[0].right, 20);
    EXPECT_EQ(paint.marks[1].left, 148);
    EXPECT_EQ(paint.marks[1].right, 150);
    const Rgb black{0, 0, 0};
    const Rgb grey{0x60, 0x60, 0x60};
    const std::vector<std::tuple<PieceKind, std::u16string, double, double, Rgb>> expected = {
        {PieceKind::Plain, u"ab", 4, 20, black},
        {PieceKind::Cluster, u"語", 68, 84, black},
        {PieceKind::Control, u"ESC", 84, 108, grey},
        {PieceKind::Plain, u"<E9>z", 108, 148, black},
        {PieceKind::StrayBytes, u"<E9>", 108, 140, Rgb{0x9c, 0, 0}},
    };
    ASSERT_EQ(paint.pieces.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const PaintPiece& piece = paint.pieces[i];
        EXPECT_EQ(std::tie(piece.kind, piece.text, piece.left, piece.right, piece.colour),
                  expected[i])
            << i;
    }
    EXPECT_EQ(paint.pieces[4].box, (Rgb{0xd9, 0xd9, 0xd9}));
}

TEST_F(ListDrawingTest, TheStripHasABandPerRunTwoPixelsAtTheLeastAndFramesTheRowsOnScreen) {
    const auto [first, second] = testsupport::LinesChangedAt20And280();
    Session& session = Open(first, second);
    ASSERT_EQ(session.RowCount(), 302u);
    // 604 pixels: two a row. Removed rows on the left half, added on the right, 110 % darker.
    const Rgb red{232, 139, 139};
    const Rgb blue{116, 185, 232};
    const std::vector<std::tuple<int, int, StripHalf, Rgb>> expected = {
        {40, 42, StripHalf::Left, red},
        {42, 44, StripHalf::Right, blue},
        {562, 564, StripHalf::Left, red},
        {564, 566, StripHalf::Right, blue},
    };
    std::vector<std::tuple<int, int, StripHalf, Rgb>> bands;
    for (const StripBand& band : StripBands(session, 604))
        bands.emplace_back(band.top, band.bottom, band.half, band.colour);
    EXPECT_EQ(bands, expected);
    // 151 pixels: half a pixel a row, yet each band two pixels.
    EXPECT_EQ(StripBands(session, 151)[0].top, 10);
    EXPECT_EQ(StripBands(session, 151)[0].bottom, 12);
    // The rows on screen framed, three pixels at the least; none while all are on screen.
    const std::optional<StripFrame> frame = FrameOfRows(session, 10, 50, 604);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->top, 20);
    EXPECT_EQ(frame->bottom, 120);
    EXPECT_EQ(FrameOfRows(session, 0, 1, 100)->bottom, 3);
    EXPECT_FALSE(FrameOfRows(session, 0, 302, 604));
    EXPECT_FALSE(FrameOfRows(session, 0, 0, 604));
}

}  // namespace
}  // namespace viewer
