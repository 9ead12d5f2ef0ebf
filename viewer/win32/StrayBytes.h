// The bytes of a line not valid in its file's encoding ("<E9>", Cell::byteMarks), painted over
// the line's text: a box of their own colour, their text in its own.
#pragma once

#include <windows.h>

#include "Session.h"

namespace viewer {

// `left` is where the text's first cell starts, `y` its top; every cell `cellWidth` wide.
void PaintStrayBytes(HDC dc, const Cell& cell, const RECT& area, int left, int y, int cellWidth);

}  // namespace viewer
