// The Win32 viewer's window on real files, driven through its real list view, keys, menus and
// strip: what it paints (row colours, the changed runs, a wide line scrolled to its end, both
// panes side by side, the strip), that keys and menu items reach the session, the notice after
// a file is saved by rename, and a change taken across and a line edited in place, then saved.
#include <gtest/gtest.h>
// (after gtest, which brings windows.h)
#include <oleacc.h>

#include <memory>
#include <utility>
#include <vector>

#include "Cells.h"
#include "FileRead.h"
#include "InputBars.h"
#include "Progress.h"
#include "Questions.h"
#include "ViewerWindow.h"
#include "WindowTest.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::AccessibleName;
using testsupport::TempDir;
using testsupport::TextOf;
using testsupport::WriteBytes;

class ViewerWindowTest : public testsupport::WindowTest<ViewerWindow> {
protected:
    ViewerWindow& Open(const std::string& first, const std::string& second) {
        WriteBytes(dir_.path() / L"第一.txt", first);
        WriteBytes(dir_.path() / L"second.txt", second);
        window_.reset();
        window_ = std::make_unique<ViewerWindow>(
            Compare(dir_.path() / L"第一.txt", dir_.path() / L"second.txt"),
            dir_.path() / L"Zarvo.ini");
        Pump();
        return *window_;
    }

    std::wstring Header(int column) const {
        wchar_t text[64] = {};
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT;
        info.pszText = text;
        info.cchTextMax = 64;
        ListView_GetColumn(window_->list(), column, &info);
        return text;
    }
    int Columns() const { return Header_GetItemCount(ListView_GetHeader(window_->list())); }
    // The pixels a header item has beside its title, in the header's own font.
    int RoomBesideTitle(int column) const {
        HWND header = ListView_GetHeader(window_->list());
        RECT item{};
        Header_GetItemRect(header, column, &item);
        const std::wstring title = Header(column);
        HDC dc = GetDC(header);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(header, dc);
        return item.right - item.left - size.cx;
    }
    // The left edge of a column on screen, in the list's client pixels.
    int ColumnLeft(int row, int column) const {
        RECT bounds{};
        ListView_GetItemRect(window_->list(), row, &bounds, LVIR_BOUNDS);
        int x = bounds.left;
        for (int c = 0; c < column; ++c) x += ListView_GetColumnWidth(window_->list(), c);
        return x;
    }
    COLORREF Pixel(HWND control, int x, int y) const {
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(control);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(control, dc);
        return colour;
    }
    // A pixel of a row near its top, where no letter reaches.
    COLORREF RowPixel(int row, int x) const {
        RECT bounds{};
        ListView_GetItemRect(window_->list(), row, &bounds, LVIR_BOUNDS);
        return Pixel(window_->list(), x, bounds.top + 1);
    }
    // The width of a display cell, measured in the list's font as the test sees it: a
    // half-width digit, or half a kanji where that is wider.
    int CellWidth() const {
        HWND list = window_->list();
        HDC dc = GetDC(list);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
        SIZE digit{}, kanji{};
        GetTextExtentPoint32W(dc, L"0", 1, &digit);
        GetTextExtentPoint32W(dc, L"漢", 1, &kanji);
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        return std::max<int>(digit.cx, (kanji.cx + 1) / 2);
    }
    int Margin() const {
        HDC dc = GetDC(window_->list());
        const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(window_->list(), dc);
        return MulDiv(4, dpi, 96);
    }
    std::wstring MenuText(UINT id) const {
        wchar_t text[128] = {};
        GetMenuStringW(GetMenu(window_->hwnd()), id, text, 128, MF_BYCOMMAND);
        return text;
    }
    // The id of the item of the menu bar's `menu`-th menu whose text starts with `label`.
    UINT MenuItem(int menu, const std::wstring& label) const {
        HMENU sub = GetSubMenu(GetMenu(window_->hwnd()), menu);
        for (int i = 0; i < GetMenuItemCount(sub); ++i) {
            wchar_t text[128] = {};
            GetMenuStringW(sub, i, text, 128, MF_BYPOSITION);
            if (std::wstring(text).rfind(label, 0) == 0) return GetMenuItemID(sub, i);
        }
        ADD_FAILURE() << "no menu item " << std::string(label.begin(), label.end()).size();
        return 0;
    }
    void Choose(UINT id) {
        PostMessageW(window_->hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    }
};

constexpr COLORREF kWhite = RGB(0xff, 0xff, 0xff);
constexpr COLORREF kLightRed = RGB(0xff, 0xd4, 0xd4);
constexpr COLORREF kLightBlue = RGB(0xcc, 0xee, 0xff);
constexpr COLORREF kRed = RGB(0xff, 0x99, 0x99);
constexpr COLORREF kBlue = RGB(0x80, 0xcc, 0xff);

TEST_F(ViewerWindowTest, OneListNamesCountsAndPaintsEveryRowWithTheContentFillingTheWindow) {
    ViewerWindow& window =
        Open("共通\ncount = 10;\nkeep\nend\n", "共通\ncount = 12;\nkeep\nend\nextra\n");
    EXPECT_EQ(TextOf(window.names()),
              L"第一: " + (dir_.path() / L"第一.txt").wstring() + L"　(UTF-8)");
    EXPECT_EQ(TextOf(window.secondName()),
              L"第二: " + (dir_.path() / L"second.txt").wstring() + L"　(UTF-8)");
    EXPECT_EQ(TextOf(window.hwnd()),
              L"第一.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー");

    // 共通, -count = 10;, +count = 12;, keep, end, +extra: numbers of both sides, blank where a
    // side has none.
    ASSERT_EQ(Columns(), 4);
    EXPECT_EQ(Header(0), L"第一");
    EXPECT_EQ(Header(1), L"第二");
    EXPECT_EQ(Header(3), L"内容");
    // A header draws its title 3 edges (6 px) in from each side, inside its 2-px divider, and
    // "..." for a title that needs more: the number columns leave the whole title that room.
    EXPECT_GE(RoomBesideTitle(0), 14);
    EXPECT_GE(RoomBesideTitle(1), 14);
    ASSERT_EQ(ListView_GetItemCount(window.list()), 6);
    EXPECT_EQ(Cell(0, 3), L"共通");
    EXPECT_EQ(Cell(0, 2), L"");
    EXPECT_EQ(Cell(1, 0), L"2");
    EXPECT_EQ(Cell(1, 1), L"");
    EXPECT_EQ(Cell(1, 2), L"<!");
    EXPECT_EQ(Cell(2, 0), L"");
    EXPECT_EQ(Cell(2, 1), L"2");
    EXPECT_EQ(Cell(2, 2), L"!>");
    EXPECT_EQ(Cell(5, 1), L"5");

    // Opened at the first difference; the count in its own part of the status bar.
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Status(2), L"相違 2 箇所 (1 番目)");
    EXPECT_FALSE(IsWindowVisible(window.message()));

    // The content column reaches the list's right edge.
    RECT client{};
    GetClientRect(window.list(), &client);
    EXPECT_EQ(ColumnLeft(0, 4), client.right);

    // "count = " is 8 cells; "10" the changed run. The current row a shade darker (255, 212,
    // 212 by 118%: 216, 180, 180) with its run darker too; the added row light blue with "12"
    // in the stronger blue; a common row white.
    const int text = ColumnLeft(0, 3) + Margin();
    const int cell = CellWidth();
    EXPECT_EQ(RowPixel(1, text + 8 * cell + 1), RGB(222, 133, 133));
    EXPECT_EQ(RowPixel(1, text + 20 * cell), RGB(216, 180, 180));
    EXPECT_EQ(RowPixel(2, text + 8 * cell + 1), kBlue);
    EXPECT_EQ(RowPixel(2, text + 7 * cell), kLightBlue);
    EXPECT_EQ(RowPixel(2, client.right - 2), kLightBlue);
    EXPECT_EQ(RowPixel(3, text + 20 * cell), kWhite);
    // Rows selected besides the current one are 108% darker: 236, 196, 196 for light red.
    Press(VK_UP);
    Press(VK_DOWN, VK_SHIFT);
    EXPECT_EQ(RowPixel(0, text + 20 * cell), RGB(236, 236, 236));

    // The strip: the removed rows on its left half, the added on its right, 110% darker (rounded).
    RECT strip{};
    GetClientRect(window.strip(), &strip);
    const int rowHeight = strip.bottom / 6;
    EXPECT_EQ(Pixel(window.strip(), 2, rowHeight + rowHeight / 2), RGB(232, 139, 139));
    EXPECT_EQ(Pixel(window.strip(), strip.right - 3, 2 * rowHeight + rowHeight / 2),
              RGB(116, 185, 232));
    EXPECT_EQ(Pixel(window.strip(), 2, 3 * rowHeight + rowHeight / 2), RGB(0xf2, 0xf2, 0xf2));
}

TEST_F(ViewerWindowTest, PaintsAWideLineScrolledToItsChangeAndBothPanesSideBySide) {
    // 150 kanji (300 cells) before the change: far past the window's width.
    std::string wide;
    for (int i = 0; i < 150; ++i) wide += "漢";
    // The change is "." against ",": no letter reaches the top of the row where pixels are read.
    ViewerWindow& window = Open("same\n" + wide + ".\n", "same\n" + wide + ",\n");
    ASSERT_EQ(CurrentRow(), 1);
    const int cell = CellWidth();
    RECT client{};
    GetClientRect(window.list(), &client);
    // Scrolled sideways until the change, the end of the line, is on screen in its colour.
    const int change = ColumnLeft(1, 3) + Margin() + 300 * cell;
    ASSERT_GT(change, 0) << ColumnLeft(1, 3) << " " << client.right;
    ASSERT_LT(change + cell, client.right) << change << " " << client.right;
    EXPECT_EQ(RowPixel(1, change + cell / 2), RGB(222, 133, 133));
    EXPECT_EQ(RowPixel(2, change + cell / 2), kBlue);
    // The scroll range ends just past the line: its last cell is on screen at the far right.
    SendMessageW(window.list(), WM_HSCROLL, SB_RIGHT, 0);
    Pump();
    const int end = ColumnLeft(2, 3) + Margin() + 301 * cell;
    EXPECT_GT(end, client.right / 2);
    EXPECT_LE(end, client.right);
    EXPECT_EQ(RowPixel(2, end - cell / 2), kBlue);

    // Side by side (Ctrl+T): two panes, the line shown around its change, whose run is on screen.
    Press('T', VK_CONTROL);
    ASSERT_EQ(Columns(), 5);
    EXPECT_EQ(Header(1), L"第一のファイル");
    EXPECT_EQ(Header(4), L"第二のファイル");
    ASSERT_EQ(ListView_GetItemCount(window.list()), 2);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Cell(1, 0), L"2");
    EXPECT_EQ(Cell(1, 2), L"<!!>");
    EXPECT_EQ(Cell(1, 3), L"2");
    const std::wstring left = Cell(1, 1);
    ASSERT_EQ(left.back(), L'.');
    EXPECT_EQ(Cell(1, 4).back(), L',');
    // The panes fill the list; each pane's text fits it.
    EXPECT_EQ(ColumnLeft(1, 5), client.right);
    EXPECT_EQ(ColumnLeft(1, 0), 0);
    const int pane = ListView_GetColumnWidth(window.list(), 1);
    int cells = 0;
    for (const wchar_t c : left) cells += c >= 0x3000 ? 2 : 1;
    EXPECT_LE(cells * cell, pane);
    EXPECT_GT(cells * cell, pane - 4 * cell);
    // The band: the removed side's red on its left half, the added side's blue on its right.
    const int band = ColumnLeft(1, 2);
    const int bandWidth = ListView_GetColumnWidth(window.list(), 2);
    EXPECT_EQ(RowPixel(1, band + 1), kRed);
    EXPECT_EQ(RowPixel(1, band + bandWidth - 2), kBlue);
    // Chosen again from the menu: one list, and the choice is kept for the next window.
    Choose(MenuItem(3, L"左右に並べて表示"));
    EXPECT_EQ(Columns(), 4);
    Choose(MenuItem(3, L"左右に並べて表示"));
    EXPECT_EQ(Columns(), 5);
    window_.reset();
    EXPECT_NE(testsupport::ReadBytes(dir_.path() / L"Zarvo.ini").find("[Viewer]"),
              std::string::npos);

    // A removed line's "<!" alone stands in the band's red half: the other half has no letter.
    ViewerWindow& lone = Open("same\ngone\nend\n", "same\nend\n");
    ASSERT_EQ(Columns(), 5);
    ASSERT_EQ(Cell(1, 2), L"<!");
    RedrawWindow(lone.list(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT row{};
    ListView_GetItemRect(lone.list(), 1, &row, LVIR_BOUNDS);
    const int from = ColumnLeft(1, 2) + ListView_GetColumnWidth(lone.list(), 2) / 2 + 1;
    const int to = ColumnLeft(1, 3) - 1;
    HDC dc = GetDC(lone.list());
    const COLORREF ground = GetPixel(dc, from, row.top + 2);
    int letters = 0;
    for (int y = row.top + 2; y < row.bottom - 2; ++y) {
        for (int x = from; x < to; ++x) letters += GetPixel(dc, x, y) != ground ? 1 : 0;
    }
    ReleaseDC(lone.list(), dc);
    EXPECT_EQ(letters, 0);
    EXPECT_EQ(RowPixel(1, ColumnLeft(1, 2) + 1), kRed);
}

TEST_F(ViewerWindowTest, ALongFilesWidestLineIsMeasuredAfterTheWindowIsDrawnAndWidensTheList) {
    // 5 MB of 49-letter lines with one of 300 letters far below the first screens.
    const std::string line = std::string(49, 'x') + "\n";
    std::string first;
    for (int i = 0; i < 100000; ++i) first += i == 90000 ? std::string(300, 'w') + "\n" : line;
    std::string second = first;
    second[0] = 'y';
    ViewerWindow& window = Open(first, second);
    const int content = 300 * CellWidth() + 2 * Margin();
    ASSERT_TRUE(PumpUntil([&] { return ListView_GetColumnWidth(window.list(), 3) >= content; }))
        << ListView_GetColumnWidth(window.list(), 3) << " " << content;
}

TEST_F(ViewerWindowTest, AmbiguousSymbolsGetTheCellsTheirGlyphsTake) {
    // ※ and its kind, drawn full width by a Japanese font, take two cells and do not cover the
    // character after them; in a font that draws them narrow, one.
    ViewerWindow& window = Open("※x\n", "※y\n");
    HDC dc = GetDC(window.list());
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window.list(), WM_GETFONT, 0, 0)));
    const int cell = window.cellWidth();
    for (const wchar_t c : std::wstring(L"※○×△□①②③→←★☆■◆―‖…")) {
        SIZE drawn{};
        GetTextExtentPoint32W(dc, &c, 1, &drawn);
        const std::size_t cells = TextCells(std::u16string(1, static_cast<char16_t>(c)));
        EXPECT_EQ(cells, drawn.cx * 10 > cell * 11 ? 2u : 1u) << static_cast<unsigned>(c);
        EXPECT_LE(drawn.cx, static_cast<int>(cells) * cell + 1) << static_cast<unsigned>(c);
    }
    SelectObject(dc, old);
    ReleaseDC(window.list(), dc);
}

TEST_F(ViewerWindowTest, LineEndsAndControlsAreDrawnAsTheirLettersEachReadable) {
    // Few fonts have ␍ ␊ ␛: the window draws each as its letters in a frame, unlike the others
    // (a missing glyph's box is the same for all).
    Open("a\r\n", "a\x1b\n");
    Choose(MenuItem(3, L"改行コードの違いを無視"));
    ASSERT_EQ(Cell(0, 3), L"a␍␊");
    ASSERT_EQ(Cell(1, 3), L"a␛␊");
    const int cell = CellWidth();
    // Where a mark's ink is: "#" for a pixel much darker than the background inside its frame.
    const auto mark = [&](int row, int column) {
        RECT bounds{};
        ListView_GetItemRect(window_->list(), row, &bounds, LVIR_BOUNDS);
        const int x = ColumnLeft(row, 3) + Margin() + column * cell;
        EXPECT_EQ(Pixel(window_->list(), x + 1, (bounds.top + bounds.bottom) / 2),
                  RGB(0x60, 0x60, 0x60));
        RedrawWindow(window_->list(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(window_->list());
        const auto lightness = [&](int px, int py) {
            const COLORREF c = GetPixel(dc, px, py);
            return std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
        };
        const int background = lightness(x + 3, bounds.top + 1);  // above the frame
        std::string ink;
        for (int y = bounds.top + 3; y < bounds.bottom - 3; ++y) {
            for (int i = 3; i < 2 * cell - 2; ++i)
                ink += lightness(x + i, y) < background - 40 ? '#' : '.';
            ink += '\n';
        }
        ReleaseDC(window_->list(), dc);
        EXPECT_NE(ink.find('#'), std::string::npos);
        return ink;
    };
    EXPECT_NE(mark(0, 1), mark(1, 1));  // ␍ and ␛, at the same place in their rows
    EXPECT_NE(mark(0, 1), mark(0, 3));  // ␍ and ␊
    EXPECT_NE(mark(1, 1), mark(1, 4));  // ␛ (three cells) and ␊
}

TEST_F(ViewerWindowTest, F2OnALineHoldingALoneCrKeepsTheCrAndWhatWasTyped) {
    ViewerWindow& window = Open("same\nold\rpart\n", "same\nnew\n");
    ASSERT_EQ(CurrentRow(), 1);  // -old␍part
    Press(VK_F2);
    HWND editor = window.editor();
    ASSERT_EQ(GetFocus(), editor);
    EXPECT_EQ(TextOf(editor), L"old\rpart");
    Press(VK_END);
    Type(L"2");
    Press(VK_RETURN);
    EXPECT_EQ(Status(0), L"行を編集しました");
    Press('S', VK_CONTROL);
    EXPECT_EQ(testsupport::ReadBytes(dir_.path() / L"第一.txt"), "same\nold\rpart2\n");
}

TEST_F(ViewerWindowTest, TheStatusBarKeepsTheCountWholeAsTheWindowChangesSize) {
    // The count's part is as wide as its text, at the right, whatever the message and the size.
    ViewerWindow& window = Open("a\nold\n", "a\nnew\n");
    const auto countWhole = [&] {
        RECT part{};
        SendMessageW(window.status(), SB_GETRECT, 2, reinterpret_cast<LPARAM>(&part));
        RECT bar{};
        GetClientRect(window.status(), &bar);
        HDC dc = GetDC(window.status());
        HGDIOBJ old = SelectObject(
            dc, reinterpret_cast<HFONT>(SendMessageW(window.status(), WM_GETFONT, 0, 0)));
        const std::wstring count = Status(2);
        SIZE text{};
        GetTextExtentPoint32W(dc, count.c_str(), static_cast<int>(count.size()), &text);
        SelectObject(dc, old);
        ReleaseDC(window.status(), dc);
        return part.right - part.left >= text.cx && part.right <= bar.right;
    };
    EXPECT_EQ(Status(2), L"相違 1 箇所 (1 番目)");
    EXPECT_TRUE(countWhole());
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 1000, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_TRUE(countWhole());
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 420, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_TRUE(countWhole());
    Press('F', VK_CONTROL);
    Type(std::wstring(80, L'x'));
    Press(VK_RETURN);
    EXPECT_EQ(Status(0).substr(0, 3), L"「xx");
    EXPECT_TRUE(countWhole());
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 1000, 500, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_TRUE(countWhole());
}

TEST_F(ViewerWindowTest, EncodingMenusReadAFileAgainAndStrayBytesArePaintedInABoxOfTheirOwn) {
    // "é" as one Latin-1 byte in a UTF-8 file: the file stays UTF-8, the byte shown as <E9>.
    ViewerWindow& window = Open("日本語\ncaf\xE9\n", "日本語\ncafe\n");
    HMENU bar = GetMenu(window.hwnd());
    HMENU encodings = nullptr;
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(bar, i, text, 64, MF_BYPOSITION);
        if (std::wstring(text) == L"文字コード(&C)") encodings = GetSubMenu(bar, i);
    }
    ASSERT_NE(encodings, nullptr);
    ASSERT_EQ(GetMenuItemCount(encodings), 2);
    wchar_t title[64] = {};
    GetMenuStringW(encodings, 1, title, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(title), L"第二のファイルの文字コード");
    HMENU second = GetSubMenu(encodings, 1);
    ASSERT_EQ(GetMenuItemCount(second), 8);
    wchar_t entry[64] = {};
    GetMenuStringW(second, 5, entry, 64, MF_BYPOSITION);
    ASSERT_EQ(std::wstring(entry), L"日本語 (EUC-JP)");

    // The removed row's "<E9>" starts after "caf": a grey box there, not the row's red.
    ASSERT_EQ(Cell(1, 3), L"caf<E9>");
    const int text = ColumnLeft(1, 3) + Margin();
    EXPECT_EQ(RowPixel(1, text + 3 * CellWidth() + 1), RGB(0xd9, 0xd9, 0xd9));

    // Picking an entry reads that file again in it, and the header names it.
    Choose(GetMenuItemID(second, 5));
    ASSERT_TRUE(PumpUntil(
        [&] { return TextOf(window.secondName()).find(L"EUC-JP") != std::wstring::npos; }));
    EXPECT_EQ(Status(0), L"第二のファイルを「日本語 (EUC-JP)」で読み直しました");
    EXPECT_EQ(GetMenuState(second, 5, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
}

TEST_F(ViewerWindowTest, KeysMenusFindAndGoToLineReachTheSession) {
    ViewerWindow& window = Open("a\nb\nc\nd\ne\nf\ng\n", "a\nB\nc\nd\ne\nF\ng\nh\n");
    // Each menu item names its key once, in the menu's column for keys.
    EXPECT_EQ(MenuText(MenuItem(2, L"次の相違")), L"次の相違\tF8");
    EXPECT_EQ(MenuText(MenuItem(2, L"前の相違")), L"前の相違\tShift+F8");
    EXPECT_EQ(MenuText(MenuItem(0, L"閉じる")), L"閉じる\tCtrl+W");

    // a, -b, +B, c, d, e, -f, +F, g, +h: differences start at rows 1, 6 and 9.
    ASSERT_EQ(ListView_GetItemCount(window.list()), 10);
    EXPECT_EQ(CurrentRow(), 1);
    Press(VK_F8);
    EXPECT_EQ(CurrentRow(), 6);
    Press(VK_F8);
    EXPECT_EQ(CurrentRow(), 9);
    EXPECT_EQ(Status(2), L"相違 3 箇所 (3 番目)");
    Press(VK_F8);  // no further difference: the row stays, and the status bar says so
    EXPECT_EQ(CurrentRow(), 9);
    EXPECT_EQ(Status(0), L"これより後に相違はありません");
    Press(VK_F8, VK_SHIFT);
    EXPECT_EQ(CurrentRow(), 6);
    Press(VK_F7);
    EXPECT_EQ(CurrentRow(), 1);
    Press(VK_END, VK_CONTROL);
    EXPECT_EQ(CurrentRow(), 9);
    Choose(MenuItem(2, L"最初の相違"));
    EXPECT_EQ(CurrentRow(), 1);
    // From a common row the list's own keys reached, F8 goes to the next difference below it.
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_EQ(Status(2).rfind(L"相違 3 箇所　F8", 0), 0u);
    Press(VK_F8);
    EXPECT_EQ(CurrentRow(), 6);

    // Ctrl+F: the find bar, its field focused; Enter finds, again and again; Esc closes it.
    Press('F', VK_CONTROL);
    HWND find = window.bars().findText();
    ASSERT_TRUE(IsWindowVisible(find));
    ASSERT_EQ(GetFocus(), find);
    SetWindowTextW(find, L"b");
    Press(VK_RETURN);
    EXPECT_EQ(CurrentRow(), 1);
    Press(VK_RETURN);
    EXPECT_EQ(CurrentRow(), 2);
    Press(VK_F3, VK_SHIFT);
    EXPECT_EQ(CurrentRow(), 1);
    SetWindowTextW(find, L"zzz");
    Press(VK_RETURN);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Status(0), L"「zzz」は見つかりません");
    Press(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(find));
    EXPECT_EQ(GetFocus(), window.list());
    EXPECT_TRUE(IsWindow(window.hwnd()));

    // Ctrl+G: line 8 of the second file is "h", the last row.
    Press('G', VK_CONTROL);
    // Each field is named for screen readers; the list by the title, each row by its cells.
    EXPECT_EQ(AccessibleName(window.bars().lineText()), L"行番号");
    EXPECT_EQ(AccessibleName(window.bars().lineFile()), L"行へ移動");
    EXPECT_EQ(AccessibleName(window.bars().findText()), L"検索");
    EXPECT_EQ(AccessibleName(window.list()),
              L"第一.txt ⇔ second.txt — 相違 3 箇所 — Diff-Zarvo ビューアー");
    EXPECT_EQ(AccessibleName(window.list(), 2), L"2 <! b");
    EXPECT_EQ(AccessibleName(window.strip()), L"相違の位置（クリックで移動）");
    ASSERT_EQ(GetFocus(), window.bars().lineText());
    SendMessageW(window.bars().lineFile(), CB_SETCURSEL, 1, 0);
    SetWindowTextW(window.bars().lineText(), L"8");
    Press(VK_RETURN);
    EXPECT_EQ(CurrentRow(), 9);
    EXPECT_EQ(GetFocus(), window.list());
    SetWindowTextW(window.bars().lineText(), L"x");
    Press(VK_RETURN, 0, window.bars().lineText());
    EXPECT_EQ(Status(0), L"その行はありません");

    // An ignore option from the menu compares again: without case, b/B and f/F are the same.
    Choose(MenuItem(3, L"大文字と小文字を区別しない"));
    EXPECT_EQ(GetMenuState(GetMenu(window.hwnd()), MenuItem(3, L"大文字と小文字を区別しない"),
                           MF_BYCOMMAND) &
                  MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(ListView_GetItemCount(window.list()), 8);
    EXPECT_EQ(TextOf(window.hwnd()),
              L"第一.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");

    // Esc closes the innermost thing: the line bar still open, then the window.
    Press(VK_ESCAPE, 0, window.list());
    EXPECT_FALSE(IsWindowVisible(window.bars().lineText()));
    EXPECT_TRUE(IsWindow(window.hwnd()));
    Press(VK_ESCAPE, 0, window.list());
    EXPECT_FALSE(IsWindow(window.hwnd()));
}

TEST_F(ViewerWindowTest, CtrlCCopiesTheSelectedRowsAndAClickOnTheStripGoesThere) {
    std::string first, second;
    for (int i = 0; i < 300; ++i) {
        first += "line " + std::to_string(i) + "\n";
        second += (i == 200 ? "changed\n" : "line " + std::to_string(i) + "\n");
    }
    // The lines' own characters are copied (a lone CR, an ESC), not the marks drawn for them.
    ViewerWindow& window = Open("a\nold\x1b[0m\rx\nkeep\n" + first, "a\nnew\nkeep\n" + second);
    ASSERT_EQ(CurrentRow(), 1);
    Press(VK_DOWN, VK_SHIFT);
    Press(VK_DOWN, VK_SHIFT);
    Press('C', VK_CONTROL);
    ASSERT_TRUE(OpenClipboard(window.hwnd()));
    const auto* copied = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    EXPECT_STREQ(copied, L"-old\x1b[0m\rx\r\n+new\r\n keep\r\n");
    GlobalUnlock(GetClipboardData(CF_UNICODETEXT));
    CloseClipboard();
    EXPECT_EQ(Status(0), L"3 行をコピーしました");
    // From the top to the end with Shift: every row.
    Press(VK_HOME);
    Press(VK_END, VK_SHIFT);
    Press('C', VK_CONTROL);
    EXPECT_EQ(Status(0), L"305 行をコピーしました");
    // Ctrl+A from one row: every row again.
    Press(VK_HOME);
    Press('A', VK_CONTROL);
    Press('C', VK_CONTROL);
    EXPECT_EQ(Status(0), L"305 行をコピーしました");

    // Rows 204 and 205 (of 305) differ: a click a little off their mark goes to the first.
    RECT strip{};
    GetClientRect(window.strip(), &strip);
    const int y = static_cast<int>(205LL * strip.bottom / 305) + 2;
    SendMessageW(window.strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, y));
    Pump();
    EXPECT_EQ(CurrentRow(), 204);
    EXPECT_EQ(GetFocus(), window.list());
    // Alt+Right takes what the list shows selected there, not the rows copied before.
    PressAlt(VK_RIGHT);
    EXPECT_EQ(Status(0), L"第二のファイルへ取り込みました");
    EXPECT_EQ(Cell(204, 3), L"line 200");
    // Elsewhere, to the row there.
    SendMessageW(window.strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, strip.bottom / 2));
    Pump();
    EXPECT_NEAR(CurrentRow(), 152, 2);
}

TEST_F(ViewerWindowTest, ASaveByRenameShowsTheNoticeAndF5ReadsTheFilesAgain) {
    ViewerWindow& window = Open("a\nold\nkeep\n", "a\nnew\nkeep\n");
    ASSERT_FALSE(IsWindowVisible(window.notice()));
    // As an editor saves: a new file, renamed over the old one.
    WriteBytes(dir_.path() / L"second.txt.tmp", "a\nnew\nkeep\nmore\n");
    ASSERT_TRUE(MoveFileExW((dir_.path() / L"second.txt.tmp").c_str(),
                            (dir_.path() / L"second.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window.notice()) != FALSE; }));
    EXPECT_EQ(TextOf(window.notice()), L"ファイルがディスク上で変更されました。");
    // Its button shows on it without the pointer passing over, and its text keeps off the edge.
    {
        RedrawWindow(window.hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HWND button = FindWindowExW(window.hwnd(), nullptr, L"Button", L"再読み込み (F5)");
        ASSERT_NE(button, nullptr);
        RECT place{}, bar{};
        GetWindowRect(button, &place);
        GetWindowRect(window.notice(), &bar);
        HDC screen = GetDC(nullptr);
        const COLORREF notice = RGB(0xff, 0xf4, 0xc0);
        EXPECT_NE(GetPixel(screen, place.left + 4, (place.top + place.bottom) / 2), notice);
        for (int x = bar.left; x < bar.left + 5; ++x) {
            for (int y = bar.top; y < bar.bottom; ++y) ASSERT_EQ(GetPixel(screen, x, y), notice);
        }
        ReleaseDC(nullptr, screen);
    }
    Press(VK_F5);
    EXPECT_FALSE(IsWindowVisible(window.notice()));
    ASSERT_EQ(ListView_GetItemCount(window.list()), 5);
    EXPECT_EQ(Cell(4, 3), L"more");
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Status(0), L"再読み込みしました");

    // Deleted: the notice again, and F5 says the file cannot be read.
    std::filesystem::remove(dir_.path() / L"second.txt");
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window.notice()) != FALSE; }));
    Press(VK_F5);
    EXPECT_FALSE(IsWindowVisible(window.list()));
    EXPECT_EQ(Status(2), L"比較できません");
    // Made again: still watched; the notice's button reads it.
    WriteBytes(dir_.path() / L"second.txt", "a\nold\nkeep\n");
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window.notice()) != FALSE; }));
    SendMessageW(window.notice(), WM_NULL, 0, 0);
    PostMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(
                     FindWindowExW(window.hwnd(), nullptr, L"Button", L"再読み込み (F5)")));
    Pump();
    EXPECT_TRUE(IsWindowVisible(window.message()));
    EXPECT_EQ(Status(2), L"相違はありません");
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

// The comparison after an undo may take as long as the first one: the same progress, and Esc
// leaves the edit as it was.
TEST_F(ViewerWindowTest, ALongComparisonAfterAnUndoIsStoppedByEscAndTheEditStays) {
    // No line in common as they stand; without case, 200,000 lines in a scrambled order.
    std::string first, second;
    for (std::int64_t i = 0; i < 200000; ++i) {
        first += "row " + std::to_string(i) + "\n";
        second += "ROW " + std::to_string((i * 7919) % 200000) + "\n";
    }
    Open(first, second);
    // The one difference, the whole file, taken into the second: the files the same, quick to
    // compare without case. (Not Ctrl+A: Wine's list selects and clears its rows one by one.)
    EXPECT_EQ(CurrentRow(), 0);
    PressAlt(VK_RIGHT);
    EXPECT_EQ(Status(0), L"第二のファイルへ取り込みました");
    Choose(MenuItem(3, L"大文字と小文字を区別しない"));
    EXPECT_EQ(Status(2), L"相違はありません");
    progressSeen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, EscapeOnProgress);
    Press('Z', VK_CONTROL);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(progressSeen);
    EXPECT_EQ(FindWindowW(kProgressClass, nullptr), nullptr);
    EXPECT_EQ(Status(0), L"中止しました。何も変えていません");
    EXPECT_EQ(Status(2), L"相違はありません");
    // What the window shows is what the save writes.
    Press('S', VK_CONTROL);
    EXPECT_EQ(testsupport::ReadBytes(dir_.path() / L"second.txt"), first);
}

TEST_F(ViewerWindowTest, IdenticalBinaryAndUnreadableFilesAreSaidToBeSo) {
    ViewerWindow& same = Open("同じ\n内容\n", "同じ\n内容\n");
    EXPECT_TRUE(IsWindowVisible(same.message()));
    EXPECT_NE(TextOf(same.message()).find(L"2つのファイルは同一です"), std::wstring::npos);
    EXPECT_EQ(Status(2), L"相違はありません");
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
    EXPECT_EQ(Status(2), L"比較できません");

    // A folder is no file to compare.
    window_ = std::make_unique<ViewerWindow>(Compare(dir_.path(), dir_.path() / L"second.txt"));
    Pump();
    EXPECT_NE(TextOf(window_->message()).find(dir_.path().wstring() + L": フォルダーです"),
              std::wstring::npos);
}

using testsupport::AnswerQuestion;
using testsupport::question;

TEST_F(ViewerWindowTest, AChangeTakenAcrossAndALineEditedAreSavedAsTheyAreAndClosingAsksFirst) {
    // The second file ends its lines in CR LF and its last line in nothing; both stay so.
    ViewerWindow& window =
        Open("共通\nold line\nkeep\nmid 1\nend\n", "共通\r\nnew line\r\nkeep\r\nmid 2\r\nend");
    const std::filesystem::path second = dir_.path() / L"second.txt";
    ASSERT_EQ(CurrentRow(), 1);
    question = {window.hwnd(), {}, {}, nullptr, 0, 0};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerQuestion);

    // Alt+Right: "old line" goes into the second file, which is marked as changed.
    PressAlt(VK_RIGHT);
    ASSERT_EQ(ListView_GetItemCount(window.list()), 6);
    EXPECT_EQ(Cell(1, 3), L"old line");
    EXPECT_EQ(Cell(1, 2), L"");
    EXPECT_EQ(Status(0), L"第二のファイルへ取り込みました");
    EXPECT_EQ(TextOf(window.hwnd()),
              L"● 第一.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
    EXPECT_EQ(TextOf(window.secondName()), L"● 第二: " + second.wstring() + L"　(UTF-8)");
    EXPECT_EQ(testsupport::ReadBytes(second), "共通\r\nnew line\r\nkeep\r\nmid 2\r\nend");

    // F2: the line in an editor over its cell, focused, named for screen readers.
    ASSERT_EQ(CurrentRow(), 1);
    Press(VK_F2);
    HWND editor = window.editor();
    ASSERT_TRUE(IsWindowVisible(editor));
    ASSERT_EQ(GetFocus(), editor);
    EXPECT_EQ(TextOf(editor), L"old line");
    EXPECT_EQ(AccessibleName(editor), L"行を編集");
    EXPECT_EQ(Status(0), L"Enter で確定、Esc で取り消し");
    // Typed at its end and compared at once: the common row splits, the editor on the new one.
    // (Only the first key surely: on a slow machine the rest is compared when the edit ends.)
    Type(L" ");
    ASSERT_EQ(ListView_GetItemCount(window.list()), 7);
    EXPECT_EQ(Cell(1, 3), L"old line");
    EXPECT_EQ(Cell(2, 3), L"old line ");
    EXPECT_EQ(Cell(2, 2), L"!>");
    Type(L"第2");
    EXPECT_EQ(TextOf(editor), L"old line 第2");
    RECT row{};
    ListView_GetItemRect(window.list(), 2, &row, LVIR_BOUNDS);
    RECT placed{};
    GetWindowRect(editor, &placed);
    MapWindowPoints(nullptr, window.list(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, ColumnLeft(2, 3));
    EXPECT_EQ(placed.top, row.top - 1);
    EXPECT_EQ(placed.bottom, row.bottom + 1);
    // Enter keeps it; Ctrl+S writes it, in the file's own line ends, and nothing else.
    Press(VK_RETURN);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(GetFocus(), window.list());
    EXPECT_EQ(Status(0), L"行を編集しました");
    EXPECT_EQ(Cell(2, 3), L"old line 第2");
    Press('S', VK_CONTROL);
    EXPECT_EQ(testsupport::ReadBytes(second), "共通\r\nold line 第2\r\nkeep\r\nmid 2\r\nend");
    EXPECT_EQ(testsupport::ReadBytes(dir_.path() / L"第一.txt"),
              "共通\nold line\nkeep\nmid 1\nend\n");
    EXPECT_EQ(TextOf(window.hwnd()),
              L"第一.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー");

    // A double click on the line's text edits it too; Esc puts it back and leaves the window.
    const int x = ColumnLeft(2, 3) + Margin() + 2;
    const int y = (row.top + row.bottom) / 2;
    SendMessageW(window.list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window.list(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    SendMessageW(window.list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window.list(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
    ASSERT_EQ(GetFocus(), editor);
    Type(L"x");
    EXPECT_EQ(Cell(2, 3), L"old line 第2x");
    Press(VK_ESCAPE);
    EXPECT_TRUE(IsWindow(window.hwnd()));
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(Cell(2, 3), L"old line 第2");
    EXPECT_EQ(Status(0), L"編集を取り消しました");
    EXPECT_EQ(TextOf(window.hwnd()),
              L"第一.txt ⇔ second.txt — 相違 2 箇所 — Diff-Zarvo ビューアー");
    EXPECT_TRUE(question.buttons.empty());

    // Another change. F5 would drop it and asks first: Esc answers キャンセル, nothing is read
    // again.
    Press(VK_F8);
    ASSERT_EQ(Cell(CurrentRow(), 3), L"mid 1");
    PressAlt(VK_RIGHT);
    ASSERT_EQ(Cell(4, 3), L"mid 1");
    Press(VK_F5);
    EXPECT_EQ(Cell(4, 3), L"mid 1");
    EXPECT_EQ(TextOf(window.hwnd()),
              L"● 第一.txt ⇔ second.txt — 相違 1 箇所 — Diff-Zarvo ビューアー");
    // Ctrl+W asks too: キャンセル keeps the window and writes nothing.
    question.presses = {L"キャンセル"};
    Press('W', VK_CONTROL);
    ASSERT_TRUE(IsWindow(window.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(window.hwnd()));
    EXPECT_EQ(testsupport::ReadBytes(second), "共通\r\nold line 第2\r\nkeep\r\nmid 2\r\nend");
    // Another program writes the file meanwhile: 保存 on closing asks before overwriting it, and
    // 上書き保存 writes the window's lines over it, then the window closes.
    WriteBytes(second, "another program\n");
    question.presses = {L"保存", L"上書き保存"};
    Press('W', VK_CONTROL);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(IsWindow(window.hwnd()));
    EXPECT_EQ(testsupport::ReadBytes(second), "共通\r\nold line 第2\r\nkeep\r\nmid 1\r\nend");
    const std::vector<std::wstring> close{L"保存", L"保存しない", L"キャンセル"};
    EXPECT_EQ(question.buttons, (std::vector<std::vector<std::wstring>>{
                                    {L"読み直す", L"キャンセル"},
                                    close,
                                    close,
                                    {L"上書き保存", L"比較し直す", L"キャンセル"}}));
    EXPECT_EQ(question.menus, 0);  // Alt let go after Alt+Right opens no menu
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
