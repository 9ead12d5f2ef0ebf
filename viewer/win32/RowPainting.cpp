// How a row of the list is painted: each cell as the session plans it (RowPaint.h), its pieces
// of text at their cells, clipped to the cell, and a frame round the current row.
#include <algorithm>
#include <optional>
#include <vector>

#include "StrayBytes.h"
#include "ViewerWindow.h"
#include "WinText.h"
#include "platform/win32/GdiHandles.h"

namespace viewer {

namespace {

void Fill(HDC dc, const RECT& area, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
}

}  // namespace

void ViewerWindow::PaintRow(HDC dc, std::size_t viewRow) {
    if (viewRow >= session_.RowCount()) return;
    const int item = static_cast<int>(viewRow);
    RECT row{};
    ListView_GetItemRect(list_, item, &row, LVIR_BOUNDS);
    const bool selected = ListView_GetItemState(list_, item, LVIS_SELECTED) != 0;
    HGDIOBJ oldFont = SelectObject(dc, listFont_);
    SetBkMode(dc, TRANSPARENT);
    const ListMetrics metrics = Metrics();
    const int margin = textMargin();
    std::optional<Rgb> frame;
    int x = row.left;
    for (std::size_t c = 0; c < session_.Columns().size(); ++c) {
        const int width = ListView_GetColumnWidth(list_, static_cast<int>(c));
        const RECT area{x, row.top, x + width, row.bottom};
        x += width;
        const CellPaint plan = PaintOf(session_, viewRow, c, selected, metrics);
        frame = plan.frame;
        Fill(dc, area, Ref(plan.background));
        const int half = (area.left + area.right) / 2;
        if (plan.leftHalf)
            Fill(dc, RECT{area.left, area.top, half, area.bottom}, Ref(*plan.leftHalf));
        if (plan.rightHalf)
            Fill(dc, RECT{half, area.top, area.right, area.bottom}, Ref(*plan.rightHalf));
        for (const PaintFill& mark : plan.marks) {
            const int left = area.left + static_cast<int>(mark.left);
            Fill(dc,
                 RECT{left, area.top,
                      std::min<int>(area.left + static_cast<int>(mark.right), area.right),
                      area.bottom},
                 Ref(mark.colour));
        }
        if (!plan.text.empty()) {
            SetTextColor(dc, Ref(ColourRole::Text));
            RECT text{area.left + margin, area.top, area.right - margin, area.bottom};
            const UINT align = plan.align == Align::Left     ? DT_LEFT
                               : plan.align == Align::Center ? DT_CENTER
                                                             : DT_RIGHT;
            DrawTextW(dc, W(plan.text), static_cast<int>(plan.text.size()), &text,
                      align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        PaintPieces(dc, plan.pieces, area, metrics.width);
    }
    if (frame) {
        const platform::win32::BrushHandle brush(CreateSolidBrush(Ref(*frame)));
        const RECT whole{row.left, row.top, x, row.bottom};
        FrameRect(dc, &whole, brush);
    }
    SelectObject(dc, oldFont);
}

// Each piece at its cells: a run of plain letters one cell a character, a cluster across its
// cells, so marks, widths and the session's measures agree in any font.
void ViewerWindow::PaintPieces(HDC dc, const std::vector<PaintPiece>& pieces, const RECT& area,
                               int visible) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int y = area.top + (area.bottom - area.top - metrics.tmHeight) / 2;
    std::vector<INT> advances;
    for (const PaintPiece& piece : pieces) {
        const int left = area.left + static_cast<int>(piece.left);
        const int right = area.left + static_cast<int>(piece.right);
        // Only what is in view: a long line has thousands of pieces.
        if (right <= 0 || left >= std::min<int>(visible, area.right)) continue;
        switch (piece.kind) {
            case PieceKind::Control:
                PaintControl(dc, piece, RECT{left, area.top, right, area.bottom}, area);
                continue;
            case PieceKind::StrayBytes:
                PaintStrayBytes(dc, piece, area, y, cellWidth_);
                continue;
            case PieceKind::Plain:
                advances.assign(piece.text.size(), cellWidth_);
                break;
            case PieceKind::Cluster:
                advances.assign(piece.text.size(), 0);
                advances[0] = right - left;
                break;
        }
        SetTextColor(dc, Ref(piece.colour));
        ExtTextOutW(dc, left, y, ETO_CLIPPED, &area, W(piece.text),
                    static_cast<UINT>(piece.text.size()), advances.data());
    }
}

void ViewerWindow::PaintControl(HDC dc, const PaintPiece& piece, const RECT& cells,
                                const RECT& area) {
    const RECT box{cells.left + 1, cells.top + 2, cells.right - 1, cells.bottom - 2};
    // Within its column: a box cut by the column's edge is not drawn over the next one.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const platform::win32::BrushHandle frame(CreateSolidBrush(Ref(piece.colour)));
    FrameRect(dc, &box, frame);
    HGDIOBJ oldFont = SelectObject(dc, controlFont_);
    const COLORREF oldText = SetTextColor(dc, Ref(piece.colour));
    RECT inside = box;
    DrawTextW(dc, W(piece.text), static_cast<int>(piece.text.size()), &inside,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SetTextColor(dc, oldText);
    SelectObject(dc, oldFont);
    RestoreDC(dc, saved);
}

}  // namespace viewer
