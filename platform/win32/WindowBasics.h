// What a window of the program takes from the platform layer: its resolution, the system's font
// for it, and its text.
#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

// The window's resolution: per-monitor where the system says so, else the screen's.
int DpiOf(HWND window);
// The font `wanted`, or the nearest size up to 4 pixels larger that draws an underscore: a
// Japanese font's bitmaps may have none (IPAGothic under Wine at 9 to 12, 17 to 20 and 27 to 29
// pixels), which shows "b_sjis.txt" as "b sjis.txt". The caller owns it.
HFONT MakeFontDrawingUnderscores(const LOGFONTW& wanted);
// The font the system uses for dialogs and messages, at the given resolution, at a size that
// draws an underscore; the caller owns it (a FontHandle).
HFONT MakeDefaultGuiFont(int dpi);
// The window's text, whole.
std::wstring WindowText(HWND window);

}  // namespace platform::win32
