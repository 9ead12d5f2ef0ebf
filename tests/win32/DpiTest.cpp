// The window follows the screen's resolution: at 200% scaling every twip of the layout, the
// client area and the fonts are twice as many pixels as at 100%.
#include <cstdlib>

#include "Underscores.h"
#include "behaviour/FormFixture.h"
#include "platform/win32/Win32Internal.h"

namespace {

class DpiTest : public FormTest {};

TEST_F(DpiTest, WindowIsLaidOutAtTheScreensResolution) {
    auto form = Start();
    const int dpi = platform::testing::LogicalDpi(form->window);
    // The test stage runs this once more on a screen set to 192 dpi and says so here.
    if (const char* expected = std::getenv("ZARVO_EXPECTED_DPI")) {
        EXPECT_EQ(dpi, std::atoi(expected));
    }
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(dpi, GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);

    const platform::testing::Geometry client = platform::testing::ClientGeometry(form->window);
    EXPECT_EQ(client.width, platform::TwipsToPixels(4710, dpi));
    EXPECT_EQ(client.height, platform::TwipsToPixels(3030, dpi));
    // The default font of the boxes grows with the screen: its size in points stays that of a
    // message font, where a font left at 96 dpi pixels would shrink at 192.
    const double points = platform::testing::FontPoints(form->path1);
    EXPECT_GE(points, 6.5);
    EXPECT_LE(points, 14.0);
}

// The boxes draw every letter of a path, its underscore too, in the message font of a Japanese
// Windows as Wine draws it: IPAGothic, which has none at 11 pixels (9 points at 96 dpi). The
// box is painted with the name and with a blank in its place, each copied aside.
TEST_F(DpiTest, PathBoxesDrawTheUnderscoreOfAName) {
    const testsupport::MessageFontFace japanese(L"IPAGothic");
    auto form = Start();
    HWND box = form->path1.impl().hwnd;
    RECT area{};
    GetClientRect(box, &area);
    const int width = area.right, height = area.bottom;
    HDC shown = GetDC(box);
    HDC copies = CreateCompatibleDC(shown);
    HBITMAP bitmap = CreateCompatibleBitmap(shown, width, 2 * height);
    const HGDIOBJ old = SelectObject(copies, bitmap);
    int top = 0;
    for (const wchar_t* name : {L"b_sjis.txt", L"b sjis.txt"}) {
        platform::testing::Type(form->path1, name);
        SendMessageW(box, EM_SETSEL, 0, 0);  // no selection drawn
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HideCaret(box);
        BitBlt(copies, 0, top, width, height, shown, 0, 0, SRCCOPY);
        ShowCaret(box);
        top += height;
    }
    const testsupport::Difference drawn =
        testsupport::FirstDifference(copies, {0, 0, width, height}, {0, height, width, 2 * height});
    SelectObject(copies, old);
    DeleteObject(bitmap);
    DeleteDC(copies);
    ReleaseDC(box, shown);
    EXPECT_EQ(drawn.above, 0);
    EXPECT_GT(drawn.below, 0) << "the box drew \"b_sjis.txt\" as \"b sjis.txt\"";
}

}  // namespace
