// Paints each cell as the session plans it (RowPaint.h): the kind's colour, the changed
// characters in a stronger shade, the current row in a darker shade with a frame, so its red or
// blue stays visible (the system's selection colour would hide it), and a file's text in pieces
// at their cells, so that marks, widths and scrolling agree with what the session measured.
#pragma once

#include <vector>

#include <QStyledItemDelegate>

#include "ListLayout.h"
#include "RowPaint.h"

class QAbstractItemView;

namespace viewer {

class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    RowDelegate(const Session& session, QAbstractItemView* view);
    // The width of one display cell in the view's font, in pixels, and the margin left of text.
    static qreal CellWidth(const QFont& font);
    // Tells the session which East Asian Ambiguous characters `font` draws in two cells.
    static void MeasureAmbiguous(const QFont& font);
    static constexpr int kTextMargin = 4;
    // The list's metrics in `font`, for a list `width` pixels wide.
    static ListMetrics Metrics(const QFont& font, int width = 0);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    // A line's pieces where the session placed them, from the cell's left edge; those in `clip`.
    static void PaintPieces(QPainter* painter, const QRect& cell, const QRect& clip,
                            const std::vector<PaintPiece>& pieces, int baseline);
    // A control character or line end, drawn as its letters in a frame.
    static void PaintControl(QPainter* painter, const QRectF& cells, const QString& text,
                             const QColor& colour);

    const Session& session_;
    QAbstractItemView* view_;
};

}  // namespace viewer
