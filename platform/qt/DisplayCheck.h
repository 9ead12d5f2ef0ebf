// Qt backend, shared by the front end and the viewer: one clear line instead of Qt's abort when
// there is no display to open a window on.
#pragma once

namespace platform::qt {

// Call once, before the QApplication is made. If Qt then finds no display it can use (no DISPLAY
// or WAYLAND_DISPLAY, or none that answers), the program prints one line on stderr, naming what
// is missing and what to set, and exits with status 1. Qt would abort (status 134) and suggest
// reinstalling the program. Platforms without a display (QT_QPA_PLATFORM=offscreen) start as
// before; what Qt says while it starts is passed on once it has started.
void ExitClearlyWithoutDisplay(const char* program);

}  // namespace platform::qt
