// Every list of the viewer draws the underscore of a name, at each resolution the test runs at:
// under Wine the Japanese font at some sizes has none, and "b_sjis.txt" would read "b sjis.txt".
// A row holding the name is painted beside a row holding it with a blank in its place: where
// they first differ, from the left, is under the letters.
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "FolderWindow.h"
#include "MergeWindow.h"
#include "Underscores.h"
#include "ViewerWindow.h"
#include "WindowTest.h"
#include "support/TempDir.h"

namespace viewer {
namespace {

namespace fs = std::filesystem;
using testsupport::WriteBytes;

std::wstring CellText(HWND list, int row, int column) {
    wchar_t text[512] = {};
    ListView_GetItemText(list, row, column, text, 512);
    return text;
}

// How each cell of `list` showing `with` was painted, beside the cell of the same column
// showing `without`: the cells compared, and where they first differ, summed.
struct Cells {
    int compared = 0;
    int above = 0;
    int below = 0;
};

Cells PaintedDifference(HWND list, const std::wstring& with, const std::wstring& without) {
    Cells cells;
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(list);
    const int rows = ListView_GetItemCount(list);
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int column = 0; column < columns; ++column) {
        std::optional<int> a, b;
        for (int row = 0; row < rows; ++row) {
            const std::wstring text = CellText(list, row, column);
            if (text == with && !a) a = row;
            if (text == without && !b) b = row;
        }
        if (!a || !b) continue;
        ++cells.compared;
        RECT first{}, second{};
        ListView_GetSubItemRect(list, *a, column, LVIR_BOUNDS, &first);
        ListView_GetSubItemRect(list, *b, column, LVIR_BOUNDS, &second);
        const testsupport::Difference difference = testsupport::FirstDifference(dc, first, second);
        cells.above += difference.above;
        cells.below += difference.below;
    }
    ReleaseDC(list, dc);
    return cells;
}

class UnderscoreTest : public testsupport::WindowTest<ViewerWindow> {};

TEST_F(UnderscoreTest, FileAndMergeRowsAreDrawnWithTheirUnderscores) {
    const fs::path dir = dir_.path();
    WriteBytes(dir / "a.txt", "Shift_JIS\nShift JIS\nsame\nfirst\n");
    WriteBytes(dir / "b.txt", "Shift_JIS\nShift JIS\nsame\nsecond\n");
    window_ =
        std::make_unique<ViewerWindow>(Compare(dir / "a.txt", dir / "b.txt"), dir / "Zarvo.ini");
    Pump();
    Cells drawn = PaintedDifference(window_->list(), L"Shift_JIS", L"Shift JIS");
    EXPECT_GE(drawn.compared, 1);
    EXPECT_EQ(drawn.above, 0);
    EXPECT_GT(drawn.below, 0) << "the file view drew \"Shift_JIS\" as \"Shift JIS\"";
    window_.reset();

    WriteBytes(dir / "mine.txt", "Shift_JIS\nShift JIS\nsame\nmine\n");
    WriteBytes(dir / "base.txt", "Shift_JIS\nShift JIS\nsame\nbase\n");
    const auto parsed = ParseArguments({dir / "mine.txt", dir / "base.txt", dir / "base.txt"});
    ASSERT_TRUE(parsed);
    std::u16string why;
    std::optional<MergeSources> sources = ReadMergeSources(*parsed, why);
    ASSERT_TRUE(sources);
    MergeWindow merge(std::move(*sources));
    Pump();
    drawn = PaintedDifference(merge.list(), L"Shift_JIS", L"Shift JIS");
    EXPECT_GE(drawn.compared, 4);  // mine, base, theirs and the result
    EXPECT_EQ(drawn.above, 0);
    EXPECT_GT(drawn.below, 0) << "the merge window drew \"Shift_JIS\" as \"Shift JIS\"";
}

TEST_F(UnderscoreTest, FolderRowsAreDrawnWithTheirUnderscores) {
    // The message font a Japanese Windows has, as Wine draws it: IPAGothic, which has no
    // underscore at 11 pixels (9 points at 96 dpi).
    const testsupport::MessageFontFace japanese(L"IPAGothic");
    const fs::path dir = dir_.path();
    for (const char* side : {"a", "b"}) {
        fs::create_directories(dir / side);
        WriteBytes(dir / side / "a.txt", side);  // the first row, the current one
        WriteBytes(dir / side / "b sjis.txt", side);
        WriteBytes(dir / side / "b_sjis.txt", side);
    }
    FolderWindow folders(dir / "a", dir / "b", dir / "Zarvo.ini");
    ASSERT_TRUE(PumpUntil([&] { return !folders.session().Running(); }));
    const Cells drawn = PaintedDifference(folders.list(), L"b_sjis.txt", L"b sjis.txt");
    EXPECT_EQ(drawn.compared, 1);
    EXPECT_EQ(drawn.above, 0);
    EXPECT_GT(drawn.below, 0) << "the folder window drew \"b_sjis.txt\" as \"b sjis.txt\"";
}

}  // namespace
}  // namespace viewer
