// A strip beside the list that shows where every difference of the whole comparison lies: the
// first file's lines on its left half in red, the second's on its right half in blue, and the
// part of the list on screen as a frame. A click goes where the session says it lands.
#pragma once

#include <vector>

#include <QWidget>

#include "StripBands.h"

class QPainter;

namespace viewer {

class Session;

class OverviewStrip : public QWidget {
    Q_OBJECT
public:
    explicit OverviewStrip(Session& session, QWidget* parent = nullptr);
    void SetVisibleRows(int first, int count);
    QSize sizeHint() const override { return QSize(16, 100); }
    // The strip's background over `area`, and the bands the session placed (both windows).
    static void PaintBands(QPainter& painter, const QRect& area,
                           const std::vector<StripBand>& bands);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Session& session_;
    int visibleFirst_ = 0;
    int visibleCount_ = 0;
};

}  // namespace viewer
