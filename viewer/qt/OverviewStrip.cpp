#include "OverviewStrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "Look.h"

namespace viewer {

OverviewStrip::OverviewStrip(QWidget* parent) : QWidget(parent) {
    setFixedWidth(16);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("相違の位置（クリックで移動）"));
}

void OverviewStrip::SetMarks(std::vector<Mark> marks, int rowCount) {
    marks_ = std::move(marks);
    rowCount_ = rowCount;
    update();
}

void OverviewStrip::SetVisibleRows(int first, int count) {
    if (first == visibleFirst_ && count == visibleCount_) return;
    visibleFirst_ = first;
    visibleCount_ = count;
    update();
}

int OverviewStrip::Y(int row) const {
    if (rowCount_ <= 0) return 0;
    return static_cast<int>(static_cast<qint64>(row) * height() / rowCount_);
}

int OverviewStrip::RowAt(int y) const {
    if (rowCount_ <= 0 || height() <= 0) return 0;
    const auto row = static_cast<qint64>(std::clamp(y, 0, height() - 1)) * rowCount_ / height();
    return static_cast<int>(std::min<qint64>(row, rowCount_ - 1));
}

void OverviewStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xf2, 0xf2, 0xf2));
    const int half = width() / 2;
    for (const Mark& mark : marks_) {
        const int top = Y(mark.start);
        // At least two pixels, so that one changed line in a million still shows.
        const int bottom = std::max(top + 2, Y(mark.start + mark.count));
        const QRect band = mark.kind == RowKind::Removed
                               ? QRect(0, top, half, bottom - top)
                               : QRect(half, top, width() - half, bottom - top);
        painter.fillRect(band, MarkColour(mark.kind).darker(110));
    }
    if (visibleCount_ > 0 && visibleCount_ < rowCount_) {
        painter.setPen(QColor(0x60, 0x60, 0x60));
        const int top = Y(visibleFirst_);
        const int bottom = std::max(top + 3, Y(visibleFirst_ + visibleCount_));
        painter.drawRect(QRect(0, top, width() - 1, bottom - top - 1));
    }
}

void OverviewStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || rowCount_ <= 0) return;
    emit clicked(RowAt(static_cast<int>(event->position().y())));
}

}  // namespace viewer
