// Where a top-level window of the viewer opens: at the size it asks for, but never larger than
// the screen's work area (a tenth kept for the window's frame), so that its status bar and its
// last column stay on screen at any scale.
#pragma once

#include <QScreen>
#include <QWidget>

namespace viewer {

inline void ResizeWithinWorkArea(QWidget* window, QSize wanted) {
    const QSize area = window->screen()->availableGeometry().size() * 9 / 10;
    window->resize(wanted.boundedTo(area));
}

}  // namespace viewer
