// The Win32 viewer's window on real files, driven through its real list view and keys: what it
// names, lists, colours, marks and counts, and how F8, F7, Shift+F8, Ctrl+Home and Ctrl+End move.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "FileRead.h"
#include "Progress.h"
#include "ViewerWindow.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::TempDir;
using testsupport::WriteBytes;

std::wstring TextOf(HWND control) {
    wchar_t text[1024] = {};
    GetWindowTextW(control, text, 1024);
    return text;
}

class ViewerWindowTest : public ::testing::Test {
protected:
    ViewerWindow& Open(const std::string& first, const std::string& second) {
        WriteBytes(dir_.path() / L"第一.txt", first);
        WriteBytes(dir_.path() / L"second.txt", second);
        window_ = std::make_unique<ViewerWindow>(
            Compare(dir_.path() / L"第一.txt", dir_.path() / L"second.txt"));
        Pump();
        return *window_;
    }

    // Runs the window's messages as its program does, keys first.
    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (window_->TranslateKeys(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    // A key pressed on the list, with Shift or Ctrl held as the keyboard state says.
    void Press(UINT key, UINT modifier = 0) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        if (modifier != 0) state[modifier] = 0x80;
        SetKeyboardState(state);
        PostMessageW(window_->list(), WM_KEYDOWN, key, 1);
        PostMessageW(window_->list(), WM_KEYUP, key, 0xC0000001);
        Pump();
        if (modifier != 0) state[modifier] = 0;
        SetKeyboardState(state);
    }

    int CurrentRow() const { return ListView_GetNextItem(window_->list(), -1, LVNI_FOCUSED); }
    std::wstring Cell(int row, int column) const {
        wchar_t text[512] = {};
        ListView_GetItemText(window_->list(), row, column, text, 512);
        return text;
    }
    std::wstring Status() const {
        wchar_t text[256] = {};
        SendMessageW(window_->status(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
        return text;
    }

    TempDir dir_;
    std::unique_ptr<ViewerWindow> window_;
};

TEST_F(ViewerWindowTest, ShowsBothFilesRowsKindsTheCountAndTheTitle) {
    ViewerWindow& window = Open("共通\nold\nkeep\nend\n", "共通\nnew\nkeep\nend\nextra\n");
    const std::wstring names = TextOf(window.names());
    EXPECT_NE(names.find((dir_.path() / L"第一.txt").wstring()), std::wstring::npos);
    EXPECT_NE(names.find((dir_.path() / L"second.txt").wstring()), std::wstring::npos);
    EXPECT_NE(names.find(L"UTF-8"), std::wstring::npos);
    EXPECT_EQ(TextOf(window.hwnd()),
              L"第一.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー");

    // 共通, -old, +new, keep, end, +extra: numbers of both sides, blank where a side has none.
    ASSERT_EQ(ListView_GetItemCount(window.list()), 6);
    EXPECT_EQ(Cell(0, 3), L"共通");
    EXPECT_EQ(Cell(0, 2), L"");
    EXPECT_EQ(Cell(1, 0), L"2");
    EXPECT_EQ(Cell(1, 1), L"");
    EXPECT_EQ(Cell(1, 2), L"<!");
    EXPECT_EQ(Cell(1, 3), L"old");
    EXPECT_EQ(Cell(2, 0), L"");
    EXPECT_EQ(Cell(2, 1), L"2");
    EXPECT_EQ(Cell(2, 2), L"!>");
    EXPECT_EQ(Cell(5, 1), L"5");
    EXPECT_EQ(Cell(5, 2), L"!>");

    // The window opens at the first difference.
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Status(), L"相違 2 箇所 (1 番目)");
    EXPECT_FALSE(IsWindowVisible(window.message()));
}

TEST_F(ViewerWindowTest, ColoursAndChangedRunsAsPainted) {
    ViewerWindow& window = Open("count = 10;\nsame\n", "count = 12;\nsame\n");
    ASSERT_EQ(CurrentRow(), 0);
    HWND list = window.list();
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE before{}, changed{};
    GetTextExtentPoint32W(dc, L"count = ", 8, &before);
    GetTextExtentPoint32W(dc, L"count = 10;", 11, &changed);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    auto pixel = [&](int row, int x) {
        RECT cell{};
        ListView_GetSubItemRect(list, row, 3, LVIR_BOUNDS, &cell);
        const int top = cell.top + (cell.bottom - cell.top - metrics.tmHeight) / 2;
        const int padding = MulDiv(6, GetDeviceCaps(dc, LOGPIXELSY), 96);
        return GetPixel(dc, cell.left + padding + x, top + 1);
    };
    // The removed row light red, "10" in the stronger red; the added row light blue, "12" in
    // the stronger blue; the common row white.
    EXPECT_EQ(pixel(0, changed.cx + 20), RGB(0xff, 0xd4, 0xd4));
    EXPECT_EQ(pixel(0, before.cx + 1), RGB(0xff, 0x99, 0x99));
    EXPECT_EQ(pixel(1, changed.cx + 20), RGB(0xcc, 0xee, 0xff));
    EXPECT_EQ(pixel(1, before.cx + 1), RGB(0x80, 0xcc, 0xff));
    EXPECT_EQ(pixel(2, changed.cx + 20), RGB(0xff, 0xff, 0xff));
    SelectObject(dc, old);
    ReleaseDC(list, dc);
}

TEST_F(ViewerWindowTest, KeysMoveBetweenDifferences) {
    ViewerWindow& window = Open("a\nb\nc\nd\ne\nf\ng\n", "a\nB\nc\nd\ne\nF\ng\nh\n");
    // a, -b, +B, c, d, e, -f, +F, g, +h: differences start at rows 1, 6 and 9.
    ASSERT_EQ(ListView_GetItemCount(window.list()), 10);
    EXPECT_EQ(CurrentRow(), 1);
    Press(VK_F8);
    EXPECT_EQ(CurrentRow(), 6);
    Press(VK_F8);
    EXPECT_EQ(CurrentRow(), 9);
    EXPECT_EQ(Status(), L"相違 3 箇所 (3 番目)");
    Press(VK_F8);  // no further difference: the row stays
    EXPECT_EQ(CurrentRow(), 9);
    Press(VK_F8, VK_SHIFT);
    EXPECT_EQ(CurrentRow(), 6);
    Press(VK_F7);
    EXPECT_EQ(CurrentRow(), 1);
    Press(VK_F7);
    EXPECT_EQ(CurrentRow(), 1);
    Press(VK_END, VK_CONTROL);
    EXPECT_EQ(CurrentRow(), 9);
    Press(VK_HOME, VK_CONTROL);
    EXPECT_EQ(CurrentRow(), 1);
    // From a common row the list's own keys reached, F8 goes to the next difference below it.
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_EQ(Status().rfind(L"相違 3 箇所　F8", 0), 0u);
    Press(VK_F8);
    EXPECT_EQ(CurrentRow(), 6);
}

TEST_F(ViewerWindowTest, CtrlCCopiesTheSelectedRowsAndF5ReadsTheFilesAgain) {
    ViewerWindow& window = Open("a\nold\nkeep\n", "a\nnew\nkeep\n");
    ASSERT_EQ(CurrentRow(), 1);
    Press(VK_DOWN, VK_SHIFT);
    Press(VK_DOWN, VK_SHIFT);
    Press('C', VK_CONTROL);
    ASSERT_TRUE(OpenClipboard(window.hwnd()));
    const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    EXPECT_STREQ(copied, L"-old\r\n+new\r\n keep\r\n");
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
    wchar_t said[64] = {};
    SendMessageW(window.status(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(said));
    EXPECT_STREQ(said, L"3 行をコピーしました");

    // Of the selection, the rows that are not current are a shade darker: light red 255, 212,
    // 212 becomes 236, 196, 196; the current row keeps its colour.
    RedrawWindow(window.list(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(window.list());
    auto background = [&](int row) {
        RECT cell{};
        ListView_GetSubItemRect(window.list(), row, 3, LVIR_BOUNDS, &cell);
        return GetPixel(dc, cell.right - 4, (cell.top + cell.bottom) / 2);
    };
    EXPECT_EQ(background(1), RGB(236, 196, 196));
    EXPECT_EQ(background(3), RGB(0xff, 0xff, 0xff));
    ReleaseDC(window.list(), dc);

    // The second file changes on disk; F5 compares again and stays at the line it was on.
    WriteBytes(dir_.path() / L"second.txt", "a\nnew\nkeep\nmore\n");
    Press(VK_F5);
    EXPECT_EQ(TextOf(window.hwnd()),
              L"第一.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー");
    ASSERT_EQ(ListView_GetItemCount(window.list()), 5);
    EXPECT_EQ(Cell(4, 3), L"more");
    EXPECT_EQ(CurrentRow(), 3);

    // A file that was missing is read once it is there.
    std::filesystem::remove(dir_.path() / L"second.txt");
    Press(VK_F5);
    EXPECT_FALSE(IsWindowVisible(window.list()));
    EXPECT_EQ(Status(), L"比較できません");
    WriteBytes(dir_.path() / L"second.txt", "a\nold\nkeep\n");
    PostMessageW(window.hwnd(), WM_KEYDOWN, VK_F5, 1);
    Pump();
    EXPECT_TRUE(IsWindowVisible(window.message()));
    EXPECT_EQ(Status(), L"相違はありません");
}

// Presses Esc on the progress window once it shows, as a user who gives up would: a thread
// timer, which the comparison's own message loop runs, looks for it.
bool progressSeen = false;
void CALLBACK EscapeOnProgress(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND progress = FindWindowW(kProgressClass, nullptr);
    if (progress == nullptr || !IsWindowVisible(progress)) return;
    progressSeen = true;
    KillTimer(nullptr, timer);
    EXPECT_EQ(TextOf(progress), L"Diff-Zarvo ビューアー");
    PostMessageW(progress, WM_KEYDOWN, VK_ESCAPE, 1);
}

TEST_F(ViewerWindowTest, ALongReloadSaysSoAndEscStopsItLeavingTheWindowAsItWas) {
    ViewerWindow& window = Open("a\n", "b\n");
    const std::wstring title = TextOf(window.hwnd());
    // 400,000 lines against the same in a scrambled order take seconds to compare.
    std::string first, second;
    for (std::int64_t i = 0; i < 400000; ++i) {
        first += "row " + std::to_string(i) + "\n";
        second += "row " + std::to_string((i * 7919) % 400000) + "\n";
    }
    WriteBytes(dir_.path() / L"第一.txt", first);
    WriteBytes(dir_.path() / L"second.txt", second);
    progressSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, EscapeOnProgress);
    Press(VK_F5);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(progressSeen);
    EXPECT_EQ(FindWindowW(kProgressClass, nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window.hwnd()));
    EXPECT_EQ(TextOf(window.hwnd()), title);
    EXPECT_EQ(ListView_GetItemCount(window.list()), 2);
}

TEST_F(ViewerWindowTest, IdenticalBinaryAndUnreadableFilesAreSaidToBeSo) {
    ViewerWindow& same = Open("同じ\n内容\n", "同じ\n内容\n");
    EXPECT_TRUE(IsWindowVisible(same.message()));
    EXPECT_NE(TextOf(same.message()).find(L"2つのファイルは同一です"), std::wstring::npos);
    EXPECT_EQ(Status(), L"相違はありません");
    EXPECT_EQ(TextOf(same.hwnd()), L"第一.txt ⇔ second.txt — 同一 — Diff-Zarvo ビューアー");

    ViewerWindow& binary = Open(std::string("\x00\x10\x20\x30", 4), std::string("\x00\x10\x21", 3));
    EXPECT_FALSE(IsWindowVisible(binary.list()));
    const std::wstring message = TextOf(binary.message());
    EXPECT_NE(message.find(L"バイナリ"), std::wstring::npos);
    EXPECT_NE(message.find(L"位置: 2"), std::wstring::npos);
    EXPECT_NE(message.find(L"第一 4 バイト"), std::wstring::npos);
    EXPECT_NE(message.find(L"第二 3 バイト"), std::wstring::npos);

    // A name outside code page 932 opens through the wide calls; a missing file is named.
    WriteBytes(dir_.path() / L"Ελληνικά-한국어.txt", "x\n");
    window_ = std::make_unique<ViewerWindow>(
        Compare(dir_.path() / L"gone.txt", dir_.path() / L"Ελληνικά-한국어.txt"));
    Pump();
    EXPECT_FALSE(IsWindowVisible(window_->list()));
    const std::wstring error = TextOf(window_->message());
    EXPECT_NE(error.find((dir_.path() / L"gone.txt").wstring() + L": ファイルが見つかりません"),
              std::wstring::npos);
    EXPECT_EQ(error.find(L"Ελληνικά"), std::wstring::npos);
    EXPECT_EQ(Status(), L"比較できません");

    // A folder is no file to compare.
    window_ = std::make_unique<ViewerWindow>(Compare(dir_.path(), dir_.path() / L"second.txt"));
    Pump();
    EXPECT_NE(TextOf(window_->message()).find(dir_.path().wstring() + L": フォルダーです"),
              std::wstring::npos);
}

TEST_F(ViewerWindowTest, NamesLongerThanMaxPathOpen) {
    // Windows opens such a name only in the extended form, made full: slashes, "." and ".."
    // resolved. (Wine opens long names in any form, so the names are checked here themselves.)
    const std::wstring folder(300, L'x');
    EXPECT_EQ(OpenableName(L"C:/" + folder + L"/./sub/../a.txt"),
              L"\\\\?\\C:\\" + folder + L"\\a.txt");
    EXPECT_EQ(OpenableName(L"\\\\server\\share\\" + folder + L"\\a.txt"),
              L"\\\\?\\UNC\\server\\share\\" + folder + L"\\a.txt");
    EXPECT_EQ(OpenableName(L"\\\\?\\C:\\" + folder + L"\\.\\a.txt"),
              L"\\\\?\\C:\\" + folder + L"\\.\\a.txt");
    EXPECT_EQ(OpenableName(L"C:/short/./a.txt"), L"C:/short/./a.txt");

    // Six folders of 60 characters: the files' names are over 400 characters long. They are
    // made and removed here in the extended form, which the names given to the viewer are not.
    std::vector<std::wstring> folders{dir_.path().wstring()};
    for (int i = 0; i < 6; ++i) {
        folders.push_back(folders.back() + L"\\" + std::wstring(60, L'深'));
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folders.back()).c_str(), nullptr));
    }
    const std::wstring first = folders.back() + L"\\一.txt";
    const std::wstring second = folders.back() + L"\\二.txt";
    ASSERT_GT(first.size(), 400u);
    for (const auto& [name, bytes] : {std::pair{first, "same\nold\n"}, {second, "same\nnew\n"}}) {
        HANDLE file = CreateFileW((L"\\\\?\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes, 9, &written, nullptr);
        CloseHandle(file);
    }

    window_ = std::make_unique<ViewerWindow>(Compare(first, second));
    Pump();
    EXPECT_TRUE(IsWindowVisible(window_->list()));
    EXPECT_EQ(TextOf(window_->hwnd()), L"一.txt ⇔ 二.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
    EXPECT_EQ(Cell(1, 3), L"old");
    EXPECT_EQ(Cell(2, 3), L"new");

    window_.reset();
    DeleteFileW((L"\\\\?\\" + first).c_str());
    DeleteFileW((L"\\\\?\\" + second).c_str());
    for (auto folder = folders.rbegin(); folder + 1 != folders.rend(); ++folder) {
        RemoveDirectoryW((L"\\\\?\\" + *folder).c_str());
    }
}

}  // namespace
}  // namespace viewer
