// A strip beside the list that shows where every difference of the whole comparison lies: the
// first file's lines on its left half in red, the second's on its right half in blue, and the
// part of the list on screen as a frame. A click asks to go there.
#pragma once

#include <QWidget>
#include <vector>

#include "LineDiff.h"

namespace viewer {

class OverviewStrip : public QWidget {
    Q_OBJECT
public:
    struct Mark {
        int start = 0;  // the view row where it begins
        int count = 0;
        RowKind kind = RowKind::Removed;
    };

    explicit OverviewStrip(QWidget* parent = nullptr);
    void SetMarks(std::vector<Mark> marks, int rowCount);
    void SetVisibleRows(int first, int count);
    QSize sizeHint() const override { return QSize(16, 100); }

    // The view row at a height of the strip, as a click there takes it.
    int RowAt(int y) const;

signals:
    void clicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int Y(int row) const;

    std::vector<Mark> marks_;
    int rowCount_ = 0;
    int visibleFirst_ = 0;
    int visibleCount_ = 0;
};

}  // namespace viewer
