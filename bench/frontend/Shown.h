// For the start-up probes: tells the benchmark, through the descriptor it passed in
// ZARVO_BENCH_FD, that the first window is on screen (shown and exposed), then ends the run.
#pragma once

#include <unistd.h>

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace bench {

inline bool FirstWindowExposed() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowHandle() != nullptr &&
            widget->windowHandle()->isExposed()) {
            return true;
        }
    }
    return false;
}

// Runs the event loop until the window is exposed, reports it and returns the exit code.
inline int ReportWhenShown() {
    while (!FirstWindowExposed()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const char* fd = std::getenv("ZARVO_BENCH_FD");
    if (fd != nullptr) {
        const char shown = 'S';
        if (write(std::atoi(fd), &shown, 1) != 1) return 1;
    }
    return 0;
}

}  // namespace bench
