#include "RowsView.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cstdlib>
#include <limits>

namespace viewer {

namespace {

// How far from the viewport a row's top is measured, in pixels, either way: beyond that, the
// distance in rows times their height would not fit in an int, and a difference of two in it.
constexpr qint64 kFar = std::numeric_limits<int>::max() / 2;

}  // namespace

RowsView::RowsView(QWidget* parent)
    : QAbstractItemView(parent), header_(new QHeaderView(Qt::Horizontal, this)) {
    setFocusPolicy(Qt::StrongFocus);
    header_->setSectionsClickable(false);
    header_->setHighlightSections(false);
    connect(header_, &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
    connect(header_, &QHeaderView::sectionCountChanged, this, [this] { updateGeometries(); });
}

void RowsView::setModel(QAbstractItemModel* model) {
    QAbstractItemView::setModel(model);
    header_->setModel(model);
}

void RowsView::SetRowHeight(int height) {
    rowHeight_ = std::max(1, height);
    updateGeometries();
    viewport()->update();
}

void RowsView::setColumnWidth(int column, int width) { header_->resizeSection(column, width); }

int RowsView::columnWidth(int column) const { return header_->sectionSize(column); }

int RowsView::RowCount() const { return model() ? model()->rowCount(rootIndex()) : 0; }

int RowsView::ColumnCount() const { return model() ? model()->columnCount(rootIndex()) : 0; }

int RowsView::FirstRow() const { return verticalScrollBar()->value(); }

int RowsView::PageRows() const { return std::max(1, viewport()->height() / rowHeight_); }

int RowsView::RowTop(qint64 row) const {
    return static_cast<int>(std::clamp<qint64>((row - FirstRow()) * rowHeight_, -kFar, kFar));
}

qint64 RowsView::RowOf(int y) const {
    const qint64 pixels = y;
    return FirstRow() + (pixels < 0 ? (pixels - rowHeight_ + 1) / rowHeight_ : pixels / rowHeight_);
}

int RowsView::rowAt(int y) const {
    const qint64 row = RowOf(y);
    return row >= 0 && row < RowCount() ? static_cast<int>(row) : -1;
}

QRect RowsView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != model()) return {};
    return {header_->sectionViewportPosition(index.column()), RowTop(index.row()),
            header_->sectionSize(index.column()), rowHeight_};
}

void RowsView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    const int row = index.row();
    const int first = FirstRow();
    const int page = PageRows();
    QScrollBar* bar = verticalScrollBar();
    switch (hint) {
        case EnsureVisible:
            if (row < first) {
                bar->setValue(row);
            } else if (row >= first + page) {
                bar->setValue(row - page + 1);
            }
            return;
        case PositionAtTop:
            return bar->setValue(row);
        case PositionAtBottom:
            return bar->setValue(row - page + 1);
        case PositionAtCenter:
            return bar->setValue(row - page / 2);
    }
}

QModelIndex RowsView::indexAt(const QPoint& point) const {
    const int row = rowAt(point.y());
    const int column = header_->logicalIndexAt(point.x());
    if (row < 0 || column < 0) return {};
    return model()->index(row, column, rootIndex());
}

QModelIndex RowsView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int rows = RowCount();
    const int columns = ColumnCount();
    if (rows == 0 || columns == 0) return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return model()->index(FirstRow(), 0, rootIndex());
    qint64 row = current.row();
    int column = current.column();
    switch (action) {
        case MoveUp:
        case MovePrevious:
            --row;
            break;
        case MoveDown:
        case MoveNext:
            ++row;
            break;
        case MoveLeft:
            column = std::max(0, column - 1);
            break;
        case MoveRight:
            column = std::min(columns - 1, column + 1);
            break;
        case MovePageUp:
            row -= PageRows();
            break;
        case MovePageDown:
            row += PageRows();
            break;
        case MoveHome:
            row = 0;
            break;
        case MoveEnd:
            row = rows - 1;
            break;
    }
    return model()->index(static_cast<int>(std::clamp<qint64>(row, 0, rows - 1)), column,
                          rootIndex());
}

void RowsView::reset() {
    anchor_ = -1;
    QAbstractItemView::reset();
}

QItemSelectionModel::SelectionFlags RowsView::selectionCommand(const QModelIndex& index,
                                                               const QEvent* event) const {
    const QItemSelectionModel::SelectionFlags command =
        QAbstractItemView::selectionCommand(index, event);
    // Not extending the selection: the view starts the next one here.
    if (!command.testFlag(QItemSelectionModel::Current) && index.isValid()) {
        anchor_ = index.row();
        if (event != nullptr && event->type() == QEvent::MouseButtonPress) {
            pressedFirstRow_ = FirstRow();
        }
    }
    return command;
}

int RowsView::horizontalOffset() const { return horizontalScrollBar()->value(); }

int RowsView::verticalOffset() const {
    // How far the list scrolled since the mouse was pressed, in pixels: the view measures a drag
    // by it, and only the difference matters.
    return -RowTop(pressedFirstRow_);
}

void RowsView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) {
    const int rows = RowCount();
    const int columns = ColumnCount();
    if (rows == 0 || columns == 0) return;
    // Whole rows, from the row at the rectangle's top to the one at its bottom; a drag past the
    // first or last row stops there. An edge too far away to be measured in pixels is where the
    // selection started: the other is the pointer or the current row, on screen.
    const auto rowOf = [&](int y) {
        if (std::abs(qint64{y}) >= kFar / 2 && anchor_ >= 0 && anchor_ < rows) return anchor_;
        return static_cast<int>(std::clamp<qint64>(RowOf(y), 0, rows - 1));
    };
    const QRect area = rect.normalized();
    const QItemSelection selection(model()->index(rowOf(area.top()), 0, rootIndex()),
                                   model()->index(rowOf(area.bottom()), columns - 1, rootIndex()));
    selectionModel()->select(selection, command);
}

QRegion RowsView::visualRegionForSelection(const QItemSelection& selection) const {
    // Only what is on screen, however many rows the ranges hold.
    const int first = FirstRow();
    const int last = static_cast<int>(std::min<qint64>(qint64{first} + PageRows(), RowCount()));
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top > bottom) continue;
        region += QRect(0, RowTop(top), viewport()->width(), (bottom - top + 1) * rowHeight_);
    }
    return region;
}

void RowsView::updateGeometries() {
    const int headerHeight = header_->isHidden() ? 0 : header_->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    header_->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);

    const int page = PageRows();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, RowCount() - page));
    vertical->setPageStep(page);
    vertical->setSingleStep(1);
    QScrollBar* sideways = horizontalScrollBar();
    const int width = viewport()->width();
    sideways->setRange(0, std::max(0, header_->length() - width));
    sideways->setPageStep(std::max(1, width));
    sideways->setSingleStep(std::max(1, fontMetrics().horizontalAdvance(u'0') * 2));
    header_->setOffset(sideways->value());
    QAbstractItemView::updateGeometries();
}

void RowsView::scrollContentsBy(int dx, int) {
    if (dx != 0) header_->setOffset(horizontalScrollBar()->value());
    viewport()->update();
}

void RowsView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    const int rows = RowCount();
    const int columns = ColumnCount();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QItemSelectionModel* selected = selectionModel();
    const QModelIndex current = hasFocus() ? currentIndex() : QModelIndex();
    const int first = std::max(FirstRow(), rowAt(exposed.top()));
    for (int row = first; row >= 0 && row < rows; ++row) {
        const int top = RowTop(row);
        if (top > exposed.bottom()) break;
        for (int column = 0; column < columns; ++column) {
            const QModelIndex index = model()->index(row, column, rootIndex());
            option.rect = visualRect(index);
            if (!option.rect.intersects(exposed)) continue;
            option.state.setFlag(QStyle::State_Selected, selected->isSelected(index));
            option.state.setFlag(QStyle::State_HasFocus, index == current);
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }
    }
}

}  // namespace viewer
