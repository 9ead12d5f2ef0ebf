// The rows and cells of the session's two views, and their widths in display cells.
#include <algorithm>
#include <system_error>

#include "Cells.h"
#include "Session.h"

#include "ComparisonWording.h"
#include "TextDecode.h"
#include "Widest.h"
#include "Wording.h"

namespace viewer {

namespace {

// The narrowest a content column is drawn.
constexpr std::size_t kLeastContentCells = 40;
// Files up to this size together have their widest line measured before the window is drawn
// (a few milliseconds); longer ones beside it, after the widest of their first rows.
constexpr std::size_t kMeasuredAtOnceBytes = std::size_t{4} << 20;
constexpr std::size_t kFirstRowsMeasured = 1000;

}  // namespace

std::size_t Session::RowCount() const {
    if (!ShowsRows()) return 0;
    return view_ == View::SideBySide ? side_.size() : comparison().rows().size();
}

const std::vector<Column>& Session::Columns() const {
    using enum ColumnRole;
    static const std::vector<Column> list = {
        {FirstNumber, u"第一", Align::Right, false},
        {SecondNumber, u"第二", Align::Right, false},
        {Mark, u"", Align::Center, false},
        {Content, u"内容", Align::Left, true},
    };
    static const std::vector<Column> side = {
        {LeftNumber, u"第一", Align::Right, false},
        {LeftContent, u"第一のファイル", Align::Left, true},
        {Band, u"", Align::Center, false},
        {RightNumber, u"第二", Align::Right, false},
        {RightContent, u"第二のファイル", Align::Left, true},
    };
    return view_ == View::SideBySide ? side : list;
}

std::vector<std::size_t> Session::ListRows(std::size_t viewRow) const {
    if (viewRow >= RowCount()) return {};
    if (view_ == View::List) return {viewRow};
    const SideRow row = side_[viewRow];
    std::vector<std::size_t> rows;
    if (row.left) rows.push_back(*row.left);
    if (row.right && row.right != row.left) rows.push_back(*row.right);
    return rows;
}

std::size_t Session::ViewRowOf(std::size_t listRow) const {
    return view_ == View::SideBySide ? side_.SideRowOf(listRow) : listRow;
}

Cell Session::CellAt(std::size_t viewRow, std::size_t column) const {
    Cell cell;
    if (viewRow >= RowCount() || column >= Columns().size()) return cell;
    const ColumnRole role = Columns()[column].role;
    std::optional<std::size_t> row;
    SideRow pair;
    if (view_ == View::List) {
        row = viewRow;
    } else {
        pair = side_[viewRow];
        const bool left = role == ColumnRole::LeftNumber || role == ColumnRole::LeftContent;
        const bool right = role == ColumnRole::RightNumber || role == ColumnRole::RightContent;
        row = left ? pair.left : right ? pair.right : pair.left ? pair.left : pair.right;
    }
    if (!row) return cell;
    // An overlooked change is shown as it is, but not as a difference.
    const auto kindOf = [&](std::size_t at) {
        return comparison().Overlooked(at) ? RowKind::Common : comparison().rows()[at].kind;
    };
    const Row shown = comparison().rows()[*row];
    const RowKind kind = kindOf(*row);
    cell.empty = false;
    cell.background = RowColour(kind);
    cell.markColour = MarkColour(kind);
    switch (role) {
        case ColumnRole::FirstNumber:
        case ColumnRole::LeftNumber:
            if (shown.first >= 0) cell.text = Number(shown.first + 1);
            break;
        case ColumnRole::SecondNumber:
        case ColumnRole::RightNumber:
            if (shown.second >= 0) cell.text = Number(shown.second + 1);
            break;
        case ColumnRole::Mark:
            cell.text = KindMark(kind);
            break;
        case ColumnRole::Band:
            // The marks of both sides, so the kinds stay apart without their colours.
            cell.background = ColourRole::Base;
            for (const std::optional<std::size_t>& at : {pair.left, pair.right}) {
                if (at) cell.text += KindMark(kindOf(*at));
            }
            if (pair.left && kindOf(*pair.left) == RowKind::Removed) {
                cell.bandLeft = ColourRole::RemovedMark;
            }
            if (pair.right && kindOf(*pair.right) == RowKind::Added) {
                cell.bandRight = ColourRole::AddedMark;
            }
            break;
        case ColumnRole::Content:
        case ColumnRole::LeftContent:
        case ColumnRole::RightContent: {
            const ShownLine& line = Shown(*row);
            cell.text = line.text;
            if (kind != RowKind::Common) cell.marks = line.marks;
            cell.byteMarks = line.byteMarks;
            break;
        }
    }
    return cell;
}

std::size_t Session::ColumnCells(std::size_t column) const {
    if (column >= Columns().size()) return 0;
    switch (Columns()[column].role) {
        case ColumnRole::FirstNumber:
        case ColumnRole::SecondNumber:
        case ColumnRole::LeftNumber:
        case ColumnRole::RightNumber: {
            const std::int32_t lines = std::max(comparison().first().text->LineCount(),
                                                comparison().second().text->LineCount());
            return std::max<std::size_t>(Number(lines).size() + 1, 4);
        }
        case ColumnRole::Mark:
            return 2;
        case ColumnRole::Band:
            return 4;
        case ColumnRole::Content:
            return std::max(WidestLineCells(), kLeastContentCells);
        case ColumnRole::LeftContent:
        case ColumnRole::RightContent:
            return paneCells_;
    }
    return 0;
}

void Session::SetPaneCells(std::size_t cells) {
    cells = std::max(cells, std::size_t{20});
    if (cells == paneCells_) return;
    paneCells_ = cells;
    if (view_ == View::SideBySide) shown_.clear();
}

const ShownLine& Session::Shown(std::size_t row) const {
    if (shown_.size() > 4096) shown_.clear();
    if (const auto found = shown_.find(row); found != shown_.end()) return found->second;
    ShownLine line = WithOmissions(comparison().Shown(row));
    if (view_ == View::SideBySide) {
        // As much of the line as the pane holds in cells, around its first difference: a wide
        // character takes two cells, a tab up to eight.
        std::size_t units = std::min(line.text.size(), paneCells_);
        while (TextCells(line.text) > paneCells_ && units > 1) {
            line = WithOmissions(comparison().Shown(row, units));
            const std::size_t cells = TextCells(line.text);
            if (cells <= paneCells_) break;
            units = std::max<std::size_t>(1, std::min(units - 1, units * paneCells_ / cells));
        }
    }
    line.marks = WholeClusters(line.text, line.marks);
    line.byteMarks = WholeClusters(line.text, line.byteMarks);
    return shown_.emplace(row, std::move(line)).first->second;
}

std::size_t Session::WidestLineCells() const {
    if (widestMeasured_ || measuring_) return widestCells_;
    const Comparison& rows = comparison();
    if (rows.first().text->bytes().size() + rows.second().text->bytes().size() <
        kMeasuredAtOnceBytes) {
        widestCells_ = viewer::WidestLineCells(rows);
        widestMeasured_ = true;
        return widestCells_;
    }
    widestCells_ = std::max(widestCells_, WidestOfFirstRows(rows, kFirstRowsMeasured));
    try {
        // The files are shared and the blocks copied: a reload or an edit may replace them.
        measuring_ = std::make_unique<MeasureInBackground<std::size_t>>(
            [first = rows.first().text, second = rows.second().text,
             blocks = rows.rows().blocks()](const CancelFlag* cancel) {
                return viewer::WidestLineCells(*first, *second, blocks, cancel);
            },
            [&view = window_] { view.MeasuredInBackground(); });
    } catch (const std::system_error&) {  // no thread to be had: measured here, then
        widestCells_ = viewer::WidestLineCells(rows);
        widestMeasured_ = true;
    }
    return widestCells_;
}

bool Session::TakeMeasured() {
    if (!measuring_ || !measuring_->Result()) return false;
    const std::size_t cells = *measuring_->Result();
    measuring_.reset();
    widestMeasured_ = true;
    const bool changed = cells != widestCells_;
    widestCells_ = cells;
    return changed && view_ == View::List;
}

}  // namespace viewer
