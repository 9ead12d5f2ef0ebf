#include "OverviewStrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "QtText.h"
#include "Session.h"
#include "Texts.h"

namespace viewer {

OverviewStrip::OverviewStrip(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setFixedWidth(16);
    setCursor(Qt::PointingHandCursor);
    setToolTip(ToQString(texts::kStripTip));
}

void OverviewStrip::SetVisibleRows(int first, int count) {
    if (first == visibleFirst_ && count == visibleCount_) return;
    visibleFirst_ = first;
    visibleCount_ = count;
    update();
}

void OverviewStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(ColourRole::StripBackground));
    const int half = width() / 2;
    const int h = height();
    for (const StripMark& mark : session_.StripMarks()) {
        const int top = session_.StripY(mark.row, h);
        // At least two pixels, so that one changed line in a million still shows.
        const int bottom = std::max(top + 2, session_.StripY(mark.row + mark.count, h));
        const QRect band = mark.kind == RowKind::Removed
                               ? QRect(0, top, half, bottom - top)
                               : QRect(half, top, width() - half, bottom - top);
        painter.fillRect(band, ToQColor(StripColour(mark.kind)));
    }
    const auto rows = static_cast<int>(session_.RowCount());
    if (visibleCount_ > 0 && visibleCount_ < rows) {
        painter.setPen(ToQColor(ColourRole::StripFrame));
        const int top = session_.StripY(static_cast<std::size_t>(visibleFirst_), h);
        const int bottom = std::max(
            top + 3, session_.StripY(static_cast<std::size_t>(visibleFirst_ + visibleCount_), h));
        painter.drawRect(QRect(0, top, width() - 1, bottom - top - 1));
    }
}

void OverviewStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    session_.ClickStrip(static_cast<int>(event->position().y()), height());
    emit clicked();
}

}  // namespace viewer
