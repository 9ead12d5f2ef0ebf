#include "RowPaint.h"

#include <algorithm>

#include "Cells.h"

namespace viewer {

namespace {

bool Plain(char16_t c) { return c >= u' ' && c < 0x7f; }

// The pixels of cells [from, to) of a text starting at the margin.
PaintFill Span(std::size_t from, std::size_t to, const ListMetrics& metrics, Rgb colour) {
    const double left = metrics.margin + static_cast<double>(from) * metrics.cell;
    return {left, left + static_cast<double>(to - from) * metrics.cell, colour};
}

// The cell columns a mark covers, cut to the text (a mark past its end covers nothing).
std::pair<std::size_t, std::size_t> Columns(const std::u16string& text, const MarkSpan& mark) {
    const std::size_t start = std::min<std::size_t>(mark.start, text.size());
    const std::size_t end = std::min<std::size_t>(start + mark.length, text.size());
    return {CellColumn(text, start), CellColumn(text, end)};
}

void AddPieces(const Cell& cell, const ListMetrics& metrics, CellPaint& paint) {
    const std::u16string& text = cell.text;
    const Rgb ink = Colour(ColourRole::Text);
    for (const Cluster& cluster : Clusters(text)) {
        const char16_t first = text[cluster.start];
        if (first == u'\t') continue;
        const PaintFill place = Span(cluster.column, cluster.column + cluster.cells, metrics, ink);
        if (const std::u16string_view letters = ControlLetters(first); !letters.empty()) {
            paint.pieces.push_back({PieceKind::Control,
                                    std::u16string(letters),
                                    place.left,
                                    place.right,
                                    Colour(ColourRole::ControlMark),
                                    {}});
            continue;
        }
        if (cluster.length == 1 && Plain(first)) {
            // Joins the plain run just before it, if one ends where it starts.
            if (!paint.pieces.empty() && paint.pieces.back().kind == PieceKind::Plain &&
                paint.pieces.back().right == place.left) {
                paint.pieces.back().text += first;
                paint.pieces.back().right = place.right;
                continue;
            }
            paint.pieces.push_back(
                {PieceKind::Plain, std::u16string(1, first), place.left, place.right, ink, {}});
            continue;
        }
        paint.pieces.push_back({PieceKind::Cluster,
                                text.substr(cluster.start, cluster.length),
                                place.left,
                                place.right,
                                ink,
                                {}});
    }
    for (const MarkSpan& mark : cell.byteMarks) {
        const std::size_t start = std::min<std::size_t>(mark.start, text.size());
        const std::size_t end = std::min<std::size_t>(start + mark.length, text.size());
        if (start >= end) continue;
        const PaintFill place = Span(CellColumn(text, start), CellColumn(text, end), metrics, {});
        paint.pieces.push_back({PieceKind::StrayBytes, text.substr(start, end - start), place.left,
                                place.right, Colour(ColourRole::StrayByteText),
                                Colour(ColourRole::StrayByte)});
    }
}

}  // namespace

CellPaint PaintOf(const Session& session, std::size_t viewRow, std::size_t column, bool selected,
                  const ListMetrics& metrics) {
    if (column >= session.Columns().size()) return {};
    return PaintOf(session.CellAt(viewRow, column), session.Columns()[column],
                   session.CurrentViewRow() == viewRow, selected, metrics);
}

CellPaint PaintOf(const Cell& cell, const Column& role, bool current, bool selected,
                  const ListMetrics& metrics) {
    CellPaint paint;
    paint.background = Colour(cell.background);
    if (current) {
        paint.background = Darker(paint.background, 118);
        paint.frame = Colour(ColourRole::CurrentFrame);
    } else if (selected) {
        paint.background = Darker(paint.background, 108);
    }
    if (role.role == ColumnRole::Band) {
        if (cell.bandLeft != ColourRole::Base) paint.leftHalf = Colour(cell.bandLeft);
        if (cell.bandRight != ColourRole::Base) paint.rightHalf = Colour(cell.bandRight);
    }
    if (!role.content) {
        paint.text = cell.text;
        paint.align = role.align;
        return paint;
    }
    if (cell.markColour != ColourRole::Base) {
        const Rgb strong = current ? Darker(Colour(cell.markColour), 115) : Colour(cell.markColour);
        for (const MarkSpan& mark : cell.marks) {
            const auto [from, to] = Columns(cell.text, mark);
            PaintFill fill = Span(from, to, metrics, strong);
            // An empty mark (what the other line gained) still shows, two pixels wide.
            fill.right = std::max(fill.right, fill.left + 2);
            paint.marks.push_back(fill);
        }
    }
    AddPieces(cell, metrics, paint);
    return paint;
}

}  // namespace viewer
