// The windows' list on a hundred million rows, shown offscreen and driven by real keys, clicks
// and a drag: what it selects when the two ends are too far apart to be measured in pixels.
#include <gtest/gtest.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include "RowsView.h"

namespace viewer {
namespace {

// Rows that are only counted: a cell's text is its row's number.
class CountedRows : public QAbstractTableModel {
public:
    explicit CountedRows(int rows) : rows_(rows) {}
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : rows_;
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
    }

private:
    int rows_;
};

TEST(RowsView, SelectionsReachAcrossAHundredMillionRowsByKeysClicksAndADrag) {
    CountedRows model(100'000'000);
    RowsView view;
    view.setModel(&model);
    view.SetRowHeight(20);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.resize(400, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QWidget* rows = view.viewport();
    QScrollBar* bar = view.verticalScrollBar();
    const auto spans = [&] {
        QString text;
        for (const QItemSelectionRange& range : view.selectionModel()->selection()) {
            text += QStringLiteral("[%1,%2]").arg(range.top()).arg(range.bottom());
        }
        return text;
    };
    const auto at = [&](int row) { return view.visualRect(model.index(row, 1)).center(); };

    // From the first row, Shift+End: every row, the last on screen.
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, at(0));
    QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(view.currentIndex().row(), 99'999'999);
    EXPECT_EQ(spans(), QStringLiteral("[0,99999999]"));
    EXPECT_LT(at(99'999'999).y(), rows->height());
    EXPECT_EQ(view.indexAt(at(99'999'999)).row(), 99'999'999);
    EXPECT_EQ(view.indexAt(at(99'999'999)).data().toInt(), 99'999'999);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(spans(), QStringLiteral("[0,0]"));

    // A click at row 5, the list scrolled to its end, a Shift+click on the last row.
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, at(5));
    bar->setValue(bar->maximum());
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ShiftModifier, at(99'999'999));
    EXPECT_EQ(spans(), QStringLiteral("[5,99999999]"));

    // A drag from row 99,000,002 while the list scrolls up by 98 million rows.
    bar->setValue(99'000'000);
    QTest::mousePress(rows, Qt::LeftButton, Qt::NoModifier, at(99'000'002));
    bar->setValue(1'000'000);
    const QPoint end = at(1'000'003);
    QMouseEvent move(QEvent::MouseMove, QPointF(end), rows->mapToGlobal(QPointF(end)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(rows, &move);
    QTest::mouseRelease(rows, Qt::LeftButton, Qt::NoModifier, end);
    EXPECT_EQ(spans(), QStringLiteral("[1000003,99000002]"));
    EXPECT_EQ(view.currentIndex().row(), 1'000'003);
}

}  // namespace
}  // namespace viewer
