// The session on real files, through a view that records what the window is told: the rows and
// cells of both views, widths in cells, where find, go to line and the strip land, the texts of
// the status bar, reload, and the command table.
#include <gtest/gtest.h>

#include <algorithm>

#include "Cells.h"
#include "Session.h"
#include "StatusLayout.h"
#include "support/LongFiles.h"
#include "support/SessionViews.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::RecordingView;
using testsupport::TempDir;
using testsupport::WriteBytes;

class SessionTest : public ::testing::Test {
protected:
    Session& Open(const std::string& first, const std::string& second) {
        WriteBytes(dir_ / "first.txt", first);
        WriteBytes(dir_ / "second.txt", second);
        session_.reset();
        view_ = RecordingView{};
        session_ = std::make_unique<Session>(Compare(dir_ / "first.txt", dir_ / "second.txt"),
                                             view_, dir_ / "Zarvo.ini");
        session_->Open();
        return *session_;
    }
    std::u16string Text(std::size_t row, std::size_t column) const {
        return session_->CellAt(row, column).text;
    }

    TempDir dir_;
    RecordingView view_;
    std::unique_ptr<Session> session_;
};

TEST_F(SessionTest, CommandTableGivesLabelsKeysMenusAndStates) {
    const CommandInfo& side = InfoOf(Command::SideBySide);
    EXPECT_EQ(side.label, u"左右に並べて表示");
    EXPECT_EQ(side.menu, Menu::View);
    EXPECT_TRUE(side.checkable);
    ASSERT_EQ(side.keys.size(), 1u);
    EXPECT_EQ(KeyText(side.keys[0]), u"Ctrl+T");
    const CommandInfo& previous = InfoOf(Command::PreviousDifference);
    ASSERT_EQ(previous.keys.size(), 2u);
    EXPECT_EQ(KeyText(previous.keys[0]), u"Shift+F8");
    EXPECT_EQ(KeyText(previous.keys[1]), u"F7");
    const CommandInfo& close = InfoOf(Command::Close);
    ASSERT_EQ(close.keys.size(), 3u);
    EXPECT_EQ(KeyText(close.keys[0]), u"Ctrl+W");
    EXPECT_EQ(KeyText(close.keys[1]), u"Ctrl+Q");
    EXPECT_EQ(KeyText(close.keys[2]), u"Esc");
    EXPECT_EQ(KeyText(InfoOf(Command::FirstDifference).keys[0]), u"Ctrl+Home");
    EXPECT_EQ(InfoOf(Command::IgnoreCase).label, u"大文字と小文字を区別しない");
    EXPECT_EQ(MenuTitle(Menu::Move), u"移動(&G)");
    EXPECT_EQ(MenuTitle(Menu::View), u"表示(&V)");
    EXPECT_EQ(ToolTip(Command::NextDifference), u"次の相違 (F8)");
    // A menu shows each key once: in its own column, never in the label too.
    for (const CommandInfo& info : CommandTable()) {
        EXPECT_EQ(info.label.find(u'('), std::u16string::npos);
    }

    Session& session = Open("Hello\n", "hello\n");
    EXPECT_TRUE(session.Enabled(Command::Find));
    EXPECT_FALSE(session.Checked(Command::IgnoreCase));
    session.Run(Command::IgnoreCase);
    EXPECT_TRUE(session.Checked(Command::IgnoreCase));
    EXPECT_EQ(session.CountText(), u"相違はありません");
    EXPECT_EQ(view_.title, u"first.txt ⇔ second.txt — 相違なし — Diff-Zarvo ビューアー");
    EXPECT_EQ(session.HiddenNote(),
              u"大文字と小文字を無視しています（1 行の相違を表示していません）");
    // Stopped on its progress, the option stays as it was.
    view_.stop = true;
    session.Run(Command::IgnoreCase);
    EXPECT_TRUE(session.Checked(Command::IgnoreCase));
    view_.stop = false;
    session.Run(Command::GoToLine);
    EXPECT_EQ(view_.bar, Bar::Line);
    session.Run(Command::Close);  // Esc, Ctrl+W, Ctrl+Q: the bar first, then the window
    EXPECT_EQ(view_.bar, Bar::None);
    EXPECT_FALSE(view_.closed);
    session.Run(Command::Close);
    EXPECT_TRUE(view_.closed);

    // Binary files: only reload and close have anything to act on.
    Session& binary = Open(std::string("\0\1", 2), std::string("\0\2", 2));
    EXPECT_FALSE(binary.Enabled(Command::NextDifference));
    EXPECT_TRUE(binary.Enabled(Command::Reload));
    EXPECT_EQ(binary.RowCount(), 0u);
}

TEST_F(SessionTest, RowsCellsAndTextsOfBothViews) {
    Session& session = Open("共通\nold\nkeep\n", "共通\nnew\nkeep\nextra\n");
    EXPECT_EQ(view_.title, u"first.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー");
    EXPECT_EQ(session.HeaderLine(Side::First),
              u"第一: " + (dir_ / "first.txt").u16string() + u"　(UTF-8)");
    EXPECT_EQ(view_.watched,
              (std::vector<std::filesystem::path>{dir_ / "first.txt", dir_ / "second.txt"}));
    // 共通, -old, +new, keep, +extra; opened at the first difference, at column 0.
    ASSERT_EQ(session.RowCount(), 5u);
    EXPECT_EQ(view_.scrolledRow, 1u);
    EXPECT_EQ(view_.scrolledColumn, 0u);
    EXPECT_EQ(session.CountText(), u"相違 2 箇所 (1 番目)");
    ASSERT_EQ(session.Columns().size(), 4u);
    EXPECT_EQ(session.Columns()[3].title, u"内容");
    EXPECT_EQ(Text(0, 3), u"共通");
    EXPECT_EQ(Text(1, 0), u"2");
    EXPECT_EQ(Text(1, 1), u"");
    EXPECT_EQ(Text(1, 2), u"<!");
    EXPECT_EQ(Text(2, 2), u"!>");
    EXPECT_EQ(Text(4, 1), u"4");
    const Cell removed = session.CellAt(1, 3);
    EXPECT_EQ(removed.background, ColourRole::Removed);
    EXPECT_EQ(Colour(removed.background), (Rgb{0xff, 0xd4, 0xd4}));
    EXPECT_EQ(Colour(session.CellAt(2, 3).background), (Rgb{0xcc, 0xee, 0xff}));
    EXPECT_EQ(Colour(ColourRole::AddedMark), (Rgb{0x80, 0xcc, 0xff}));
    EXPECT_EQ(Darker(Colour(ColourRole::Removed), 118), (Rgb{0xd8, 0xb4, 0xb4}));
    EXPECT_EQ(session.CellAt(0, 3).background, ColourRole::Base);
    EXPECT_EQ(session.ColumnCells(0), 4u);  // at least four cells for line numbers

    // Side by side: old beside new, the band showing both marks; the same row stays current.
    session.Run(Command::SideBySide);
    EXPECT_TRUE(session.Checked(Command::SideBySide));
    ASSERT_EQ(session.Columns().size(), 5u);
    ASSERT_EQ(session.RowCount(), 4u);  // 共通 | old ↔ new | keep | ↔ extra
    EXPECT_EQ(Text(1, 1), u"old");
    EXPECT_EQ(Text(1, 4), u"new");
    EXPECT_EQ(Text(1, 2), u"<!!>");
    EXPECT_EQ(session.CellAt(1, 2).bandLeft, ColourRole::RemovedMark);
    EXPECT_EQ(session.CellAt(1, 2).bandRight, ColourRole::AddedMark);
    EXPECT_TRUE(session.CellAt(3, 1).empty);
    EXPECT_EQ(Text(3, 3), u"4");
    EXPECT_EQ(view_.scrolledRow, 1u);
    session.Run(Command::NextDifference);
    EXPECT_EQ(view_.scrolledRow, 3u);
    EXPECT_EQ(session.CountText(), u"相違 2 箇所 (2 番目)");
    session.Run(Command::NextDifference);
    EXPECT_EQ(view_.status, u"これより後に相違はありません");
    EXPECT_EQ(session.CountText(), u"相違 2 箇所 (2 番目)");  // the message and the count both
    session.Run(Command::SideBySide);
    EXPECT_EQ(view_.scrolledRow, 4u);  // +extra in the one list

    // Copy: the selected rows, both sides of a side-by-side row, as a unified diff.
    session.SetSelection({{1, 2}});
    session.Run(Command::Copy);
    EXPECT_EQ(view_.clipboard, u"-old\n+new\n");
    EXPECT_EQ(view_.status, u"2 行をコピーしました");

    // Unreadable: the message names the file, with no rows.
    WriteBytes(dir_ / "second.txt", "x\n");
    session_ = std::make_unique<Session>(Compare(dir_ / "gone.txt", dir_ / "second.txt"), view_);
    session_->Open();
    EXPECT_TRUE(session_->MessageIsError());
    EXPECT_EQ(session_->Message().substr(0, 13), u"ファイルを読み込めません。");
    EXPECT_NE(session_->Message().find((dir_ / "gone.txt").u16string()), std::u16string::npos);
    EXPECT_EQ(session_->RowCount(), 0u);
}

TEST_F(SessionTest, FindAndGoToLineLandOnTheSameLineInEachView) {
    // alpha, -beta x, +beta y, gamma, beta; side by side: alpha, beta x | beta y, gamma, beta.
    Session& session = Open("alpha\nbeta x\ngamma\nbeta\n", "alpha\nbeta y\ngamma\nbeta\n");
    session.Run(Command::FindNext);  // no text yet: the bar opens
    EXPECT_EQ(view_.bar, Bar::Find);
    session.SetFindText(u"BETA");
    session.Find(true);
    EXPECT_EQ(session.CurrentRow(), 2u);  // after the first difference, row 1: +beta y
    ASSERT_EQ(session.RowCount(), 5u);
    session.Find(true);
    EXPECT_EQ(session.CurrentRow(), 4u);
    session.Find(true);
    EXPECT_EQ(session.CurrentRow(), 1u);  // round the end

    // Side by side the matches in the right pane are found too, and the search goes on past them.
    session.SetView(View::SideBySide);
    session.Find(true);
    EXPECT_EQ(session.CurrentRow(), 2u);
    EXPECT_EQ(view_.scrolledRow, 1u);  // beta x | beta y share a row
    session.Find(true);
    EXPECT_EQ(session.CurrentRow(), 4u);
    EXPECT_EQ(view_.scrolledRow, 3u);
    session.Find(false);
    EXPECT_EQ(session.CurrentRow(), 2u);
    session.SetFindText(u"delta");
    session.Find(true);
    EXPECT_EQ(view_.status, u"「delta」は見つかりません");
    EXPECT_EQ(session.CurrentRow(), 2u);

    session.GoToLine(Side::First, u"3");
    EXPECT_EQ(session.CurrentRow(), 3u);  // the first file's line 3: gamma
    EXPECT_EQ(view_.scrolledRow, 2u);
    session.GoToLine(Side::Second, u" ２ ");  // full-width, between blanks
    EXPECT_EQ(session.CurrentRow(), 2u);
    session.GoToLine(Side::Second, u"99999999999999999999");  // past the end: the last line
    EXPECT_EQ(session.CurrentRow(), 4u);
    session.GoToLine(Side::First, u"x1");
    EXPECT_EQ(view_.status, u"その行はありません");
    EXPECT_EQ(session.CurrentRow(), 4u);

    // A click on the right pane makes its line the current one.
    session.SetCurrent(0);
    session.SetCurrent(1, Side::Second);
    EXPECT_EQ(session.CurrentRow(), 2u);
}

TEST_F(SessionTest, WidthsAreDisplayCellsAndALongLineNeverMovesTheListSideways) {
    // 40 tabs then a change; 100 Japanese characters; both far wider than their bytes suggest
    // compared with a line of 150 ASCII characters.
    const std::string tabs(40, '\t');
    std::string japanese;
    for (int i = 0; i < 100; ++i) japanese += "語";
    Session& session = Open(tabs + "a\n" + japanese + "\n" + std::string(150, 'x') + "\n",
                            tabs + "b\n" + japanese + "\n" + std::string(150, 'x') + "\n");
    EXPECT_EQ(session.ColumnCells(3), 321u);  // 40 × 8 + 1
    EXPECT_EQ(view_.scrolledRow, 0u);
    EXPECT_EQ(view_.scrolledColumn, 320u);  // the change's first mark, off to the right
    const Cell cell = session.CellAt(1, 3);
    ASSERT_EQ(cell.marks.size(), 1u);
    EXPECT_EQ(CellColumn(cell.text, cell.marks[0].start), 320u);

    Session& wide = Open(japanese + "\n", japanese + "x\n");
    EXPECT_EQ(wide.ColumnCells(3), 201u);
    EXPECT_EQ(view_.scrolledColumn, 200u);
    // 100 wide characters are wider than 150 narrow ones.
    EXPECT_EQ(Open("a\n" + japanese + "\n" + std::string(150, 'x') + "\n",
                   "b\n" + japanese + "\n" + std::string(150, 'x') + "\n")
                  .ColumnCells(3),
              200u);

    // UTF-16: counted by what is drawn, not by bytes.
    std::string utf16First = "\xff\xfe", utf16Second = "\xff\xfe";
    for (int i = 0; i < 60; ++i) utf16First += std::string("\x9e\x8a", 2);  // 語
    utf16Second = utf16First + std::string("!\0", 2);
    utf16First += std::string("\n\0", 2);
    utf16Second += std::string("\n\0", 2);
    Session& utf16 = Open(utf16First, utf16Second);
    EXPECT_EQ(utf16.ColumnCells(3), 121u);

    // Latin-1 whose é and à a Japanese font draws in two cells: 75 bytes in 95 cells are wider
    // than 80 letters.
    std::string latin;
    for (int i = 0; i < 5; ++i) latin += "r\xe9sum\xe9 d\xe9j\xe0 vu ";
    SetWideAmbiguous({U'\u00E0', U'\u00E9'});
    Session& latin1 = Open(latin + "\n" + std::string(80, 'a') + "\n", latin + "\n");
    EXPECT_EQ(latin1.comparison().first().encoding, Encoding::Windows1252);
    EXPECT_EQ(latin1.ColumnCells(3), 95u);
    SetWideAmbiguous({});

    // A change at the start of a line too long for the window opens at column 0.
    // (Built by appending: GCC 12 at -O3 warns of an overlap in "a" + std::string that is not
    // there.)
    const std::string longTail = std::string(3000, 'x') + "\n";
    Open(std::string("a").append(longTail), std::string("b").append(longTail));
    EXPECT_EQ(view_.scrolledRow, 0u);
    EXPECT_EQ(view_.scrolledColumn, 0u);

    // Side by side, a pane of 60 cells shows a 423-character Japanese paragraph around its
    // change, in at most 60 cells, with the change in it.
    std::string paragraph;
    for (int i = 0; i < 423; ++i) paragraph += "文";
    Session& panes = Open(paragraph + "前\n", paragraph + "後\n");
    panes.SetView(View::SideBySide);
    panes.SetPaneCells(60);
    EXPECT_EQ(panes.ColumnCells(1), 60u);
    const Cell left = panes.CellAt(0, 1);
    EXPECT_LE(TextCells(left.text), 60u);
    ASSERT_EQ(left.marks.size(), 1u);
    EXPECT_EQ(left.text.substr(left.marks[0].start, left.marks[0].length), u"前");
    EXPECT_EQ(left.text.substr(0, 4), u"（先頭 ");
}

TEST_F(SessionTest, ALongFileIsDrawnBeforeItsWidestLineIsMeasuredAndSizedAgainAfter) {
    // 5 MB of 49-letter lines, changed at the top, with a line of 300 letters far below the
    // first screens.
    const std::string line = std::string(49, 'x') + "\n";
    std::string first;
    for (int i = 0; i < 100000; ++i) first += i == 90000 ? std::string(300, 'w') + "\n" : line;
    std::string second = first;
    second[0] = 'y';
    Session& session = Open(first, second);
    EXPECT_EQ(session.ColumnCells(3), 49u);
    EXPECT_EQ(Text(0, 3), u"x" + std::u16string(48, u'x'));
    EXPECT_EQ(Text(1, 3), u"y" + std::u16string(48, u'x'));
    // Read again while it is measured: that measure is dropped, however far it got, and the
    // rows read are measured instead.
    session.Reload();
    EXPECT_EQ(session.ColumnCells(3), 49u);
    while (!session.TakeMeasured()) ASSERT_TRUE(view_.WaitForMeasure());
    EXPECT_EQ(session.ColumnCells(3), 300u);
    EXPECT_FALSE(session.TakeMeasured());

    // Read again without the wide line: the column keeps its width until the new rows are
    // measured, then narrows.
    second.replace(90000 * 50, 301, line);
    WriteBytes(dir_ / "first.txt", second);
    WriteBytes(dir_ / "second.txt", second);
    session.Reload();
    EXPECT_EQ(session.ColumnCells(3), 300u);
    while (!session.TakeMeasured()) ASSERT_TRUE(view_.WaitForMeasure());
    EXPECT_EQ(session.ColumnCells(3), 49u);
}

TEST_F(SessionTest, ALongFileOpensAtItsFirstDifferenceAndKeysLandOnTheirRows) {
    // 50,000 lines; line 10,001 changed, line 30,001 removed. Every 700th line is 100 half-width
    // katakana: three bytes each, one cell, more bytes than the widest line, 150 "y" at the end.
    std::string katakana;
    for (int i = 0; i < 100; ++i) katakana += "ｱ";
    std::string first, second;
    for (int line = 0; line < 50'000; ++line) {
        const std::string text = line == 49'999                ? std::string(150, 'y')
                                 : line % 700 == 0 && line > 0 ? katakana
                                                               : "line " + std::to_string(line);
        first += text + "\n";
        if (line == 10'000) {
            second += "line 10000 changed\n";
        } else if (line != 30'000) {
            second += text + "\n";
        }
    }
    Session& session = Open(first, second);
    ASSERT_EQ(session.RowCount(), 50'001u);
    EXPECT_EQ(view_.scrolledRow, 10'000u);
    EXPECT_EQ(Text(9'999, 3), u"line 9999");
    EXPECT_EQ(Text(10'000, 0), u"10001");
    EXPECT_EQ(Text(10'000, 3), u"line 10000");
    EXPECT_EQ(Text(10'001, 3), u"line 10000 changed");
    EXPECT_EQ(Text(10'001, 1), u"10001");
    ASSERT_EQ(session.CellAt(10'001, 3).marks.size(), 1u);
    EXPECT_EQ(session.CellAt(10'001, 3).marks[0].start, 10u);
    EXPECT_EQ(Text(10'501, 3),
              u"ｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱ"
              u"ｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱ");
    EXPECT_EQ(session.ColumnCells(3), 150u);
    EXPECT_EQ(session.ColumnCells(0), 6u);

    session.Run(Command::NextDifference);
    EXPECT_EQ(session.CurrentRow(), 30'001u);
    EXPECT_EQ(Text(30'001, 3), u"line 30000");
    EXPECT_EQ(session.CountText(), u"相違 2 箇所 (2 番目)");
    session.SetFindText(u"YYY");
    session.Find(true);
    EXPECT_EQ(session.CurrentRow(), 50'000u);
    // Text of another script, both ways, round the end.
    session.SetFindText(u"ｱｱ");
    session.Find(false);
    EXPECT_EQ(session.CurrentRow(), 49'701u);
    session.Find(true);
    EXPECT_EQ(session.CurrentRow(), 700u);
    session.GoToLine(Side::Second, u"40000");
    EXPECT_EQ(session.CurrentRow(), 40'001u);
    EXPECT_EQ(Text(40'001, 3), u"line 40000");

    session.SetView(View::SideBySide);
    ASSERT_EQ(session.RowCount(), 50'000u);
    EXPECT_EQ(view_.scrolledRow, 40'000u);
    session.Run(Command::PreviousDifference);
    EXPECT_EQ(session.CurrentRow(), 30'001u);
    EXPECT_EQ(view_.scrolledRow, 30'000u);
    EXPECT_EQ(Text(30'000, 1), u"line 30000");
    EXPECT_TRUE(session.CellAt(30'000, 4).empty);
    session.GoToLine(Side::First, u"10001");
    EXPECT_EQ(view_.scrolledRow, 10'000u);
    EXPECT_EQ(Text(10'000, 4), u"line 10000 changed");
}

TEST_F(SessionTest, TheStripMarksEveryDifferenceAndAClickLandsOnTheNearestStart) {
    const auto [first, second] = testsupport::LinesChangedAt20And280();
    Session& session = Open(first, second);
    ASSERT_EQ(session.RowCount(), 302u);
    const std::vector<StripMark> marks = session.StripMarks();
    ASSERT_EQ(marks.size(), 4u);
    EXPECT_EQ(marks[2].row, 281u);
    EXPECT_EQ(marks[2].kind, RowKind::Removed);
    EXPECT_EQ(marks[3].row, 282u);
    EXPECT_EQ(marks[3].kind, RowKind::Added);
    EXPECT_EQ(session.StripY(281, 604), 562);
    // Near a difference: its start; elsewhere, the row under the click.
    EXPECT_EQ(session.StripTarget(565, 604), 281u);
    EXPECT_EQ(session.StripTarget(302, 604), 151u);
    EXPECT_EQ(session.StripTarget(-5, 604), 0u);
    EXPECT_EQ(session.StripTarget(9999, 604), 301u);
    session.ClickStrip(565, 604);
    EXPECT_EQ(session.CurrentRow(), 281u);
    EXPECT_EQ(view_.scrolledRow, 281u);
}

TEST_F(SessionTest, ReloadKeepsTheLineSaysSoAndHandlesAFileThatCameAndWent) {
    Session& session = Open("one\ntwo\n", "one\nTWO\n");
    session.FilesChanged();  // a watch that saw nothing new
    EXPECT_FALSE(view_.notice);
    WriteBytes(dir_ / "second.txt", "zero\none\nTWO\n");
    session.FilesChanged();
    EXPECT_TRUE(view_.notice);
    session.Run(Command::Reload);
    EXPECT_FALSE(view_.notice);
    EXPECT_EQ(view_.status, u"再読み込みしました");
    // +zero, one, -two, +TWO: still on "two", the line that was current.
    EXPECT_EQ(session.CurrentRow(), 2u);
    EXPECT_EQ(Text(2, 3), u"two");

    // Deleted: the reload says why; created again: the rows are back.
    std::filesystem::remove(dir_ / "second.txt");
    session.Run(Command::Reload);
    EXPECT_TRUE(session.MessageIsError());
    EXPECT_EQ(session.RowCount(), 0u);
    EXPECT_EQ(session.CountText(), u"比較できません");
    EXPECT_EQ(view_.watched.size(), 2u);  // the missing file's folder is still watched
    WriteBytes(dir_ / "second.txt", "one\n");
    session.Run(Command::Reload);
    EXPECT_FALSE(session.MessageIsError());
    EXPECT_EQ(session.RowCount(), 2u);
    EXPECT_EQ(view_.title, u"first.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
}

TEST_F(SessionTest, AFileChangedBetweenItsReadingAndTheWindowOpeningIsNoticed) {
    WriteBytes(dir_ / "first.txt", "one\n");
    WriteBytes(dir_ / "second.txt", "two\n");
    Comparison read = Compare(dir_ / "first.txt", dir_ / "second.txt");
    // The identity is that of the file read: 4 bytes, whatever the file holds by now.
    WriteBytes(dir_ / "second.txt", "two and more\n");
    ASSERT_TRUE(read.second().identity);
    EXPECT_EQ(read.second().identity->size, 4);
    EXPECT_NE(IdentityOf(dir_ / "second.txt"), read.second().identity);

    Session session(std::move(read), view_, dir_ / "Zarvo.ini");
    session.Open();
    session.FilesChanged();
    EXPECT_TRUE(view_.notice);
}

TEST_F(SessionTest, LineEndsEncodingsAndStrayBytesReachTheMenusAndTheCells) {
    // 表示: line ends ignored by default; unticked, a line that differs only in its end changes.
    const CommandInfo& ends = InfoOf(Command::IgnoreLineEnds);
    EXPECT_EQ(ends.label, u"改行コードの違いを無視");
    EXPECT_EQ(ends.menu, Menu::View);
    EXPECT_TRUE(ends.checkable);
    Session& session = Open("same\r\nmid\nx\n", "same\nmid\ny\n");
    EXPECT_TRUE(session.Checked(Command::IgnoreLineEnds));
    EXPECT_EQ(session.CountText(), u"相違 1 箇所 (1 番目)");
    EXPECT_EQ(Text(0, 3), u"same");
    session.Run(Command::IgnoreLineEnds);
    EXPECT_FALSE(session.Checked(Command::IgnoreLineEnds));
    EXPECT_EQ(session.CountText(), u"相違 2 箇所 (2 番目)");  // still on the line x
    EXPECT_EQ(Text(0, 2), u"<!");
    EXPECT_EQ(Text(0, 3), u"same␍␊");
    EXPECT_EQ(Text(1, 3), u"same␊");
    EXPECT_EQ(MenuTitle(Menu::Encoding), u"文字コード(&C)");

    // 文字コード: a submenu of eight choices for each file, found from the bytes at first.
    const CommandInfo& first = InfoOf(Command::EncodingFirst);
    const CommandInfo& second = InfoOf(Command::EncodingSecond);
    EXPECT_EQ(first.label, u"第一のファイルの文字コード");
    EXPECT_EQ(second.label, u"第二のファイルの文字コード");
    EXPECT_EQ(second.menu, Menu::Encoding);
    const std::vector<std::u16string> labels = {
        u"自動判別",
        u"Unicode (UTF-8)",
        u"Unicode (UTF-16 LE)",
        u"Unicode (UTF-16 BE)",
        u"日本語 (シフト JIS / CP932)",
        u"日本語 (EUC-JP)",
        u"日本語 (JIS / ISO-2022-JP)",
        u"西ヨーロッパ言語 (Windows-1252)",
    };
    EXPECT_EQ(first.choices, labels);
    EXPECT_EQ(second.choices, labels);

    // A stray byte in UTF-8 Japanese text: a mark of its own over "<E9>", on a common row too.
    const std::string japanese = "日本語のテキストです\nもう一行\n";
    Session& stray = Open(japanese + "caf\xE9\n", japanese + "caf\xE9\nend\n");
    EXPECT_EQ(stray.HeaderLine(Side::Second), u"第二: " + (dir_ / "second.txt").u16string() +
                                                  u"　(UTF-8、不正なバイト 1 個を含みます)");
    EXPECT_EQ(stray.Chosen(Command::EncodingSecond), 0u);
    const Cell cafe = stray.CellAt(2, 3);
    EXPECT_EQ(cafe.text, u"caf<E9>");
    EXPECT_EQ(cafe.background, ColourRole::Base);
    ASSERT_EQ(cafe.byteMarks.size(), 1u);
    EXPECT_EQ(cafe.byteMarks[0].start, 3u);
    EXPECT_EQ(cafe.byteMarks[0].length, 4u);
    EXPECT_TRUE(stray.CellAt(0, 3).byteMarks.empty());
    EXPECT_EQ(Colour(ColourRole::StrayByte), (Rgb{0xd9, 0xd9, 0xd9}));
    EXPECT_EQ(Colour(ColourRole::StrayByteText), (Rgb{0x9c, 0x00, 0x00}));
    stray.Run(Command::SideBySide);
    EXPECT_EQ(stray.CellAt(2, 4).byteMarks.size(), 1u);
    stray.Run(Command::SideBySide);

    // Picking an encoding reads that file again in it, staying on the same line; stopped on its
    // progress, nothing changes.
    stray.Run(Command::LastDifference);
    view_.stop = true;
    stray.Choose(Command::EncodingSecond, 5);
    EXPECT_EQ(stray.Chosen(Command::EncodingSecond), 0u);
    view_.stop = false;
    stray.Choose(Command::EncodingSecond, 5);
    EXPECT_EQ(stray.Chosen(Command::EncodingSecond), 5u);
    EXPECT_EQ(stray.Chosen(Command::EncodingFirst), 0u);
    // The header names it (how many of these bytes EUC-JP rejects is the core's business).
    const std::u16string header = stray.HeaderLine(Side::Second);
    EXPECT_EQ(header.substr(0, header.find(u'(') + 8),
              u"第二: " + (dir_ / "second.txt").u16string() + u"　(EUC-JP、");
    EXPECT_EQ(view_.status, u"第二のファイルを「日本語 (EUC-JP)」で読み直しました");
    EXPECT_EQ(stray.CurrentRow(), std::optional<std::size_t>(3));
    EXPECT_EQ(Text(3, 3), u"end");
    // Reload keeps the choice; back to 自動判別, the bytes decide again.
    stray.Reload();
    EXPECT_EQ(stray.Chosen(Command::EncodingSecond), 5u);
    stray.Choose(Command::EncodingSecond, 0);
    EXPECT_EQ(stray.HeaderLine(Side::Second), u"第二: " + (dir_ / "second.txt").u16string() +
                                                  u"　(UTF-8、不正なバイト 1 個を含みます)");
}

TEST_F(SessionTest, CopyHoldsTheLinesOwnTextNotTheMarksDrawnForIt) {
    // Line ends compared: "one␍␊" is drawn, "one" copied. A lone CR, an ESC and a zero-width
    // space are copied as themselves; the stray byte E9 as U+FFFD, and the status bar says so.
    Session& session = Open("one\r\n日本語 \x1b[0m z\xe2\x80\x8bw cr\rlf \xe9\n", "one\n日本語\n");
    session.Run(Command::IgnoreLineEnds);
    ASSERT_EQ(session.RowCount(), 4u);
    EXPECT_EQ(Text(0, 3), u"one␍␊");
    EXPECT_EQ(Text(1, 3), u"日本語 ␛[0m z<U+200B>w cr␍lf <E9>␊");
    session.SetSelection({{0, 3}});
    session.Run(Command::Copy);
    EXPECT_EQ(view_.clipboard, u"-one\n-日本語 \x1b[0m z\u200bw cr\rlf \ufffd\n+one\n+日本語\n");
    EXPECT_EQ(view_.status,
              u"4 行をコピーしました（文字にならないバイト 1 個は「\ufffd」(U+FFFD) にしました）");
    // Without stray bytes, the plain count.
    session.SetSelection({{2, 2}});
    session.Run(Command::Copy);
    EXPECT_EQ(view_.clipboard, u"+one\n");
    EXPECT_EQ(view_.status, u"1 行をコピーしました");
    // A NUL past the first block (the file is text) would end the clipboard's text there.
    Open(std::string(9000, 'x') + "\n" + std::string("a\0b\n", 4),
         std::string(9000, 'x') + "\nab\n");
    session_->SetSelection({{1, 1}});
    session_->Run(Command::Copy);
    EXPECT_EQ(view_.clipboard, u"-a\ufffdb\n");
    EXPECT_EQ(view_.status,
              u"1 行をコピーしました（クリップボードに入らない NUL 1 個は「\ufffd」(U+FFFD) "
              u"にしました）");
}

TEST_F(SessionTest, SelectedRunsOfRowsTakeEveryDifferenceTheyTouch) {
    // Side by side: x | a↔A | b↔B | c beside nothing | y | p↔q.
    Session& session = Open("x\na\nb\nc\ny\np\n", "x\nA\nB\ny\nq\n");
    session.SetView(View::SideBySide);
    ASSERT_EQ(session.RowCount(), 6u);
    // The last two rows of the first difference, the last with no line of the second file.
    session.SetSelection({{2, 3}});
    session.Run(Command::TakeToSecond);
    EXPECT_EQ(view_.status, u"第二のファイルへ取り込みました");
    ASSERT_EQ(session.RowCount(), 6u);
    EXPECT_EQ(Text(1, 4), u"a");
    EXPECT_EQ(Text(3, 4), u"c");
    EXPECT_EQ(Text(5, 4), u"q");  // untouched
    // Two runs, one row each: everything from the first to the last.
    session.SetSelection({{0, 0}, {5, 5}});
    session.Run(Command::TakeToSecond);
    EXPECT_EQ(Text(5, 4), u"p");
    EXPECT_EQ(session.CountText(), u"相違はありません");
}

TEST_F(SessionTest, ANameWithANewlineIsShownWholeWithItsMark) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows names hold no control characters";
#else
    WriteBytes(dir_ / "new\nline.txt", "a\n");
    WriteBytes(dir_ / "second.txt", "b\n");
    Session session(Compare(dir_ / "new\nline.txt", dir_ / "second.txt"), view_);
    session.Open();
    EXPECT_EQ(view_.title, u"new<LF>line.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
    EXPECT_EQ(session.HeaderLine(Side::First),
              u"第一: " + dir_.path().u16string() + u"/new<LF>line.txt　(UTF-8)");
    EXPECT_EQ(ShownName(u"a\tb\x1b\u200b\u00e9.txt"), u"a<HT>b<ESC><U+200B>\u00e9.txt");
#endif
}

TEST_F(SessionTest, ALineHoldingALoneCrIsEditedKeepingItsCr) {
    Session& session = Open("same\nold\rpart\n", "same\nnew\n");
    ASSERT_EQ(session.CurrentRow(), std::optional<std::size_t>(1));  // -old␍part
    session.Run(Command::EditLine);
    EXPECT_EQ(view_.editorText, u"old\rpart");
    session.Typed(u"old\rpart2");
    session.FinishEdit(true);  // Enter
    EXPECT_EQ(view_.status, u"行を編集しました");
    session.Run(Command::SaveFirst);
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "first.txt"), "same\nold\rpart2\n");
    // A CR typed at the very end would join the LF: refused, the line as last written.
    session.Run(Command::EditLine);
    session.Typed(u"old\rpart2\r");
    session.FinishEdit(true);
    EXPECT_EQ(view_.status, u"改行は入力できません");
    EXPECT_EQ(Text(1, 3), u"old␍part2");
}

TEST(StatusLayoutTest, TheCountAndTheNoteKeepTheirWidthTheMessageIsCutFirst) {
    // 600 pixels: the count 120 at the right, the note 200 before it, the message the rest.
    EXPECT_EQ(LayOutStatus(600, 200, 120).messageRight, 280);
    EXPECT_EQ(LayOutStatus(600, 200, 120).hiddenRight, 480);
    EXPECT_EQ(LayOutStatus(600, 0, 120).messageRight, 480);
    // Too narrow for both: the note is cut, then the count; nothing below zero.
    EXPECT_EQ(LayOutStatus(250, 200, 120).messageRight, 0);
    EXPECT_EQ(LayOutStatus(250, 200, 120).hiddenRight, 130);
    EXPECT_EQ(LayOutStatus(100, 200, 120).hiddenRight, 0);
    EXPECT_EQ(LayOutStatus(-16, 0, 120).hiddenRight, 0);
}

TEST_F(SessionTest, TakeBothWaysUndoRedoAndSaveWritesExactlyTheChangedFiles) {
    Session& session = Open("one\ntwo\nthree\n", "one\n2\nthree\nfour\n");
    EXPECT_FALSE(session.Enabled(Command::Undo));
    EXPECT_FALSE(session.Enabled(Command::Save));
    EXPECT_EQ(KeyText(InfoOf(Command::TakeToSecond).keys[0]), u"Alt+Right");
    EXPECT_EQ(ToolTip(Command::TakeToFirst), u"第一のファイルへ取り込む (Alt+Left)");
    EXPECT_EQ(KeyText(InfoOf(Command::Save).keys[0]), u"Ctrl+S");
    // one, -two, +2, three, +four; at the first difference.
    ASSERT_EQ(session.RowCount(), 5u);
    session.Run(Command::TakeToSecond);
    ASSERT_EQ(session.RowCount(), 4u);
    EXPECT_EQ(Text(1, 3), u"two");
    EXPECT_EQ(session.CurrentRow(), std::optional<std::size_t>(1));
    EXPECT_EQ(view_.status, u"第二のファイルへ取り込みました");
    // The row taken is common now: the count shows how to move on.
    EXPECT_EQ(session.CountText(), u"相違 1 箇所　F8: 次の相違　Shift+F8 / F7: 前の相違");
    EXPECT_EQ(view_.title, u"● first.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
    EXPECT_EQ(session.HeaderLine(Side::Second),
              u"● 第二: " + (dir_ / "second.txt").u16string() + u"　(UTF-8)");
    EXPECT_EQ(session.HeaderLine(Side::First),
              u"第一: " + (dir_ / "first.txt").u16string() + u"　(UTF-8)");
    EXPECT_TRUE(session.Enabled(Command::SaveSecond));
    EXPECT_FALSE(session.Enabled(Command::SaveFirst));

    // Stopped on the progress of the comparison after it, a take or an undo changes nothing.
    view_.stop = true;
    session.SetCurrent(3);
    session.Run(Command::TakeToFirst);
    EXPECT_EQ(view_.status, u"中止しました。何も変えていません");
    EXPECT_EQ(session.RowCount(), 4u);
    EXPECT_EQ(session.HeaderLine(Side::First).substr(0, 4), u"第一: ");
    session.Run(Command::Undo);
    EXPECT_EQ(Text(1, 3), u"two");
    EXPECT_EQ(view_.title, u"● first.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
    view_.stop = false;

    session.SetCurrent(3);  // +four, into the first file
    session.Run(Command::TakeToFirst);
    EXPECT_EQ(session.RowCount(), 4u);
    EXPECT_EQ(session.CountText(), u"相違はありません");
    EXPECT_EQ(session.CurrentRow(), std::optional<std::size_t>(3));
    EXPECT_FALSE(session.Enabled(Command::TakeToFirst));
    EXPECT_EQ(session.HeaderLine(Side::First).substr(0, 6), u"● 第一: ");

    // Undo both, in both files: nothing changed, nothing marked; redo both.
    session.Run(Command::Undo);
    session.Run(Command::Undo);
    EXPECT_EQ(view_.status, u"元に戻しました");
    EXPECT_EQ(session.RowCount(), 5u);
    EXPECT_EQ(view_.title, u"first.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー");
    EXPECT_FALSE(session.Enabled(Command::Undo));
    EXPECT_FALSE(session.Enabled(Command::Save));
    view_.stop = true;
    session.Run(Command::Redo);
    EXPECT_EQ(session.RowCount(), 5u);
    view_.stop = false;
    session.Run(Command::Redo);
    session.Run(Command::Redo);
    EXPECT_FALSE(session.Enabled(Command::Redo));
    EXPECT_EQ(session.CountText(), u"相違はありません");
    // Nothing was written until now.
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "second.txt"), "one\n2\nthree\nfour\n");

    session.Run(Command::Save);  // Ctrl+S: every changed file
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "first.txt"), "one\ntwo\nthree\nfour\n");
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "second.txt"), "one\ntwo\nthree\nfour\n");
    EXPECT_EQ(view_.status, u"「second.txt」を保存しました");
    session.FilesChanged();  // the window's own save
    EXPECT_FALSE(view_.notice);
    EXPECT_EQ(view_.title, u"first.txt ⇔ second.txt — 同一 — Diff-Zarvo ビューアー");
    EXPECT_FALSE(session.Enabled(Command::Save));
    EXPECT_TRUE(view_.asked.empty());
}

// A file of the other folder only is made by the save, once the user has said so by its name.
TEST_F(SessionTest, SaveThatMakesAFileAsksFirstNamingIt) {
    WriteBytes(dir_ / "first.txt", "only\n");
    const std::filesystem::path made = dir_ / "made.txt";
    Session session(
        Compare(dir_ / "first.txt", made, kTextLimitBytes, {}, nullptr, {}, {false, true}), view_,
        dir_ / "Zarvo.ini");
    session.Open();
    session.Run(Command::TakeToSecond);
    view_.answers = {Answer::No};
    session.Run(Command::Save);
    const std::u16string name = u"「" + made.u16string() + u"」";
    ASSERT_EQ(view_.asked.size(), 1u);
    // Enter, Esc and the close box make nothing.
    EXPECT_EQ(view_.asked[0],
              (Question{name + u"はまだありません。新しく作って保存しますか？",
                        {{u"作って保存", Answer::Yes}, {u"キャンセル", Answer::Cancel}},
                        Answer::Cancel,
                        Answer::Cancel}));
    EXPECT_EQ(view_.status, name + u"を作りませんでした");
    EXPECT_FALSE(std::filesystem::exists(made));
    view_.answers = {Answer::Yes};
    session.Run(Command::Save);
    EXPECT_EQ(testsupport::ReadBytes(made), "only\n");
    EXPECT_EQ(view_.status, u"「made.txt」を保存しました");
    EXPECT_EQ(view_.title, u"first.txt ⇔ made.txt — 同一 — Diff-Zarvo ビューアー");
}

// A name of thousands of letters would push a question's buttons off the screen: its middle
// goes, a character of two UTF-16 units kept whole.
TEST(Questions, ALongNameShowsItsEndsAroundAnEllipsis) {
    // 60 units kept before "…" and 59 after: 𠮷 straddles the first cut and goes, and ends the
    // second's and stays.
    const std::u16string name = u"/" + std::u16string(58, u'a') + u"𠮷" +
                                std::u16string(4000, u'字') + u"𠮷" + std::u16string(57, u'z');
    EXPECT_EQ(MakeFileQuestion(name).text, u"「/" + std::u16string(58, u'a') + u"…𠮷" +
                                               std::u16string(57, u'z') +
                                               u"」はまだありません。新しく作って保存しますか？");
    const std::u16string shortName = u"/" + std::u16string(119, u'字');
    EXPECT_EQ(OverwriteResultQuestion(shortName).text,
              u"「" + shortName +
                  u"」は読み込んだ後で他のプログラムに変更されています。上書きしますか？");
}

TEST_F(SessionTest, AFileChangedOnDiskAndClosingWithChangesAskFirst) {
    Session& session = Open("a\r\nb\r\nc", "a\nB\nc\n");
    session.Run(Command::TakeToFirst);  // in the first file's own line end, no final newline
    WriteBytes(dir_ / "first.txt", "another program's\n");

    view_.answers = {Answer::Cancel};
    session.Run(Command::SaveFirst);
    ASSERT_EQ(view_.asked.size(), 1u);
    // Another program's work and this window's are at stake: Enter loses neither, and the box
    // warns.
    EXPECT_EQ(
        view_.asked[0],
        (Question{u"「first.txt」は、読み込んだ後にほかのプログラムによって変更されています。\n"
                  u"上書き保存すると、ほかのプログラムによる変更は失われます。"
                  u"比較し直すと、このウィンドウで保存していない変更が失われます。",
                  {{u"上書き保存", Answer::Yes},
                   {u"比較し直す", Answer::No},
                   {u"キャンセル", Answer::Cancel}},
                  Answer::Cancel,
                  Answer::Cancel,
                  true}));
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "first.txt"), "another program's\n");
    EXPECT_EQ(view_.status,
              u"保存しませんでした。「first.txt」は、読み込んだ後にほかのプログラム"
              u"によって変更されています。");
    EXPECT_TRUE(session.Enabled(Command::SaveFirst));
    // Reading the files again would drop the change: asked, and kept on キャンセル.
    view_.answers = {Answer::Cancel};
    session.Run(Command::Reload);
    ASSERT_EQ(view_.asked.size(), 2u);
    EXPECT_EQ(view_.asked[1],
              (Question{u"保存していない変更は失われます。読み直しますか？",
                        {{u"読み直す", Answer::Yes}, {u"キャンセル", Answer::Cancel}},
                        Answer::Cancel,
                        Answer::Cancel}));
    EXPECT_TRUE(session.Enabled(Command::Undo));

    // キャンセル keeps the window and the change.
    session.Run(Command::Close);
    ASSERT_EQ(view_.asked.size(), 3u);
    // Enter saves.
    EXPECT_EQ(
        view_.asked[2],
        (Question{
            u"保存していない変更があります。保存しますか？",
            {{u"保存", Answer::Yes}, {u"保存しない", Answer::No}, {u"キャンセル", Answer::Cancel}},
            Answer::Yes,
            Answer::Cancel}));
    EXPECT_FALSE(view_.closed);
    EXPECT_FALSE(session.MayClose());  // the front's close event asks the same
    EXPECT_EQ(view_.asked.size(), 4u);

    // 保存, then yes to overwrite: saved, and closed.
    view_.answers = {Answer::Yes, Answer::Yes};
    session.Run(Command::Close);
    EXPECT_EQ(view_.asked.size(), 6u);
    EXPECT_TRUE(view_.closed);
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "first.txt"), "a\r\nB\r\nc");
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "second.txt"), "a\nB\nc\n");
    EXPECT_TRUE(session.MayClose());  // the close event that follows asks nothing more
    EXPECT_EQ(view_.asked.size(), 6u);
}

TEST_F(SessionTest, ChangedOnDiskComparesAgainWithoutAskingTwice) {
    Session& session = Open("a\nb\n", "a\nB\n");
    session.Run(Command::TakeToFirst);
    WriteBytes(dir_ / "first.txt", "a\nb\nc\n");
    view_.answers = {Answer::No};  // 比較し直す
    session.Run(Command::Save);
    EXPECT_EQ(view_.asked.size(), 1u);
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "first.txt"), "a\nb\nc\n");
    EXPECT_EQ(view_.status, u"比較し直しました");
    EXPECT_EQ(session.RowCount(), 4u);  // a, -b, +B, -c: the other program's file
    EXPECT_FALSE(session.Enabled(Command::Undo));
    EXPECT_EQ(view_.title, u"first.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
}

TEST_F(SessionTest, EditingALineInPlaceComparesAsTypedAndIsOneStep) {
    Session& session = Open("one\ntwo\nthree\n", "one\n2\nthree\n");
    ASSERT_EQ(session.CurrentRow(), std::optional<std::size_t>(1));  // -two
    // F2 in the one list: a row only in the first file is the first file's line.
    session.Run(Command::EditLine);
    ASSERT_TRUE(view_.editor.has_value());
    EXPECT_EQ(*view_.editor, (std::pair<std::size_t, std::size_t>(1, 3)));
    EXPECT_EQ(view_.editorText, u"two");
    EXPECT_EQ(view_.status, u"Enter で確定、Esc で取り消し");
    session.Typed(u"tw");
    EXPECT_EQ(session.RowCount(), 4u);
    EXPECT_EQ(view_.title, u"● first.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
    session.Typed(u"2");  // now as the second file's line: one common row, the editor on it
    EXPECT_EQ(session.RowCount(), 3u);
    EXPECT_EQ(view_.editor->first, 1u);
    EXPECT_EQ(session.CountText(), u"相違はありません");
    session.FinishEdit(false);  // Esc: the line as it was, nothing to redo
    EXPECT_FALSE(view_.editor.has_value());
    EXPECT_EQ(view_.status, u"編集を取り消しました");
    EXPECT_EQ(session.RowCount(), 4u);
    EXPECT_FALSE(session.Enabled(Command::Undo));
    EXPECT_FALSE(session.Enabled(Command::Redo));
    EXPECT_EQ(view_.title, u"first.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");

    // Side by side, a double click on the right pane of the changed row edits the second file;
    // the empty side of a change has no line to edit.
    session.SetView(View::SideBySide);
    session.EditAt(1, Side::Second);
    EXPECT_EQ(view_.editorText, u"2");
    EXPECT_EQ(view_.editor->second, 4u);
    session.Typed(u"二");
    session.Typed(u"二つ");
    session.Run(Command::Save);  // a command ends the edit, keeping the line
    EXPECT_FALSE(view_.editor.has_value());
    EXPECT_EQ(testsupport::ReadBytes(dir_ / "second.txt"), "one\n二つ\nthree\n");
    session.Run(Command::Undo);  // all the typing at once
    EXPECT_EQ(Text(1, 4), u"2");
    EXPECT_FALSE(session.Enabled(Command::Undo));

    // A long file is compared when the edit ends, not at every key.
    std::string many;
    for (int i = 0; i < 50000; ++i) many += "line\n";
    Open(many + "x\n", many + "y\n");
    session_->Run(Command::EditLine);
    session_->Typed(u"y");
    EXPECT_EQ(session_->CountText().substr(0, 7), u"相違 1 箇所");
    session_->FinishEdit(true);
    EXPECT_EQ(session_->CountText(), u"相違はありません");
    EXPECT_EQ(view_.status, u"行を編集しました");

    Open("a\n", "a\nb\n");
    session_->SetView(View::SideBySide);
    session_->EditAt(1, Side::First);
    EXPECT_FALSE(view_.editor.has_value());
    EXPECT_EQ(view_.status, u"ここに第一のファイルの行はありません");
}

}  // namespace
}  // namespace viewer
