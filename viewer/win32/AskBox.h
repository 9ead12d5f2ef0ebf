// The session's question as Win32 asks it, for every window of the viewer: a box of our own,
// whose text is laid out in the system's message font, in a size that draws every letter of a
// file name (an underscore included), and whose buttons say what they do.
#pragma once

#include <windows.h>

#include "Question.h"

namespace viewer {

// Asks over `owner`, titled as it is, and waits for the answer. Enter presses the preferred
// button (it has the focus at first); Esc and the close box answer as the question says, and so
// does a box that could not be shown.
Answer AskBox(HWND owner, const Question& question);

}  // namespace viewer
