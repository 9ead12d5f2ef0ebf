// How a window's list is laid out, for both fronts and both windows: the columns' widths from
// their cells, how far the list goes sideways to show a change, and which pane a column is. The
// front measures its font and its list; the rules are here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Side.h"

namespace viewer {

class Session;

// What the front measured, in its pixels.
struct ListMetrics {
    double cell = 8;  // one display cell of the list's font
    int margin = 4;   // before and after a cell's text
    int width = 0;    // the part of the list the rows are seen in
    // The pixels the list's header keeps beside a column's title, both sides and its divider
    // together, where that is more than two margins (a header draws "..." for a title it cuts).
    int titleRoom = 0;
};

// A file's text is never given fewer cells than these: the same least a pane shows.
inline constexpr std::size_t kLeastPaneCells = 20;

// What a column needs: its cells, or (a file's text) a share of the width the others leave,
// never less than kLeastPaneCells nor than its own cells.
struct ColumnNeed {
    std::size_t cells = 0;
    bool shares = false;
    int least = 0;  // pixels, whatever the cells: its title's
};

// Each column's pixels: its cells with a margin on each side, a sharing column at least its share
// (the last one what the division leaves besides).
std::vector<int> ColumnWidths(const std::vector<ColumnNeed>& needs, const ListMetrics& metrics);

// The two-way window's columns sized for the list: the numbers and marks by their cells (and
// their titles'), the one list's text by its widest line, one cell clear of the edge, and at least
// the width left; side by side the two panes share that width, and show what fits of each line.
std::vector<int> FitColumns(Session& session, const ListMetrics& metrics);

// Where a list scrolled `scrolled` pixels sideways goes to show cell `cellColumn` of the text of
// the column starting at `columnLeft`: nowhere while that cell and the four after it are on
// screen; back to the start when they fit there; else so the cell is a third of the width in.
int SidewaysScroll(int columnLeft, std::size_t cellColumn, const ListMetrics& metrics,
                   int scrolled);

// The pane a click in `column` of the view is in: the second file's number or text the right
// one, any other column the left.
Side PaneOf(const Session& session, std::size_t column);

}  // namespace viewer
