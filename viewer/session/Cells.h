// Widths of text in display cells, as a fixed-pitch grid shows it: a tab reaches the next stop of
// 8, an East Asian wide or full-width character takes 2 cells, a combining mark, a variation
// selector, an emoji modifier or a character joined by ZWJ takes none, so a grapheme cluster is
// never split. Texts are UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "InlineDiff.h"

namespace viewer {

constexpr std::size_t kTabCells = 8;

// The cells one character takes on its own: 0, 1 or 2 (a tab counts 1 here; see ClusterCells).
int CharCells(char32_t c);

// Control characters and line ends are shown as their Control Pictures (␀ ␍ ␊ ␛ ␡), which few
// fonts have: a front draws each as these letters ("NUL", "CR", "LF", "ESC", "DEL"), small, in a
// frame, both in ColourRole::ControlMark, and it takes a cell a letter, two at least. Empty for
// other characters.
std::u16string_view ControlLetters(char32_t c);

// A name for a title, a label or a list, where no frame can be drawn: each control character
// (a newline in a file name) as its letters in angle brackets, "<LF>", and each character that
// shows nothing as its code, "<U+200B>", as stray bytes show as "<E9>"; the rest as it is.
std::u16string ShownName(std::u16string_view name);

// East Asian Ambiguous characters (※ ○ × → ★ ① ― … and Greek, Cyrillic, é) take two cells in
// a Japanese font and one in a Western one, so their width is the font's: a front measures every
// one of `AmbiguousCharacters()` in its list font, once per font, and gives the ones drawn wider
// than a cell (by more than a tenth: rounding) to `SetWideAmbiguous`. Until then each takes one
// cell. One setting for the process: every window draws its lines in the same font.
std::vector<char32_t> AmbiguousCharacters();
void SetWideAmbiguous(std::vector<char32_t> wide);

// Where the grapheme cluster starting at `at` ends (the index after it).
std::size_t ClusterEnd(std::u16string_view text, std::size_t at);

// The cells a whole text takes, tabs expanded.
std::size_t TextCells(std::u16string_view text);

// The cell column where the code unit `at` starts, tabs expanded.
std::size_t CellColumn(std::u16string_view text, std::size_t at);

// One cluster as a front draws it: where it starts in the text, how long it is, its column and
// its width in cells (a tab: the cells to the next stop, drawn as nothing).
struct Cluster {
    std::size_t start = 0;
    std::size_t length = 0;
    std::size_t column = 0;
    std::size_t cells = 0;
};
std::vector<Cluster> Clusters(std::u16string_view text);

// The marks grown to whole clusters: a mark that starts or ends inside a cluster covers all of it.
std::vector<MarkSpan> WholeClusters(std::u16string_view text, const std::vector<MarkSpan>& marks);

}  // namespace viewer
