// The Win32 front's parts for the session's submenus of choices and its stray bytes, on a real
// menu and a real device context: the encodings' radio items follow the session, and "<E9>" is
// painted in a grey box of its own with dark red text.
#include <gtest/gtest.h>

#include <string>

#include "ChoiceMenus.h"
#include "StrayBytes.h"
#include "support/SessionViews.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

using testsupport::QuietView;
using testsupport::TempDir;
using testsupport::WriteBytes;

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

bool Checked(HMENU menu, UINT position) {
    return (GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED) != 0;
}

TEST(ChoiceMenusTest, RadioItemsFollowTheSessionAndStrayBytesHaveABoxOfTheirOwn) {
    TempDir dir;
    WriteBytes(dir / "a.txt", "日本語の行\ncaf\xE9\n");
    WriteBytes(dir / "b.txt", "日本語の行\ncafe\n");
    QuietView window;
    Session session(Compare(dir / "a.txt", dir / "b.txt"), window);
    session.Open();

    HMENU bar = CreateMenu();
    HMENU encodings = CreatePopupMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(encodings), L"文字コード(&C)");
    std::vector<HMENU> popups;
    for (const CommandInfo& info : CommandTable()) {
        if (info.choices.empty()) continue;
        popups.push_back(MakeChoiceMenu(info));
        const std::wstring label(info.label.begin(), info.label.end());
        AppendMenuW(encodings, MF_POPUP, reinterpret_cast<UINT_PTR>(popups.back()), label.c_str());
    }
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(ItemText(encodings, 0), L"第一のファイルの文字コード");
    EXPECT_EQ(ItemText(encodings, 1), L"第二のファイルの文字コード");
    ASSERT_EQ(GetMenuItemCount(popups[1]), 8);
    EXPECT_EQ(ItemText(popups[1], 0), L"自動判別");
    EXPECT_EQ(ItemText(popups[1], 5), L"日本語 (EUC-JP)");

    UpdateChoiceMenus(bar, session);
    EXPECT_TRUE(Checked(popups[0], 0));
    EXPECT_TRUE(Checked(popups[1], 0));
    const auto picked = ChoiceOf(static_cast<WORD>(GetMenuItemID(popups[1], 5)));
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(picked->first, Command::EncodingSecond);
    EXPECT_EQ(picked->second, 5u);
    EXPECT_FALSE(ChoiceOf(101).has_value());
    session.Choose(picked->first, picked->second);
    UpdateChoiceMenus(bar, session);
    EXPECT_TRUE(Checked(popups[1], 5));
    EXPECT_FALSE(Checked(popups[1], 0));
    EXPECT_TRUE(Checked(popups[0], 0));
    DestroyMenu(bar);

    // The first file's "caf<E9>" (row 1: the removed line), eight pixels a cell, no margin.
    const CellPaint plan = PaintOf(session, 1, 3, false, {8, 0, 100});
    ASSERT_FALSE(plan.pieces.empty());
    ASSERT_EQ(plan.pieces.back().kind, PieceKind::StrayBytes);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 24);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT area{0, 0, 100, 24};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PaintStrayBytes(dc, plan.pieces.back(), area, 4, 8);
    EXPECT_EQ(GetPixel(dc, 3 * 8 + 1, 1), RGB(0xd9, 0xd9, 0xd9));
    EXPECT_EQ(GetPixel(dc, 7 * 8 - 1, 22), RGB(0xd9, 0xd9, 0xd9));
    EXPECT_EQ(GetPixel(dc, 3 * 8 - 1, 1), RGB(0xff, 0xff, 0xff));
    EXPECT_EQ(GetPixel(dc, 7 * 8 + 1, 1), RGB(0xff, 0xff, 0xff));
    EXPECT_EQ(GetPixel(dc, 3 * 8 + 1, 0), RGB(0xff, 0xff, 0xff));  // a box, inside its row
    int red = 0;
    for (int x = 24; x < 56; ++x) {
        for (int y = 1; y < 23; ++y) red += GetPixel(dc, x, y) == RGB(0x9c, 0x00, 0x00);
    }
    EXPECT_GT(red, 10);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

}  // namespace
}  // namespace viewer
