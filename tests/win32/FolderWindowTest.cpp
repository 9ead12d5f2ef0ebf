// The Win32 folder window on real folders: rows filled from the background walk with their marks,
// a file pair opened by Enter in the file viewer's window, and Backspace or closing that window
// back to the list where it was, a change in the pair asked about first.
#include <gtest/gtest.h>
#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <string>
#include <vector>

#include "FolderWindow.h"
#include "Questions.h"
#include "ViewerWindow.h"
#include "WindowTest.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::AccessibleName;
using testsupport::TempDir;
using testsupport::TextOf;
using testsupport::WriteBytes;

class FolderWindowTest : public testsupport::WindowTest<FolderWindow> {
protected:
    void Press(HWND to, UINT key) { WindowTest::Press(key, 0, to); }
    // Each row as the list shows it: its mark, its name in the tree and its state.
    std::vector<std::wstring> Rows() const {
        std::vector<std::wstring> rows;
        const HWND list = window_->list();
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            std::wstring line;
            for (int column : {0, 1, 2}) {
                wchar_t text[512] = {};
                ListView_GetItemText(list, row, column, text, 512);
                line += (column == 0 ? L"" : L" | ") + std::wstring(text);
            }
            rows.push_back(line);
        }
        return rows;
    }
    int Current() const { return ListView_GetNextItem(window_->list(), -1, LVNI_FOCUSED); }
    void SetCurrent(int row) {
        const UINT both = LVIS_FOCUSED | LVIS_SELECTED;
        ListView_SetItemState(window_->list(), row, both, both);
    }
};

TEST_F(FolderWindowTest, OpensInsideTheWorkAreaWithTheKeysOnTheListAndSoDoesAPair) {
    // At any resolution (the test stage runs this at 192 dpi too): wholly on screen.
    const fs::path a = dir_ / "a", b = dir_ / "b";
    fs::create_directories(a);
    fs::create_directories(b);
    WriteBytes(a / "changed.txt", "old\n");
    WriteBytes(b / "changed.txt", "new\n");
    window_ = std::make_unique<FolderWindow>(a, b, dir_ / "Zarvo.ini");
    ASSERT_TRUE(PumpUntil([&] { return ListView_GetItemCount(window_->list()) == 1; }));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const auto inside = [&](HWND window) {
        RECT placed{};
        GetWindowRect(window, &placed);
        return placed.left >= work.left && placed.top >= work.top && placed.right <= work.right &&
               placed.bottom <= work.bottom;
    };
    EXPECT_TRUE(inside(window_->hwnd()));
    // Every column within the list: the second side's too.
    RECT list{};
    GetClientRect(window_->list(), &list);
    int columns = 0;
    for (int column = 0; column < 5; ++column)
        columns += ListView_GetColumnWidth(window_->list(), column);
    EXPECT_LE(columns, list.right);
    EXPECT_EQ(GetFocus(), window_->list());
    EXPECT_EQ(Current(), 0);
    Press(window_->list(), VK_RETURN);
    ASSERT_NE(window_->fileView(), nullptr);
    EXPECT_TRUE(inside(window_->fileView()->hwnd()));
}

TEST_F(FolderWindowTest, ListsTheWalkOpensAPairWithEnterAndComesBack) {
    const fs::path a = dir_ / "a", b = dir_ / "b";
    for (const fs::path& root : {a, b}) {
        fs::create_directories(root / "sub");
        WriteBytes(root / "sub" / "same.txt", "same\n");
    }
    WriteBytes(a / "sub" / "changed.txt", "old\n");
    WriteBytes(b / "sub" / "changed.txt", "new\n");
    WriteBytes(a / "gone.txt", "gone\n");
    WriteBytes(b / "added.txt", "added\n");

    window_ = std::make_unique<FolderWindow>(a, b, dir_ / "Zarvo.ini");
    ASSERT_TRUE(PumpUntil([&] { return !window_->session().Running(); }));
    EXPECT_EQ(Rows(),
              (std::vector<std::wstring>{L"!> | added.txt | 第二だけ", L"<! | gone.txt | 第一だけ",
                                         L"<> | - sub | 相違", L"<> |   changed.txt | 相違"}));
    // The folder's mark has a glyph in the list's own font, not a box.
    HDC dc = GetDC(window_->list());
    HGDIOBJ font =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window_->list(), WM_GETFONT, 0, 0)));
    WORD glyphs[2] = {};
    EXPECT_EQ(GetGlyphIndicesW(dc, L"-+", 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS), 2u);
    EXPECT_NE(glyphs[0], 0xFFFF);
    EXPECT_NE(glyphs[1], 0xFFFF);
    SelectObject(dc, font);
    ReleaseDC(window_->list(), dc);
    EXPECT_EQ(TextOf(window_->hwnd()),
              L"a ⇔ b — 相違 1 件 — 第一だけ 1 — 第二だけ 1 — Diff-Zarvo ビューアー");

    // A screen reader hears the list by the title, a row by its cells, the pattern line by its
    // label.
    EXPECT_EQ(AccessibleName(window_->list()),
              L"a ⇔ b — 相違 1 件 — 第一だけ 1 — 第二だけ 1 — Diff-Zarvo ビューアー");
    EXPECT_EQ(AccessibleName(window_->list(), 2), L"<! gone.txt 第一だけ 5 バイト なし");
    EXPECT_EQ(AccessibleName(window_->pattern()), L"隠す名前");

    // Enter on the changed pair opens it in the file viewer, in the folder window's place.
    SetFocus(window_->list());
    SetCurrent(3);
    Press(window_->list(), VK_RETURN);
    ASSERT_NE(window_->fileView(), nullptr);
    const HWND file = window_->fileView()->hwnd();
    EXPECT_EQ(window_->fileView()->comparison().first().path, a / "sub" / "changed.txt");
    EXPECT_NE(TextOf(file).find(L"changed.txt ⇔ "), std::wstring::npos) << TextOf(file);
    EXPECT_TRUE(IsWindowVisible(file));
    EXPECT_FALSE(IsWindowVisible(window_->hwnd()));

    // A change taken across in the pair: closing its window asks first, and キャンセル keeps it;
    // 保存しない comes back to the list with the file as it was.
    window_->fileView()->session().Run(Command::TakeToSecond);
    testsupport::question = {file, {L"キャンセル", L"保存しない"}, {}, nullptr, 0, 0};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, testsupport::AnswerQuestion);
    PostMessageW(file, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return testsupport::question.buttons.size() == 1; }));
    Pump();
    EXPECT_EQ(testsupport::question.buttons[0],
              (std::vector<std::wstring>{L"保存", L"保存しない", L"キャンセル"}));
    ASSERT_NE(window_->fileView(), nullptr);
    EXPECT_TRUE(IsWindowVisible(file));
    PostMessageW(file, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return window_->fileView() == nullptr; }));
    KillTimer(nullptr, timer);
    EXPECT_EQ(testsupport::question.buttons.size(), 2u);
    EXPECT_EQ(testsupport::ReadBytes(b / "sub" / "changed.txt"), "new\n");
    EXPECT_EQ(Current(), 3);

    // Backspace comes back to the list, on the same row.
    SetCurrent(3);
    Press(window_->list(), VK_RETURN);
    ASSERT_NE(window_->fileView(), nullptr);
    const HWND again = window_->fileView()->hwnd();
    Press(window_->fileView()->list(), VK_BACK);
    EXPECT_EQ(window_->fileView(), nullptr);
    EXPECT_FALSE(IsWindow(again));
    EXPECT_TRUE(IsWindowVisible(window_->hwnd()));
    EXPECT_EQ(Current(), 3);
    EXPECT_EQ(GetFocus(), window_->list());

    // A file only in the first opens against nothing; closing its window comes back too, and
    // the program goes on.
    SetCurrent(1);
    Press(window_->list(), VK_RETURN);
    ASSERT_NE(window_->fileView(), nullptr);
    EXPECT_EQ(window_->fileView()->comparison().first().path, a / "gone.txt");
    PostMessageW(window_->fileView()->hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return window_->fileView() == nullptr; }));
    EXPECT_EQ(Current(), 1);
    MSG quit;
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    // Taken into the second folder and saved, it is made there once the user says so (and
    // nowhere else); back in the list, the pair is the same, hidden with the others, and the
    // title counts it no more.
    Press(window_->list(), VK_RETURN);
    ASSERT_NE(window_->fileView(), nullptr);
    window_->fileView()->session().Run(Command::TakeToSecond);
    testsupport::question = {window_->fileView()->hwnd(), {L"作って保存"}, {}, nullptr, 0, 0};
    const UINT_PTR asking = SetTimer(nullptr, 0, 50, testsupport::AnswerQuestion);
    window_->fileView()->session().Run(Command::Save);
    KillTimer(nullptr, asking);
    EXPECT_EQ(testsupport::question.buttons,
              (std::vector<std::vector<std::wstring>>{{L"作って保存", L"キャンセル"}}));
    EXPECT_EQ(testsupport::ReadBytes(b / "gone.txt"), "gone\n");
    Press(window_->fileView()->list(), VK_BACK);
    ASSERT_EQ(window_->fileView(), nullptr);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"!> | added.txt | 第二だけ", L"<> | - sub | 相違",
                                                 L"<> |   changed.txt | 相違"}));
    EXPECT_EQ(TextOf(window_->hwnd()),
              L"a ⇔ b — 相違 1 件 — 第一だけ 0 — 第二だけ 1 — Diff-Zarvo ビューアー");
    // F5 compares the folders again, and finds the same.
    Press(window_->list(), VK_F5);
    ASSERT_TRUE(PumpUntil([&] { return !window_->session().Running(); }));
    EXPECT_EQ(Rows().size(), 3u);
    EXPECT_EQ(TextOf(window_->hwnd()),
              L"a ⇔ b — 相違 1 件 — 第一だけ 0 — 第二だけ 1 — Diff-Zarvo ビューアー");

    // Left closes a folder's rows; the pattern line hides names.
    SetCurrent(1);
    Press(window_->list(), VK_LEFT);
    EXPECT_EQ(Rows().size(), 2u);
    SetWindowTextW(window_->pattern(), L"*.txt");
    Pump();
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"<> | + sub | 相違"}));
    EXPECT_EQ(LoadFolderFilters(dir_ / "Zarvo.ini").namePattern, u"*.txt");
}

}  // namespace
}  // namespace viewer
