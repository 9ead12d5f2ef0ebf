#include "RowDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

#include "DiffModel.h"
#include "Look.h"

namespace viewer {

namespace {

constexpr int kTextMargin = 4;

std::optional<RowKind> KindOf(const QModelIndex& index) {
    const int kind = index.data(DiffModel::KindRole).toInt();
    if (kind < 0) return std::nullopt;
    return static_cast<RowKind>(kind);
}

}  // namespace

RowDelegate::RowDelegate(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view) {}

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    const auto* model = static_cast<const DiffModel*>(index.model());
    const bool current =
        view_->currentIndex().isValid() && view_->currentIndex().row() == index.row();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRect cell = option.rect;

    const QVariant background = index.data(Qt::BackgroundRole);
    QColor base = background.isValid() ? background.value<QBrush>().color()
                                       : option.palette.color(QPalette::Base);
    if (current) {
        base = base.darker(118);
    } else if (selected) {
        base = base.darker(108);
    }
    painter->fillRect(cell, base);

    // Between the panes: each side's colour on its half, joining the change's two sides.
    if (model->sideBySide() && index.column() == DiffModel::Band) {
        const std::optional<RowKind> left = KindOf(index.siblingAtColumn(DiffModel::LeftContent));
        const std::optional<RowKind> right = KindOf(index.siblingAtColumn(DiffModel::RightContent));
        const QRect leftHalf(cell.left(), cell.top(), cell.width() / 2, cell.height());
        const QRect rightHalf(leftHalf.right() + 1, cell.top(), cell.width() - leftHalf.width(),
                              cell.height());
        if (left == RowKind::Removed) painter->fillRect(leftHalf, MarkColour(RowKind::Removed));
        if (right == RowKind::Added) painter->fillRect(rightHalf, MarkColour(RowKind::Added));
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    const QFontMetrics metrics(option.font);
    painter->setFont(option.font);
    const int baseline = cell.top() + (cell.height() - metrics.height()) / 2 + metrics.ascent();
    if (model->IsContentColumn(index.column())) {
        const std::optional<RowKind> kind = KindOf(index);
        const int left = cell.left() + kTextMargin;
        if (kind && *kind != RowKind::Common) {
            const QColor strong = current ? MarkColour(*kind).darker(115) : MarkColour(*kind);
            for (const QPoint& mark : index.data(DiffModel::MarksRole).value<QList<QPoint>>()) {
                const int x = left + metrics.horizontalAdvance(text.left(mark.x()));
                const int width =
                    std::max(2, metrics.horizontalAdvance(text.mid(mark.x(), mark.y())));
                painter->fillRect(QRect(x, cell.top(), width, cell.height()), strong);
            }
        }
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(QPoint(left, baseline), text);
    } else if (!text.isEmpty()) {
        painter->setPen(option.palette.color(QPalette::Text));
        const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        painter->drawText(cell.adjusted(kTextMargin, 0, -kTextMargin, 0),
                          static_cast<int>(alignment) | Qt::TextSingleLine, text);
    }

    if (current) {
        painter->setPen(QPen(CurrentFrameColour(), 1));
        painter->drawLine(cell.topLeft(), cell.topRight());
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        if (index.column() == 0) painter->drawLine(cell.topLeft(), cell.bottomLeft());
        if (index.column() == model->columnCount() - 1) {
            painter->drawLine(cell.topRight(), cell.bottomRight());
        }
    }
}

}  // namespace viewer
