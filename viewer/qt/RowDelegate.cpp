#include "RowDelegate.h"

#include <QAbstractItemView>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "Cells.h"
#include "QtText.h"

namespace viewer {

RowDelegate::RowDelegate(const Session& session, QAbstractItemView* view)
    : QStyledItemDelegate(view), session_(session), view_(view) {}

qreal RowDelegate::CellWidth(const QFont& font) {
    return std::max<qreal>(1, QFontMetricsF(font).horizontalAdvance(u'0'));
}

void RowDelegate::MeasureAmbiguous(const QFont& font) {
    static QString measured;
    if (font.key() == measured) return;
    measured = font.key();
    // Drawn through the font's fallbacks, as the rows are.
    const QFontMetricsF metrics(font);
    const qreal cell = CellWidth(font);
    std::vector<char32_t> wide;
    for (const char32_t c : AmbiguousCharacters()) {
        if (metrics.horizontalAdvance(QString::fromUcs4(&c, 1)) > 1.1 * cell) wide.push_back(c);
    }
    SetWideAmbiguous(std::move(wide));
}

ListMetrics RowDelegate::Metrics(const QFont& font, int width) {
    return {CellWidth(font), kTextMargin, width};
}

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    const CellPaint plan = PaintOf(
        session_, static_cast<std::size_t>(index.row()), static_cast<std::size_t>(index.column()),
        option.state.testFlag(QStyle::State_Selected), Metrics(option.font));
    const QRect rect = option.rect;
    painter->fillRect(rect, ToQColor(plan.background));
    const QRect left(rect.left(), rect.top(), rect.width() / 2, rect.height());
    if (plan.leftHalf) painter->fillRect(left, ToQColor(*plan.leftHalf));
    if (plan.rightHalf) {
        painter->fillRect(
            QRect(left.right() + 1, rect.top(), rect.width() - left.width(), rect.height()),
            ToQColor(*plan.rightHalf));
    }
    for (const PaintFill& mark : plan.marks) {
        painter->fillRect(
            QRectF(rect.left() + mark.left, rect.top(), mark.right - mark.left, rect.height()),
            ToQColor(mark.colour));
    }

    painter->setFont(option.font);
    painter->setPen(ToQColor(ColourRole::Text));
    const QFontMetrics metrics(option.font);
    const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    if (!plan.text.empty()) {
        const int alignment = plan.align == Align::Right    ? Qt::AlignRight | Qt::AlignVCenter
                              : plan.align == Align::Center ? Qt::AlignCenter
                                                            : Qt::AlignLeft | Qt::AlignVCenter;
        painter->drawText(rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                          alignment | Qt::TextSingleLine, ToQString(plan.text));
    }
    // Only what is in view: a long line has thousands of pieces.
    const QRect clip = painter->clipBoundingRect().isEmpty()
                           ? view_->viewport()->rect().intersected(rect)
                           : painter->clipBoundingRect().toAlignedRect().intersected(rect);
    PaintPieces(painter, rect, clip, plan.pieces, baseline);

    if (plan.frame) {
        painter->setPen(QPen(ToQColor(*plan.frame), 1));
        painter->drawLine(rect.topLeft(), rect.topRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        if (index.column() == 0) painter->drawLine(rect.topLeft(), rect.bottomLeft());
        if (index.column() == index.model()->columnCount() - 1) {
            painter->drawLine(rect.topRight(), rect.bottomRight());
        }
    }
}

void RowDelegate::PaintPieces(QPainter* painter, const QRect& cell, const QRect& clip,
                              const std::vector<PaintPiece>& pieces, int baseline) {
    for (const PaintPiece& piece : pieces) {
        const QRectF area(cell.left() + piece.left, cell.top(), piece.right - piece.left,
                          cell.height());
        if (area.right() < clip.left() || area.left() > clip.right()) continue;
        const QString text = ToQString(piece.text);
        switch (piece.kind) {
            case PieceKind::Control:
                PaintControl(painter, area, text, ToQColor(piece.colour));
                continue;
            case PieceKind::StrayBytes:
                painter->fillRect(area.adjusted(0, 1, 0, -1), ToQColor(piece.box));
                break;
            case PieceKind::Plain:
            case PieceKind::Cluster:
                break;
        }
        painter->setPen(ToQColor(piece.colour));
        if (piece.kind != PieceKind::Plain) {
            painter->drawText(QPointF(area.left(), baseline), text);
            continue;
        }
        // A plain run, a cell a letter: only the letters in view, a cell to spare each side.
        const qreal each = area.width() / static_cast<qreal>(text.size());
        const auto from = static_cast<qsizetype>(
            std::max<qreal>(0, std::floor((clip.left() - area.left()) / each) - 1));
        const auto to = static_cast<qsizetype>(std::min<qreal>(
            static_cast<qreal>(text.size()), std::ceil((clip.right() - area.left()) / each) + 1));
        if (from < to) {
            painter->drawText(QPointF(area.left() + static_cast<qreal>(from) * each, baseline),
                              text.mid(from, to - from));
        }
    }
}

void RowDelegate::PaintControl(QPainter* painter, const QRectF& cells, const QString& text,
                               const QColor& colour) {
    // Its letters in a smaller font of the same family, as wide as the cells allow.
    painter->save();
    QFont small = painter->font();
    const QRectF box = cells.adjusted(1, 2, -1, -2);
    small.setPixelSize(std::max(5, static_cast<int>(box.height() * 0.75)));
    // Narrowed rather than made smaller where three letters need it.
    const qreal wide = QFontMetricsF(small).horizontalAdvance(text);
    if (wide > box.width() - 2)
        small.setStretch(std::max(40, static_cast<int>(100 * (box.width() - 2) / wide)));
    painter->setFont(small);
    painter->setPen(colour);
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    painter->drawText(box, Qt::AlignCenter, text);
    painter->restore();
}

}  // namespace viewer
