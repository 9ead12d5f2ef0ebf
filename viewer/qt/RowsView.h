// The file view's list: the model's rows under a header of column titles, painted by the item
// delegate, only those on screen. It keeps nothing per row (a QTableView keeps an entry per row in
// its row header, hidden or not: half a gigabyte for 60 million rows). Every row is one height,
// the vertical scroll bar counts rows and the sideways one pixels, and the selection is the
// selection model's ranges of rows.
#pragma once

#include <QAbstractItemView>

class QHeaderView;

namespace viewer {

class RowsView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit RowsView(QWidget* parent = nullptr);

    QHeaderView* horizontalHeader() const { return header_; }
    void setModel(QAbstractItemModel* model) override;
    void SetRowHeight(int height);
    int RowHeight() const { return rowHeight_; }
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;
    // The first row on screen, and how many whole rows the list shows.
    int FirstRow() const;
    int PageRows() const;
    // The row at `y` in the viewport, or -1 where there is none.
    int rowAt(int y) const;

    QRect visualRect(const QModelIndex& index) const override;
    // Up and down only: a long line's cell would be centred, and the line numbers and marks
    // scrolled out of view.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    // Typing in the list finds nothing: it would read every row of millions.
    void keyboardSearch(const QString&) override {}

    void reset() override;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int RowCount() const;
    int ColumnCount() const;
    // The row at `y` in the viewport, whether there is one or not.
    qint64 RowOf(int y) const;
    // The top of `row` in the viewport, kept within an int's range for rows far off screen.
    int RowTop(qint64 row) const;

    QHeaderView* header_;
    int rowHeight_ = 20;
    // Where a selection by Shift or a drag starts, kept by row: the view measures it in pixels,
    // and millions of rows away that is past an int. Set as the view asks how a click or a key
    // selects (so, const); the first row on screen when the mouse was pressed, that the view's
    // vertical offset counts from.
    mutable int anchor_ = -1;
    mutable int pressedFirstRow_ = 0;
};

}  // namespace viewer
