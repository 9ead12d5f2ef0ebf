// Paints the session's cells: the kind's colour, the changed characters in a stronger shade, the
// current row in a darker shade with a frame, so its red or blue stays visible (the system's
// selection colour would hide it). A file's text is laid out on the session's grid of display
// cells, so that marks, widths and scrolling agree with what the session measured.
#pragma once

#include <string_view>

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace viewer {

class Session;

class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    RowDelegate(const Session& session, QAbstractItemView* view);
    // The width of one display cell in the view's font, in pixels, and the margin left of text.
    static qreal CellWidth(const QFont& font);
    // Tells the session which East Asian Ambiguous characters `font` draws in two cells.
    static void MeasureAmbiguous(const QFont& font);
    static constexpr int kTextMargin = 4;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    void PaintContent(QPainter* painter, const QRect& cell, const QString& text,
                      int baseline) const;
    // A control character or line end, drawn as its letters in a frame (ControlLetters).
    static void PaintControl(QPainter* painter, const QRectF& cells, std::u16string_view letters);

    const Session& session_;
    QAbstractItemView* view_;
};

}  // namespace viewer
