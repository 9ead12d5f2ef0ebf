// The merge window's session on real files, through a view that records what it is told: the
// grid's cells and colours, moving between changes and conflicts, taking sides, undo, editing a
// result line, and saving with its questions and exit code.
#include <gtest/gtest.h>

#include <array>

#include "MergeSession.h"
#include "Settings.h"
#include "StripBands.h"
#include "support/SessionViews.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::ReadBytes;
using testsupport::RecordingView;
using testsupport::TempDir;
using testsupport::WriteBytes;

class MergeSessionTest : public ::testing::Test {
protected:
    MergeSession& Open(const std::string& mine, const std::string& base, const std::string& theirs,
                       const std::filesystem::path& settingsFile = {}) {
        WriteBytes(dir_ / "mine.txt", mine);
        WriteBytes(dir_ / "base.txt", base);
        WriteBytes(dir_ / "theirs.txt", theirs);
        WriteBytes(dir_ / "merged.txt", "git's merge\n");
        Arguments arguments;
        arguments.first = dir_ / "mine.txt";
        arguments.base = dir_ / "base.txt";
        arguments.second = dir_ / "theirs.txt";
        arguments.firstLabel = "HEAD";
        arguments.baseLabel = "base";
        arguments.secondLabel = "feature";
        arguments.output = dir_ / "merged.txt";
        std::u16string why;
        std::optional<MergeSources> sources = ReadMergeSources(arguments, why);
        EXPECT_TRUE(sources) << std::string(why.begin(), why.end());
        session_ = std::make_unique<MergeSession>(std::move(*sources), view_, settingsFile);
        session_->Open();
        return *session_;
    }
    std::u16string Text(std::size_t row, MergeColumn column) const {
        return session_->CellAt(row, column).text;
    }
    std::vector<std::u16string> Result() const {
        std::vector<std::u16string> lines;
        for (std::size_t row = 0; row < session_->RowCount(); ++row) {
            const MergeCell cell = session_->CellAt(row, MergeColumn::Result);
            if (!cell.empty) lines.push_back(cell.text);
        }
        return lines;
    }

    TempDir dir_;
    RecordingView view_;
    std::unique_ptr<MergeSession> session_;
};

using enum MergeCommand;

TEST_F(MergeSessionTest, ConflictsAreFoundShownTakenUndoneAndSavedWithoutOne) {
    MergeSession& session =
        Open("A\nb\nc\nD\ne\nf\ng\nM\n", "a\nb\nc\nd\ne\nf\ng\nh\n", "X\nb\nc\nd\ne\nF\ng\nT\n");
    // It opens on the first conflict: MINE's, BASE's and THEIRS' lines beside the markers a
    // save would write; the result is unsaved from the start.
    EXPECT_EQ(view_.scrolledRow, 0u);
    EXPECT_EQ(session.CountText(), u"未解決の競合 2 件");
    EXPECT_EQ(view_.title, u"● merged.txt (マージ) - Diff-Zarvo ビューアー");
    EXPECT_EQ(Result(), (std::vector<std::u16string>{u"<<<<<<< HEAD",
                                                     u"A",
                                                     u"||||||| base",
                                                     u"a",
                                                     u"=======",
                                                     u"X",
                                                     u">>>>>>> feature",
                                                     u"b",
                                                     u"c",
                                                     u"D",
                                                     u"e",
                                                     u"F",
                                                     u"g",
                                                     u"<<<<<<< HEAD",
                                                     u"M",
                                                     u"||||||| base",
                                                     u"h",
                                                     u"=======",
                                                     u"T",
                                                     u">>>>>>> feature"}));
    EXPECT_EQ(Text(0, MergeColumn::Mine), u"A");
    EXPECT_EQ(Text(0, MergeColumn::BaseNumber), u"1");
    EXPECT_EQ(Text(0, MergeColumn::Theirs), u"X");
    EXPECT_TRUE(session.CellAt(1, MergeColumn::Mine).empty);
    EXPECT_EQ(Text(0, MergeColumn::Mark), u"!");
    EXPECT_EQ(session.CellAt(0, MergeColumn::Base).background, ColourRole::MergeConflict);
    EXPECT_EQ(Text(9, MergeColumn::Mark), u"<");  // D: MINE's change
    EXPECT_EQ(session.CellAt(9, MergeColumn::Result).background, ColourRole::MergeMine);
    EXPECT_EQ(Text(11, MergeColumn::Mark), u">");  // F: THEIRS'
    EXPECT_EQ(session.CellAt(11, MergeColumn::Theirs).background, ColourRole::MergeTheirs);
    EXPECT_EQ(Text(11, MergeColumn::ResultNumber), u"12");
    EXPECT_EQ(session.StripMarks().size(), 4u);

    // F8 / F7 through every change, Ctrl+F8 / Ctrl+F7 through the conflicts left.
    session.Run(NextChange);
    EXPECT_EQ(view_.scrolledRow, 9u);
    session.Run(NextConflict);
    EXPECT_EQ(view_.scrolledRow, 13u);
    session.Run(PreviousChange);
    EXPECT_EQ(view_.scrolledRow, 11u);
    session.Run(NextChange);
    session.Run(NextChange);
    EXPECT_EQ(view_.status, u"この先に変更はありません");

    // Alt+Right on the last conflict, Alt+Left on the first: none left.
    session.Run(TakeTheirs);
    EXPECT_EQ(session.CountText(), u"未解決の競合 1 件");
    EXPECT_EQ(Text(13, MergeColumn::Mark), u"*");
    EXPECT_EQ(session.CellAt(13, MergeColumn::Mine).background, ColourRole::MergeResolved);
    session.Run(NextConflict);
    EXPECT_EQ(view_.status, u"この先に未解決の競合はありません");
    session.Run(PreviousConflict);
    EXPECT_EQ(view_.scrolledRow, 0u);
    session.Run(TakeMine);
    EXPECT_EQ(session.CountText(), u"未解決の競合はありません");
    EXPECT_EQ(Result(),
              (std::vector<std::u16string>{u"A", u"b", u"c", u"D", u"e", u"F", u"g", u"T"}));
    session.Run(Undo);
    EXPECT_EQ(session.CountText(), u"未解決の競合 1 件");
    session.Run(Redo);
    EXPECT_FALSE(session.Enabled(Redo));

    // Saved with no conflict left: no question, the bytes, exit 0, nothing to ask at closing.
    session.Run(Save);
    EXPECT_TRUE(view_.asked.empty());
    EXPECT_EQ(ReadBytes(dir_ / "merged.txt"), "A\nb\nc\nD\ne\nF\ng\nT\n");
    EXPECT_EQ(ReadBytes(dir_ / "mine.txt"), "A\nb\nc\nD\ne\nf\ng\nM\n");
    EXPECT_EQ(view_.status, u"「" + (dir_ / "merged.txt").u16string() + u"」に保存しました");
    EXPECT_EQ(view_.title, u"merged.txt (マージ) - Diff-Zarvo ビューアー");
    EXPECT_EQ(session.ExitCode(), 0);
    EXPECT_TRUE(session.MayClose());
    EXPECT_TRUE(view_.asked.empty());
}

TEST_F(MergeSessionTest, FindAndGoToLineInAnyFilesNumbering) {
    MergeSession& session =
        Open("A\nb\nc\nD\ne\nf\ng\nM\n", "a\nb\nc\nd\ne\nf\ng\nh\n", "X\nb\nc\nd\ne\nF\ng\nT\n");
    // Ctrl+F with nothing to find opens the bar; a match in any file, case aside, from the
    // current row round: the second conflict's marker, then back to the first's.
    session.Run(Find);
    EXPECT_EQ(view_.bar, Bar::Find);
    session.SetFindText(u"head");
    session.Run(FindNext);
    EXPECT_EQ(view_.scrolledRow, 13u);
    session.Run(FindPrevious);
    EXPECT_EQ(view_.scrolledRow, 0u);
    // Ctrl+C on a conflict: its result lines, the markers as drawn; on a common row, its line.
    session.Run(Copy);
    EXPECT_EQ(view_.clipboard, u"<<<<<<< HEAD\nA\n||||||| base\na\n=======\nX\n>>>>>>> feature\n");
    EXPECT_EQ(view_.status, u"結果の 7 行をコピーしました");
    session.SetCurrent(8);
    session.Run(Copy);
    EXPECT_EQ(view_.clipboard, u"c\n");
    session.SetFindText(u"zzz");
    session.Run(FindNext);
    EXPECT_EQ(view_.status, u"「zzz」は見つかりません");
    // Line 6 of THEIRS (typed full-width), line 8 of the result, past BASE's end: its last line.
    session.GoToLine(MergeColumn::Theirs, u" ６ ");
    EXPECT_EQ(view_.scrolledRow, 11u);
    session.GoToLine(MergeColumn::Result, u"8");
    EXPECT_EQ(view_.scrolledRow, 7u);
    session.GoToLine(MergeColumn::Base, u"99");
    EXPECT_EQ(view_.scrolledRow, 13u);
    session.GoToLine(MergeColumn::Mine, u"x");
    EXPECT_EQ(view_.status, u"その行はありません");
    // Esc closes the bar first, then the window.
    session.Run(GoToLine);
    EXPECT_EQ(view_.bar, Bar::Line);
    session.Run(Close);
    EXPECT_EQ(view_.bar, Bar::None);
    EXPECT_FALSE(view_.closed);
    session.Run(Close);
    EXPECT_TRUE(view_.closed);
}

TEST_F(MergeSessionTest, SavingWithConflictsLeftAsksAndWritesTheMarkers) {
    MergeSession& session = Open("a\r\nMINE\r\nc\r\n", "a\r\nb\r\nc\r\n", "a\r\nTHEIRS\r\nc\r\n");
    // Closing unsaved asks 保存 / 保存しない / キャンセル; キャンセル keeps the window.
    EXPECT_FALSE(session.MayClose());
    ASSERT_EQ(view_.asked.size(), 1u);
    EXPECT_EQ(
        view_.asked[0],
        (Question{
            u"マージの結果を保存していません。保存しますか？",
            {{u"保存", Answer::Yes}, {u"保存しない", Answer::No}, {u"キャンセル", Answer::Cancel}},
            Answer::Yes,
            Answer::Cancel}));
    // 保存 there asks about the conflict: キャンセル writes nothing.
    view_.answers = {Answer::Yes, Answer::Cancel};
    EXPECT_FALSE(session.MayClose());
    EXPECT_EQ(view_.asked[2],
              (Question{u"未解決の競合が 1 件あります。競合の印を付けたまま保存しますか？",
                        {{u"印を付けたまま保存", Answer::Yes}, {u"キャンセル", Answer::Cancel}},
                        Answer::Cancel,
                        Answer::Cancel}));
    EXPECT_EQ(ReadBytes(dir_ / "merged.txt"), "git's merge\n");
    // 印を付けたまま保存 writes them, in MINE's CR LF; the exit code says a conflict is left.
    view_.answers = {Answer::Yes};
    session.Run(Save);
    EXPECT_EQ(ReadBytes(dir_ / "merged.txt"),
              "a\r\n<<<<<<< HEAD\r\nMINE\r\n||||||| base\r\nb\r\n=======\r\nTHEIRS\r\n>>>>>>> "
              "feature\r\nc\r\n");
    EXPECT_EQ(session.ExitCode(), 1);
    EXPECT_TRUE(session.MayClose());
}

TEST_F(MergeSessionTest, BothSidesBaseEveryConflictAndALineEditedInMinesEncoding) {
    // Shift_JIS files: "あ" is 82 A0.
    MergeSession& session =
        Open("1\n\x82\xa0\n3\n4\n5\nm\n", "1\n2\n3\n4\n5\nb\n", "1\nt\n3\n4\n5\nT\n");
    EXPECT_EQ(Text(1, MergeColumn::Mine), u"あ");
    // Shown in an encoding picked by hand, bytes unchanged; UTF-16 cannot be cut into lines.
    session.Choose(EncodingMine, 7);  // 西ヨーロッパ言語 (Windows-1252)
    EXPECT_EQ(Text(1, MergeColumn::Mine), u"‚\u00a0");
    EXPECT_EQ(session.HeaderLine(MergeColumn::Mine), u"自分: HEAD　(Latin-1 (Windows-1252))");
    EXPECT_EQ(session.Chosen(EncodingMine), 7u);
    session.Choose(EncodingBase, 2);
    EXPECT_EQ(view_.status, u"UTF-16 のファイルはマージできません。");
    EXPECT_EQ(session.Chosen(EncodingBase), 0u);
    session.Choose(EncodingMine, 4);  // 日本語 (シフト JIS / CP932)
    EXPECT_EQ(Text(1, MergeColumn::Mine), u"あ");
    session.Run(TakeBoth);
    EXPECT_EQ(Result()[1], u"あ");
    EXPECT_EQ(Result()[2], u"t");
    session.Run(TakeBase);
    EXPECT_EQ(Result()[1], u"2");
    session.Run(TakeTheirsForAll);
    EXPECT_EQ(view_.status, u"競合 1 件に相手の側を取りました");
    EXPECT_EQ(session.CountText(), u"未解決の競合はありません");

    // F2 on the result's line 2: a character Shift_JIS cannot hold is refused, line named.
    session.Run(EditLine);
    ASSERT_TRUE(view_.editor);
    EXPECT_EQ(view_.editor->second, static_cast<std::size_t>(MergeColumn::Result));
    EXPECT_EQ(view_.editorText, u"2");
    session.Typed(u"😀");
    session.FinishEdit(true);
    EXPECT_EQ(view_.status, u"2 行目の「😀」は Shift_JIS (CP932) で書けません。行は元のままです。");
    session.Run(EditLine);
    session.Typed(u"い");
    session.FinishEdit(true);
    EXPECT_FALSE(view_.editor);
    EXPECT_EQ(Result()[1], u"い");
    session.Run(Save);
    EXPECT_EQ(ReadBytes(dir_ / "merged.txt"), "1\n\x82\xa2\n3\n4\n5\nT\n");
    EXPECT_EQ(session.ExitCode(), 0);
}

TEST_F(MergeSessionTest, AResultChangedOnDiskSinceItWasReadIsAskedAbout) {
    MergeSession& session = Open("x\n", "b\n", "b\n");
    WriteBytes(dir_ / "merged.txt", "another program's\n");
    session.Run(Save);
    ASSERT_EQ(view_.asked.size(), 1u);
    EXPECT_EQ(view_.asked[0],
              (Question{u"「" + (dir_ / "merged.txt").u16string() +
                            u"」は読み込んだ後で他のプログラムに変更されています。上書きしますか？",
                        {{u"上書き保存", Answer::Yes}, {u"キャンセル", Answer::Cancel}},
                        Answer::Cancel,
                        Answer::Cancel,
                        true}));
    EXPECT_EQ(ReadBytes(dir_ / "merged.txt"), "another program's\n");
    EXPECT_EQ(view_.status, u"保存しませんでした");
    EXPECT_EQ(session.ExitCode(), 1);
    view_.answers = {Answer::Yes};
    session.Run(Save);
    EXPECT_EQ(ReadBytes(dir_ / "merged.txt"), "x\n");
    EXPECT_EQ(session.ExitCode(), 0);
}

TEST_F(MergeSessionTest, TheIgnoreOptionsDrawOverlookedChangesAsCommonAndAreRemembered) {
    const std::string mine = "one \nsame\nTwo\nsame\nthree\r\nsame\nM\n";
    const std::string base = "one\nsame\ntwo\nsame\nthree\nsame\nB\n";
    const std::string theirs = "one\nsame\ntwo\nsame\nthree\nsame\nT\n";
    const std::filesystem::path settings = dir_.path() / "diff-zarvo.ini";
    auto marks = [&] {
        return std::vector<std::u16string>{Text(0, MergeColumn::Mark), Text(2, MergeColumn::Mark),
                                           Text(4, MergeColumn::Mark), Text(6, MergeColumn::Mark)};
    };
    MergeSession& session = Open(mine, base, theirs, settings);
    // By default only line ends are overlooked: the CR LF change is drawn as common.
    EXPECT_TRUE(session.Checked(IgnoreLineEnds));
    EXPECT_FALSE(session.Checked(IgnoreTrailingBlanks));
    EXPECT_EQ(marks(), (std::vector<std::u16string>{u"<", u"<", u"", u"!"}));
    EXPECT_EQ(session.CellAt(4, MergeColumn::Mine).background, ColourRole::Base);

    session.Run(IgnoreTrailingBlanks);
    session.Run(IgnoreCase);
    session.Run(IgnoreLineEnds);
    EXPECT_TRUE(session.Checked(IgnoreTrailingBlanks));
    EXPECT_TRUE(session.Checked(IgnoreCase));
    EXPECT_FALSE(session.Checked(IgnoreLineEnds));
    EXPECT_EQ(marks(), (std::vector<std::u16string>{u"", u"", u"<", u"!"}));
    EXPECT_EQ(session.CellAt(0, MergeColumn::Result).background, ColourRole::Base);
    EXPECT_EQ(session.CellAt(4, MergeColumn::Result).background, ColourRole::MergeMine);
    // F7 from the conflict passes over the overlooked changes; the strip shows only the two left.
    EXPECT_EQ(session.CurrentRow(), std::optional<std::size_t>(6));
    session.Run(PreviousChange);
    EXPECT_EQ(session.CurrentRow(), std::optional<std::size_t>(4));
    session.Run(PreviousChange);
    EXPECT_EQ(view_.status, u"この先に変更はありません");
    EXPECT_EQ(session.StripMarks().size(), 2u);
    // The result is the merge's, byte for byte: only the drawing overlooks.
    EXPECT_EQ(session.ResultBytes().substr(0, 26), "one \nsame\nTwo\nsame\nthree\r\n");

    // The next window, and the two-way view, start with the options as left.
    EXPECT_TRUE(LoadChoices(settings).options.letterCase);
    MergeSession& again = Open(mine, base, theirs, settings);
    EXPECT_TRUE(again.Checked(IgnoreTrailingBlanks));
    EXPECT_FALSE(again.Checked(IgnoreLineEnds));
    EXPECT_EQ(marks(), (std::vector<std::u16string>{u"", u"", u"<", u"!"}));
}

TEST_F(MergeSessionTest, ColumnsShareTheWidthAndALongerLineWidensItsFileToScrollTo) {
    // MINE's line 2 is 60 cells (30 wide characters); THEIRS' line 2 is 20; a conflict between.
    std::string wide;
    for (int i = 0; i < 30; ++i) wide += "\xE6\x97\xA5";  // 日
    MergeSession& session =
        Open("a\n" + wide + "\nc\n", "a\nb\nc\n", "a\n" + std::string(20, 'x') + "\nc\n");
    // A digit is 8 pixels, 8 more on each side; the mark and four numbers of 1 digit: 120 pixels.
    using Widths = std::array<int, kMergeColumns>;
    // The markers' lines are the result's longest ("<<<<<<< " and the path of mine.txt), but
    // MINE's longer still.
    EXPECT_EQ(session.ColumnWidths({8, 8, 1000}),
              (Widths{24, 24, 60 * 8 + 16, 24, 220, 24, 220, 24, 60 * 8 + 16}));
    // Narrow: BASE and THEIRS at the least, 20 cells, the longer lines as wide as they are.
    EXPECT_EQ(session.ColumnWidths({8, 8, 300}), (Widths{24, 24, 496, 24, 176, 24, 176, 24, 496}));
    // The strip, 100 pixels a row (a, the conflict's seven rows with its markers, c): the
    // conflict across, a pixel in from each side, in its colour a shade darker.
    const std::vector<StripBand> bands = StripBands(session, 900);
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].top, 100);
    EXPECT_EQ(bands[0].bottom, 800);
    EXPECT_EQ(bands[0].half, StripHalf::Across);
    EXPECT_EQ(bands[0].colour, (Rgb{0xc4, 0x9a, 0x8a}));  // ffc8b4 by 130%
}

TEST_F(MergeSessionTest, ALongMergeIsDrawnBeforeItsWidestLinesAreMeasuredAndSizedAgainAfter) {
    // Three files of 100,000 49-letter lines (15 MB): MINE's line 90,001 is 300 letters, BASE's
    // and THEIRS' 200; THEIRS' line 95,001 is 120 wide characters, 240 cells.
    const std::string line = std::string(49, 'x') + "\n";
    std::string base;
    for (int i = 0; i < 100000; ++i) base += line;
    std::string mine = base, theirs = base;
    base.replace(90000 * 50, 50, std::string(200, 'w') + "\n");
    mine.replace(90000 * 50, 50, std::string(300, 'w') + "\n");
    theirs.replace(90000 * 50, 50, std::string(200, 'w') + "\n");
    std::string wide;
    for (int i = 0; i < 120; ++i) wide += "\xE6\x97\xA5";  // 日
    theirs.replace(95000 * 50 + 151, 50, wide + "\n");
    MergeSession& session = Open(mine, base, theirs);
    // Digits of 8 pixels, 8 more each side; the numbers 6 digits. The files as wide as their
    // first lines, 49 letters, until the measure is done; then each as its widest line, the
    // result as the widest of them.
    using Widths = std::array<int, kMergeColumns>;
    EXPECT_EQ(session.ColumnWidths({8, 8, 1000}), (Widths{24, 64, 408, 64, 408, 64, 408, 64, 408}));
    ASSERT_TRUE(view_.WaitForMeasure());
    EXPECT_TRUE(session.TakeMeasured());
    EXPECT_EQ(session.ColumnWidths({8, 8, 1000}),
              (Widths{24, 64, 2416, 64, 1616, 64, 1936, 64, 2416}));
    EXPECT_FALSE(session.TakeMeasured());

    // Read again without MINE's long line: its column keeps its width until the new lines are
    // measured, then narrows.
    mine.replace(90000 * 50, 301, std::string(200, 'w') + "\n");
    WriteBytes(dir_ / "mine.txt", mine);
    session.Run(MergeCommand::Reload);
    EXPECT_EQ(session.ColumnWidths({8, 8, 1000})[2], 2416);
    ASSERT_TRUE(view_.WaitForMeasure());
    EXPECT_TRUE(session.TakeMeasured());
    EXPECT_EQ(session.ColumnWidths({8, 8, 1000}),
              (Widths{24, 64, 1616, 64, 1616, 64, 1936, 64, 1936}));
}

TEST_F(MergeSessionTest, AFileChangedOnDiskShowsTheNoticeAndF5MergesAnewAskingForWorkDone) {
    MergeSession& session = Open("1\nmine\n3\n", "1\n2\n3\n", "1\ntheirs\n3\n");
    EXPECT_EQ(view_.watched, (std::vector<std::filesystem::path>{
                                 dir_ / "mine.txt", dir_ / "base.txt", dir_ / "theirs.txt"}));
    session.Run(TakeTheirs);
    session.Run(Save);
    ASSERT_EQ(ReadBytes(dir_ / "merged.txt"), "1\ntheirs\n3\n");
    // The window's own save is no change; another program's is.
    session.FilesChanged();
    EXPECT_FALSE(view_.notice);
    WriteBytes(dir_ / "theirs.txt", "1\ntheirs\n3\nfour\n");
    session.FilesChanged();
    EXPECT_TRUE(view_.notice);
    // Work not saved since is asked about; キャンセル keeps it.
    session.Run(TakeMine);
    view_.answers = {Answer::Cancel};
    session.Run(Reload);
    ASSERT_EQ(view_.asked.size(), 1u);
    EXPECT_EQ(view_.asked[0].text, u"保存していない変更は失われます。読み直しますか？");
    EXPECT_EQ(Result(), (std::vector<std::u16string>{u"1", u"mine", u"3"}));
    EXPECT_TRUE(view_.notice);
    // 読み直す: the files as they are now, merged anew, unsaved, on the conflict again.
    view_.answers = {Answer::Yes};
    session.Run(Reload);
    EXPECT_FALSE(view_.notice);
    EXPECT_EQ(view_.status, u"再読み込みしました");
    EXPECT_EQ(session.UnresolvedConflicts(), 1);
    EXPECT_EQ(session.CurrentRow(), std::optional<std::size_t>(1));
    EXPECT_EQ(Text(9, MergeColumn::Theirs), u"four");
    EXPECT_EQ(Text(9, MergeColumn::Result), u"four");
    EXPECT_TRUE(session.Changed());
    session.Run(Undo);
    EXPECT_EQ(session.UnresolvedConflicts(), 1);  // nothing to undo across a reload
}

}  // namespace
}  // namespace viewer
