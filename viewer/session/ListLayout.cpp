#include "ListLayout.h"

#include <algorithm>
#include <cmath>

#include "Cells.h"
#include "Session.h"

namespace viewer {

namespace {

int Pixels(std::size_t cells, const ListMetrics& metrics) {
    return static_cast<int>(std::ceil(static_cast<double>(cells) * metrics.cell)) +
           2 * metrics.margin;
}

}  // namespace

std::vector<int> ColumnWidths(const std::vector<ColumnNeed>& needs, const ListMetrics& metrics) {
    std::vector<int> widths(needs.size());
    int fixed = 0;
    int sharing = 0;
    for (std::size_t c = 0; c < needs.size(); ++c) {
        if (needs[c].shares) {
            ++sharing;
            continue;
        }
        widths[c] = std::max(Pixels(needs[c].cells, metrics), needs[c].least);
        fixed += widths[c];
    }
    const int room = metrics.width - fixed;
    const int share = std::max(Pixels(kLeastPaneCells, metrics), room / std::max(1, sharing));
    // The last takes the pixel or two the division leaves, so the columns end at the edge.
    const int last = std::max(share, room - share * (sharing - 1));
    for (std::size_t c = 0; c < needs.size(); ++c) {
        if (!needs[c].shares) continue;
        widths[c] = std::max(--sharing == 0 ? last : share, Pixels(needs[c].cells, metrics));
    }
    return widths;
}

std::vector<int> FitColumns(Session& session, const ListMetrics& metrics) {
    const std::vector<Column>& columns = session.Columns();
    const bool panes = session.view() == View::SideBySide;
    std::vector<ColumnNeed> needs;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!columns[c].content) {
            const int title = Pixels(TextCells(columns[c].title), metrics) - 2 * metrics.margin +
                              std::max(2 * metrics.margin, metrics.titleRoom);
            needs.push_back({session.ColumnCells(c), false, title});
        } else {
            // Side by side a pane is its share, and its lines are cut to it.
            needs.push_back({panes ? 0 : session.ColumnCells(c) + 1, true});
        }
    }
    const std::vector<int> widths = ColumnWidths(needs, metrics);
    if (panes) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (!columns[c].content) continue;
            const double inside = std::max(0, widths[c] - 2 * metrics.margin);
            session.SetPaneCells(static_cast<std::size_t>(inside / std::max(1.0, metrics.cell)));
            break;
        }
    }
    return widths;
}

int SidewaysScroll(int columnLeft, std::size_t cellColumn, const ListMetrics& metrics,
                   int scrolled) {
    const int x = columnLeft + metrics.margin +
                  static_cast<int>(static_cast<double>(cellColumn) * metrics.cell);
    const int after = static_cast<int>(4 * metrics.cell);
    if (x >= scrolled && x + after <= scrolled + metrics.width) return scrolled;
    if (x + after <= metrics.width) return 0;
    return std::max(0, x - metrics.width / 3);
}

Side PaneOf(const Session& session, std::size_t column) {
    const std::vector<Column>& columns = session.Columns();
    if (column >= columns.size()) return Side::First;
    const ColumnRole role = columns[column].role;
    return role == ColumnRole::RightNumber || role == ColumnRole::RightContent ? Side::Second
                                                                               : Side::First;
}

}  // namespace viewer
