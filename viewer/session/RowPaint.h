// What a front paints for one cell of the two-way window's list, worked out once for both: the
// colours of the row (a shade darker when selected, darker still when current), the band
// between the panes, what changed in a line, its text cut into pieces placed at their cells,
// control characters as letters in a frame, stray bytes in a box, and the current row's frame.
// Places are pixels from the cell's left edge, for the metrics the front measured.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ListLayout.h"
#include "Look.h"
#include "Session.h"

namespace viewer {

// A stretch of the cell's whole height in one colour.
struct PaintFill {
    double left = 0;
    double right = 0;
    Rgb colour;
};

enum class PieceKind : std::uint8_t {
    Plain,      // printable ASCII, one cell a character: drawn in one go
    Cluster,    // one grapheme cluster of `right - left` pixels, drawn alone
    Control,    // a control character or line end: `text` its letters ("CR") in a frame of
                // `colour`, small, over its cells
    StrayBytes  // bytes not valid in the encoding: a `box` (a pixel in from the top and bottom)
                // with `text` ("<E9>") in `colour`, one cell a character
};

struct PaintPiece {
    PieceKind kind = PieceKind::Plain;
    std::u16string text;
    double left = 0;  // where its first cell starts
    double right = 0;
    Rgb colour;
    Rgb box;  // StrayBytes only
};

struct CellPaint {
    Rgb background;  // the whole cell
    // The band between the panes: its halves, each in its side's colour when that side changed.
    std::optional<Rgb> leftHalf;
    std::optional<Rgb> rightHalf;
    std::vector<PaintFill> marks;  // what changed, over the background
    // Numbers and marks: `text`, aligned as `align` says inside the margins.
    std::u16string text;
    Align align = Align::Left;
    // A file's text: pieces at their cells, painted in order after the marks.
    std::vector<PaintPiece> pieces;
    // The current row: a frame of this colour round the whole row.
    std::optional<Rgb> frame;
};

// The cell of `viewRow` and `column` as the front paints it; `selected`: the list shows the row
// selected.
CellPaint PaintOf(const Session& session, std::size_t viewRow, std::size_t column, bool selected,
                  const ListMetrics& metrics);
// The same for a cell of `column` on a row `current` or `selected`.
CellPaint PaintOf(const Cell& cell, const Column& column, bool current, bool selected,
                  const ListMetrics& metrics);

}  // namespace viewer
