#include "RowPaint.h"

#include <algorithm>

#include "Cells.h"

namespace viewer {

namespace {

bool Plain(char16_t c) { return c >= u' ' && c < 0x7f; }

// The pixels of cells [from, to) of a text that starts after the margin.
std::pair<double, double> Place(std::size_t from, std::size_t to, const ListMetrics& metrics) {
    return {metrics.margin + static_cast<double>(from) * metrics.cell,
            metrics.margin + static_cast<double>(to) * metrics.cell};
}

// The code units a span covers, cut to the text (one past its end covers nothing, at the end).
std::pair<std::size_t, std::size_t> Cut(const std::u16string& text, const MarkSpan& span) {
    const std::size_t start = std::min<std::size_t>(span.start, text.size());
    const std::size_t end = std::min<std::size_t>(start + span.length, text.size());
    return {start, end};
}

void AddPieces(const Cell& cell, const ListMetrics& metrics, CellPaint& paint) {
    const std::u16string& text = cell.text;
    const Rgb ink = Colour(ColourRole::Text);
    std::size_t plainEnd = 0;  // the column the last piece ends at, when it is a plain run
    for (const Cluster& cluster : Clusters(text)) {
        const char16_t first = text[cluster.start];
        if (first == u'\t') continue;
        const std::size_t end = cluster.column + cluster.cells;
        const auto [left, right] = Place(cluster.column, end, metrics);
        PieceKind kind = PieceKind::Cluster;
        std::u16string shown = text.substr(cluster.start, cluster.length);
        Rgb colour = ink;
        if (const std::u16string_view letters = ControlLetters(first); !letters.empty()) {
            kind = PieceKind::Control;
            shown = letters;
            colour = Colour(ColourRole::ControlMark);
        } else if (cluster.length == 1 && Plain(first)) {
            kind = PieceKind::Plain;
            if (!paint.pieces.empty() && paint.pieces.back().kind == kind &&
                plainEnd == cluster.column) {
                paint.pieces.back().text += first;
                paint.pieces.back().right = right;
                plainEnd = end;
                continue;
            }
            plainEnd = end;
        }
        paint.pieces.push_back({kind, std::move(shown), left, right, colour, {}});
    }
    for (const MarkSpan& mark : cell.byteMarks) {
        const auto [start, end] = Cut(text, mark);
        if (start >= end) continue;
        const auto [left, right] = Place(CellColumn(text, start), CellColumn(text, end), metrics);
        paint.pieces.push_back({PieceKind::StrayBytes, text.substr(start, end - start), left, right,
                                Colour(ColourRole::StrayByteText), Colour(ColourRole::StrayByte)});
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
        // A side's mark alone stands in the band's half of its colour, not across the middle.
        if (paint.leftHalf && !paint.rightHalf) paint.align = Align::Left;
        if (paint.rightHalf && !paint.leftHalf) paint.align = Align::Right;
        return paint;
    }
    if (cell.markColour != ColourRole::Base) {
        const Rgb strong = current ? Darker(Colour(cell.markColour), 115) : Colour(cell.markColour);
        for (const MarkSpan& mark : cell.marks) {
            const auto [start, end] = Cut(cell.text, mark);
            const auto [left, right] =
                Place(CellColumn(cell.text, start), CellColumn(cell.text, end), metrics);
            // An empty mark (what the other line gained) still shows, two pixels wide.
            paint.marks.push_back({left, std::max(right, left + 2), strong});
        }
    }
    AddPieces(cell, metrics, paint);
    return paint;
}

}  // namespace viewer
