// The owner drawing of the bar that says the files changed on disk, for every window that has it.
#pragma once

#include <windows.h>

namespace viewer {

// Paints the bar `item` (an owner-drawn static, WM_DRAWITEM): `background` across it, and its
// text on one line in `font`, centred up and down, `indent` pixels in from its left edge.
void DrawNoticeBar(const DRAWITEMSTRUCT& item, HBRUSH background, HFONT font, int indent);

}  // namespace viewer
