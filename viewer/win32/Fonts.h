// The fonts of the viewer's windows: the system's message font for their controls comes from the
// platform layer (platform::win32::MakeDefaultGuiFont); the lines' font is the viewer's own.
#pragma once

#include <windows.h>

namespace viewer {

// The lines' font at `dpi`: 10 points of MS Gothic, else the font the system maps to a fixed
// pitch and Japanese, at a size that draws an underscore. The caller owns it.
HFONT MakeLinesFont(int dpi);

}  // namespace viewer
