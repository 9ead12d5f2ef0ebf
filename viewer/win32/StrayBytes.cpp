#include "StrayBytes.h"

#include <algorithm>
#include <vector>

#include "WinText.h"

namespace viewer {

void PaintStrayBytes(HDC dc, const PaintPiece& piece, const RECT& area, int y, int cellWidth) {
    const int x = area.left + static_cast<int>(piece.left);
    const RECT box{x, area.top + 1,
                   std::min<int>(area.left + static_cast<int>(piece.right), area.right),
                   area.bottom - 1};
    if (box.left >= box.right) return;
    const COLORREF oldText = SetTextColor(dc, Ref(piece.colour));
    const COLORREF oldBack = SetBkColor(dc, Ref(piece.box));
    // The run is ASCII ("<E9>"): one cell a character, as the rest of the line is drawn.
    std::vector<INT> advances(piece.text.size(), cellWidth);
    ExtTextOutW(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &box, W(piece.text),
                static_cast<UINT>(piece.text.size()), advances.data());
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

}  // namespace viewer
