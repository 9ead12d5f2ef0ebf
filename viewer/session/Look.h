// The viewer's colours and the marks beside them, for both fronts.
#pragma once

#include <cstdint>
#include <string>

#include "LineDiff.h"

namespace viewer {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

enum class ColourRole : std::uint8_t {
    Text,          // black
    Base,          // a common row: white
    Removed,       // a row only in the first file: light red
    Added,         // a row only in the second file: light blue
    RemovedMark,   // what changed inside a removed line, and its strip mark
    AddedMark,     // the same for an added line
    CurrentFrame,  // the frame of the current row
    Notice,        // the bar that says the files changed on disk
    Error,         // the text of an error message
    StripBackground,
    StripFrame,  // the part of the list on screen, in the strip
    // A byte not valid in its file's encoding, shown as "<E9>": a grey box, its text dark red.
    StrayByte,
    StrayByteText,
    // A control character or a line end, drawn as its letters ("CR") in a frame: dark grey.
    ControlMark,
    // The three-way merge's rows: a change of MINE's, of THEIRS', the same on both, a conflict
    // still unresolved, one resolved.
    MergeMine,
    MergeTheirs,
    MergeBoth,
    MergeConflict,
    MergeResolved,
};

Rgb Colour(ColourRole role);
// The row's background and its marks' colour, by kind (Base and Base for a common row).
ColourRole RowColour(RowKind kind);
ColourRole MarkColour(RowKind kind);
// A shade darker, as the current row (percent: 118) or a selected one (108) is drawn.
Rgb Darker(Rgb colour, int percent);
// A difference's mark on the overview strip: its marks' colour, a shade darker.
Rgb StripColour(RowKind kind);

// The mark beside the colour, so the kinds stay apart for readers who cannot tell the colours:
// "<!" removed, "!>" added, nothing for a common row.
std::u16string KindMark(RowKind kind);
// The legend's chip: " <! 第一のファイルだけにある行 ".
std::u16string KindLegend(RowKind kind);

}  // namespace viewer
