#include "RowDelegate.h"

#include <QAbstractItemView>
#include <QPainter>
#include <cmath>

#include "Cells.h"
#include "QtText.h"
#include "Session.h"

namespace viewer {

namespace {

// A character drawn as part of a run of plain ASCII, whose glyphs all take one cell exactly.
bool Plain(const QString& text, const Cluster& cluster) {
    if (cluster.length != 1) return false;
    const char16_t c = text[static_cast<qsizetype>(cluster.start)].unicode();
    return c >= u' ' && c < 0x7f;
}

}  // namespace

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

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    const auto viewRow = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    const Cell cell = session_.CellAt(viewRow, column);
    const bool current = session_.CurrentViewRow() == viewRow;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRect rect = option.rect;

    Rgb base = Colour(cell.background);
    if (current) {
        base = Darker(base, 118);
    } else if (selected) {
        base = Darker(base, 108);
    }
    painter->fillRect(rect, ToQColor(base));

    const Column& role = session_.Columns()[column];
    if (role.role == ColumnRole::Band) {
        // Between the panes: each side's colour on its half, joining the change's two sides.
        const QRect left(rect.left(), rect.top(), rect.width() / 2, rect.height());
        const QRect right(left.right() + 1, rect.top(), rect.width() - left.width(), rect.height());
        if (cell.bandLeft != ColourRole::Base) painter->fillRect(left, ToQColor(cell.bandLeft));
        if (cell.bandRight != ColourRole::Base) painter->fillRect(right, ToQColor(cell.bandRight));
    }

    painter->setFont(option.font);
    painter->setPen(ToQColor(ColourRole::Text));
    const QFontMetrics metrics(option.font);
    const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    const QString text = ToQString(cell.text);
    if (role.content) {
        const qreal cellWidth = CellWidth(option.font);
        const qreal left = rect.left() + kTextMargin;
        if (!cell.marks.empty()) {
            Rgb strong = Colour(cell.markColour);
            if (current) strong = Darker(strong, 115);
            for (const MarkSpan& mark : cell.marks) {
                const std::size_t from = CellColumn(cell.text, mark.start);
                const std::size_t to = CellColumn(cell.text, mark.start + mark.length);
                const qreal x = left + static_cast<qreal>(from) * cellWidth;
                const qreal width = std::max<qreal>(2, static_cast<qreal>(to - from) * cellWidth);
                painter->fillRect(QRectF(x, rect.top(), width, rect.height()), ToQColor(strong));
            }
        }
        PaintContent(painter, rect, text, baseline);
        // Stray bytes over the rest: a box of their own, their "<E9>" in its own colour.
        painter->setPen(ToQColor(ColourRole::StrayByteText));
        for (const MarkSpan& mark : cell.byteMarks) {
            const std::size_t from = CellColumn(cell.text, mark.start);
            const std::size_t to = CellColumn(cell.text, mark.start + mark.length);
            const qreal x = left + static_cast<qreal>(from) * cellWidth;
            painter->fillRect(QRectF(x, rect.top() + 1, static_cast<qreal>(to - from) * cellWidth,
                                     rect.height() - 2),
                              ToQColor(ColourRole::StrayByte));
            painter->drawText(QPointF(x, baseline),
                              text.mid(mark.start, static_cast<qsizetype>(mark.length)));
        }
    } else if (!text.isEmpty()) {
        const int alignment = role.align == Align::Right    ? Qt::AlignRight | Qt::AlignVCenter
                              : role.align == Align::Center ? Qt::AlignCenter
                                                            : Qt::AlignLeft | Qt::AlignVCenter;
        painter->drawText(rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                          alignment | Qt::TextSingleLine, text);
    }

    if (current) {
        painter->setPen(QPen(ToQColor(ColourRole::CurrentFrame), 1));
        painter->drawLine(rect.topLeft(), rect.topRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        if (index.column() == 0) painter->drawLine(rect.topLeft(), rect.bottomLeft());
        if (index.column() == index.model()->columnCount() - 1) {
            painter->drawLine(rect.topRight(), rect.bottomRight());
        }
    }
}

void RowDelegate::PaintContent(QPainter* painter, const QRect& cell, const QString& text,
                               int baseline) const {
    const qreal cellWidth = CellWidth(painter->font());
    const qreal left = cell.left() + kTextMargin;
    const QRect clip = painter->clipBoundingRect().isEmpty()
                           ? cell
                           : painter->clipBoundingRect().toAlignedRect().intersected(cell);
    // Runs of plain ASCII are drawn in one go; any other cluster on its own, at its cell, so a
    // glyph from a fallback font never shifts what follows.
    QString run;
    qreal runX = 0;
    const auto flush = [&] {
        if (!run.isEmpty()) painter->drawText(QPointF(runX, baseline), run);
        run.clear();
    };
    for (const Cluster& cluster : Clusters(text.toStdU16String())) {
        const qreal x = left + static_cast<qreal>(cluster.column) * cellWidth;
        if (x > clip.right()) break;
        if (x + static_cast<qreal>(cluster.cells + 1) * cellWidth < clip.left()) continue;
        if (text[static_cast<qsizetype>(cluster.start)] == u'\t') {
            flush();
            continue;
        }
        const QString part =
            text.mid(static_cast<qsizetype>(cluster.start), static_cast<qsizetype>(cluster.length));
        if (Plain(text, cluster)) {
            if (run.isEmpty()) runX = x;
            run += part;
            continue;
        }
        flush();
        if (const std::u16string_view letters = ControlLetters(part.at(0).unicode());
            !letters.empty()) {
            PaintControl(
                painter,
                QRectF(x, cell.top(), static_cast<qreal>(cluster.cells) * cellWidth, cell.height()),
                letters);
            continue;
        }
        painter->drawText(QPointF(x, baseline), part);
    }
    flush();
}

void RowDelegate::PaintControl(QPainter* painter, const QRectF& cells,
                               std::u16string_view letters) {
    // Its letters in a smaller font of the same family, as wide as the cells allow.
    painter->save();
    const QString text = QString::fromUtf16(letters.data(), static_cast<qsizetype>(letters.size()));
    QFont small = painter->font();
    const QRectF box = cells.adjusted(1, 2, -1, -2);
    small.setPixelSize(std::max(5, static_cast<int>(box.height() * 0.75)));
    // Narrowed rather than made smaller where three letters need it.
    const qreal wide = QFontMetricsF(small).horizontalAdvance(text);
    if (wide > box.width() - 2)
        small.setStretch(std::max(40, static_cast<int>(100 * (box.width() - 2) / wide)));
    const QColor colour = ToQColor(ColourRole::ControlMark);
    painter->setFont(small);
    painter->setPen(colour);
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    painter->drawText(box, Qt::AlignCenter, text);
    painter->restore();
}

}  // namespace viewer
