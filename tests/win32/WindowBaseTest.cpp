// What the three windows take from their base: a change of resolution (WM_DPICHANGED) gives each
// new fonts at the new size, measures anew with them, and puts the window where the system
// suggests.
#include <memory>

#include "FolderWindow.h"
#include "MergeWindow.h"
#include "ViewerWindow.h"
#include "WindowTest.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteBytes;

// The height of a control's font, as LOGFONT has it; 0 where it has none that is alive.
int FontHeight(HWND control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (GetObjectW(handle, sizeof font, &font) != sizeof font) return 0;
    return font.lfHeight;
}

// The system telling the window that it now stands at `dpi`, and where it would have it.
RECT ChangeDpi(HWND window, int dpi, RECT suggested) {
    SendMessageW(window, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT placed{};
    GetWindowRect(window, &placed);
    return placed;
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class WindowBaseTest : public testsupport::WindowTest<ViewerWindow> {};

TEST_F(WindowBaseTest, EachWindowTakesTheNewResolutionsFontsSizesAndPlace) {
    const RECT large{40, 30, 1140, 930}, small{20, 10, 720, 510};
    fs::create_directories(dir_ / "a");
    fs::create_directories(dir_ / "b");
    WriteBytes(dir_ / "a" / "one.txt", "one\ntwo\n");
    WriteBytes(dir_ / "b" / "one.txt", "one\nzwei\n");

    // The file view: its lines in a 10-point font (13 pixels high at 96 dpi; at 192, 30 rather
    // than 27, the nearest size at which Wine's Japanese font draws an underscore), its text a
    // margin of 4 pixels at 96 dpi from the cell's edge; the system's font for the rest.
    window_ = std::make_unique<ViewerWindow>(
        Compare(dir_ / "a" / "one.txt", dir_ / "b" / "one.txt"), dir_ / "Zarvo.ini");
    Pump();
    EXPECT_TRUE(ChangeDpi(window_->hwnd(), 192, large) == large);
    EXPECT_EQ(FontHeight(window_->list()), -30);
    EXPECT_EQ(FontHeight(window_->editor()), -30);
    const int uiFont192 = FontHeight(window_->status());
    EXPECT_EQ(window_->textMargin(), 8);
    const int wideCell = window_->cellWidth();
    EXPECT_TRUE(ChangeDpi(window_->hwnd(), 96, small) == small);
    EXPECT_EQ(FontHeight(window_->list()), -13);
    EXPECT_EQ(FontHeight(window_->editor()), -13);
    const int uiFont96 = FontHeight(window_->status());
    ASSERT_NE(uiFont96, 0);
    EXPECT_EQ(uiFont192, 2 * uiFont96);
    EXPECT_EQ(window_->textMargin(), 4);
    EXPECT_LT(window_->cellWidth(), wideCell);
    window_.reset();

    // The folder view: the mark's column 36 pixels wide at 96 dpi.
    FolderWindow folders(dir_ / "a", dir_ / "b", dir_ / "Zarvo.ini");
    ASSERT_TRUE(PumpUntil([&] { return !folders.session().Running(); }));
    EXPECT_TRUE(ChangeDpi(folders.hwnd(), 192, large) == large);
    EXPECT_EQ(ListView_GetColumnWidth(folders.list(), 0), 72);
    EXPECT_EQ(FontHeight(folders.list()), 2 * uiFont96);
    EXPECT_TRUE(ChangeDpi(folders.hwnd(), 96, small) == small);
    EXPECT_EQ(ListView_GetColumnWidth(folders.list(), 0), 36);
    EXPECT_EQ(FontHeight(folders.list()), uiFont96);
}

TEST_F(WindowBaseTest, TheMergeWindowTakesTheNewResolutionsFontsAndPlace) {
    const RECT large{40, 30, 1140, 930}, small{20, 10, 720, 510};
    for (const char* name : {"mine.txt", "base.txt", "theirs.txt"}) {
        WriteBytes(dir_ / name, "one\n");
    }
    const auto parsed = ParseArguments(
        {dir_ / "mine.txt", dir_ / "base.txt", dir_ / "theirs.txt", L"-o", dir_ / "result.txt"});
    ASSERT_TRUE(parsed);
    std::u16string why;
    std::optional<MergeSources> sources = ReadMergeSources(*parsed, why);
    ASSERT_TRUE(sources);
    MergeWindow merge(std::move(*sources));
    Pump();
    EXPECT_TRUE(ChangeDpi(merge.hwnd(), 96, small) == small);
    EXPECT_EQ(FontHeight(merge.list()), -13);
    const int uiFont96 = FontHeight(merge.status());
    ASSERT_NE(uiFont96, 0);
    EXPECT_TRUE(ChangeDpi(merge.hwnd(), 192, large) == large);
    EXPECT_EQ(FontHeight(merge.list()), -30);
    EXPECT_EQ(FontHeight(merge.editor()), -30);
    EXPECT_EQ(FontHeight(merge.status()), 2 * uiFont96);
}

}  // namespace
}  // namespace viewer
