// The session's question as Win32 asks it, for every window of the viewer: a box of our own,
// whose text is laid out in the system's message font, in a size that draws every letter of a
// file name (an underscore included), and whose buttons say what they do.
#pragma once

#include <windows.h>

#include "Question.h"

namespace viewer {

// The font `wanted`, or the nearest size up to 4 pixels larger that draws an underscore: a
// Japanese font's small bitmaps may have none (IPAGothic at 12 and 16 pixels under Wine), which
// shows "b_sjis.txt" as "b sjis.txt". The caller deletes it.
HFONT MakeFontDrawingUnderscores(const LOGFONTW& wanted);

// Asks over `owner`, titled as it is, and waits for the answer. Enter presses the preferred
// button (it has the focus at first); Esc and the close box answer as the question says, and so
// does a box that could not be shown.
Answer AskBox(HWND owner, const Question& question);

}  // namespace viewer
