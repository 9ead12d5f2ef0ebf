// What the user may ask the comparison to overlook, and lines as they compare under it.
#pragma once

#include <string>
#include <string_view>

namespace viewer {

struct IgnoreOptions {
    bool trailingBlanks = false;  // blanks at line ends
    bool allBlanks = false;       // every blank, wherever it is
    bool blankLines = false;      // lines that are empty or only blanks
    bool letterCase = false;      // "A" and "a" (also full-width and Latin-1, Greek, Cyrillic)
    // How lines end (LF, CR LF, none after the last line): on, lines that differ only there are
    // shown as common, and counted; off, as changes, their ends drawn.
    bool lineEnds = true;
    // Whether an option that hides differences within lines is on (line ends aside: lines that
    // differ only in their ends are counted apart).
    bool any() const { return trailingBlanks || allBlanks || blankLines || letterCase; }
    bool operator==(const IgnoreOptions&) const = default;
};

// Space, tab, the other ASCII blanks and the ideographic space U+3000.
bool IsBlank(char16_t c);

// The small letter for a capital one in the scripts named above; anything else unchanged.
char16_t FoldCase(char16_t c);

// A line's text reduced by the options (blank lines aside: a whole line, not a part of one).
std::u16string Reduce(std::u16string_view line, const IgnoreOptions& options);

}  // namespace viewer
