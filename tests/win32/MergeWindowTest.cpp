// The Win32 merge window on real files, under Wine: moved with F7 / F8, a conflict resolved with
// Alt+Left, saved with Ctrl+S; what its list shows and paints, and the bytes written.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "InputBars.h"
#include "MergeWindow.h"  // windows.h and commctrl.h
#include "Progress.h"
#include "RunningMerge.h"
#include "RunViewer.h"
#include "WindowTest.h"
#include "support/LongMerge.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::AccessibleName;
using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

class MergeWindowTest : public testsupport::WindowTest<MergeWindow> {
protected:
    // The merge window over mine.txt, base.txt and theirs.txt in the test's folder, with `more`
    // arguments after their names.
    void OpenMerge(const std::string& mine, const std::string& base, const std::string& theirs,
                   const std::vector<std::filesystem::path>& more = {}) {
        WriteBytes(dir_.path() / L"mine.txt", mine);
        WriteBytes(dir_.path() / L"base.txt", base);
        WriteBytes(dir_.path() / L"theirs.txt", theirs);
        std::vector<std::filesystem::path> arguments = {
            dir_.path() / L"mine.txt", dir_.path() / L"base.txt", dir_.path() / L"theirs.txt"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        const auto parsed = ParseArguments(arguments);
        ASSERT_TRUE(parsed);
        std::u16string why;
        std::optional<MergeSources> sources = ReadMergeSources(*parsed, why);
        ASSERT_TRUE(sources);
        window_ = std::make_unique<MergeWindow>(std::move(*sources));
        Pump();
    }
    std::wstring Title() const {
        wchar_t text[1024] = {};
        GetWindowTextW(window_->hwnd(), text, 1024);
        return text;
    }
    // The id of the menu item labelled `label`, in any of the menu bar's menus; 0 if none is.
    UINT MenuItemNamed(const std::wstring& label) const {
        const HMENU bar = window_->menu();
        for (int m = 0; m < GetMenuItemCount(bar); ++m) {
            const HMENU menu = GetSubMenu(bar, m);
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                wchar_t text[128] = {};
                GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
                if (label == text) return GetMenuItemID(menu, i);
            }
        }
        return 0;
    }
    // The width of a digit in the list's font.
    int DigitWidth() const {
        const HDC dc = GetDC(window_->list());
        const HGDIOBJ font = SelectObject(
            dc, reinterpret_cast<HFONT>(SendMessageW(window_->list(), WM_GETFONT, 0, 0)));
        SIZE digit{};
        GetTextExtentPoint32W(dc, L"0", 1, &digit);
        SelectObject(dc, font);
        ReleaseDC(window_->list(), dc);
        return static_cast<int>(digit.cx);
    }
    COLORREF RowPixel(int row, int column) const {
        RECT cell{};
        ListView_GetSubItemRect(window_->list(), row, column, LVIR_BOUNDS, &cell);
        RedrawWindow(window_->list(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(window_->list());
        const COLORREF colour = GetPixel(dc, cell.right - 3, cell.top + 1);
        ReleaseDC(window_->list(), dc);
        return colour;
    }
};

TEST_F(MergeWindowTest, F8ToAConflictAltLeftAndCtrlSWriteTheResolvedBytes) {
    // MINE changes line 1's case; both change line 5, differently; CR LF throughout.
    ASSERT_NO_FATAL_FAILURE(
        OpenMerge("ONE\r\n2\r\n3\r\n4\r\nmine\r\n6\r\n", "one\r\n2\r\n3\r\n4\r\n5\r\n6\r\n",
                  "one\r\n2\r\n3\r\n4\r\ntheirs\r\n6\r\n", {L"-o", dir_.path() / L"結果.txt"}));
    EXPECT_EQ(Title(), L"● 結果.txt (マージ) - Diff-Zarvo ビューアー");
    EXPECT_EQ(Status(1), L"未解決の競合 1 件");
    // What a screen reader says: the list by the title, a row by each file's line, the bars'
    // fields by their labels.
    EXPECT_EQ(AccessibleName(window_->list()), L"● 結果.txt (マージ) - Diff-Zarvo ビューアー");
    EXPECT_EQ(AccessibleName(window_->list(), 1),
              L"< 自分 1 ONE 共通の元 1 one 相手 1 one 結果 1 ONE");
    EXPECT_EQ(AccessibleName(window_->bars().findText()), L"検索");
    EXPECT_EQ(AccessibleName(window_->bars().lineFile()), L"行へ移動");
    EXPECT_EQ(AccessibleName(window_->bars().lineText()), L"行番号");
    // Narrow: the four files share the width, 20 digits each at the least and a digit and a
    // half each side; the result, whose marker line holds mine.txt's path, as wide as that line,
    // and the list scrolls sideways.
    MoveWindow(window_->hwnd(), 0, 0, 500, 400, TRUE);
    Pump();
    const int digit = DigitWidth();
    EXPECT_EQ(ListView_GetColumnWidth(window_->list(), 2), 20 * digit + 2 * (3 * digit / 2));
    EXPECT_GT(ListView_GetColumnWidth(window_->list(), 8), 8 * 30);
    SCROLLINFO sideways{};
    sideways.cbSize = sizeof sideways;
    sideways.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(window_->list(), SB_HORZ, &sideways));
    EXPECT_GT(sideways.nMax + 1, static_cast<int>(sideways.nPage));
    MoveWindow(window_->hwnd(), 0, 0, 1200, 760, TRUE);
    Pump();
    // The encoding menu: a pick there is the session's, its entry checked.
    const UINT eucForTheirs = 0x5000 + static_cast<int>(MergeCommand::EncodingTheirs) * 32 + 5;
    EXPECT_EQ(GetMenuState(window_->menu(), eucForTheirs, MF_BYCOMMAND) & MF_CHECKED, 0u);
    SendMessageW(window_->hwnd(), WM_COMMAND, eucForTheirs, 0);
    EXPECT_EQ(window_->session().Chosen(MergeCommand::EncodingTheirs), 5u);
    EXPECT_NE(GetMenuState(window_->menu(), eucForTheirs, MF_BYCOMMAND) & MF_CHECKED, 0u);
    // Opened on the conflict (rows: ONE, 2, 3, 4, then its seven marker rows); F7 goes back to
    // MINE's change, F8 to the conflict again.
    EXPECT_EQ(CurrentRow(), 4);
    EXPECT_EQ(Cell(4, 8), L"<<<<<<< " + (dir_.path() / L"mine.txt").wstring());
    Press(VK_F7);
    EXPECT_EQ(CurrentRow(), 0);
    Press(VK_F8);
    EXPECT_EQ(CurrentRow(), 4);
    // Ctrl+F: THEIRS' line in the conflict's markers; Ctrl+G: THEIRS' line 6; Esc closes the bar.
    Press('F', VK_CONTROL);
    ASSERT_EQ(GetFocus(), window_->bars().findText());
    Type(L"THEIRS");
    Press(VK_RETURN);
    EXPECT_EQ(CurrentRow(), 9);
    Press('G', VK_CONTROL);
    ASSERT_EQ(GetFocus(), window_->bars().lineText());
    SendMessageW(window_->bars().lineFile(), CB_SETCURSEL, 2, 0);  // 相手の行
    Type(L"6");
    Press(VK_RETURN);
    EXPECT_EQ(CurrentRow(), 11);
    Press(VK_ESCAPE);
    EXPECT_EQ(window_->bars().shown(), Bar::None);
    ASSERT_TRUE(IsWindow(window_->hwnd()));
    Press(VK_F7);
    EXPECT_EQ(CurrentRow(), 4);
    PressAlt(VK_LEFT);
    EXPECT_EQ(Status(1), L"未解決の競合はありません");
    EXPECT_EQ(ListView_GetItemCount(window_->list()), 6);
    EXPECT_EQ(Cell(4, 8), L"mine");
    EXPECT_EQ(Cell(4, 0), L"*");
    // Painted as the session says: MINE's change in its green, a common row white.
    EXPECT_EQ(RowPixel(0, 4), RGB(0xd6, 0xf5, 0xd6));
    EXPECT_EQ(RowPixel(1, 4), RGB(0xff, 0xff, 0xff));

    Press('S', VK_CONTROL);
    EXPECT_EQ(ReadBytes(dir_.path() / L"結果.txt"), "ONE\r\n2\r\n3\r\n4\r\nmine\r\n6\r\n");
    EXPECT_EQ(Status(0), L"「" + (dir_.path() / L"結果.txt").wstring() + L"」に保存しました");
    EXPECT_EQ(Title(), L"結果.txt (マージ) - Diff-Zarvo ビューアー");
    EXPECT_EQ(window_->session().ExitCode(), 0);
    // 表示 > 大文字と小文字を区別しない, a check item: MINE's change of case is then drawn white.
    const UINT ignoreCase = MenuItemNamed(L"大文字と小文字を区別しない");
    ASSERT_NE(ignoreCase, 0u);
    EXPECT_EQ(GetMenuState(window_->menu(), ignoreCase, MF_BYCOMMAND) & MF_CHECKED, 0u);
    SendMessageW(window_->hwnd(), WM_COMMAND, ignoreCase, 0);
    EXPECT_NE(GetMenuState(window_->menu(), ignoreCase, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(Cell(0, 0), L"");
    EXPECT_EQ(RowPixel(0, 4), RGB(0xff, 0xff, 0xff));
    // THEIRS saved anew by another program, by rename: the notice; its button merges anew,
    // unsaved, and the conflict is taken again.
    EXPECT_FALSE(IsWindowVisible(window_->changeNotice()));
    WriteBytes(dir_.path() / L"theirs.new", "one\r\n2\r\n3\r\n4\r\ntheirs\r\n6\r\nseven\r\n");
    ASSERT_TRUE(MoveFileExW((dir_.path() / L"theirs.new").c_str(),
                            (dir_.path() / L"theirs.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window_->changeNotice()) != FALSE; }));
    wchar_t notice[64] = {};
    GetWindowTextW(window_->changeNotice(), notice, 64);
    EXPECT_EQ(std::wstring(notice), L"ファイルがディスク上で変更されました。");
    // Its button shows on it without the pointer passing over, and its text keeps off the edge.
    {
        RedrawWindow(window_->hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT place{}, bar{};
        GetWindowRect(window_->reloadButton(), &place);
        GetWindowRect(window_->changeNotice(), &bar);
        HDC screen = GetDC(nullptr);
        const COLORREF yellow = RGB(0xff, 0xf4, 0xc0);
        EXPECT_NE(GetPixel(screen, place.left + 4, (place.top + place.bottom) / 2), yellow);
        for (int x = bar.left; x < bar.left + 5; ++x) {
            for (int y = bar.top; y < bar.bottom; ++y) ASSERT_EQ(GetPixel(screen, x, y), yellow);
        }
        ReleaseDC(nullptr, screen);
    }
    SendMessageW(window_->reloadButton(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(window_->changeNotice()));
    EXPECT_EQ(Status(1), L"未解決の競合 1 件");
    EXPECT_EQ(CurrentRow(), 4);
    PressAlt(VK_LEFT);
    Press('S', VK_CONTROL);
    EXPECT_EQ(ReadBytes(dir_.path() / L"結果.txt"), "ONE\r\n2\r\n3\r\n4\r\nmine\r\n6\r\nseven\r\n");
    // Nothing unsaved: Esc closes it without a question.
    Press(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(window_->hwnd()));
}

TEST_F(MergeWindowTest, TheStatusBarKeepsTheCountWholeAndTheFindBarItsButtonsLabels) {
    ASSERT_NO_FATAL_FAILURE(OpenMerge("mine\n", "base\n", "theirs\n"));
    PressAlt(VK_LEFT);
    Press('F', VK_CONTROL);
    ASSERT_EQ(Status(1), L"未解決の競合はありません");
    // How wide `text` is in `control`'s font.
    const auto textWidth = [](HWND control, const std::wstring& text) {
        HDC dc = GetDC(control);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        return static_cast<int>(size.cx);
    };
    // The count's part holds its text and the part's borders, at 96 dpi as at 192.
    HWND status = FindWindowExW(window_->hwnd(), nullptr, STATUSCLASSNAMEW, nullptr);
    RECT part{};
    SendMessageW(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    EXPECT_GE(part.right - part.left, textWidth(status, L"未解決の競合はありません") + 8);
    // Each of the find bar's buttons (前へ, 次へ, 閉じる) has room beside its label for its
    // edges and the focus frame.
    int buttons = 0;
    for (HWND control = GetWindow(window_->bars().findText(), GW_HWNDNEXT); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        wchar_t kind[32] = {};
        GetClassNameW(control, kind, 32);
        if (!IsWindowVisible(control) || std::wstring(kind) != L"Button") continue;
        wchar_t label[32] = {};
        GetWindowTextW(control, label, 32);
        RECT button{};
        GetClientRect(control, &button);
        EXPECT_GE(button.right, textWidth(control, label) + 12) << buttons;
        ++buttons;
    }
    EXPECT_EQ(buttons, 3);
}

TEST_F(MergeWindowTest, OpensAt1200By760ScaledForTheScreenInsideTheWorkArea) {
    ASSERT_NO_FATAL_FAILURE(OpenMerge("mine\n", "base\n", "theirs\n"));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT placed{};
    GetWindowRect(window_->hwnd(), &placed);
    EXPECT_EQ(placed.right - placed.left,
              std::min<int>(MulDiv(1200, dpi, 96), work.right - work.left));
    EXPECT_EQ(placed.bottom - placed.top,
              std::min<int>(MulDiv(760, dpi, 96), work.bottom - work.top));
    EXPECT_GE(placed.left, work.left);
    EXPECT_GE(placed.top, work.top);
    EXPECT_LE(placed.right, work.right);
    EXPECT_LE(placed.bottom, work.bottom);
}

TEST(MergeProgramWindows, MergeWritesToThePipeOrTheOutputAndExitsAsDiff3) {
    TempDir dir;
    WriteBytes(dir / "base", "1\r\n2\r\n3\r\n4\r\n");
    WriteBytes(dir / "mine", "1\r\nmine\r\n3\r\n4\r\n");
    WriteBytes(dir / "theirs", "1\r\n2\r\n3\r\nFOUR\r\n");
    WriteBytes(dir / "other", "1\r\nother\r\n3\r\n4\r\n");
    auto quoted = [&](const char* name) { return L" \"" + (dir / name).wstring() + L"\""; };
    const std::filesystem::path out = dir / "out";
    EXPECT_EQ(testsupport::RunViewer(
                  L"--merge" + quoted("mine") + quoted("base") + quoted("theirs"), out),
              0u);
    EXPECT_EQ(ReadBytes(out), "1\r\nmine\r\n3\r\nFOUR\r\n");
    // A conflict, labelled, written to a new file named in Japanese: exit 1, nothing on the pipe.
    const std::filesystem::path merged = dir.path() / L"結果.txt";
    EXPECT_EQ(testsupport::RunViewer(quoted("mine") + quoted("base") + quoted("other") +
                                         L" -L 自分 -L 元 -L 相手 --merge -o \"" +
                                         merged.wstring() + L"\"",
                                     out),
              1u);
    EXPECT_EQ(ReadBytes(out), "");
    EXPECT_EQ(ReadBytes(merged),
              "1\r\n<<<<<<< \xE8\x87\xAA\xE5\x88\x86\r\nmine\r\n||||||| \xE5\x85\x83\r\n2\r\n"
              "=======\r\nother\r\n>>>>>>> \xE7\x9B\xB8\xE6\x89\x8B\r\n3\r\n4\r\n");
}

TEST_F(MergeWindowTest, ALongMergeMadeBeforeTheWindowWidensAFileOnceItsLinesAreMeasured) {
    std::optional<MergeSources> sources = testsupport::MergeWithAWideBaseLine(dir_.path());
    ASSERT_TRUE(sources);
    // Merged on a thread of its own, as the program does while its windows are made.
    RunningMerge merging(std::move(*sources));
    ASSERT_TRUE(WaitForWork(nullptr, merging));
    std::unique_ptr<MergedFiles> merged = merging.Take();
    ASSERT_TRUE(merged);
    window_ = std::make_unique<MergeWindow>(std::move(merged));
    // Drawn first with BASE's column as wide as its first lines; widened once all are measured.
    const int digit = DigitWidth();
    EXPECT_LT(ListView_GetColumnWidth(window_->list(), 4), 60 * digit);
    ASSERT_TRUE(PumpUntil([&] {
        return ListView_GetColumnWidth(window_->list(), 4) >= 200 * digit;
    })) << ListView_GetColumnWidth(window_->list(), 4);
    EXPECT_LT(ListView_GetColumnWidth(window_->list(), 2), 60 * digit);
}

}  // namespace
}  // namespace viewer
