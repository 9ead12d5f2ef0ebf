// Paints the cells of the comparison's rows: the kind's colour, the changed characters in a
// stronger shade, and the current row in a darker shade with a frame, so its red or blue stays
// visible (the system's selection colour would hide it).
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace viewer {

class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit RowDelegate(QAbstractItemView* view);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QAbstractItemView* view_;
};

}  // namespace viewer
