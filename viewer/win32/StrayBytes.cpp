#include "StrayBytes.h"

#include <algorithm>
#include <vector>

#include "Cells.h"

namespace viewer {

namespace {

COLORREF Ref(ColourRole role) {
    const Rgb colour = Colour(role);
    return RGB(colour.r, colour.g, colour.b);
}

}  // namespace

void PaintStrayBytes(HDC dc, const Cell& cell, const RECT& area, int left, int y, int cellWidth) {
    if (cell.byteMarks.empty()) return;
    const COLORREF oldText = SetTextColor(dc, Ref(ColourRole::StrayByteText));
    const COLORREF oldBack = SetBkColor(dc, Ref(ColourRole::StrayByte));
    for (const MarkSpan& mark : cell.byteMarks) {
        const std::size_t start = std::min<std::size_t>(mark.start, cell.text.size());
        const std::size_t end = std::min<std::size_t>(start + mark.length, cell.text.size());
        if (start >= end) continue;
        const int x = left + static_cast<int>(CellColumn(cell.text, start)) * cellWidth;
        const int right = left + static_cast<int>(CellColumn(cell.text, end)) * cellWidth;
        RECT box{x, area.top + 1, std::min<int>(right, area.right), area.bottom - 1};
        if (box.left >= box.right) continue;
        // The run is ASCII ("<E9>"): one cell a character, as the rest of the line is drawn.
        std::vector<INT> advances(end - start, cellWidth);
        ExtTextOutW(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box,
                    reinterpret_cast<const wchar_t*>(cell.text.data() + start),
                    static_cast<UINT>(end - start), advances.data());
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

}  // namespace viewer
