// The folder window's model on real folders, without a display: its rows with their states,
// colours and marks, the filters and folders closed, the texts, the pair Enter opens, stopping,
// and the filters kept between runs.
#include <gtest/gtest.h>

#include <future>

#include "EditedComparison.h"
#include "FolderSession.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteBytes;

// One line per row: the name in its tree, the mark, the state, both sides.
std::vector<std::u16string> Lines(const FolderSession& session) {
    std::vector<std::u16string> lines;
    for (std::size_t row = 0; row < session.RowCount(); ++row) {
        const FolderRow shown = session.Row(row);
        lines.push_back(TreeText(shown) + u" " + shown.mark + u" | " + shown.state + u" | " +
                        shown.first + u" | " + shown.second);
    }
    return lines;
}

std::optional<std::size_t> RowNamed(const FolderSession& session, std::u16string_view name) {
    for (std::size_t row = 0; row < session.RowCount(); ++row) {
        if (session.Row(row).name == name) return row;
    }
    return std::nullopt;
}

// A file of one folder only is compared against the other folder's name for it, which its save
// makes. Back in the list after a save, the pair's row, the folder above it and the counts are
// as the files now are, and F5 finds the same.
TEST(FolderSession, PairSavedInItsFileViewIsShownAsItNowIs) {
    TempDir dir;
    const fs::path a = dir / "r1", b = dir / "r2";
    fs::create_directories(a / "sub");
    fs::create_directories(b / "sub");
    WriteBytes(a / "sub" / "only1.txt", "only\nin one\n");
    WriteBytes(a / "sub" / "diff.txt", "x\ny\n");
    WriteBytes(b / "sub" / "diff.txt", "x\ny\nz");
    FolderSession session(a, b, {false, u""});
    session.WaitAndPoll();
    EXPECT_EQ(session.CountText(), u"相違 1 件 — 第一だけ 1 — 第二だけ 0");

    const auto save = [&](std::u16string_view name) {
        const RowAction action = session.Activate(*RowNamed(session, name), dir / "Zarvo.ini");
        EditedComparison editing(action.compare(nullptr));
        EXPECT_TRUE(editing.Take(Side::First, 0, 2).done);
        return editing;
    };
    EditedComparison only = save(u"only1.txt");
    EXPECT_EQ(only.comparison().second().path, b / "sub" / "only1.txt");
    EXPECT_EQ(only.comparison().second().label, fs::path("r2/sub/only1.txt"));
    ASSERT_EQ(only.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_EQ(testsupport::ReadBytes(b / "sub" / "only1.txt"), "only\nin one\n");
    EXPECT_TRUE(session.PairClosed());
    EXPECT_EQ(session.CountText(), u"相違 1 件 — 第一だけ 0 — 第二だけ 0");
    EXPECT_FALSE(session.PairClosed());  // nothing more to follow

    EditedComparison diff = save(u"diff.txt");
    ASSERT_EQ(diff.Save(Side::Second).status, SaveStatus::Saved);
    EXPECT_TRUE(session.PairClosed());
    const std::vector<std::u16string> now = {
        u"- sub  | 同じ | フォルダー | フォルダー",
        u"  diff.txt  | 同じ | 4 バイト | 4 バイト",
        u"  only1.txt  | 同じ | 12 バイト | 12 バイト",
    };
    EXPECT_EQ(Lines(session), now);
    EXPECT_EQ(session.Title(), u"r1 ⇔ r2 — 相違なし — Diff-Zarvo ビューアー");

    session.SetExpanded(0, false);
    session.CompareAgain();
    session.WaitAndPoll();
    EXPECT_EQ(Lines(session),  // still closed
              std::vector<std::u16string>{u"+ sub  | 同じ | フォルダー | フォルダー"});
    session.SetExpanded(0, true);
    EXPECT_EQ(Lines(session), now);
}

TEST(FolderSession, RowsTextsFiltersAndThePairEnterOpens) {
    TempDir dir;
    const fs::path a = dir / "a", b = dir / "b";
    for (const fs::path& root : {a, b}) {
        fs::create_directories(root / "sub");
        WriteBytes(root / "same.txt", "same\n");
        WriteBytes(root / "sub" / "deep.txt", "deep\n");
    }
    WriteBytes(a / "changed.txt", "one\n");
    WriteBytes(b / "changed.txt", "two\n");
    WriteBytes(a / "sub" / "inner.c", "1");
    WriteBytes(b / "sub" / "inner.c", "22");
    WriteBytes(a / "build.o", "o1");
    WriteBytes(b / "build.o", "o2");
    fs::create_directories(a / ".git");
    WriteBytes(a / ".git" / "HEAD", "ref\n");
    WriteBytes(a / "caf\xE9", "");    // Latin-1, not UTF-8
    WriteBytes(a / "new\nline", "");  // shown whole, its newline as a mark
    WriteBytes(b / "only2.txt", "new\n");
    WriteBytes(a / "kind", "file\n");
    fs::create_directory(b / "kind");

    FolderSession session(a, b);
    session.WaitAndPoll();
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(Lines(session),
              (std::vector<std::u16string>{
                  u"- .git <! | 第一だけ | フォルダー | なし",
                  u"  HEAD <! | 第一だけ | 4 バイト | なし",
                  u"build.o <> | 相違 | 2 バイト | 2 バイト",
                  u"caf<E9> <! | 第一だけ | 0 バイト | なし",
                  u"changed.txt <> | 相違 | 4 バイト | 4 バイト",
                  u"kind <#> | 種類違い: ファイル ⇔ フォルダー | 5 バイト | フォルダー",
                  u"new<LF>line <! | 第一だけ | 0 バイト | なし",
                  u"only2.txt !> | 第二だけ | なし | 4 バイト",
                  u"- sub <> | 相違 | フォルダー | フォルダー",
                  u"  inner.c <> | 相違 | 1 バイト | 2 バイト",
              }));
    EXPECT_EQ(session.Row(0).background, (Rgb{0xff, 0xd4, 0xd4}));  // the first's red
    EXPECT_EQ(session.Row(7).background, (Rgb{0xcc, 0xee, 0xff}));  // the second's blue
    EXPECT_EQ(session.Row(2).background, (Rgb{0xff, 0xec, 0xb3}));
    EXPECT_EQ(session.CountText(), u"相違 3 件 — 第一だけ 3 — 第二だけ 1 — 種類違い 1");
    EXPECT_EQ(session.Title(),
              u"a ⇔ b — 相違 3 件 — 第一だけ 3 — 第二だけ 1 — 種類違い 1 — Diff-Zarvo ビューアー");
    EXPECT_EQ(session.HeaderLine(Side::Second), u"第二: " + b.u16string());
    EXPECT_EQ(session.HiddenNote(), u"同じ 2 件を表示していません");
    EXPECT_EQ(session.ProgressText(), u"比較が終わりました: 12 項目");

    // Enter: a pair of files, a file in one folder only against nothing, never a folder.
    const auto changed = session.PairAt(*RowNamed(session, u"changed.txt"));
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->first, a / "changed.txt");
    EXPECT_EQ(changed->second, b / "changed.txt");
    EXPECT_EQ(changed->firstLabel, fs::path("a/changed.txt"));
    const auto added = session.PairAt(*RowNamed(session, u"only2.txt"));
    ASSERT_TRUE(added);
    EXPECT_EQ(added->first, a / "only2.txt");  // to be made by a save
    EXPECT_TRUE(added->missing.first);
    EXPECT_FALSE(added->missing.second);
    EXPECT_EQ(added->second, b / "only2.txt");
    EXPECT_EQ(added->firstLabel, fs::path("a/only2.txt"));
    EXPECT_FALSE(session.PairAt(*RowNamed(session, u"kind")));
    EXPECT_FALSE(session.PairAt(*RowNamed(session, u"sub")));

    // A folder closed hides what it holds; rows are found again by their entries.
    const std::size_t sub = *RowNamed(session, u"sub");
    const std::size_t subEntry = session.Row(sub).entry;
    session.SetExpanded(sub, false);
    EXPECT_EQ(session.RowCount(), 9u);
    EXPECT_EQ(Lines(session).back(), u"+ sub <> | 相違 | フォルダー | フォルダー");
    session.SetExpanded(sub, true);
    EXPECT_EQ(session.RowOfEntry(subEntry), sub);

    // Names by pattern, blanks around them aside; the same shown too.
    session.SetFilters({false, u" .git ; *.o;"});
    EXPECT_EQ(session.RowCount(), 9u);
    EXPECT_FALSE(RowNamed(session, u"HEAD"));
    EXPECT_FALSE(RowNamed(session, u"build.o"));
    EXPECT_TRUE(RowNamed(session, u"same.txt"));
    EXPECT_EQ(session.HiddenNote(), u"名前で 2 件を表示していません");
    session.SetFilters({true, u"*.o"});
    EXPECT_EQ(session.HiddenNote(), u"同じ 2 件と、名前で 1 件を表示していません");
    EXPECT_TRUE(NameHidden(u"a*b?c", u"aXXbbYc"));
    EXPECT_FALSE(NameHidden(u"*.O", u"x.o"));  // names are bytes off Windows: case counts

    // Stopped while it runs (held at its first news): what was found stays, and the progress
    // line says so.
    std::promise<void> arrived, resume;
    std::shared_future<void> go = resume.get_future().share();
    FolderSession held(a, b, {}, [&arrived, go] {
        arrived.set_value();  // once: the session does not poll until it is told to
        go.wait();
    });
    arrived.get_future().wait();
    held.Stop();
    resume.set_value();
    held.WaitAndPoll();
    EXPECT_EQ(held.ProgressText(), u"比較を中止しました: 1 項目まで");

    // A folder that is not there.
    FolderSession missing(a, dir / "none");
    missing.WaitAndPoll();
    EXPECT_EQ(missing.ProgressText(), u"比較できません: 第二: 見つかりません");
    EXPECT_EQ(missing.RowCount(), 0u);
}

// The rows' cells as both fronts' lists show them, the current row through the changes under
// it, and what each key of the list's page does, on the current row.
TEST(FolderSession, CellsTheCurrentRowAndTheKeys) {
    TempDir dir;
    const fs::path a = dir / "a", b = dir / "b", settings = dir / "Zarvo.ini";
    for (const fs::path& root : {a, b}) {
        fs::create_directories(root / "sub");
        WriteBytes(root / "same.txt", "same\n");
    }
    WriteBytes(a / "sub" / "x.txt", "1");
    WriteBytes(b / "sub" / "x.txt", "22");
    WriteBytes(a / "z.txt", "z\n");
    FolderSession session(a, b, {true, u""});
    session.WaitAndPoll();
    const auto cells = [&](std::size_t row) {
        std::vector<std::u16string> shown;
        for (std::size_t column = 0; column < 5; ++column)
            shown.push_back(session.CellAt(row, column));
        return shown;
    };
    ASSERT_EQ(session.RowCount(), 3u);
    EXPECT_EQ(cells(0), (std::vector<std::u16string>{u"<>", u"- sub", u"相違", u"フォルダー",
                                                     u"フォルダー"}));
    EXPECT_EQ(cells(1),
              (std::vector<std::u16string>{u"<>", u"  x.txt", u"相違", u"1 バイト", u"2 バイト"}));
    EXPECT_EQ(cells(2),
              (std::vector<std::u16string>{u"<!", u"z.txt", u"第一だけ", u"2 バイト", u"なし"}));

    // The first row at first; the current entry followed when rows come above it, and kept in
    // the settings file with the filters.
    EXPECT_EQ(session.CurrentRow(), 0u);
    session.SetCurrent(2);
    session.ChangeFilters({false, u""}, settings);
    EXPECT_EQ(session.RowCount(), 4u);
    EXPECT_EQ(session.CurrentRow(), 3u);
    EXPECT_EQ(LoadFolderFilters(settings), (FolderFilters{false, u""}));
    // Hidden, it leaves the current row where it was, on the row nearest to it.
    session.ChangeFilters({false, u"z*"}, settings);
    EXPECT_EQ(session.CurrentRow(), 2u);
    EXPECT_EQ(session.CellAt(2, 1), u"  x.txt");

    // Left and Right close and open the current folder; on a file they are the list's own.
    session.SetCurrent(1);
    ASSERT_EQ(session.CellAt(1, 1), u"- sub");
    EXPECT_EQ(session.Key(FolderKey::Left, settings).kind, RowAction::Kind::Redraw);
    EXPECT_EQ(session.RowCount(), 2u);
    EXPECT_EQ(session.CellAt(1, 1), u"+ sub");
    EXPECT_EQ(session.Key(FolderKey::Right, settings).kind, RowAction::Kind::Redraw);
    EXPECT_EQ(session.RowCount(), 3u);
    session.SetCurrent(2);
    EXPECT_EQ(session.Key(FolderKey::Left, settings).kind, RowAction::Kind::PassOn);
    // Enter opens a file's pair, and opens or closes a folder.
    RowAction enter = session.Key(FolderKey::Enter, settings);
    ASSERT_EQ(enter.kind, RowAction::Kind::Compare);
    EXPECT_EQ(enter.compare(nullptr).second().path, b / "sub" / "x.txt");
    session.SetCurrent(1);
    EXPECT_EQ(session.Key(FolderKey::Enter, settings).kind, RowAction::Kind::Redraw);
    EXPECT_EQ(session.CellAt(1, 1), u"+ sub");
    // Esc stops a comparison that runs, and is not the list's once it has ended; F5 compares
    // again, the current row where it was.
    EXPECT_EQ(session.Key(FolderKey::Escape, settings).kind, RowAction::Kind::PassOn);
    EXPECT_EQ(session.Key(FolderKey::F5, settings).kind, RowAction::Kind::Redraw);
    session.WaitAndPoll();
    EXPECT_EQ(session.CurrentRow(), 1u);
    EXPECT_EQ(session.CellAt(1, 1), u"+ sub");  // closed by the user, closed again
}

TEST(FolderSession, FiltersAreKeptBetweenRuns) {
    TempDir dir;
    const fs::path settings = dir / "Zarvo.ini";
    EXPECT_EQ(LoadFolderFilters(settings), (FolderFilters{true, u""}));
    WriteBytes(settings, "[Viewer]\r\nIgnoreCase=1\r\n");
    const FolderFilters chosen{false, u" 一時*;*.o"};
    EXPECT_TRUE(SaveFolderFilters(settings, chosen));
    EXPECT_EQ(LoadFolderFilters(settings), chosen);
    EXPECT_EQ(testsupport::ReadBytes(settings),
              "[Viewer]\r\nIgnoreCase=1\r\nFolderHideSame=0\r\n"
              "FolderHideNames=\" \xE4\xB8\x80\xE6\x99\x82*;*.o\"\r\n");
}

}  // namespace
}  // namespace viewer
