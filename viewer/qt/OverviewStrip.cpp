#include "OverviewStrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "QtText.h"
#include "Session.h"
#include "StripBands.h"
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
    PaintBands(painter, rect(), StripBands(session_, height()));
    const std::optional<StripFrame> frame =
        FrameOfRows(session_, static_cast<std::size_t>(visibleFirst_),
                    static_cast<std::size_t>(visibleCount_), height());
    if (frame) {
        painter.setPen(ToQColor(ColourRole::StripFrame));
        painter.drawRect(QRect(0, frame->top, width() - 1, frame->bottom - frame->top - 1));
    }
}

void OverviewStrip::PaintBands(QPainter& painter, const QRect& area,
                               const std::vector<StripBand>& bands) {
    painter.fillRect(area, ToQColor(ColourRole::StripBackground));
    const int half = area.width() / 2;
    for (const StripBand& band : bands) {
        const int height = band.bottom - band.top;
        const QRect place = band.half == StripHalf::Left ? QRect(0, band.top, half, height)
                            : band.half == StripHalf::Right
                                ? QRect(half, band.top, area.width() - half, height)
                                : QRect(1, band.top, area.width() - 2, height);
        painter.fillRect(place, ToQColor(band.colour));
    }
}

void OverviewStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    session_.ClickStrip(static_cast<int>(event->position().y()), height());
    emit clicked();
}

}  // namespace viewer
