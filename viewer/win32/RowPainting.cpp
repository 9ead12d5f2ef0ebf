// How a row of the list is painted: each cell on its row's colour (a shade darker when selected,
// darker still when current), the band between the panes in its sides' colours, a line's text
// cluster by cluster at its cells with what changed on the stronger shade, and a frame round the
// current row.
#include <algorithm>
#include <vector>

#include "Cells.h"
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
    const bool current = session_.CurrentViewRow() == viewRow;
    const bool selected = ListView_GetItemState(list_, item, LVIS_SELECTED) != 0;
    HGDIOBJ oldFont = SelectObject(dc, listFont_);
    SetTextColor(dc, Ref(ColourRole::Text));
    SetBkMode(dc, TRANSPARENT);
    const std::vector<Column>& columns = session_.Columns();
    const int margin = textMargin();
    int x = row.left;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int width = ListView_GetColumnWidth(list_, static_cast<int>(c));
        const RECT area{x, row.top, x + width, row.bottom};
        x += width;
        const Cell cell = session_.CellAt(viewRow, c);
        Rgb base = Colour(cell.empty ? ColourRole::Base : cell.background);
        if (current) {
            base = Darker(base, 118);
        } else if (selected) {
            base = Darker(base, 108);
        }
        Fill(dc, area, Ref(base));
        if (columns[c].role == ColumnRole::Band) {
            // Each side's colour on its half, joining the change's two sides.
            const int half = (area.left + area.right) / 2;
            if (cell.bandLeft != ColourRole::Base) {
                Fill(dc, RECT{area.left, area.top, half, area.bottom}, Ref(cell.bandLeft));
            }
            if (cell.bandRight != ColourRole::Base) {
                Fill(dc, RECT{half, area.top, area.right, area.bottom}, Ref(cell.bandRight));
            }
        }
        if (columns[c].content) {
            PaintContent(dc, cell, area, current);
        } else if (!cell.text.empty()) {
            RECT text{area.left + margin, area.top, area.right - margin, area.bottom};
            const UINT align = columns[c].align == Align::Left     ? DT_LEFT
                               : columns[c].align == Align::Center ? DT_CENTER
                                                                   : DT_RIGHT;
            DrawTextW(dc, W(cell.text), static_cast<int>(cell.text.size()), &text,
                      align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    if (current) {
        const platform::win32::BrushHandle frame(CreateSolidBrush(Ref(ColourRole::CurrentFrame)));
        const RECT whole{row.left, row.top, x, row.bottom};
        FrameRect(dc, &whole, frame);
    }
    SelectObject(dc, oldFont);
}

// The text at its cells: every cluster starts at its cell column, so marks, widths and the
// session's measures agree in any font. A tab is drawn as the blank up to its stop.
void ViewerWindow::PaintContent(HDC dc, const Cell& cell, const RECT& area, bool current) {
    const int left = area.left + textMargin();
    const std::vector<Cluster> clusters = Clusters(cell.text);
    if (!cell.marks.empty() && cell.markColour != ColourRole::Base) {
        Rgb strong = Colour(cell.markColour);
        if (current) strong = Darker(strong, 115);
        for (const MarkSpan& mark : cell.marks) {
            const std::size_t end = mark.start + mark.length;
            const std::size_t from =
                CellColumn(cell.text, std::min<std::size_t>(mark.start, cell.text.size()));
            const std::size_t to = CellColumn(cell.text, std::min(end, cell.text.size()));
            const int width = std::max(2, static_cast<int>(to - from) * cellWidth_);
            const int x = left + static_cast<int>(from) * cellWidth_;
            Fill(dc, RECT{x, area.top, std::min<int>(x + width, area.right), area.bottom},
                 Ref(strong));
        }
    }
    std::wstring text;
    std::vector<INT> advances;
    text.reserve(cell.text.size());
    advances.reserve(cell.text.size());
    for (const Cluster& cluster : clusters) {
        const int advance = static_cast<int>(cluster.cells) * cellWidth_;
        if (cell.text[cluster.start] == u'\t' ||
            !ControlLetters(cell.text[cluster.start]).empty()) {
            text += L' ';
            advances.push_back(advance);
            continue;
        }
        for (std::size_t i = 0; i < cluster.length; ++i) {
            text += static_cast<wchar_t>(cell.text[cluster.start + i]);
            advances.push_back(i == 0 ? advance : 0);
        }
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int y = area.top + (area.bottom - area.top - metrics.tmHeight) / 2;
    ExtTextOutW(dc, left, y, ETO_CLIPPED, &area, text.c_str(), static_cast<UINT>(text.size()),
                advances.data());
    for (const Cluster& cluster : clusters) {
        const std::u16string_view letters = ControlLetters(cell.text[cluster.start]);
        if (letters.empty()) continue;
        const int x = left + static_cast<int>(cluster.column) * cellWidth_;
        if (x >= area.right) break;
        PaintControl(dc, letters, x, static_cast<int>(cluster.cells), area);
    }
    PaintStrayBytes(dc, cell, area, left, y, cellWidth_);
}

void ViewerWindow::PaintControl(HDC dc, std::u16string_view letters, int x, int cells,
                                const RECT& area) {
    const RECT box{x + 1, area.top + 2, x + cells * cellWidth_ - 1, area.bottom - 2};
    // Within its column: a box cut by the column's edge is not drawn over the next one.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const platform::win32::BrushHandle frame(CreateSolidBrush(Ref(ColourRole::ControlMark)));
    FrameRect(dc, &box, frame);
    HGDIOBJ oldFont = SelectObject(dc, controlFont_);
    const COLORREF oldText = SetTextColor(dc, Ref(ColourRole::ControlMark));
    RECT inside = box;
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(letters.data()),
              static_cast<int>(letters.size()), &inside,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    SetTextColor(dc, oldText);
    SelectObject(dc, oldFont);
    RestoreDC(dc, saved);
}

}  // namespace viewer
