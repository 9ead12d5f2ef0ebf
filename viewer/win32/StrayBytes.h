// The bytes of a line not valid in its file's encoding ("<E9>"), painted over the line's text as
// the session plans them (PieceKind::StrayBytes): a box of their own colour, their text in its own.
#pragma once

#include <windows.h>

#include "RowPaint.h"

namespace viewer {

// `piece` placed from `area`'s left edge, its text's top at `y`, every cell `cellWidth` wide.
void PaintStrayBytes(HDC dc, const PaintPiece& piece, const RECT& area, int y, int cellWidth);

}  // namespace viewer
