// Where a top-level window of the viewer opens: at the size it asks for, scaled for the screen,
// but never larger than its monitor's work area, and moved inside that area, so that its status
// bar and its last column stay on screen at any resolution.
#pragma once

#include <windows.h>

namespace viewer {

void FitToWorkArea(HWND window, int width, int height);

}  // namespace viewer
